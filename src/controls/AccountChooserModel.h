#pragma once
// Asset and debt accounts chosen by kind bits: 1 cash, 2 bank, 4 investment,
// 8 other asset, 16 card, 32 loan, 64 other debt. As a tree: stripped copies
// of the asset and debt roots that keep every group folder (also empty ones);
// flat: every matching account in tree order. The command row
// "CreateNewAccount" runs the action the main window registers (the new
// account sheet for a kind) and picks the account it made.

#include "controls/ChooserModel.h"

#include <functional>

#include <unordered_set>

namespace cv {

class AccountChooserModel : public ChooserModel {
    Q_OBJECT
public:
    // Runs the new-account sheet for the node kind: the stored account at once,
    // or none, handing it back later through the row's returnItem().
    using NewAccountAction = std::function<ChooserItem(Book &doc, CommandRow &row, NodeKind kind)>;

    using ChooserModel::ChooserModel;

    // Process-wide; without one the command row picks nothing.
    static void setNewAccountAction(NewAccountAction action);
    // Appends the "CreateNewAccount" row for accounts of the node kind (after a fill).
    void appendNewAccountCommand(NodeKind kind);

    void setDocument(Book *doc, int mode) override { setDocument(doc, mode, false); }
    void setDocument(Book *doc, int mode, bool flat);
    // Only top-level entries are matched by name.
    std::optional<ChooserItem> getObjectValue(const QString &text) const override;

    static bool nonGroupNodeMatchesMode(const Node &node, int mode);

protected:
    void putIntoData(const NodePtr &node) override;

private:
    void collectFrom(const NodePtr &node, int mode);
    static void stripNonMatchingChildren(Node &node, int mode);

    std::unordered_set<const Node *> m_groups; // top-level trees already put
    bool m_isFlat = false;
};

} // namespace cv
