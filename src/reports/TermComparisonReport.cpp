#include "reports/TermComparisonReport.h"

#include "reports/CategoryAmounts.h"

#include "document/ReadOnlyBook.h"
#include "model/CategoryTrees.h"
#include "platform/Localization.h"

namespace cv {

namespace {

using cv::CategoryTreeRows;

class TermRows : public CategoryTreeRows {
public:
    TermRows(ReadOnlyBook &doc, const cv::ReportRequest &request)
        : CategoryTreeRows(request.tier, 2, Shape::EveryGroup), m_doc(doc), m_request(request),
          m_first(doc, request.from, request.to, request.groups, true),
          m_second(doc, request.from2, request.to2, request.groups, true)
    {
    }

protected:
    bool sectionShown(const NodePtr &root) const override
    {
        // All of each period's money of the section, whatever is ticked.
        const auto summary = [&](const QDate &from, const QDate &to) {
            return m_doc.summaryForCategoryDays(root, from, int(from.daysTo(to)) + 1);
        };
        return summary(m_request.from, m_request.to) != 0 || summary(m_request.from2, m_request.to2) != 0;
    }
    Values dataValues(const Node &node) const override { return {m_first.amountOf(node), m_second.amountOf(node)}; }
    Values folderOwnValues(const Node &node) const override
    {
        return {m_first.folderOwnAmount(node), m_second.folderOwnAmount(node)};
    }
    bool keep(const Node &node, bool) const override { return !allZero(dataValues(node)); }

private:
    ReadOnlyBook &m_doc;
    const cv::ReportRequest &m_request;
    cv::CategoryAmounts m_first;
    cv::CategoryAmounts m_second;
};

constexpr double kNameX = 55;
constexpr double kFirstX = 165;
constexpr double kSecondX = 264;
constexpr double kDiffX = 363;
constexpr double kAmountWidth = 99;
constexpr double kPercentX = 462;
constexpr double kPercentWidth = 55;
constexpr double kThinRuleWidth = 455;
constexpr double kHeadLine1 = 42;
constexpr double kHeadLine2 = 53;
constexpr double kRowsStart = 71;

} // namespace

TermComparisonReport::TermComparisonReport(ReadOnlyBook &doc, const cv::PageSetup &setup,
                                           const cv::ReportRequest &request)
    : CategoryTreeView(doc, setup), m_date1(request.from), m_date2(request.to), m_date3(request.from2),
      m_date4(request.to2)
{
}

std::unique_ptr<TermComparisonReport> TermComparisonReport::make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                                 const cv::PageSetup &setup)
{
    TermRows builder(doc, request);
    Rows rows = builder.build(doc.categoryTrees()->income(), doc.categoryTrees()->expense());
    if (rows.empty()) return nullptr;
    std::unique_ptr<TermComparisonReport> view(new TermComparisonReport(doc, setup, request));
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Term-Comparison-Title"));
    return view;
}

void TermComparisonReport::drawValues(cv::Canvas &canvas, double y, double first, double second) const
{
    const double x0 = left();
    drawRightJustified(canvas, formatAmount(first), QPointF(x0 + kFirstX, y), kAmountWidth);
    drawRightJustified(canvas, formatAmount(second), QPointF(x0 + kSecondX, y), kAmountWidth);
    drawRightJustified(canvas, diffText(second - first), QPointF(x0 + kDiffX, y), kAmountWidth);
    drawRightJustified(canvas, ratioText(first, second, first == 0 ? 0 : second / first * 100),
                       QPointF(x0 + kPercentX, y), kPercentWidth);
}

void TermComparisonReport::drawPage(cv::Canvas &canvas)
{
    const double x0 = left();
    const double line1 = top() + kHeadLine1;
    const double line2 = top() + kHeadLine2;
    drawHeadRight(canvas, formatDate(m_date1), QPointF(x0 + kFirstX, line1), kAmountWidth);
    drawHeadRight(canvas, formatDate(m_date3), QPointF(x0 + kSecondX, line1), kAmountWidth);
    drawLeftJustified(canvas, cv::localizedString(pageIsIncome() ? "Report-Income" : "Report-Expense"),
                      QPointF(x0, line2));
    const QString endDate = cv::localizedString("Report-Term-Comparison-End-Date");
    drawHeadRight(canvas, cv::formatString(endDate, {formatDate(m_date2)}), QPointF(x0 + kFirstX, line2), kAmountWidth);
    drawHeadRight(canvas, cv::formatString(endDate, {formatDate(m_date4)}), QPointF(x0 + kSecondX, line2),
                  kAmountWidth);
    drawHeadRight(canvas, cv::localizedString("Report-Term-Comparison-Difference-Title"), QPointF(x0 + kDiffX, line2),
                  kAmountWidth);
    drawHeadRight(canvas, cv::localizedString("Report-Term-Comparison-Ratio-Title"), QPointF(x0 + kPercentX, line2),
                  kPercentWidth);
    drawThickRule(canvas, line2 + kLineHeight, ReportRow::kRuleHeight);

    drawTreeRows(canvas, top() + kRowsStart, {x0 + kNameX, kThinRuleWidth, true, x0 + kFirstX},
                 [&](const ReportRow &row, double y) { drawValues(canvas, y, row.value(0), row.value(1)); });
}

std::unique_ptr<Report> makeTermComparisonReport(ReadOnlyBook &doc, const ReportRequest &request,
                                                 const PageSetup &setup)
{
    return TermComparisonReport::make(doc, request, setup);
}

} // namespace cv
