#include "mainwindow/viewer/ViewerGrid.h"

#include "controls/HostedPanel.h"
#include "controls/PopupManager.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/Node.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QUndoStack>

#include <algorithm>

namespace cv {

namespace {

constexpr int kClickOpensFromColumn = 2;

// An amount cut to "1,234,…" misleads, so one wider than its cell is set
// smaller (down to 70 %) before the style would elide it.
void shrinkAmountToFit(QStyleOptionViewItem &opt, const QStyle *style)
{
    if (!(opt.displayAlignment & Qt::AlignRight) || opt.text.isEmpty()) return;
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const int room = opt.rect.width() - 2 * margin;
    if (room <= 0 || QFontMetrics(opt.font).horizontalAdvance(opt.text) <= room) return;
    const int pixels = opt.font.pixelSize() > 0 ? opt.font.pixelSize() : QFontInfo(opt.font).pixelSize();
    const int smallest = std::max(6, pixels * 7 / 10);
    for (int size = pixels - 1; size >= smallest; --size) {
        opt.font.setPixelSize(size);
        if (QFontMetrics(opt.font).horizontalAdvance(opt.text) <= room) break;
    }
}

// Paints the cell backgrounds of the viewer and the selected cell: the grid
// itself draws no selection.
class ViewerCellDelegate : public QStyledItemDelegate {
public:
    explicit ViewerCellDelegate(ViewerGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.state &= ~QStyle::State_Selected;
        opt.state &= ~QStyle::State_HasFocus;
        const cv::ViewerModel *model = m_grid->viewerModel();
        cv::ViewerPage *viewer = m_grid->viewer();
        const int column = model ? model->accountColumn(index.column()) : index.column();
        if (viewer && model) {
            const cv::ViewerColumns &columns = viewer->columns();
            const Preference &prefs = viewer->preference();
            const bool top = !index.parent().isValid();
            QColor background;
            if (top) {
                background = prefs.categoryColor();
            } else if (column < cv::ViewerColumns::kStartDataCells || column >= columns.startEndCells()) {
                background = prefs.titleColor();
            } else if (columns.isDataColumn(column)) {
                background = m_grid->displayRow(index) % 2 ? QColor(237, 243, 254) : QColor(Qt::white);
                const Node *node = model->nodeAt(index);
                if (model->grid() == cv::ViewerModel::Accounts && node &&
                    !viewer->values().validAtColumn(*node, column))
                    background = prefs.titleColor();
            }
            if (background.isValid()) painter->fillRect(option.rect, background);
        }
        const bool selected = m_grid->hasFocus() && m_grid->selectionModel() &&
                              m_grid->selectionModel()->isRowSelected(index.row(), index.parent()) &&
                              (index.column() == 0 || column == m_grid->selectedColumnId());
        if (selected) {
            painter->fillRect(option.rect, QApplication::palette().color(QPalette::Active, QPalette::Highlight));
            const QColor text = opt.palette.color(QPalette::Text);
            const QVariant colour = index.data(Qt::ForegroundRole);
            // Coloured amounts keep their colour; plain text turns white.
            if (!colour.isValid() || colour.value<QColor>() == text ||
                index.data(cv::ViewerModel::DataColumnRole).toBool())
                opt.palette.setColor(QPalette::Text, Qt::white);
            else
                opt.palette.setColor(QPalette::Text, colour.value<QColor>());
        } else if (const QVariant colour = index.data(Qt::ForegroundRole); colour.isValid()) {
            opt.palette.setColor(QPalette::Text, colour.value<QColor>());
        } else {
            opt.palette.setColor(QPalette::Text, Qt::black);
        }
        opt.backgroundBrush = Qt::NoBrush;
        QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        shrinkAmountToFit(opt, style);
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_grid->lineHeight()};
    }

private:
    ViewerGrid *m_grid;
};

} // namespace

ViewerGrid::ViewerGrid(BookWindow *window, cv::ViewerPage *viewer, QWidget *parent)
    : ExpansionStateSavedOutlineView(parent), m_wc(window), m_viewer(viewer)
{
    setItemDelegate(new ViewerCellDelegate(this));
    setUniformRowHeights(true);
    setAllColumnsShowFocus(false);
    // Several rows may be picked in the name column and dragged together.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setIndentation(12);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignCenter);
    header()->setSectionsMovable(false);
    QPalette p = palette();
    // The selected cell is painted by the delegate; the row draws nothing.
    p.setColor(QPalette::Highlight, Qt::transparent);
    p.setColor(QPalette::Inactive, QPalette::Highlight, Qt::transparent);
    setPalette(p);
    setFontSize(m_fontSize);
}

ViewerGrid::~ViewerGrid() = default;

cv::ViewerModel *ViewerGrid::viewerModel() const
{
    return qobject_cast<cv::ViewerModel *>(model());
}

int ViewerGrid::columnIdOf(int column) const
{
    const cv::ViewerModel *m = viewerModel();
    return m ? m->accountColumn(column) : column;
}

int ViewerGrid::columnOfId(int id) const
{
    const cv::ViewerModel *m = viewerModel();
    return m ? m->columnOfAccountColumn(id) : id;
}

// ---------------------------------------------------------------- selection

bool ViewerGrid::setSelectedColumnId(int id)
{
    if (id == m_selectedColumnId) return false;
    m_selectedColumnId = id;
    viewport()->update();
    return true;
}

int ViewerGrid::selectedColumnIndex() const
{
    return columnOfId(m_selectedColumnId);
}

QModelIndex ViewerGrid::selectedRow() const
{
    if (!selectionModel()) return {};
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? QModelIndex() : rows.first();
}

bool ViewerGrid::isSelectedColumn(int column, const QModelIndex &row) const
{
    return row.isValid() && selectionModel() && selectionModel()->isRowSelected(row.row(), row.parent()) &&
           columnIdOf(column) == m_selectedColumnId;
}

void ViewerGrid::clickedColumn(int column, const QModelIndex &row)
{
    if (column < 0) return;
    if (setSelectedColumnId(row.isValid() ? columnIdOf(column) : 0) && row.isValid()) update(row);
}

void ViewerGrid::selectColumnAtIndex(int column)
{
    QModelIndex row = selectedRow();
    if (!row.isValid()) return;
    setSelectedColumnId(columnIdOf(column));
    scrollTo(row.siblingAtColumn(column));
}

void ViewerGrid::selectColumnAtIndexValue(int column)
{
    if (column < 0 || !model()) return;
    if (!selectedRow().isValid()) {
        const QModelIndex first = model()->index(0, 0);
        if (!first.isValid()) return;
        setCurrentIndex(first);
        selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    if (column >= model()->columnCount()) return;
    selectColumnAtIndex(column);
}

void ViewerGrid::restoreSelection()
{
    if (m_savedColumnIndex >= 0) setSelectedColumnId(columnIdOf(m_savedColumnIndex));
}

void ViewerGrid::updateSelectionFromAccountView(const ViewerGrid &other)
{
    if (!model()) return;
    const QModelIndex first = model()->index(0, 0);
    if (first.isValid()) {
        setCurrentIndex(first);
        selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    setSelectedColumnId(other.selectedColumnId());
}

// ---------------------------------------------------------------- fonts

void ViewerGrid::setFontSize(int pixels)
{
    m_fontSize = pixels;
    QFont f = font();
    f.setPixelSize(pixels);
    setFont(f);
    header()->setFont(f);
    const int height = QFontMetrics(f).height() + 2;
    header()->setMinimumSectionSize(0);
    // Fixed row heights: no value is ever measured.
    m_rowHeight = height;
    if (model()) doItemsLayout();
}

bool ViewerGrid::changeFontSize(int step)
{
    const int size = m_fontSize + step;
    if (size <= kMinimumFontSize || size >= kMaximumFontSize) return false;
    setFontSize(size);
    return true;
}

// ---------------------------------------------------------------- cells and panels

QWidget *ViewerGrid::editItem(const NodePtr &, const QDate &, const QDate &)
{
    return nullptr;
}

void ViewerGrid::openCell(const QModelIndex &index)
{
    const cv::ViewerModel *m = viewerModel();
    Node *node = m ? m->nodeAt(index) : nullptr;
    if (!node || !m_viewer) return;
    const int id = columnIdOf(index.column());
    if (id < cv::ViewerColumns::kStartDataCells) {
        openFixedColumn(node, id);
        return;
    }
    const auto [from, to] = m_viewer->columns().cellRange(id, m->grid() == cv::ViewerModel::Categories);
    if (!from.isValid()) return;
    const NodePtr item = node->shared_from_this();
    if (QWidget *panel = editItem(item, from, to)) maximizeInputPanel(panel);
}

void ViewerGrid::maximizeInputPanel(QWidget *panel)
{
    if (!panel || !m_wc) return;
    saveSelection();
    // The panel's maker connected its OK to closeMaximizedPanel().
    if (cv::HostedPanel *hosted = cv::hostedPanel(panel)) hosted->willMaximizeForView(this);
    m_wc->addTemporaryTab(panel);
    m_panel = panel;
}

void ViewerGrid::commitPendingPanelInput()
{
    if (!m_panel) return;
    QPointer<QWidget> panel = m_panel;
    m_panel = nullptr;
    commitPanel(cv::hostedPanel(panel));
}

void ViewerGrid::commitPanel(cv::HostedPanel *panel)
{
    if (!panel) return;
    // The panel leaves its commit on the book's undo stack.
    panel->commitPanel();
    panelWillClose();
}

void ViewerGrid::panelWillClose()
{
    cv::PopupManager::popupManager()->closeAll();
}

void ViewerGrid::closeMaximizedPanel()
{
    if (!m_wc) return;
    cv::changeTextInputSource(this, false);
    // Going back commits the panel through the page switcher.
    m_wc->removeTemporaryTab();
    restoreSelection();
}

void ViewerGrid::willClose()
{
    // The document decided about unsaved input before its window closes.
    m_panel = nullptr;
    m_wc = nullptr;
}

int ViewerGrid::displayRow(const QModelIndex &index) const
{
    const QRect rect = visualRect(index.siblingAtColumn(0));
    return m_rowHeight > 0 ? (rect.top() + verticalOffset()) / m_rowHeight : 0;
}

// ---------------------------------------------------------------- keys and clicks

void ViewerGrid::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex row = selectedRow();
    const int s = cv::ViewerColumns::kStartDataCells;
    const int n = m_viewer ? m_viewer->columns().numDataCells() : 0;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (parentWidget()) parentWidget()->setFocus(Qt::OtherFocusReason);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: moveToPartner(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (row.isValid()) openCell(row.siblingAtColumn(selectedColumnIndex()));
        break;
    case Qt::Key_Left:
        if (m_selectedColumnId > s) {
            selectColumnAtIndex(selectedColumnIndex() - 1);
        } else if (event->modifiers() & Qt::ControlModifier) {
            if (row.isValid()) setExpanded(row, !isExpanded(row));
        } else if (m_viewer) {
            m_viewer->moveDateForwardOrBackward(-1);
        }
        break;
    case Qt::Key_Right:
        if (m_selectedColumnId < s + n - 1)
            selectColumnAtIndex(selectedColumnIndex() + 1);
        else if (m_viewer)
            m_viewer->moveDateForwardOrBackward(1);
        break;
    case Qt::Key_Down: moveRow(1); break;
    case Qt::Key_Up: moveRow(-1); break;
    default: event->ignore(); return;
    }
    event->accept();
}

void ViewerGrid::moveRow(int direction)
{
    const QModelIndex row = selectedRow();
    const QModelIndex next = row.isValid() ? (direction > 0 ? indexBelow(row) : indexAbove(row))
                                           : (model() ? model()->index(0, 0) : QModelIndex());
    if (!next.isValid()) return;
    setCurrentIndex(next);
    selectionModel()->select(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(next);
}

bool ViewerGrid::focusNextPrevChild(bool)
{
    // Tab belongs to the grids: it moves to the partner keeping the column.
    return false;
}

void ViewerGrid::moveToPartner()
{
    if (!m_partner) return;
    m_partner->setFocus(Qt::TabFocusReason);
    m_partner->updateSelectionFromAccountView(*this);
}

void ViewerGrid::focusInEvent(QFocusEvent *event)
{
    m_mouseCausedFocus = event->reason() == Qt::MouseFocusReason;
    ExpansionStateSavedOutlineView::focusInEvent(event);
    viewport()->update();
}

void ViewerGrid::mousePressEvent(QMouseEvent *event)
{
    m_rClickedRow = -1;
    m_rClickedColumn = -1;
    const QPoint point = event->position().toPoint();
    const int column = header()->logicalIndexAt(point.x());
    if (column < 0) return;
    const QModelIndex index = indexAt(point);
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::RightButton) {
        if (index.isValid()) {
            m_rClickedRow = displayRow(index);
            m_rClickedColumn = column;
            setCurrentIndex(index.siblingAtColumn(0));
        }
        return;
    }
    if (column == 0) {
        if (index.isValid()) {
            setSelectedColumnId(0);
            QTreeView::mousePressEvent(event);
            update(index);
        }
        return;
    }
    if (!index.isValid()) return;
    const bool wasSelected = isSelectedColumn(column, index);
    m_rClickedRow = displayRow(index);
    m_rClickedColumn = column;
    selectionModel()->setCurrentIndex(index.siblingAtColumn(0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    clickedColumn(column, index);
    if (m_mouseCausedFocus) {
        // The click that brought the focus only selects.
        m_mouseCausedFocus = false;
        return;
    }
    if (wasSelected && column >= kClickOpensFromColumn) openCell(index);
}

void ViewerGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    if (!index.isValid()) return;
    if (index.column() == 0) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    m_mouseCausedFocus = false;
    clickedColumn(index.column(), index);
    openCell(index);
}

// ---------------------------------------------------------------- painting

void ViewerGrid::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The branch area of top-level rows in the category colour, like their cells.
    if (!index.parent().isValid() && m_viewer) {
        const QRect rect(0, option.rect.top(), columnViewportPosition(0) + columnWidth(0), option.rect.height());
        painter->fillRect(rect, m_viewer->preference().categoryColor());
    }
    ExpansionStateSavedOutlineView::drawRow(painter, option, index);
}

void ViewerGrid::paintEvent(QPaintEvent *event)
{
    // The name column's band in the title colour below the rows' own backgrounds.
    if (m_viewer && model() && model()->rowCount() > 1) {
        QPainter painter(viewport());
        painter.fillRect(QRect(0, 0, columnWidth(0), viewport()->height()).intersected(event->rect()),
                         m_viewer->preference().titleColor());
    }
    ExpansionStateSavedOutlineView::paintEvent(event);
}

} // namespace cv
