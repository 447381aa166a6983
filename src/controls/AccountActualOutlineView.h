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
#include "model/CVUnitModel.h"

#include <QPointer>

#include <array>
#include <vector>

class CV4Document;

namespace cv {

class AccountActualOutlineView : public ToggleOutlineView, public ToggleClient {
    Q_OBJECT
public:
    explicit AccountActualOutlineView(QWidget *parent = nullptr);
    ~AccountActualOutlineView() override;

    void setDocument(CV4Document *doc, bool selectAccounts);
    bool useAccounts() const { return m_useAccounts; }

    void toggleItem(const QModelIndex &index) override;
    void toggleNode(CVUnitModel &node);

    // Ticked investment accounts whole, and ticked leaves otherwise.
    std::vector<CVUnitModelPtr> selectedNodes() const;
    // Ticked investment accounts (the search's trade accounts).
    std::vector<CVUnitModelPtr> selectedTradeAccounts() const { return selectedAccounts(true); }
    // Ticked leaves other than investment accounts.
    std::vector<CVUnitModelPtr> selectedActualAccounts() const { return selectedAccounts(false); }
    std::vector<CVUnitModelPtr> selectedAccounts(bool wantInvest) const;
    // Clears every tick.
    void deselectAllNodes();

    static void SetChildAllStatus(CVUnitModel &node, int value);
    static void SetParentAllStatus(CVUnitModel &node, int value);
    // Ticks a node with its subtree (and a parent whose children are all
    // ticked), or clears it with its subtree and parents, without notice.
    static void applyToggle(CVUnitModel &node);

    QModelIndex indexOfNode(const CVUnitModel *node) const;
    CVUnitModel *nodeAt(const QModelIndex &index) const;
    QString kindName(const CVUnitModel &node) const;
    // The kind of an account as the outline's second column and the reports show it.
    static QString kindName(const CV4Document *doc, const CVUnitModel &node);
    const std::array<CVUnitModelPtr, 2> &roots() const { return m_root; }

private:
    class Model;
    friend class Model;

    void collect(std::vector<CVUnitModelPtr> &out, const CVUnitModelPtr &node) const;
    void collect(std::vector<CVUnitModelPtr> &out, const CVUnitModelPtr &node, bool wantInvest) const;
    void refresh();

    QPointer<CV4Document> m_doc;
    std::array<CVUnitModelPtr, 2> m_root;   // asset and debt, or income and expense
    bool m_useAccounts = true;
    Model *m_model;
};

} // namespace cv
