#include "controls/ChooserList.h"

#include "controls/ChooserModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

#include <utility>

namespace cv {

namespace {

// Rows one font line plus two pixels high.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(option.fontMetrics.height() + 2);
        return size;
    }
};

constexpr int kTextPadding = 8; // the item's own margins around its text

} // namespace

ChooserList::ChooserList(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setUniformRowHeights(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true); // hovering selects
    setExpandsOnDoubleClick(false);
    setTabKeyNavigation(true); // Tab and Backtab reach keyPressEvent
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new RowHeightDelegate(this));
    setFontSize(13);
}

void ChooserList::setFontSize(int pixels)
{
    QFont f = font();
    f.setPixelSize(pixels);
    setFont(f);
}

void ChooserList::setChooserModel(ChooserModel *source)
{
    m_source = source;
    setModel(source);
}

void ChooserList::willRunWithValue(const ChooserItem &value)
{
    m_finishing = false;
    m_resultItem = ChooserItem();
    m_lastOverRow = -1;
    m_pressed = m_clicked = false;
    ++m_run;
    if (!m_source) return;
    const std::vector<ChooserItem> &top = m_source->objects();
    if (top.size() > 2) {
        for (int row = 0; row < int(top.size()); ++row) {
            // The visit ends at the first entry that is no tree node.
            if (!top[row].node()) break;
            if (top[row].node()->isExpanded()) expand(m_source->indexOfTopRow(row));
        }
    } else {
        for (int row = 0; row < int(top.size()); ++row) expand(m_source->indexOfTopRow(row));
    }
    if (value) selectItemWithValue(value);
}

void ChooserList::selectItemWithValue(const ChooserItem &value)
{
    QModelIndex found = m_source ? m_source->indexOfItem(value) : QModelIndex();
    if (!found.isValid()) {
        if (m_source) selectRow(m_source->indexOfTopRow(0));
        return;
    }
    for (QModelIndex up = found.parent(); up.isValid(); up = up.parent()) expand(up);
    selectRow(found);
}

void ChooserList::collapseAllItems()
{
    collapseAll();
}

void ChooserList::selectRow(const QModelIndex &index)
{
    if (!index.isValid()) return;
    setCurrentIndex(index);
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

QModelIndex ChooserList::indexOfResult() const
{
    return m_source ? m_source->indexOfItem(m_resultItem) : QModelIndex();
}

void ChooserList::done()
{
    const ChooserItem item = m_resultItem;
    m_resultItem = ChooserItem();
    m_finishing = false;
    ++m_run;
    if (m_done) m_done(item);
}

void ChooserList::cancel()
{
    m_resultItem = ChooserItem();
    done();
}

void ChooserList::pick(const ChooserItem &item)
{
    if (m_finishing || !item) return;
    m_finishing = true;
    m_resultItem = item;
    const int run = ++m_run;
    QPointer<ChooserList> self(this);
    QTimer::singleShot(0, this, [self, run] {
        if (self) self->blinkStep(run, 0);
    });
}

void ChooserList::blinkStep(int run, int step)
{
    if (run != m_run || !isVisible()) return;
    switch (step) {
    case 0:
    case 2: selectRow(indexOfResult()); break;
    case 1: clearSelection(); break;
    default: done(); return;
    }
    QPointer<ChooserList> self(this);
    QTimer::singleShot(kBlinkMs, this, [self, run, step] {
        if (self) self->blinkStep(run, step + 1);
    });
}

void ChooserList::selectOrToggle()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !m_source) return;
    const ChooserItem item = m_source->itemForIndex(index);
    if (ChooserModel::isExpandable(item))
        setExpanded(index, !isExpanded(index));
    else
        pick(item);
}

void ChooserList::scrollLineUp()
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() - kScrollStep);
}

void ChooserList::scrollLineDown()
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() + kScrollStep);
}

int ChooserList::rowHeight() const
{
    return fontMetrics().height() + 2;
}

int ChooserList::contentHeight() const
{
    if (!model()) return 0;
    int rows = 0;
    for (QModelIndex index = model()->index(0, 0); index.isValid(); index = indexBelow(index)) ++rows;
    return rows * rowHeight();
}

int ChooserList::widthOfItem(const QModelIndex &index, int level) const
{
    int width = level * indentation() + fontMetrics().horizontalAdvance(index.data().toString()) + kTextPadding;
    const int children = model()->rowCount(index);
    for (int row = 0; row < children; ++row)
        width = std::max(width, widthOfItem(model()->index(row, 0, index), level + 1));
    return width;
}

int ChooserList::contentWidth() const
{
    if (!model()) return 0;
    int widest = 0;
    for (int row = 0; row < model()->rowCount(); ++row)
        widest = std::max(widest, widthOfItem(model()->index(row, 0), 1));
    return widest + 2 * 2;
}

int ChooserList::selectionOffset() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (selected.isEmpty()) return 0;
    return visualRect(selected.first()).top() + verticalOffset();
}

void ChooserList::mousePressEvent(QMouseEvent *event)
{
    m_lastOverRow = -1;
    if (event->button() == Qt::LeftButton) m_pressed = m_clicked = true;
    event->accept();
}

void ChooserList::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click whose first opened the popup is no
    // choice either.
    if (event->button() == Qt::LeftButton) m_pressed = m_clicked;
    event->accept();
}

void ChooserList::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    // The press that opened the popup went to the view below; its release
    // lands here on whatever row the popup put under the pointer.
    if (!std::exchange(m_pressed, false) || m_finishing || !m_source) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    const ChooserItem item = m_source->itemForIndex(index);
    if (ChooserModel::isExpandable(item))
        setExpanded(index, !isExpanded(index));
    else
        pick(item);
}

void ChooserList::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_finishing) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        clearSelection();
        m_lastOverRow = -1;
        return;
    }
    if (!selectionModel()->isRowSelected(index.row(), index.parent())) {
        setCurrentIndex(index);
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    m_lastOverRow = index.row();
}

void ChooserList::leaveEvent(QEvent *event)
{
    QTreeView::leaveEvent(event);
    if (!m_finishing) clearSelection();
}

void ChooserList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: selectOrToggle(); break;
    case Qt::Key_Tab:
        selectOrToggle();
        done();
        break;
    case Qt::Key_Backtab: done(); break;
    case Qt::Key_Escape: cancel(); break;
    default:
        if (!m_finishing) QTreeView::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace cv
