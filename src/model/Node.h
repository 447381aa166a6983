#pragma once
// One node of the account and category trees, and the item of every chooser
// list. A node owns its children and its detail record (`extra`); the parent
// is a plain pointer. Nodes live in std::shared_ptr: searches that may answer
// the receiver itself hand it out through shared_from_this.

#include "model/DomainEnums.h"
#include "platform/KeyedArchiver.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cv {

class Node;
using NodePtr = std::shared_ptr<Node>;

class Node : public cv::KeyedArchivable, public std::enable_shared_from_this<Node> {
public:
    Node() = default;
    ~Node() override;
    Node(const Node &) = delete;
    Node &operator=(const Node &) = delete;

    // Fields. Kinds: 0 summary root / command row, 1 section root, 3 cash part
    // of an investment account, 5 system transfer item, 6 holding, 20 group
    // folder, 21 category, 30-33 asset accounts, 40-42 debts, 50/51 summaries.
    int ident() const { return m_ident; }
    void setIdent(int ident) { m_ident = ident; }
    cv::NodeKind kind() const { return m_kind; }
    void setKind(cv::NodeKind kind) { m_kind = kind; }
    int status() const { return m_status; }
    void setStatus(int status) { m_status = status; }
    int intValue() const { return m_status; }
    bool collapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed) { m_collapsed = collapsed; }
    bool isExpanded() const { return !m_collapsed; }
    const QString &name() const { return m_name; } // null = none
    void setName(const QString &name) { m_name = name; }
    int currency() const { return m_currency; } // 0 = not set
    void setCurrency(int currency) { m_currency = currency; }
    const cv::ArchivablePtr &extra() const { return m_extra; }
    void setExtra(cv::ArchivablePtr extra) { m_extra = std::move(extra); }

    // Tree building. A node that is null, the receiver or one of its
    // ancestors is refused (false, nothing changes): it would close a loop.
    // A node that has a parent is moved: it leaves its old list first.
    Node *parent() const { return m_parent; }
    void setParent(Node *parent) { m_parent = parent; }
    void setParentValue(int status); // the parent's status
    bool appendChild(NodePtr child);
    // 0 <= index <= countChild(); moving within the list, the index counts
    // the list before the move.
    bool insertChild(NodePtr child, int index);
    // Removes every child equal to the given one (isEqual); no-op without a list.
    void removeChild(NodePtr child);
    // Replaces the list (present afterwards, even when empty); a list that
    // names a node twice is refused.
    bool setChildren(std::vector<NodePtr> children);
    // The list is "missing" until the first insertion; children() is then empty.
    bool hasChildList() const { return m_children.has_value(); }
    const std::vector<NodePtr> &children() const;
    int countChild() const;
    NodePtr childAt(int index) const; // null when out of range
    // Position among the parent's children: 0 without a parent, the parent's
    // child count when not found.
    int index() const;
    Node *root();
    bool hasAncestor(const Node *node) const; // the receiver counts

    // Key-value access by field name: "ident", "kind", "status", "intValue",
    // "currency" (int), "collapsed", "isExpanded" (bool), "name" (QString, an
    // invalid QVariant when none), "extra" (cv::ArchivablePtr, invalid when
    // none). Unknown keys answer an invalid QVariant.
    QVariant valueForKey(const QString &key) const;

    // Searches over the subtree, receiver first.
    // Pre-order, children first to last; the first node whose value equals.
    NodePtr findMemberWithValue(const QVariant &value, const QString &key);
    NodePtr findMemberWithIdent(int ident);
    NodePtr findMemberWithExtra(const cv::ArchivablePtr &extra);
    // A node whose value differs; kind 32 and nodes without children are the
    // candidates (an investment account is one item). Children last to first.
    NodePtr findMemberWithoutValue(const QVariant &value, const QString &key);
    // The given node when it is in the subtree (identity); children last to first.
    NodePtr findMember(const NodePtr &node);
    NodePtr findMemberWithName(const QString &name); // children last to first
    // Removes the first node equal to the given one from its parent; the
    // receiver is tested first, then children last to first. False when
    // nothing was removed (also when the receiver matched but has no parent).
    bool removeMember(const Node &node);
    int greatestIdent(int seed) const;
    // Child indices from the receiver to the node, ending with -1; none when
    // the node is not in the subtree. Children are tried last to first.
    std::optional<std::vector<int>> pathToChild(const Node *node) const;
    // A child at index 1 or later (child 0 is the cash part) holds the security.
    bool investmentAccountHoldsSecurity(int security) const;

    // Gives leaves and investment accounts without a currency the default one.
    void fixDefaultCurrency(int defaultCurrencyIdent);

    // Status walks.
    // Pre-order walk that stops at the first node the predicate accepts.
    bool reduce(const std::function<bool(Node &)> &predicate);
    // The node's status when non-zero; else 1 when any child's deepStatus is non-zero.
    int deepStatus() const;
    bool deepStatus2();
    int sumStatusWithoutGroups() const; // status != 0, kind not 1, 3, 6, 20
    int sumMembersMatching(const std::function<bool(const Node &)> &delegate) const;
    int sumMembersAndGroups(bool withGroups) const; // false leaves out kinds 1 and 20
    bool allStatus() const;                         // every status exactly 1

    // Identity: the same object, or (receiver's ident >= 1) same ident and kind.
    bool isEqual(const Node *other) const;
    bool isEqual(const Node &other) const { return isEqual(&other); }
    // A detached copy of the subtree sharing each node's extra; status and
    // collapsed start fresh.
    NodePtr deepCopy() const;
    QString description() const;

    // Idents of the category items (isCategory) of the subtree in pre-order,
    // not descending below one. No terminating 0 and no limit on the count.
    std::vector<int> enumerateCategories() const;

    // Budget arithmetic (Node_Budget.cpp): the node's own budget plus
    // that of every descendant.
    double budgetAtDate(const QDate &date) const;
    double budgetAtDate(const QDate &date, int months) const;
    double budgetAt(int year, int month) const;
    void setBudgetAt(int year, int month, double value);
    void setBudgetAfter(int year, int month, double value);
    void clear();

    // Kind tests and account queries (Node_Asset.cpp).
    bool isCategory() const; // 21, 5
    bool isAsset() const;    // 30-33
    bool isCash() const;     // 30, 31
    bool isDebt() const;     // 40-42
    bool isPayable() const;  // 30, 31, 33, 40
    bool isAccount() const;  // 30-49, 6, 3
    // An extra without an opening balance or start date counts as 0 / no date.
    double assetInitialValue() const;
    QDate assetInitialDate() const;
    QString assetKindName() const; // null for kinds without a name
    // Whether the account has started by the date (cash parts and holdings ask
    // their investment account).
    bool validAtDate(const QDate &date) const;

    // Keyed archiving.
    QString archiveClassName() const override;
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    NodePtr self();
    bool canAdopt(const NodePtr &child) const;
    bool removeNode(Node &node); // from the list; true when something went
    void detach(Node &child);    // this very object from the list
    // Every child is there once and points back here.
    bool childrenAreATree() const;
    void collectCategories(std::vector<int> &out) const;

    int m_ident = -1;
    cv::NodeKind m_kind = cv::NodeKind::SummaryRoot;
    int m_status = 1;
    bool m_collapsed = false;
    QString m_name;
    Node *m_parent = nullptr;
    std::optional<std::vector<NodePtr>> m_children;
    int m_currency = 0;
    cv::ArchivablePtr m_extra;
};

// One above the greatest ident in use, at least 1; none past the type's
// limit, which a book read from outside may already hold.
std::optional<int> identAbove(int greatest);

} // namespace cv
