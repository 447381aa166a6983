#pragma once
// What one outline of the report sheet shows: the account trees (asset and
// debt roots), the category trees (income and expense roots), the securities
// or the groupings with "No Grouping". Every row reads its tick live: a
// node's status, a security's or grouping's outline state; the sheet's
// choice lives there and nowhere else. Columns: 0 the ticks and names, 1 the
// kind (accounts and securities), 2 in the trees the name of a ticked node only.

#include "model/Security.h"
#include "model/Grouping.h"
#include "model/Node.h"

#include <QAbstractItemModel>
#include <QPointer>

#include <array>
#include <vector>

namespace cv {

class Book;

class ReportOutlineModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Mode { Accounts, Categories, Securities, Groupings };

    ReportOutlineModel(Book *doc, Mode mode, QObject *parent = nullptr);

    Mode mode() const { return m_mode; }
    // Categories at this depth or deeper do not open; 0: no limit.
    void setTier(int tier);
    int tier() const { return m_tier; }
    // Reads the trees or lists again.
    void reload();
    // Repaints the ticks.
    void refresh();

    Node *nodeAt(const QModelIndex &index) const;
    QModelIndex indexOfNode(const Node *node) const;
    const std::array<NodePtr, 2> &roots() const { return m_roots; }
    const std::vector<SecurityPtr> &securities() const { return m_securities; }
    // The document's groupings followed by "No Grouping" (ident 0).
    const std::vector<GroupingPtr> &groupings() const { return m_groupings; }

    // Ticks or clears the row's item: a node ticks its subtree and, when all
    // its siblings are then wholly ticked, its parent in turn; clearing a node
    // clears its subtree and every ancestor. Securities and groupings flip.
    void toggle(const QModelIndex &index);
    // Clears every tick of this outline's items.
    void clearAll();

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    static int depthOf(const Node &node);

private:
    bool isTree() const { return m_mode == Accounts || m_mode == Categories; }
    int rootRow(const Node *node) const;
    bool opens(const Node &node) const;

    QPointer<Book> m_doc;
    Mode m_mode;
    int m_tier = 0;
    std::array<NodePtr, 2> m_roots;        // the two trees' top nodes
    std::vector<SecurityPtr> m_securities; // the document's securities
    std::vector<GroupingPtr> m_groupings;  // the document's groupings and "No Grouping"
};

} // namespace cv
