#include "mainwindow/viewer/AccountGrid.h"

#include "document/Book.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerValues.h"
#include "model/Node.h"
#include "model/DomainEnums.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

namespace cv {

using cv::NodeKind;

QWidget *AccountGrid::editItem(const NodePtr &node, const QDate &from, const QDate &to)
{
    if (!node || !m_wc || !m_wc->document()) return nullptr;
    NodePtr item = node;
    // The cash part of an investment account stands for the account.
    if (item->kind() == NodeKind::CashPart && item->parent()) item = item->parent()->shared_from_this();
    const auto kind = item->kind();
    const cv::EntryPanelMaker &maker = m_wc->entryPanelMaker();
    if (kind == NodeKind::Holding || kind == NodeKind::Investment)
        return maker ? maker(*this, *m_wc->document(), item, from, to, cv::EntryPanelKind::Trading) : nullptr;
    if (cv::isAssetAccountKind(kind) || cv::isDebtAccountKind(kind))
        return maker ? maker(*this, *m_wc->document(), item, from, to, cv::EntryPanelKind::Account) : nullptr;
    // Roots, groups and summaries: every entry of the accounts below.
    std::vector<NodePtr> accounts;
    cv::ViewerValues::addAccountList(accounts, item);
    if (accounts.empty()) return nullptr;
    if (m_wc->execSearchForAccount(accounts, from, to) >= 0) m_wc->selectTabWithIdentifier(QStringLiteral("TB02"));
    return nullptr;
}

void AccountGrid::openFixedColumn(Node *node, int)
{
    if (!node || !m_wc || !m_wc->document()) return;
    if (node->kind() == NodeKind::Holding) {
        m_wc->editHolding(node->shared_from_this());
        return;
    }
    if (node->kind() >= NodeKind::Cash) {
        m_wc->editAccount(node->shared_from_this());
        return;
    }
    if (node->kind() != NodeKind::Group) return;
    const std::optional<QString> name =
        Alert::inputName(node->name(), cv::localizedString(QStringLiteral("Account Group Title")));
    if (!name || name->isEmpty() || *name == node->name()) return;
    m_wc->document()->renameNode(node->shared_from_this(), *name);
    if (cv::ViewerModel *m = viewerModel()) update(m->indexOfNode(node));
}

} // namespace cv
