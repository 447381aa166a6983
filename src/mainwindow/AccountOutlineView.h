#pragma once
// The viewer's account grid: a data or summary cell opens the account's
// entry panel for its days, or for a root, group or summary searches the
// entries of every account below it; the name column opens an account's or
// holding's sheet or renames a group.

#include "mainwindow/CV4AccountView.h"

class AccountOutlineView : public CV4AccountView {
    Q_OBJECT
public:
    using CV4AccountView::CV4AccountView;

    QWidget *editItem(const CVUnitModelPtr &node, const QDate &from, const QDate &to) override;

protected:
    void openFixedColumn(CVUnitModel *node, int columnId) override;
};
