#include "reports/CV4Report3View.h"

#include "reports/CategoryAmounts.h"

#include "document/CV4Document.h"
#include "model/CV4ActualModel.h"
#include "platform/Localization.h"

namespace {

using cv::CategoryTreeRows;

class IncomeExpenseRows : public CategoryTreeRows {
public:
    IncomeExpenseRows(CV4Document &doc, const cv::ReportRequest &request)
        : CategoryTreeRows(request.tier, 1, Shape::EveryGroup), m_doc(doc), m_request(request),
          m_amounts(doc, request.from, request.to, request.groups)
    {
    }

protected:
    bool sectionShown(const CVUnitModelPtr &root) const override
    {
        if (m_request.displayStyle) return true;
        // All of the period's money of the section, whatever is ticked.
        const int days = int(m_request.from.daysTo(m_request.to)) + 1;
        return m_doc.summaryForActualDays(root, m_request.from, days) != 0;
    }
    Values dataValues(const CVUnitModel &node) const override { return {m_amounts.amountOf(node)}; }
    bool keep(const CVUnitModel &node, bool) const override
    {
        return m_request.displayStyle || m_amounts.amountOf(node) != 0;
    }

private:
    CV4Document &m_doc;
    const cv::ReportRequest &m_request;
    cv::CategoryAmounts m_amounts;
};

constexpr double kColumnWidth = 300;   // the report is one column centred on the page
constexpr double kAmountX = 230;
constexpr double kAmountWidth = 66;
constexpr double kSectionHeadTop = 28;
constexpr double kRowsStart = 46;

} // namespace

CV4Report3View::CV4Report3View(CV4Document &doc, const cv::PageSetup &setup, const cv::ReportRequest &request)
    : CategoryTreeView(doc, setup), m_date1(request.from), m_date2(request.to)
{
}

std::unique_ptr<CV4Report3View> CV4Report3View::make(CV4Document &doc, const cv::ReportRequest &request,
                                                     const cv::PageSetup &setup)
{
    IncomeExpenseRows builder(doc, request);
    Rows rows = builder.build(doc.actualModel()->income(), doc.actualModel()->expense());
    if (rows.empty()) return nullptr;
    std::unique_ptr<CV4Report3View> view(new CV4Report3View(doc, setup, request));
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Actual-Title"));
    return view;
}

void CV4Report3View::drawPage(cv::Canvas &canvas)
{
    drawPeriod(canvas, m_date1, m_date2);
    const double c = left() + (paperSize().width() - kColumnWidth) * 0.5;
    const double amountX = c + kAmountX;
    const bool income = pageIsIncome();
    drawLeftJustified(canvas, cv::localizedString(income ? "Report-Income" : "Report-Expense"),
                      QPointF(left(), top() + kSectionHeadTop));
    drawRightJustified(canvas, cv::localizedString(income ? "Report-Actual-Income" : "Report-Actual-Expense"),
                       QPointF(amountX, top() + kSectionHeadTop), kAmountWidth);
    drawThickRule(canvas, top() + kSectionHeadTop + kLineHeight, CV4ReportItem::kRuleHeight);

    drawTreeRows(canvas, top() + kRowsStart, {c, kColumnWidth, true, amountX}, [&](const CV4ReportItem &row, double y) {
        drawRightJustified(canvas, formatAmount(row.value(0)), QPointF(amountX, y), kAmountWidth);
    });
}

namespace cv {

std::unique_ptr<CV4ReportView> makeIncomeExpenseReport(CV4Document &doc, const ReportRequest &request,
                                                       const PageSetup &setup)
{
    return CV4Report3View::make(doc, request, setup);
}

} // namespace cv
