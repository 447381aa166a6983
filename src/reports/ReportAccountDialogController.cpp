#include "reports/ReportAccountDialogController.h"

#include "controls/AccountActualOutlineView.h"
#include "document/CV4Document.h"

#include <QTreeWidget>

namespace cv {

namespace {

void addNode(QTreeWidgetItem *parent, QTreeWidget *list, const CV4Document &doc, const CVUnitModelPtr &node)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(list);
    item->setText(0, doc.displayName(*node));
    item->setText(1, AccountActualOutlineView::kindName(&doc, *node));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(node.get())));
    ReportSelectionDialog::markChosen(*item, node->status() != 0);
    for (const CVUnitModelPtr &child : node->children()) addNode(item, list, doc, child);
}

} // namespace

ReportAccountDialogController::ReportAccountDialogController(CV4Document *doc, QWidget *parent)
    : ReportSelectionDialog("Report-Dialog-Accounts", parent), m_doc(doc)
{
    list()->setColumnCount(2);
    if (doc && doc->accountModel())
        for (const CVUnitModelPtr &root : {doc->accountModel()->asset(), doc->accountModel()->debt()})
            if (root) addNode(nullptr, list(), *doc, root);
    list()->expandAll();
}

CVUnitModel *ReportAccountDialogController::nodeOf(const QTreeWidgetItem &item)
{
    return static_cast<CVUnitModel *>(item.data(0, Qt::UserRole).value<void *>());
}

bool ReportAccountDialogController::actsOn(const QTreeWidgetItem &item) const
{
    return item.childCount() == 0;
}

void ReportAccountDialogController::apply()
{
    for (QTreeWidgetItem *item : list()->selectedItems())
        if (actsOn(*item))
            if (CVUnitModel *node = nodeOf(*item)) node->setStatus(1);
}

} // namespace cv
