#include "reports/IncomeExpenseReport.h"

#include "reports/CategoryAmounts.h"

#include "document/ReadOnlyBook.h"
#include "model/CategoryTrees.h"
#include "platform/Localization.h"

namespace cv {

namespace {

using cv::CategoryTreeRows;

class IncomeExpenseRows : public CategoryTreeRows {
public:
    IncomeExpenseRows(ReadOnlyBook &doc, const cv::ReportRequest &request)
        : CategoryTreeRows(request.tier, 1, Shape::EveryGroup), m_doc(doc), m_request(request),
          m_amounts(doc, request.from, request.to, request.groups, true)
    {
    }

protected:
    bool sectionShown(const NodePtr &root) const override
    {
        if (m_request.displayStyle) return true;
        // All of the period's money of the section, whatever is ticked.
        const int days = int(m_request.from.daysTo(m_request.to)) + 1;
        return m_doc.summaryForCategoryDays(root, m_request.from, days) != 0;
    }
    Values dataValues(const Node &node) const override { return {m_amounts.amountOf(node)}; }
    Values folderOwnValues(const Node &node) const override { return {m_amounts.folderOwnAmount(node)}; }
    bool keep(const Node &node, bool) const override { return m_request.displayStyle || m_amounts.amountOf(node) != 0; }

private:
    ReadOnlyBook &m_doc;
    const cv::ReportRequest &m_request;
    cv::CategoryAmounts m_amounts;
};

constexpr double kColumnWidth = 300; // the report is one column centred on the page
constexpr double kAmountX = 230;
constexpr double kAmountWidth = 66;
constexpr double kSectionHeadTop = 28;
constexpr double kRowsStart = 46;

} // namespace

IncomeExpenseReport::IncomeExpenseReport(ReadOnlyBook &doc, const cv::PageSetup &setup,
                                         const cv::ReportRequest &request)
    : CategoryTreeView(doc, setup), m_date1(request.from), m_date2(request.to)
{
}

std::unique_ptr<IncomeExpenseReport> IncomeExpenseReport::make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                               const cv::PageSetup &setup)
{
    IncomeExpenseRows builder(doc, request);
    Rows rows = builder.build(doc.categoryTrees()->income(), doc.categoryTrees()->expense());
    if (rows.empty()) return nullptr;
    std::unique_ptr<IncomeExpenseReport> view(new IncomeExpenseReport(doc, setup, request));
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Actual-Title"));
    return view;
}

void IncomeExpenseReport::drawPage(cv::Canvas &canvas)
{
    drawPeriod(canvas, m_date1, m_date2);
    const double c = left() + (paperSize().width() - kColumnWidth) * 0.5;
    const double amountX = c + kAmountX;
    const bool income = pageIsIncome();
    drawLeftJustified(canvas, cv::localizedString(income ? "Report-Income" : "Report-Expense"),
                      QPointF(left(), top() + kSectionHeadTop));
    drawRightJustified(canvas, cv::localizedString(income ? "Report-Actual-Income" : "Report-Actual-Expense"),
                       QPointF(amountX, top() + kSectionHeadTop), kAmountWidth);
    drawThickRule(canvas, top() + kSectionHeadTop + kLineHeight, ReportRow::kRuleHeight);

    drawTreeRows(canvas, top() + kRowsStart, {c, kColumnWidth, true, amountX}, [&](const ReportRow &row, double y) {
        drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(amountX, y), kAmountWidth);
    });
}

std::unique_ptr<Report> makeIncomeExpenseReport(ReadOnlyBook &doc, const ReportRequest &request, const PageSetup &setup)
{
    return IncomeExpenseReport::make(doc, request, setup);
}

} // namespace cv
