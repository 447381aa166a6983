#include "reports/BudgetComparisonReport.h"

#include "reports/CategoryAmounts.h"

#include "document/ReadOnlyBook.h"
#include "model/CategoryTrees.h"
#include "model/Budget.h"
#include "platform/Localization.h"

namespace cv {

namespace {

using cv::CategoryTreeRows;

// Columns: budget, result.
class BudgetRows : public CategoryTreeRows {
public:
    BudgetRows(ReadOnlyBook &doc, int tier, const QDate &from, int months)
        : CategoryTreeRows(tier, 2, Shape::TopGroups), m_doc(doc), m_from(from), m_months(months)
    {
    }

    // The results of the ticked categories below the node and of the folders
    // shown from the node down (the node's own without children).
    double totalValue(const Node &node) const
    {
        if (node.countChild() == 0)
            return m_doc.summaryForCategoryMonths(std::const_pointer_cast<Node>(node.shared_from_this()), m_from,
                                                  m_months);
        double sum = ownResult(node);
        for (const NodePtr &child : node.children())
            if (child && child->deepStatus() == 1 && !cv::staysOutOfTotals(*child)) sum += totalValue(*child);
        return sum;
    }

protected:
    // Left out when the ticked categories that count in totals have neither
    // result nor budget (the unassigned loan category alone counts in none).
    bool sectionShown(const NodePtr &root) const override
    {
        return root->deepStatus() == 1 && (totalValue(*root) != 0 || ownBudget(*root) + childBudgetTotal(*root) != 0);
    }
    Values dataValues(const Node &node) const override
    {
        return {node.budgetAtDate(m_from, m_months), totalValue(node)};
    }
    Values headingValues(const Node &node) const override { return {ownBudget(node), 0}; }
    // The folder's budget stays on its heading; its own entries are a result without one.
    Values folderOwnValues(const Node &node) const override { return {0, ownResult(node)}; }
    Values subtotalValues(const Node &node) const override
    {
        return {ownBudget(node) + childBudgetTotal(node), totalValue(node)};
    }
    bool keep(const Node &node, bool cut) const override
    {
        if (cut) return !allZero(dataValues(node));
        return ownBudget(node) != 0 || totalValue(node) != 0 || childBudgetTotal(node) != 0;
    }

private:
    // The entries filed on a folder itself (a root takes none).
    double ownResult(const Node &folder) const
    {
        return folder.parent() ? cv::folderOwnSumMonths(m_doc, folder, m_from, m_months) : 0;
    }
    // The node's own budget record, counted only while the node is ticked.
    double ownBudget(const Node &node) const
    {
        const auto *budget = dynamic_cast<const Budget *>(node.extra().get());
        return budget && node.status() != 0 ? budget->budgetAtDate(m_from, m_months) : 0;
    }
    double childBudgetTotal(const Node &node) const
    {
        double sum = 0;
        for (const NodePtr &child : node.children()) {
            if (!child || child->deepStatus() != 1 || cv::staysOutOfTotals(*child)) continue;
            if (child->countChild() == 0)
                sum += child->status() != 0 ? child->budgetAtDate(m_from, m_months) : 0;
            else
                sum += ownBudget(*child) + childBudgetTotal(*child);
        }
        return sum;
    }

    ReadOnlyBook &m_doc;
    QDate m_from;
    int m_months;
};

constexpr double kNameX = 55;
constexpr double kBudgetX = 187;
constexpr double kResultX = 275;
constexpr double kDiffX = 363;
constexpr double kAmountWidth = 88;
constexpr double kPercentX = 462;
constexpr double kPercentWidth = 55;
constexpr double kThinRuleWidth = 465;
constexpr double kHeadLine1 = 42;
constexpr double kHeadLine2 = 53;
constexpr double kRowsStart = 71;

} // namespace

int BudgetComparisonReport::monthCount(const QDate &from, const QDate &to)
{
    if (!from.isValid() || !to.isValid() || to < from) return 1;
    // Whole months between the two dates, as a calendar counts them.
    int months = (to.year() - from.year()) * 12 + to.month() - from.month();
    if (to.day() < from.day()) --months;
    return months + 1;
}

BudgetComparisonReport::BudgetComparisonReport(ReadOnlyBook &doc, const cv::PageSetup &setup,
                                               const cv::ReportRequest &request)
    : CategoryTreeView(doc, setup), m_date1(request.from), m_date2(request.to)
{
}

std::unique_ptr<BudgetComparisonReport>
BudgetComparisonReport::make(ReadOnlyBook &doc, const cv::ReportRequest &request, const cv::PageSetup &setup)
{
    const int months = request.months > 0 ? request.months : monthCount(request.from, request.to);
    BudgetRows builder(doc, request.tier, request.from, months);
    Rows rows = builder.build(doc.categoryTrees()->income(), doc.categoryTrees()->expense());
    if (rows.empty()) return nullptr;
    std::unique_ptr<BudgetComparisonReport> view(new BudgetComparisonReport(doc, setup, request));
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Budget-Comparison-Title"));
    return view;
}

void BudgetComparisonReport::drawValues(cv::Canvas &canvas, double y, double budget, double result, bool income) const
{
    const double x0 = left();
    const double percent = budget == 0 ? 0 : (income ? result : budget - result) / budget * 100;
    drawRightJustified(canvas, formatAmount(budget), QPointF(x0 + kBudgetX, y), kAmountWidth);
    drawRightJustified(canvas, formatAmount(result), QPointF(x0 + kResultX, y), kAmountWidth);
    drawRightJustified(canvas, diffText(result - budget), QPointF(x0 + kDiffX, y), kAmountWidth);
    drawRightJustified(canvas, ratioText(budget, result, percent), QPointF(x0 + kPercentX, y), kPercentWidth);
}

void BudgetComparisonReport::drawPage(cv::Canvas &canvas)
{
    const double x0 = left();
    const double line1 = top() + kHeadLine1;
    const double line2 = top() + kHeadLine2;
    const bool income = pageIsIncome();
    drawPeriod(canvas, m_date1, m_date2);
    const auto head = [&](double x, double width, const char *title, const char *mark) {
        if (title) drawHeadRight(canvas, cv::localizedString(title), QPointF(x0 + x, line1), width);
        drawHeadRight(canvas, cv::localizedString(mark), QPointF(x0 + x, line2), width);
    };
    drawLeftJustified(canvas, cv::localizedString(income ? "Report-Income" : "Report-Expense"), QPointF(x0, line2));
    head(kBudgetX, kAmountWidth, "Report-View-Budget", "Report-Budget-Result-Comparison-Budget-Mark");
    head(kResultX, kAmountWidth, "Report-Budget-Result-Comparison-Result-Title",
         "Report-Budget-Result-Comparison-Result-Mark");
    head(kDiffX, kAmountWidth, "Report-Budget-Result-Comparison-Difference-Title",
         "Report-Budget-Result-Comparison-Difference-Mark");
    if (income)
        head(kPercentX, kPercentWidth, "Report-Budget-Result-Comparison-Achievement-Title",
             "Report-Budget-Result-Comparison-Achievement-Mark");
    else
        head(kPercentX, kPercentWidth, "Report-Budget-Result-Comparison-Cut-Title",
             "Report-Budget-Result-Comparison-Cut-Mark");
    drawThickRule(canvas, line2 + kLineHeight, ReportRow::kRuleHeight);

    const Node *incomeRoot = doc().categoryTrees()->income().get();
    const auto values = [&](const ReportRow &row, double y) {
        const bool income = row.node && CategoryTreeRows::isBelow(*row.node, incomeRoot);
        drawValues(canvas, y, row.value(0), row.value(1), income);
    };
    // A heading shows its own budget; its results are its children's.
    const auto headingValues = [&](const ReportRow &row, double y) {
        const QString dash = QStringLiteral("-");
        drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(x0 + kBudgetX, y), kAmountWidth);
        drawRightJustified(canvas, dash, QPointF(x0 + kResultX, y), kAmountWidth);
        drawRightJustified(canvas, dash, QPointF(x0 + kDiffX, y), kAmountWidth);
        drawRightJustified(canvas, dash, QPointF(x0 + kPercentX, y), kPercentWidth);
    };
    drawTreeRows(canvas, top() + kRowsStart, {x0 + kNameX, kThinRuleWidth, false, x0 + kBudgetX}, values,
                 headingValues);
}

std::unique_ptr<Report> makeBudgetComparisonReport(ReadOnlyBook &doc, const ReportRequest &request,
                                                   const PageSetup &setup)
{
    return BudgetComparisonReport::make(doc, request, setup);
}

} // namespace cv
