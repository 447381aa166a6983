#pragma once
// The viewer's category grid: a cell opens the transfer or the income and
// expense panel for its days; the name column renames the user's groups
// and categories.

#include "mainwindow/viewer/ViewerGrid.h"

namespace cv {

class CategoryGrid : public ViewerGrid {
    Q_OBJECT
public:
    using ViewerGrid::ViewerGrid;

    QWidget *editItem(const NodePtr &node, const QDate &from, const QDate &to) override;

protected:
    void openFixedColumn(Node *node, int columnId) override;
};

} // namespace cv
