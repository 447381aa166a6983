#pragma once
// The viewer's account grid: a data or summary cell opens the account's
// entry panel for its days, or for a root, group or summary searches the
// entries of every account below it; the name column opens an account's or
// holding's sheet or renames a group.

#include "mainwindow/viewer/ViewerGrid.h"

namespace cv {

class AccountGrid : public ViewerGrid {
    Q_OBJECT
public:
    using ViewerGrid::ViewerGrid;

    QWidget *editItem(const NodePtr &node, const QDate &from, const QDate &to) override;

protected:
    void openFixedColumn(Node *node, int columnId) override;
};

} // namespace cv
