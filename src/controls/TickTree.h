#pragma once
// A check-box outline of the document's accounts (asset and debt roots) or
// categories (income and expense roots). The ticks live in the tree nodes'
// own status, so they stay after the dialog closes; setDocument clears them.
// Ticking a node ticks its subtree, and a parent whose children are all
// ticked is ticked in turn; unticking clears the subtree and every ancestor.
// Columns: 0 the ticks and names, 1 the account kind (accounts only), 2 the
// name of ticked items only.

#include "controls/ToggleClient.h"
#include "controls/ToggleOutlineView.h"
#include "model/Node.h"

#include <QPointer>

#include <array>
#include <vector>

namespace cv {

class Book;
class ReadOnlyBook;

class TickTree : public ToggleOutlineView, public ToggleClient {
    Q_OBJECT
public:
    explicit TickTree(QWidget *parent = nullptr);
    ~TickTree() override;

    void setDocument(Book *doc, bool selectAccounts);
    bool useAccounts() const { return m_useAccounts; }

    void toggleItem(const QModelIndex &index) override;
    // Wide enough for names and kinds side by side, so a sheet opens without
    // cutting the kind column behind a sideways scroll.
    QSize sizeHint() const override;
    void toggleNode(Node &node);

    // Ticked investment accounts whole, and ticked leaves otherwise.
    std::vector<NodePtr> selectedNodes() const;
    // Ticked investment accounts (the search's trade accounts).
    std::vector<NodePtr> selectedTradeAccounts() const { return selectedAccounts(true); }
    // Ticked leaves other than investment accounts.
    std::vector<NodePtr> selectedTickedAccounts() const { return selectedAccounts(false); }
    std::vector<NodePtr> selectedAccounts(bool wantInvest) const;
    // Clears every tick.
    void deselectAllNodes();

    static void SetChildAllStatus(Node &node, int value);
    static void SetParentAllStatus(Node &node, int value);
    // Ticks a node with its subtree (and a parent whose children are all
    // ticked), or clears it with its subtree and parents, without notice.
    static void applyToggle(Node &node);

    QModelIndex indexOfNode(const Node *node) const;
    Node *nodeAt(const QModelIndex &index) const;
    QString kindName(const Node &node) const;
    // The kind of an account as the outline's second column and the reports show it.
    static QString kindName(const ReadOnlyBook *doc, const Node &node);
    const std::array<NodePtr, 2> &roots() const { return m_root; }

private:
    class Model;
    friend class Model;

    void collect(std::vector<NodePtr> &out, const NodePtr &node) const;
    void collect(std::vector<NodePtr> &out, const NodePtr &node, bool wantInvest) const;
    void refresh();

    QPointer<Book> m_doc;
    std::array<NodePtr, 2> m_root; // asset and debt, or income and expense
    bool m_useAccounts = true;
    Model *m_model;
};

} // namespace cv
