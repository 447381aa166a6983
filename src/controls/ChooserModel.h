#pragma once
// The list behind one chooser popup and, at the same time, the text
// conversion of the table column it fills: item to text, typed text to item,
// stored ident to the item to preselect. Owners fill it before every run
// (setDocument), may narrow it (exclude, restrictKey) and hand it to the
// popup. Every fill drops the previous list; trees are deep copies wherever
// the list differs from the document, so a chooser never changes the
// document's own trees.
//
// As an item model: one column; a top-level row is an entry of objects(),
// deeper rows are the children of tree nodes. Only section roots, group
// folders and kind 2 show children.

#include "controls/ChooserItem.h"

#include <QAbstractItemModel>
#include <QHash>

#include <vector>

namespace cv {

class Book;

class ChooserModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit ChooserModel(QObject *parent = nullptr);

    // Remembers the document and fills the list; the mode is the subclass's.
    virtual void setDocument(Book *doc, int mode);
    Book *document() const { return m_doc; }

    const std::vector<ChooserItem> &objects() const { return m_root; }
    void appendObject(const ChooserItem &item);

    virtual ChooserItem objectWithIdentifier(int ident) const;
    virtual QString stringForObjectValue(const ChooserItem &item) const;
    // The item whose name is the text; nothing when none.
    virtual std::optional<ChooserItem> getObjectValue(const QString &text) const;

    // Leaves the node out of the list (a copy loses it; the document keeps it).
    void exclude(const NodePtr &node);
    // Keeps only items whose value for the key equals the value; command rows stay.
    void restrictKey(const QString &key, const QVariant &value);

    static bool isExpandable(const ChooserItem &item);

    // The item of a row, holding what keeps its tree alive.
    ChooserItem itemForIndex(const QModelIndex &index) const;
    // Depth first from the top: the row of the first item sameAs the value.
    QModelIndex indexOfItem(const ChooserItem &value) const;
    QModelIndex indexOfTopRow(int row) const { return index(row, 0); }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

protected:
    // Appends the node as the list wants it (nothing for the excluded node).
    virtual void putIntoData(const NodePtr &node);
    NodePtr nodeForInsertion(const NodePtr &node) const;
    // Fill steps: subclasses run their fill between these.
    void beginFill(Book *doc);
    void endFill();
    void appendDuringFill(const ChooserItem &item);
    std::vector<ChooserItem> &mutableObjects() { return m_root; }
    void reindex();

private:
    QModelIndex indexForNode(Node *node) const;
    bool findDepthFirst(const QModelIndex &parent, const ChooserItem &value, QModelIndex &found) const;

    Book *m_doc = nullptr;             // not owned
    std::vector<ChooserItem> m_root;   // the top-level entries, in display order
    NodePtr m_excluded;                // the node excluded since the last fill
    QHash<const Node *, int> m_topRow; // top-level nodes and their rows
};

} // namespace cv
