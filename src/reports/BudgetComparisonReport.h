#pragma once
// The budget comparison report: for the ticked income and expense
// categories, the budget and the result of a span of whole months side by
// side, their difference and the achievement (income) or saving (expense)
// in per cent.

#include "reports/CategoryTreeView.h"
#include "reports/ReportKinds.h"

#include <memory>

namespace cv {

class BudgetComparisonReport : public cv::CategoryTreeView {
public:
    // No view when no section has a result or a budget.
    static std::unique_ptr<BudgetComparisonReport> make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                        const cv::PageSetup &setup);

    // The months from the start to the end date, the start's month counting
    // as one: 2008-04-01 to 2008-06-30 is 3.
    static int monthCount(const QDate &from, const QDate &to);

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    BudgetComparisonReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const cv::ReportRequest &request);
    void drawValues(cv::Canvas &canvas, double y, double budget, double result, bool income) const;

    QDate m_date1; // start of the period
    QDate m_date2; // end
};

} // namespace cv
