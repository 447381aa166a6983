#include "controls/ActualDataSource.h"

#include "model/DomainEnums.h"
#include "document/CV4Document.h"

namespace cv {

void ActualDataSource::setDocument(CV4Document *doc, int mode, bool flat)
{
    m_isFlat = flat;
    beginFill(doc);
    const CV4ActualModelPtr model = doc ? doc->actualModel() : nullptr;
    // Copies: the list marks its trees expanded, the document's flags stay.
    const auto put = [this](const CVUnitModelPtr &root) {
        if (root) putIntoData(root->deepCopy());
    };
    if (model && (mode & 16)) {
        putIntoData(makeSystemNode(CV4ActualModel::MoneyFlowRoot, NodeKind::SystemItem, "SYS:Transfer"));
        put(model->income());
        put(model->expense());
    } else if (model) {
        if (mode == 8 || mode == 4) put(model->moneyFlow());
        if (mode & 1) put(model->income());
        if (mode & 2) put(model->expense());
    }
    endFill();
}

void ActualDataSource::putIntoData(const CVUnitModelPtr &node)
{
    if (!m_isFlat) {
        PopupDataSource::putIntoData(node);
        return;
    }
    putChildrenIntoData(node, node);
}

void ActualDataSource::putChildrenIntoData(const CVUnitModelPtr &node, const CVUnitModelPtr &tree)
{
    if (node->countChild() == 0) {
        appendDuringFill(ChooserItem::fromNode(node, tree));
        return;
    }
    for (const CVUnitModelPtr &child : node->children()) putChildrenIntoData(child, tree);
}

EntryKind ActualDataSource::kindOfCategory(int ident) const
{
    for (const ChooserItem &entry : objects()) {
        if (!entry.node()) continue;
        const CVUnitModelPtr found = entry.node()->findMemberWithIdent(ident);
        if (!found) continue;
        switch (found->root()->ident()) {
        case CV4ActualModel::MoneyFlowRoot: return EntryKind::Transfer;
        case CV4ActualModel::IncomeRoot: return EntryKind::Income;
        case CV4ActualModel::ExpenseRoot: return EntryKind::Expense;
        default: return EntryKind::Income;   // not a category tree
        }
    }
    return EntryKind::Income;
}

} // namespace cv
