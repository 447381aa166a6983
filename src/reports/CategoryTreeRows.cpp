#include "reports/CategoryTreeRows.h"

#include "reports/CategoryAmounts.h"

namespace cv {

bool CategoryTreeRows::isBelow(const CVUnitModel &node, const CVUnitModel *root)
{
    const CVUnitModel *top = &node;
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

CV4ReportView::Rows CategoryTreeRows::build(const CVUnitModelPtr &income, const CVUnitModelPtr &expense)
{
    CV4ReportView::Rows rows;
    for (const CVUnitModelPtr &root : {income, expense}) {
        if (!root || !sectionShown(root)) continue;
        const bool isIncomeSection = root == income;
        const size_t before = rows.size();
        Values totals(size_t(m_columns), 0.0);
        if (m_shape == Shape::TopGroups) {
            const Values own = headingValues(*root);
            CV4ReportItem heading(Heading, CV4ReportItem::kRowHeight, root, own);
            heading.number = -1;
            rows.push_back(std::move(heading));
            addTo(totals, own);
        }
        for (const CVUnitModelPtr &child : root->children())
            if (child && child->deepStatus() == 1 && !staysOutOfTotals(*child)) addNode(rows, child, 1, totals);
        if (rows.size() == before) continue;
        rows.emplace_back(ThickRule, CV4ReportItem::kRuleHeight);
        rows.emplace_back(Total, CV4ReportItem::kRowHeight, root, totals);
        if (isIncomeSection) {
            CV4ReportView::addBlankTo(rows);
            CV4ReportView::addPageTo(rows);
        }
    }
    return rows;
}

void CategoryTreeRows::addNode(CV4ReportView::Rows &rows, const CVUnitModelPtr &node, int level, Values &totals) const
{
    const bool cut = isCut(level) || node->countChild() == 0;
    if (!keep(*node, cut)) return;
    const int depth = level - 1;
    if (cut) {
        const Values values = dataValues(*node);
        addTo(totals, values);
        rows.emplace_back(depth, CV4ReportItem::kRowHeight, node, values);
        return;
    }
    const bool subtotal = m_shape == Shape::EveryGroup || level == 1;
    if (m_shape == Shape::TopGroups && level == 1 && tier() != 1) CV4ReportView::addBlankTo(rows);
    const Values own = headingValues(*node);
    addTo(totals, own);
    CV4ReportItem heading(Heading, CV4ReportItem::kRowHeight, node, own);
    heading.number = depth;
    rows.push_back(std::move(heading));
    for (const CVUnitModelPtr &child : node->children())
        if (child && child->deepStatus() == 1 && !staysOutOfTotals(*child)) addNode(rows, child, level + 1, totals);
    if (!subtotal) return;
    // The budget report draws its subtotal rules from the name column of the top level.
    const int indent = m_shape == Shape::EveryGroup ? depth : 0;
    CV4ReportItem rule(ThinRule, CV4ReportItem::kRuleHeight);
    rule.number = indent;
    rows.push_back(std::move(rule));
    CV4ReportItem sub(Subtotal, CV4ReportItem::kRowHeight, node, subtotalValues(*node));
    sub.number = indent;
    rows.push_back(std::move(sub));
    if (m_shape == Shape::EveryGroup) CV4ReportView::addBlankTo(rows);
}

} // namespace cv
