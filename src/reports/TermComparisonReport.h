#pragma once
// The term comparison report: the income and the expense of two periods side
// by side by ticked category, with their difference and the second as a per
// cent of the first, in the trees of the income and expense report.

#include "reports/CategoryTreeView.h"
#include "reports/ReportKinds.h"

#include <memory>

namespace cv {

class TermComparisonReport : public cv::CategoryTreeView {
public:
    // No view when no row prints.
    static std::unique_ptr<TermComparisonReport> make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                                      const cv::PageSetup &setup);

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    TermComparisonReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const cv::ReportRequest &request);
    void drawValues(cv::Canvas &canvas, double y, double first, double second) const;

    QDate m_date1, m_date2; // period 1
    QDate m_date3, m_date4; // period 2
};

} // namespace cv
