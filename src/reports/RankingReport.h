#pragma once
// The ranking report (kind 8): the ticked income categories, then the ticked
// expense categories, ranked by their totals over the period, each with its
// share of its section's total. A ranked row carries [total, share] in
// `values`; a section's total row (-20) carries [total] and its root.
// The rank restarts at 1 on every page, so it is counted when a page is drawn.

#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include <QList>

#include <memory>
#include <optional>

namespace cv {

class RankingReport : public Report {
public:
    enum Level { SectionTotal = -20 };

    // No view when no ticked category has a total in the period.
    static std::unique_ptr<RankingReport> make(ReadOnlyBook &doc, const std::optional<QList<int>> &groups, int tier,
                                               int isAscending, const QDate &from, const QDate &to,
                                               const cv::PageSetup &setup);

    // Whether the node's top ancestor is the income root.
    bool isIncome(const Node &node) const;

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    class Builder;

    RankingReport(ReadOnlyBook &doc, const QDate &from, const QDate &to, const cv::PageSetup &setup);

    QDate m_date1, m_date2; // the period
};

} // namespace cv
