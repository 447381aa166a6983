#pragma once
// The account trees of a document: assets, debts and account summaries, each
// under a fixed root. Archived whole into the document.

#include "model/Node.h"
#include "platform/KeyedArchiver.h"

#include <initializer_list>
#include <memory>
#include <optional>

namespace cv {

class AccountTrees : public cv::KeyedArchivable {
public:
    enum RootIdent { AssetRoot = 1, DebtRoot = 2, SummaryRoot = 3 };
    enum { WalletIdent = 10 };

    // Makes the three fixed roots. A decoded model holds exactly the roots
    // its archive holds, so any root may be null.
    AccountTrees();

    NodePtr asset() const { return m_asset; }
    void setAsset(NodePtr root) { m_asset = std::move(root); }
    NodePtr debt() const { return m_debt; }
    void setDebt(NodePtr root) { m_debt = std::move(root); }
    NodePtr summary() const { return m_summary; }
    void setSummary(NodePtr root) { m_summary = std::move(root); }

    // Items of a new document: none for accounts.
    void setDefault() {}
    // Adds the cash account "Wallet" (ident 10) when the asset tree lacks it.
    void setSystemItems();
    // One more than the greatest ident in use, at least 1000; none once the
    // greatest stands at the type's limit.
    std::optional<int> uniqueId() const;
    // Whether the node hangs below one of these roots: a node of a tree
    // replaced since (a failed edit read back) does not.
    bool holds(const Node &node) const;

    QString archiveClassName() const override { return QStringLiteral("CV4AccountModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    NodePtr m_asset;
    NodePtr m_debt;
    NodePtr m_summary;
};

using AccountTreesPtr = std::shared_ptr<AccountTrees>;

// A node of a fixed kind and ident named by the text of a localisation key.
NodePtr makeSystemNode(int ident, NodeKind kind, const char *nameKey);
// Whether decoded roots form separate trees: none is listed twice or hangs
// below another node.
bool rootsAreSeparate(std::initializer_list<const Node *> roots);
// The least ident handed out for user items is one above this.
inline constexpr int kUniqueIdSeed = 999;
// One above the greatest ident below the roots (`identAbove`).
std::optional<int> identAfter(std::initializer_list<const Node *> roots);

} // namespace cv
