#pragma once
// The income and expense report: the income of one period by ticked
// category, then on a new page the expense, as indented trees with
// subtotals under each group and a total under each section.

#include "reports/CategoryTreeView.h"
#include "reports/ReportKinds.h"

#include <memory>

namespace cv {

class IncomeExpenseReport : public cv::CategoryTreeView {
public:
    // No view when no row prints.
    static std::unique_ptr<IncomeExpenseReport> make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                     const cv::PageSetup &setup);

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    IncomeExpenseReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const cv::ReportRequest &request);

    QDate m_date1; // first day of the period
    QDate m_date2; // last day
};

} // namespace cv
