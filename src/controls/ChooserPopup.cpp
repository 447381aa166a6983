#include "controls/ChooserPopup.h"

#include "controls/EditingTable.h"
#include "controls/CommandRow.h"
#include "controls/MouseOverButton.h"
#include "controls/ChooserList.h"
#include "controls/ChooserModel.h"
#include "controls/PopupManager.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace cv {

namespace {

QPointer<ChooserPopup> &thePopup()
{
    static QPointer<ChooserPopup> popup;
    return popup;
}

} // namespace

ChooserPopup *ChooserPopup::get()
{
    QPointer<ChooserPopup> &popup = thePopup();
    if (!popup) {
        popup = new ChooserPopup;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, popup, &QObject::deleteLater);
    }
    return popup;
}

ChooserPopup *ChooserPopup::existing()
{
    return thePopup();
}

ChooserPopup::ChooserPopup() : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_NoMouseReplay);
    // A line round the list, on an opaque ground: the rows behind never show at its edge.
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    m_outline = new ChooserList(this);
    m_outline->setDoneHandler([this](const ChooserItem &item) { didEndPopup(item); });
    m_upArrow = new MouseOverButton(
        QStringLiteral("▲"), [this] { m_outline->scrollLineUp(); }, this);
    m_downArrow = new MouseOverButton(
        QStringLiteral("▼"), [this] { m_outline->scrollLineDown(); }, this);
    m_upArrow->hide();
    m_downArrow->hide();
    connect(m_outline, &QTreeView::expanded, this, [this] {
        if (!m_filling) fixFrame();
    });
    connect(m_outline, &QTreeView::collapsed, this, [this] {
        if (!m_filling) fixFrame();
    });
    resize(100, 100);
}

void ChooserPopup::run(QWidget *target, const QRect &anchorGlobal, Anchor anchor, ChooserModel *source,
                       const ChooserItem &value, ChooserEndHandler endHandler)
{
    // A run still open (or blinking) ends first, delivering to its own owner.
    if (isVisible()) mustClose();
    m_target = target;
    m_anchor = anchorGlobal;
    m_anchorKind = anchor;
    m_endHandler = std::move(endHandler);
    m_placed = false;
    setArrowsEnabled(false);
    m_outline->setChooserModel(source);
    m_outline->setFontSize(13);
    // Placed once the value's folders are open, on the list's whole height.
    m_filling = true;
    m_outline->willRunWithValue(value);
    m_filling = false;
    fixFrame();
    show();
    raise();
    activateWindow();
    m_outline->setFocus();
    PopupManager::popupManager()->begin(this);
}

void ChooserPopup::runForCell(EditingTable *table, int column, int row, ChooserModel *source, const ChooserItem &value,
                              ChooserEndHandler endHandler)
{
    if (!table) return;
    const QRect cell = table->cellFrame(column, row);
    run(table, QRect(table->viewport()->mapToGlobal(cell.topLeft()), cell.size()), Anchor::Cell, source, value,
        std::move(endHandler));
}

QRect ChooserPopup::availableGeometry() const
{
    QScreen *screen = nullptr;
    if (m_target) screen = m_target->screen();
    if (!screen) screen = QGuiApplication::screenAt(m_anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void ChooserPopup::fixFrame()
{
    if (!m_outline->model() || m_outline->model()->rowCount() == 0) {
        // An empty list still opens at its anchor, one row high.
        if (!m_placed)
            setGeometry(m_anchor.left(), m_anchor.top(), std::max(m_anchor.width(), 100), m_outline->rowHeight());
        m_placed = true;
        return;
    }
    int height = m_outline->contentHeight() + 2 * kBorder;
    int width = m_outline->contentWidth() + 2 * kBorder;
    int x = m_anchor.left();
    int y = geometry().top();
    if (!m_placed) {
        switch (m_anchorKind) {
        case Anchor::Button:
            width = std::max(width, m_anchor.width());
            height = std::max(height, m_anchor.height());
            y = m_anchor.top() + m_anchor.height() / 2 - height / 2;
            break;
        case Anchor::Cell:
            width = std::max(width, m_anchor.width());
            y = m_anchor.top() - height / 2;
            break;
        case Anchor::Point:
            x = m_anchor.left() - 2;
            width = std::max(width, m_anchor.width() + 4);
            y = m_anchor.top() - m_outline->selectionOffset();
            break;
        }
        m_placed = true;
    } else {
        // Later fits keep the top edge and the width found at the start.
        x = geometry().left();
        if (m_anchorKind != Anchor::Point) width = std::max(width, m_anchor.width());
        if (m_anchorKind == Anchor::Button) height = std::max(height, m_anchor.height());
    }

    const QRect screen = availableGeometry();
    if (height > screen.height()) {
        y = screen.top();
        height = screen.height();
        setArrowsEnabled(true);
    } else {
        setArrowsEnabled(false);
        y = std::clamp(y, screen.top(), screen.bottom() + 1 - height);
    }
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - width));
    setGeometry(x, y, width, height);
    layoutParts();
}

void ChooserPopup::setArrowsEnabled(bool enabled)
{
    if (enabled == m_arrowsEnabled) return;
    m_arrowsEnabled = enabled;
    m_upArrow->setVisible(enabled);
    m_downArrow->setVisible(enabled);
    layoutParts();
}

void ChooserPopup::layoutParts()
{
    const QRect inside = contentsRect();
    const int x = inside.left();
    const int w = inside.width();
    if (m_arrowsEnabled) {
        m_upArrow->setGeometry(x, inside.top(), w, kArrowHeight);
        m_downArrow->setGeometry(x, inside.bottom() + 1 - kArrowHeight, w, kArrowHeight);
        m_outline->setGeometry(x, inside.top() + kArrowHeight, w, inside.height() - 2 * kArrowHeight);
    } else {
        m_outline->setGeometry(inside);
    }
}

void ChooserPopup::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ChooserPopup::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutParts();
}

void ChooserPopup::didEndPopup(const ChooserItem &result)
{
    ChooserEndHandler handler = std::move(m_endHandler);
    m_endHandler = nullptr;
    closeNow();
    if (!result || !handler) return;
    if (const std::shared_ptr<CommandRow> command = result.command()) {
        if (const ChooserItem made = command->runWithDelegate(handler)) handler(made);
        return;
    }
    handler(result);
}

void ChooserPopup::mustClose()
{
    if (m_outline->isFinishing())
        m_outline->done(); // delivers, then closes
    else if (isVisible())
        closeNow();
}

void ChooserPopup::closeNow()
{
    m_endHandler = nullptr;
    m_target = nullptr;
    if (isVisible()) hide();
    m_outline->setChooserModel(nullptr);
}

void ChooserPopup::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    // Closed from outside (tracker, Qt) while a pick blinks: it is still delivered.
    if (m_outline->isFinishing())
        m_outline->done();
    else
        m_endHandler = nullptr;
}

void ChooserPopup::mousePressEvent(QMouseEvent *event)
{
    if (!PopupManager::popupManager()->popupMousePress(this, event)) QFrame::mousePressEvent(event);
}

} // namespace cv
