#include "reports/ReportCategoryDialog.h"

#include "document/Book.h"
#include "reports/ReportAccountDialog.h"
#include "reports/ReportOutlineModel.h"

#include <QTreeWidget>

namespace cv {

namespace {

void addNode(QTreeWidgetItem *parent, QTreeWidget *list, const Book &doc, const NodePtr &node, int depth, int tier)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(list);
    item->setText(0, doc.displayName(*node));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(node.get())));
    item->setData(0, Qt::UserRole + 1, depth);
    ReportSelectionDialog::markChosen(*item, node->status() != 0);
    if (tier > 0 && depth >= tier) return;
    for (const NodePtr &child : node->children()) addNode(item, list, doc, child, depth + 1, tier);
}

} // namespace

ReportCategoryDialog::ReportCategoryDialog(Book *doc, int tier, QWidget *parent)
    : ReportSelectionDialog("Report-Dialog-Categories", parent), m_doc(doc), m_tier(tier)
{
    if (doc && doc->categoryTrees())
        for (const NodePtr &root : {doc->categoryTrees()->income(), doc->categoryTrees()->expense()})
            if (root) addNode(nullptr, list(), *doc, root, 0, tier);
    list()->expandAll();
}

bool ReportCategoryDialog::actsOn(const QTreeWidgetItem &item) const
{
    const Node *node = ReportAccountDialog::nodeOf(item);
    if (!node) return false;
    if (node->countChild() == 0) return true;
    return m_tier >= 1 && item.data(0, Qt::UserRole + 1).toInt() == m_tier;
}

void ReportCategoryDialog::apply()
{
    for (QTreeWidgetItem *item : list()->selectedItems())
        if (actsOn(*item)) ReportAccountDialog::nodeOf(*item)->setStatus(1);
}

} // namespace cv
