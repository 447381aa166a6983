#include "reports/ReportSecurityDialog.h"

#include "document/ReadOnlyBook.h"

#include <QTreeWidget>

#include <algorithm>

namespace cv {

ReportSecurityDialog::ReportSecurityDialog(ReadOnlyBook *doc, std::vector<SecurityPtr> &selectedList, QWidget *parent)
    : ReportSelectionDialog("Report-Dialog-Securities", parent), m_selectedList(selectedList)
{
    if (doc) m_securities = doc->securityList();
    list()->setColumnCount(2);
    list()->setRootIsDecorated(false);
    for (size_t i = 0; i < m_securities.size(); ++i) {
        auto *item = new QTreeWidgetItem(list());
        item->setText(0, m_securities[i]->name());
        item->setText(1, m_securities[i]->kindName());
        item->setData(0, Qt::UserRole, int(i));
        markChosen(*item, std::find(selectedList.begin(), selectedList.end(), m_securities[i]) != selectedList.end());
    }
}

bool ReportSecurityDialog::actsOn(const QTreeWidgetItem &) const
{
    return true;
}

void ReportSecurityDialog::apply()
{
    std::vector<SecurityPtr> chosen;
    for (int row = 0; row < list()->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list()->topLevelItem(row);
        if (item->isSelected() || item->checkState(0) == Qt::Checked)
            chosen.push_back(m_securities[size_t(item->data(0, Qt::UserRole).toInt())]);
    }
    m_selectedList = std::move(chosen);
}

} // namespace cv
