#include "reports/ReportGroupDialog.h"

#include <QTreeWidget>

namespace cv {

ReportGroupDialog::ReportGroupDialog(Book *, std::vector<Row> &groupList, QWidget *parent)
    : ReportSelectionDialog("Report-Dialog-Groupings", parent), m_rows(groupList)
{
    list()->setRootIsDecorated(false);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        auto *item = new QTreeWidgetItem(list());
        item->setText(0, m_rows[i].name);
        item->setData(0, Qt::UserRole, int(i));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
}

bool ReportGroupDialog::actsOn(const QTreeWidgetItem &) const
{
    return true;
}

void ReportGroupDialog::apply()
{
    for (QTreeWidgetItem *item : list()->selectedItems()) {
        const int row = item->data(0, Qt::UserRole).toInt();
        if (row >= 0 && size_t(row) < m_rows.size()) m_rows[size_t(row)].select = 1;
    }
}

} // namespace cv
