#pragma once
// The viewer's category grid: a cell opens the transfer or the income and
// expense panel for its days; the name column renames the user's groups
// and categories.

#include "mainwindow/CV4AccountView.h"

class ActualOutlineView : public CV4AccountView {
    Q_OBJECT
public:
    using CV4AccountView::CV4AccountView;

    QWidget *editItem(const CVUnitModelPtr &node, const QDate &from, const QDate &to) override;

protected:
    void openFixedColumn(CVUnitModel *node, int columnId) override;
};
