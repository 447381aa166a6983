#pragma once
// The rows of the reports that print the ticked income and expense
// categories as indented trees (income and expense, term comparison, budget
// comparison): a section per root, income first and then, on a new page,
// expense; in each, the ticked categories in tree order, cut at the tier
// into one row per node; a category with children and not cut prints as a
// heading, its children, a thin rule and its subtotal. A report supplies
// only its columns and what leaves a node or section out.
//
// Every row's `values` are the report's columns; the section total carries
// the sums of the section's data rows (and of what headings add), worked out
// here, so a page drawn alone prints the same total as a full run.

#include "reports/Report.h"

#include <vector>

namespace cv {

class CategoryTreeRows {
public:
    using Values = std::vector<double>;

    // Row levels of the tree reports besides the data rows (0 and up: the
    // depth below the root's children). `number` of a heading, thin rule and
    // subtotal is the depth its text or rule is indented by.
    enum Level { Heading = -11, Subtotal = -21, ThinRule = -31, Total = -20, ThickRule = -30 };

    // The builder's shape: the income and expense and term reports give
    // every group a subtotal and a blank row after it; the budget report
    // heads each section with its root, puts a blank row before each top
    // group and gives only top groups a subtotal.
    enum class Shape { EveryGroup, TopGroups };

    virtual ~CategoryTreeRows() = default;

    // All rows; empty when nothing prints.
    Report::Rows build(const NodePtr &income, const NodePtr &expense);

    // Whether the node's top ancestor is the given root.
    static bool isBelow(const Node &node, const Node *root);
    static bool allZero(const Values &values);

protected:
    CategoryTreeRows(int tier, int columns, Shape shape) : m_tier(tier), m_columns(columns), m_shape(shape) {}

    // Whether the section of the root is built at all.
    virtual bool sectionShown(const NodePtr &root) const = 0;
    // The columns of a data row: a category without children, or a node at the cut.
    virtual Values dataValues(const Node &node) const = 0;
    // The columns of a group's subtotal.
    virtual Values subtotalValues(const Node &node) const { return dataValues(node); }
    // What a group's heading shows (and adds to the section total); none by default.
    virtual Values headingValues(const Node &) const { return Values(size_t(m_columns), 0.0); }
    // The columns of the line a folder's own entries print as, first under
    // its heading; none (all zero) by default.
    virtual Values folderOwnValues(const Node &) const { return Values(size_t(m_columns), 0.0); }
    // Whether the node and its subtree print; `cut` when it prints as one data row.
    virtual bool keep(const Node &node, bool cut) const = 0;

    bool isCut(int level) const { return m_tier > 0 && level >= m_tier; }
    int tier() const { return m_tier; }

private:
    void addNode(Report::Rows &rows, const NodePtr &node, int level, Values &totals) const;
    void addTo(Values &totals, const Values &values) const;

    int m_tier;
    int m_columns;
    Shape m_shape;
};

} // namespace cv
