#pragma once
// The cash-flow detail report: the sums of the cash-flow report itemised.
// Money in by income category, by the account it came from and by security
// and trade kind; money out by expense category, by the account it went to,
// by security and trade kind and one item of all commissions; a subtotal per
// list, a total per side and the net. The out side starts on a new page.
// Categories roll up to the chosen tier.

#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include "document/PatternFormatter.h"

#include <memory>

namespace cv {

class CashFlowDetailReport : public Report {
public:
    // clang-format off
    enum Level {
        IncomeTitle = -10, IncomeItem = -11, IncomeTotal = -12,
        TransferInTitle = -13, TransferInItem = -14, TransferInTotal = -15,
        TradeInTitle = -16, TradeInItem = -17, TradeInTotal = -18,
        InTotal = -19,
        ExpenseTitle = -20, ExpenseItem = -21, ExpenseTotal = -22,
        TransferOutTitle = -23, TransferOutItem = -24, TransferOutTotal = -25,
        TradeOutTitle = -26, TradeOutItem = -27, TradeOutTotal = -28,
        OutTotal = -29, Net = -30,
        SubtotalRule = -40,
    };
    // clang-format on

    // Always a report: every list has its title, subtotal and total.
    static std::unique_ptr<CashFlowDetailReport> make(ReadOnlyBook &doc, const std::optional<QList<int>> &groups,
                                                      int tier, const QDate &from, const QDate &to,
                                                      const cv::PageSetup &setup);

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    CashFlowDetailReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to);

    QString itemLabel(const ReportRow &row) const;
    void drawSubtotalLine(cv::Canvas &canvas, const ReportRow &row, double y) const;

    QDate m_from;
    QDate m_to;
    PatternFormatter m_formatter; // the default currency's report format
};

} // namespace cv
