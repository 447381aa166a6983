#include "reports/CategoryTreeRows.h"

#include "reports/CategoryAmounts.h"

namespace cv {

bool CategoryTreeRows::isBelow(const Node &node, const Node *root)
{
    const Node *top = &node;
    while (top->parent()) top = top->parent();
    return top == root;
}

bool CategoryTreeRows::allZero(const Values &values)
{
    for (double v : values)
        if (v != 0) return false;
    return true;
}

void CategoryTreeRows::addTo(Values &totals, const Values &values) const
{
    for (size_t i = 0; i < totals.size() && i < values.size(); ++i) totals[i] += values[i];
}

Report::Rows CategoryTreeRows::build(const NodePtr &income, const NodePtr &expense)
{
    Report::Rows rows;
    for (const NodePtr &root : {income, expense}) {
        if (!root || !sectionShown(root)) continue;
        const bool isIncomeSection = root == income;
        const size_t before = rows.size();
        Values totals(size_t(m_columns), 0.0);
        if (m_shape == Shape::TopGroups) {
            const Values own = headingValues(*root);
            ReportRow heading(Heading, ReportRow::kRowHeight, root, own);
            heading.number = -1;
            rows.push_back(std::move(heading));
            addTo(totals, own);
        }
        for (const NodePtr &child : root->children())
            if (child && child->deepStatus() == 1 && !staysOutOfTotals(*child)) addNode(rows, child, 1, totals);
        if (rows.size() == before) continue;
        rows.emplace_back(ThickRule, ReportRow::kRuleHeight);
        rows.emplace_back(Total, ReportRow::kRowHeight, root, totals);
        if (isIncomeSection) {
            Report::addBlankTo(rows);
            Report::addPageTo(rows);
        }
    }
    return rows;
}

void CategoryTreeRows::addNode(Report::Rows &rows, const NodePtr &node, int level, Values &totals) const
{
    const bool cut = isCut(level) || node->countChild() == 0;
    if (!keep(*node, cut)) return;
    const int depth = level - 1;
    if (cut) {
        const Values values = dataValues(*node);
        addTo(totals, values);
        rows.emplace_back(depth, ReportRow::kRowHeight, node, values);
        return;
    }
    const bool subtotal = m_shape == Shape::EveryGroup || level == 1;
    if (m_shape == Shape::TopGroups && level == 1 && tier() != 1) Report::addBlankTo(rows);
    const Values own = headingValues(*node);
    addTo(totals, own);
    ReportRow heading(Heading, ReportRow::kRowHeight, node, own);
    heading.number = depth;
    rows.push_back(std::move(heading));
    if (const Values own = folderOwnValues(*node); !allZero(own)) {
        addTo(totals, own);
        rows.emplace_back(level, ReportRow::kRowHeight, node, own);
    }
    for (const NodePtr &child : node->children())
        if (child && child->deepStatus() == 1 && !staysOutOfTotals(*child)) addNode(rows, child, level + 1, totals);
    if (!subtotal) return;
    // The budget report draws its subtotal rules from the name column of the top level.
    const int indent = m_shape == Shape::EveryGroup ? depth : 0;
    ReportRow rule(ThinRule, ReportRow::kRuleHeight);
    rule.number = indent;
    rows.push_back(std::move(rule));
    ReportRow sub(Subtotal, ReportRow::kRowHeight, node, subtotalValues(*node));
    sub.number = indent;
    rows.push_back(std::move(sub));
    if (m_shape == Shape::EveryGroup) Report::addBlankTo(rows);
}

} // namespace cv
