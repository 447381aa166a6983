#include "controls/AccountChooserModel.h"

#include "controls/CommandRow.h"
#include "document/Book.h"
#include "model/DomainEnums.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

namespace {
AccountChooserModel::NewAccountAction &newAccountAction()
{
    static AccountChooserModel::NewAccountAction action;
    return action;
}
} // namespace

void AccountChooserModel::setNewAccountAction(NewAccountAction action)
{
    newAccountAction() = std::move(action);
}

void AccountChooserModel::appendNewAccountCommand(NodeKind kind)
{
    QPointer<Book> document(this->document());
    auto command = std::make_shared<CommandRow>(localizedString(QStringLiteral("CreateNewAccount")),
                                                [document, kind](CommandRow &row) {
                                                    const NewAccountAction &action = newAccountAction();
                                                    if (!document || !action) return ChooserItem();
                                                    return action(*document, row, kind);
                                                });
    appendObject(ChooserItem::fromNode(command));
}

bool AccountChooserModel::nonGroupNodeMatchesMode(const Node &node, int mode)
{
    switch (node.kind()) {
    case NodeKind::Cash: return mode & 1;
    case NodeKind::Bank: return mode & 2;
    case NodeKind::Investment: return mode & 4;
    case NodeKind::GeneralAsset: return mode & 8;
    case NodeKind::CreditCard: return mode & 16;
    case NodeKind::Loan: return mode & 32;
    case NodeKind::GeneralDebt: return mode & 64;
    default: return false;
    }
}

void AccountChooserModel::setDocument(Book *doc, int mode, bool flat)
{
    m_groups.clear();
    m_isFlat = flat;
    beginFill(doc);
    if (doc && doc->accountTrees()) {
        if (doc->accountTrees()->asset()) collectFrom(doc->accountTrees()->asset(), mode);
        if (doc->accountTrees()->debt()) collectFrom(doc->accountTrees()->debt(), mode);
    }
    endFill();
}

void AccountChooserModel::collectFrom(const NodePtr &node, int mode)
{
    if (nonGroupNodeMatchesMode(*node, mode)) {
        putIntoData(node);
    } else if (!m_isFlat && (node->kind() == NodeKind::SectionRoot || node->kind() == NodeKind::Group)) {
        NodePtr copy = node->deepCopy();
        stripNonMatchingChildren(*copy, mode);
        putIntoData(copy);
    } else {
        for (const NodePtr &child : node->children()) collectFrom(child, mode);
    }
}

void AccountChooserModel::stripNonMatchingChildren(Node &node, int mode)
{
    for (int index = node.countChild() - 1; index >= 0; --index) {
        const NodePtr child = node.childAt(index);
        if (child->kind() == NodeKind::SectionRoot || child->kind() == NodeKind::Group)
            stripNonMatchingChildren(*child, mode);
        else if (!nonGroupNodeMatchesMode(*child, mode))
            node.removeChild(child);
    }
}

void AccountChooserModel::putIntoData(const NodePtr &node)
{
    if (m_isFlat || !node->parent()) {
        ChooserModel::putIntoData(node);
        return;
    }
    Node *top = node->root();
    if (!m_groups.insert(top).second) return;
    ChooserModel::putIntoData(top->shared_from_this());
}

std::optional<ChooserItem> AccountChooserModel::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : objects())
        if (entry.node() && entry.node()->name() == text) return entry;
    return std::nullopt;
}

} // namespace cv
