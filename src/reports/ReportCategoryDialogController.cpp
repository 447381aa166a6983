#include "reports/ReportCategoryDialogController.h"

#include "document/CV4Document.h"
#include "reports/ReportAccountDialogController.h"
#include "reports/ReportOutlineModel.h"

#include <QTreeWidget>

namespace cv {

namespace {

void addNode(QTreeWidgetItem *parent, QTreeWidget *list, const CV4Document &doc, const CVUnitModelPtr &node,
             int depth, int tier)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(list);
    item->setText(0, doc.displayName(*node));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(node.get())));
    item->setData(0, Qt::UserRole + 1, depth);
    ReportSelectionDialog::markChosen(*item, node->status() != 0);
    if (tier > 0 && depth >= tier) return;
    for (const CVUnitModelPtr &child : node->children()) addNode(item, list, doc, child, depth + 1, tier);
}

} // namespace

ReportCategoryDialogController::ReportCategoryDialogController(CV4Document *doc, int tier, QWidget *parent)
    : ReportSelectionDialog("Report-Dialog-Categories", parent), m_doc(doc), m_tier(tier)
{
    if (doc && doc->actualModel())
        for (const CVUnitModelPtr &root : {doc->actualModel()->income(), doc->actualModel()->expense()})
            if (root) addNode(nullptr, list(), *doc, root, 0, tier);
    list()->expandAll();
}

bool ReportCategoryDialogController::actsOn(const QTreeWidgetItem &item) const
{
    const CVUnitModel *node = ReportAccountDialogController::nodeOf(item);
    if (!node) return false;
    if (node->countChild() == 0) return true;
    return m_tier >= 1 && item.data(0, Qt::UserRole + 1).toInt() == m_tier;
}

void ReportCategoryDialogController::apply()
{
    for (QTreeWidgetItem *item : list()->selectedItems())
        if (actsOn(*item)) ReportAccountDialogController::nodeOf(*item)->setStatus(1);
}

} // namespace cv
