#pragma once
// The budget grid's rows and cells. Row 0 is the header row (the titles of
// each group's three columns); then the income and the expense tree of the
// book. Cells are computed from the categories' budgets and the balance
// cache when painted; nothing is copied. Columns change by inserting and
// removing, so expansion and selection survive a new width or unit.

#include "mainwindow/BudgetColumns.h"

#include "mainwindow/GridColumnsModel.h"

#include <QColor>

#include <memory>
#include <vector>

class CV4Document;
class CV4Preference;
class CVUnitModel;
using CVUnitModelPtr = std::shared_ptr<CVUnitModel>;

namespace cv {

// One cell's text and colour; an invalid colour is plain text.
struct BudgetCell {
    QString text;
    QColor color;
};

class BudgetModel : public GridColumnsModel {
    Q_OBJECT
public:
    BudgetModel(CV4Document &document, const BudgetColumns &columns, QObject *parent = nullptr);

    // Colours of the title column, the tree roots and the header row; the
    // defaults when none.
    void setPreference(const CV4Preference *preference) { m_preference = preference; }

    // One cell of a group (position 0 budget, 1 actual, 2 %) for the node's
    // period: budget blue, a negative actual in the negative colour, a share
    // beyond the budget red (above 100 for expenses, below for income).
    static BudgetCell budgetCell(const CV4Document &document, const CVUnitModel &node, int position,
                                 const QDate &date, int months);
    // The text of any cell; column numbers as in BudgetColumns.
    BudgetCell cell(const CVUnitModel *node, int column) const;


    // The header row has no node; a category row answers its node.
    CVUnitModel *nodeAt(const QModelIndex &index) const;
    bool isHeaderRow(const QModelIndex &index) const;
    QModelIndex indexOfNode(const CVUnitModel *node, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<CVUnitModel *> topNodes() const;
    const CVUnitModel *childAt(const CVUnitModel *parent, int row) const;
    int childCount(const CVUnitModel *parent) const;
    int rowOf(const CVUnitModel *node) const;
    QColor background(const QModelIndex &index) const;

    CV4Document &m_document;
    const BudgetColumns &m_columns;
    const CV4Preference *m_preference = nullptr;  // not owned
    // Stands for the header row, so that every row has a node.
    std::shared_ptr<CVUnitModel> m_dateHeader;
};

} // namespace cv
