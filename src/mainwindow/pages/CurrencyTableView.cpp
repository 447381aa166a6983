#include "mainwindow/pages/CurrencyTableView.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace cv {

namespace {
std::optional<int> draggedRow(const QDropEvent *event, const QWidget *table)
{
    const QMimeData *mime = event->mimeData();
    if (!mime || event->source() != table || !mime->hasFormat(QLatin1String(CurrencyTableView::kDragType)))
        return std::nullopt;
    bool ok = false;
    const int row = QString::fromLatin1(mime->data(QLatin1String(CurrencyTableView::kDragType))).toInt(&ok);
    return ok && row >= 0 ? std::optional<int>(row) : std::nullopt;
}
} // namespace

CurrencyTableView::CurrencyTableView(QWidget *parent) : DraggableTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
}

int CurrencyTableView::dropRowAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    if (row < 0) return numberOfRows();
    // Drops fall between rows: the lower half of a row goes below it.
    return point.y() > rowViewportPosition(row) + rowHeight(row) / 2 ? row + 1 : row;
}

void CurrencyTableView::keyPressEvent(QKeyEvent *event)
{
    // Return edits the selected row, which the owner may keep read-only.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
        if (!rows.isEmpty() && client() && !client()->shouldEditColumn(this, cidOfColumn(0), rows.first().row()))
            return;
    }
    DraggableTableView::keyPressEvent(event);
}

void CurrencyTableView::mousePressEvent(QMouseEvent *event)
{
    // A press elsewhere stores the edited cell first.
    if (isEditing()) forceEndFieldEditing(true);
    DraggableTableView::mousePressEvent(event);
}

void CurrencyTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    Q_EMIT cellDoubleClicked(columnAt(pos.x()), rowAt(pos.y()));
}

void CurrencyTableView::startDrag(Qt::DropActions)
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (rows.isEmpty()) return;
    const int row = rows.last().row();
    if (m_canDrag && !m_canDrag(row)) return;
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(kDragType), QByteArray::number(row));
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void CurrencyTableView::dragEnterEvent(QDragEnterEvent *event)
{
    if (draggedRow(event, this))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CurrencyTableView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!draggedRow(event, this)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CurrencyTableView::dropEvent(QDropEvent *event)
{
    const std::optional<int> from = draggedRow(event, this);
    if (!from) {
        event->ignore();
        return;
    }
    const int to = dropRowAt(event->position().toPoint());
    const bool moved = m_drop && m_drop(*from, to);
    event->setDropAction(moved ? Qt::MoveAction : Qt::IgnoreAction);
    event->accept();
}

} // namespace cv
