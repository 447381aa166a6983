#include "controls/SelectionSafeTableView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>

namespace cv {

SelectionSafeTableView::SelectionSafeTableView(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void SelectionSafeTableView::selectRow(int row, int columnHint, const QMouseEvent *event)
{
    Q_UNUSED(columnHint);
    Q_UNUSED(event);
    if (!model() || row < 0 || row >= model()->rowCount()) return;
    selectionModel()->select(model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::NoUpdate);
}

void SelectionSafeTableView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid() && !selectionModel()->isRowSelected(index.row(), {})) {
        const QMouseEvent press(QEvent::MouseButtonPress, event->pos(), viewport()->mapToGlobal(event->pos()),
                                Qt::RightButton, Qt::RightButton, event->modifiers());
        selectRow(index.row(), index.column(), &press);
    }
    QTableView::contextMenuEvent(event);
}

bool SelectionSafeTableView::isContextClick(const QMouseEvent *event)
{
    if (!event || event->type() != QEvent::MouseButtonPress) return false;
    return event->button() == Qt::RightButton ||
           (event->button() == Qt::LeftButton && (event->modifiers() & Qt::MetaModifier));
}

} // namespace cv
