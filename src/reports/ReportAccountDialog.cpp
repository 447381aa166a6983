#include "reports/ReportAccountDialog.h"

#include "controls/TickTree.h"
#include "document/Book.h"

#include <QTreeWidget>

namespace cv {

namespace {

void addNode(QTreeWidgetItem *parent, QTreeWidget *list, const Book &doc, const NodePtr &node)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(list);
    item->setText(0, doc.displayName(*node));
    item->setText(1, TickTree::kindName(&doc, *node));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(node.get())));
    ReportSelectionDialog::markChosen(*item, node->status() != 0);
    for (const NodePtr &child : node->children()) addNode(item, list, doc, child);
}

} // namespace

ReportAccountDialog::ReportAccountDialog(Book *doc, QWidget *parent)
    : ReportSelectionDialog("Report-Dialog-Accounts", parent), m_doc(doc)
{
    list()->setColumnCount(2);
    if (doc && doc->accountTrees())
        for (const NodePtr &root : {doc->accountTrees()->asset(), doc->accountTrees()->debt()})
            if (root) addNode(nullptr, list(), *doc, root);
    list()->expandAll();
}

Node *ReportAccountDialog::nodeOf(const QTreeWidgetItem &item)
{
    return static_cast<Node *>(item.data(0, Qt::UserRole).value<void *>());
}

bool ReportAccountDialog::actsOn(const QTreeWidgetItem &item) const
{
    return item.childCount() == 0;
}

void ReportAccountDialog::apply()
{
    for (QTreeWidgetItem *item : list()->selectedItems())
        if (actsOn(*item))
            if (Node *node = nodeOf(*item)) node->setStatus(1);
}

} // namespace cv
