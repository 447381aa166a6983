#include "controls/AccountDataSource.h"

#include "controls/CommandUnitModel.h"
#include "document/CV4Document.h"
#include "model/DomainEnums.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

namespace {
AccountDataSource::NewAccountAction &newAccountAction()
{
    static AccountDataSource::NewAccountAction action;
    return action;
}
} // namespace

void AccountDataSource::setNewAccountAction(NewAccountAction action)
{
    newAccountAction() = std::move(action);
}

void AccountDataSource::appendNewAccountCommand(NodeKind kind)
{
    QPointer<CV4Document> document(this->document());
    auto command = std::make_shared<CommandUnitModel>(localizedString(QStringLiteral("CreateNewAccount")),
                                                      [document, kind](CommandUnitModel &row) {
                                                          const NewAccountAction &action = newAccountAction();
                                                          if (!document || !action) return ChooserItem();
                                                          return action(*document, row, kind);
                                                      });
    appendObject(ChooserItem::fromNode(command));
}

bool AccountDataSource::nonGroupNodeMatchesMode(const CVUnitModel &node, int mode)
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

void AccountDataSource::setDocument(CV4Document *doc, int mode, bool flat)
{
    m_groups.clear();
    m_isFlat = flat;
    beginFill(doc);
    if (doc && doc->accountModel()) {
        if (doc->accountModel()->asset()) collectFrom(doc->accountModel()->asset(), mode);
        if (doc->accountModel()->debt()) collectFrom(doc->accountModel()->debt(), mode);
    }
    endFill();
}

void AccountDataSource::collectFrom(const CVUnitModelPtr &node, int mode)
{
    if (nonGroupNodeMatchesMode(*node, mode)) {
        putIntoData(node);
    } else if (!m_isFlat && (node->kind() == NodeKind::SectionRoot || node->kind() == NodeKind::Group)) {
        CVUnitModelPtr copy = node->deepCopy();
        stripNonMatchingChildren(*copy, mode);
        putIntoData(copy);
    } else {
        for (const CVUnitModelPtr &child : node->children()) collectFrom(child, mode);
    }
}

void AccountDataSource::stripNonMatchingChildren(CVUnitModel &node, int mode)
{
    for (int index = node.countChild() - 1; index >= 0; --index) {
        const CVUnitModelPtr child = node.childAt(index);
        if (child->kind() == NodeKind::SectionRoot || child->kind() == NodeKind::Group)
            stripNonMatchingChildren(*child, mode);
        else if (!nonGroupNodeMatchesMode(*child, mode))
            node.removeChild(child);
    }
}

void AccountDataSource::putIntoData(const CVUnitModelPtr &node)
{
    if (m_isFlat || !node->parent()) {
        PopupDataSource::putIntoData(node);
        return;
    }
    CVUnitModel *top = node->root();
    if (!m_groups.insert(top).second) return;
    PopupDataSource::putIntoData(top->shared_from_this());
}

std::optional<ChooserItem> AccountDataSource::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : objects())
        if (entry.node() && entry.node()->name() == text) return entry;
    return std::nullopt;
}

} // namespace cv
