#include "controls/ToggleOutlineView.h"

#include "controls/TallTextCell.h"
#include "controls/ToggleClient.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace cv {

ToggleOutlineView::ToggleOutlineView(QWidget *parent) : QTreeView(parent)
{
    setEditTriggers(NoEditTriggers);
    setUniformRowHeights(true);
}

void ToggleOutlineView::setModel(QAbstractItemModel *model)
{
    QTreeView::setModel(model);
    if (model && model->columnCount() >= 2 && !qobject_cast<TallTextCell *>(itemDelegateForColumn(1)))
        setItemDelegateForColumn(1, new TallTextCell(font(), this));
}

bool ToggleOutlineView::isTicked(const QModelIndex &index)
{
    return index.siblingAtColumn(0).data(Qt::CheckStateRole).toInt() != Qt::Unchecked;
}

void ToggleOutlineView::reload()
{
    viewport()->update();
}

void ToggleOutlineView::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled() || !model()) return;
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || index.column() != 0) return;
    if (!visualRect(index).contains(point)) {
        QTreeView::mousePressEvent(event);
        return;
    }
    if (m_client) m_client->toggleItem(index);
    reload();
}

void ToggleOutlineView::expandItem(const QModelIndex &index, bool expandChildren)
{
    if (!model()) return;
    if (index.isValid()) {
        if (expandChildren)
            expandRecursively(index);
        else
            expand(index);
        return;
    }
    for (int row = 0; row < model()->rowCount(); ++row) expandItem(model()->index(row, 0), expandChildren);
}

int ToggleOutlineView::totalChildrenOfItem(const QModelIndex &index) const
{
    if (!model()) return 0;
    const int rows = model()->rowCount(index);
    int total = rows;
    for (int row = 0; row < rows; ++row) total += totalChildrenOfItem(model()->index(row, 0, index));
    return total;
}

int ToggleOutlineView::fullHeight() const
{
    if (!model() || model()->rowCount() == 0) return 0;
    const int headerHeight = isHeaderHidden() ? 0 : header()->sizeHint().height();
    return (totalChildrenOfItem(QModelIndex()) + 1) * rowHeight(model()->index(0, 0)) + headerHeight;
}

QModelIndexList ToggleOutlineView::selectedItems() const
{
    QModelIndexList items;
    if (!model()) return items;
    for (int row = 0; row < model()->rowCount(); ++row) {
        const QModelIndex index = model()->index(row, 0);
        if (isTicked(index)) items.append(index);
    }
    return items;
}

void ToggleOutlineView::deselectItem(const QModelIndex &index)
{
    if (!model()) return;
    if (index.isValid() && isTicked(index) && m_client) m_client->toggleItem(index);
    for (int row = model()->rowCount(index) - 1; row >= 0; --row) deselectItem(model()->index(row, 0, index));
}

void ToggleOutlineView::deselectAll()
{
    deselectItem(QModelIndex());
    reload();
}

} // namespace cv
