#include "mainwindow/viewer/ExpansionStateSavedOutlineView.h"

#include "model/Node.h"

namespace cv {

ExpansionStateSavedOutlineView::ExpansionStateSavedOutlineView(QWidget *parent) : KeyHandlingOutlineView(parent)
{
    // The signals come for the user's clicks and for code alike.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) { record(index, true); });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) { record(index, false); });
}

Node *ExpansionStateSavedOutlineView::nodeForIndex(const QModelIndex &index) const
{
    return reinterpret_cast<Node *>(index.siblingAtColumn(0).data(NodeRole).value<quintptr>());
}

void ExpansionStateSavedOutlineView::record(const QModelIndex &index, bool expanded)
{
    if (Node *node = nodeForIndex(index)) node->setCollapsed(!expanded);
}

void ExpansionStateSavedOutlineView::restoreExpansionState(const QModelIndex &index)
{
    QAbstractItemModel *m = model();
    if (!m || !m->hasChildren(index)) return;
    if (index.isValid()) {
        if (Node *node = nodeForIndex(index)) setExpanded(index, node->isExpanded());
    }
    for (int row = m->rowCount(index) - 1; row >= 0; --row) restoreExpansionState(m->index(row, 0, index));
}

void ExpansionStateSavedOutlineView::restoreExpansionState()
{
    restoreExpansionState(rootIndex());
}

} // namespace cv
