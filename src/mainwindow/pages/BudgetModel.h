#pragma once
// The budget grid's rows and cells. Row 0 is the header row (the titles of
// each group's three columns); then the income and the expense tree of the
// book. Cells are computed from the categories' budgets and the balance
// cache when painted; nothing is copied. Columns change by inserting and
// removing, so expansion and selection survive a new width or unit.

#include "mainwindow/pages/BudgetColumns.h"

#include "mainwindow/viewer/GridColumnsModel.h"

#include <QColor>

#include <memory>
#include <vector>

namespace cv {

class Book;
class Preference;
class Node;
using NodePtr = std::shared_ptr<Node>;

// One cell's text and colour; an invalid colour is plain text.
struct BudgetCell {
    QString text;
    QColor color;
};

class BudgetModel : public GridColumnsModel {
    Q_OBJECT
public:
    BudgetModel(Book &document, const BudgetColumns &columns, QObject *parent = nullptr);

    // Colours of the title column, the tree roots and the header row; the
    // defaults when none.
    void setPreference(const Preference *preference) { m_preference = preference; }

    // One cell of a group (position 0 budget, 1 actual, 2 %) for the node's
    // period: budget blue, a negative actual in the negative colour, a share
    // beyond the budget red (above 100 for expenses, below for income).
    static BudgetCell budgetCell(const Book &document, const Node &node, int position, const QDate &date, int months);
    // The text of any cell; column numbers as in BudgetColumns.
    BudgetCell cell(const Node *node, int column) const;

    // The header row has no node; a category row answers its node.
    Node *nodeAt(const QModelIndex &index) const;
    bool isHeaderRow(const QModelIndex &index) const;
    QModelIndex indexOfNode(const Node *node, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<Node *> topNodes() const;
    const Node *childAt(const Node *parent, int row) const;
    int childCount(const Node *parent) const;
    int rowOf(const Node *node) const;
    QColor background(const QModelIndex &index) const;

    Book &m_document;
    const BudgetColumns &m_columns;
    const Preference *m_preference = nullptr; // not owned
    // Stands for the header row, so that every row has a node.
    std::shared_ptr<Node> m_dateHeader;
};

} // namespace cv
