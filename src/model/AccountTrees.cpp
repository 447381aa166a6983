#include "model/AccountTrees.h"

#include "platform/Localization.h"

#include <algorithm>

namespace cv {

namespace {

const QString kAsset = QStringLiteral("asset");
const QString kDebt = QStringLiteral("debt");
const QString kSummary = QStringLiteral("summary");

} // namespace

NodePtr makeSystemNode(int ident, cv::NodeKind kind, const char *nameKey)
{
    auto node = std::make_shared<Node>();
    node->setIdent(ident);
    node->setKind(kind);
    node->setName(cv::localizedString(nameKey));
    return node;
}

bool rootsAreSeparate(std::initializer_list<const Node *> roots)
{
    for (auto it = roots.begin(); it != roots.end(); ++it) {
        if (!*it) continue;
        if ((*it)->parent() || std::find(roots.begin(), it, *it) != it) return false;
    }
    return true;
}

std::optional<int> identAfter(std::initializer_list<const Node *> roots)
{
    int greatest = kUniqueIdSeed;
    for (const Node *root : roots) {
        if (root) greatest = root->greatestIdent(greatest);
    }
    return identAbove(greatest);
}

AccountTrees::AccountTrees()
    : m_asset(cv::makeSystemNode(AssetRoot, cv::NodeKind::SectionRoot, "SYS:Account-Asset")),
      m_debt(cv::makeSystemNode(DebtRoot, cv::NodeKind::SectionRoot, "SYS:Account-Debt")),
      m_summary(cv::makeSystemNode(SummaryRoot, cv::NodeKind::SectionRoot, "SYS:Account-Summary"))
{
}

void AccountTrees::setSystemItems()
{
    if (!m_asset || m_asset->findMemberWithIdent(WalletIdent)) return;
    m_asset->appendChild(cv::makeSystemNode(WalletIdent, cv::NodeKind::Cash, "Wallet"));
}

std::optional<int> AccountTrees::uniqueId() const
{
    return identAfter({m_asset.get(), m_debt.get(), m_summary.get()});
}

bool AccountTrees::holds(const Node &node) const
{
    const Node *root = &node;
    while (root->parent()) root = root->parent();
    return root == m_asset.get() || root == m_debt.get() || root == m_summary.get();
}

void AccountTrees::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    // What the reader would refuse is not written.
    if (!cv::rootsAreSeparate({m_asset.get(), m_debt.get(), m_summary.get()})) {
        coder.fail();
        return;
    }
    if (m_asset) coder.encodeObject(kAsset, m_asset);
    if (m_debt) coder.encodeObject(kDebt, m_debt);
    if (m_summary) coder.encodeObject(kSummary, m_summary);
}

bool AccountTrees::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_asset = coder.decodeObjectOfClassForKey<Node>(kAsset);
    m_debt = coder.decodeObjectOfClassForKey<Node>(kDebt);
    m_summary = coder.decodeObjectOfClassForKey<Node>(kSummary);
    if (!cv::rootsAreSeparate({m_asset.get(), m_debt.get(), m_summary.get()})) coder.fail();
    return !coder.failed();
}

} // namespace cv
