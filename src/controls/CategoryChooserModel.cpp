#include "controls/CategoryChooserModel.h"

#include "model/DomainEnums.h"
#include "document/Book.h"

namespace cv {

void CategoryChooserModel::setDocument(Book *doc, int mode, bool flat)
{
    m_isFlat = flat;
    beginFill(doc);
    const CategoryTreesPtr model = doc ? doc->categoryTrees() : nullptr;
    // Copies: the list marks its trees expanded, the document's flags stay.
    const auto put = [this](const NodePtr &root) {
        if (root) putIntoData(root->deepCopy());
    };
    if (model && (mode & 16)) {
        putIntoData(makeSystemNode(CategoryTrees::MoneyFlowRoot, NodeKind::SystemItem, "SYS:Transfer"));
        put(model->income());
        put(model->expense());
    } else if (model) {
        if (mode == 8 || mode == 4) put(model->moneyFlow());
        if (mode & 1) put(model->income());
        if (mode & 2) put(model->expense());
    }
    endFill();
}

void CategoryChooserModel::putIntoData(const NodePtr &node)
{
    if (!m_isFlat) {
        ChooserModel::putIntoData(node);
        return;
    }
    putChildrenIntoData(node, node);
}

void CategoryChooserModel::putChildrenIntoData(const NodePtr &node, const NodePtr &tree)
{
    if (node->countChild() == 0) {
        appendDuringFill(ChooserItem::fromNode(node, tree));
        return;
    }
    for (const NodePtr &child : node->children()) putChildrenIntoData(child, tree);
}

EntryKind CategoryChooserModel::kindOfCategory(int ident) const
{
    for (const ChooserItem &entry : objects()) {
        if (!entry.node()) continue;
        const NodePtr found = entry.node()->findMemberWithIdent(ident);
        if (!found) continue;
        switch (found->root()->ident()) {
        case CategoryTrees::MoneyFlowRoot: return EntryKind::Transfer;
        case CategoryTrees::IncomeRoot: return EntryKind::Income;
        case CategoryTrees::ExpenseRoot: return EntryKind::Expense;
        default: return EntryKind::Income; // not a category tree
        }
    }
    return EntryKind::Income;
}

} // namespace cv
