#pragma once
// The cash-flow report: over the period, the money that came into and left
// the household's cash-like accounts (cash, bank and the cash part of
// investment accounts) in six sums (income, transfers in, securities
// receipts; expense, transfers out, securities payments with every
// commission), their two totals and the net cash flow, on one short page in
// the book's default currency.

#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include "document/PatternFormatter.h"

#include <memory>

namespace cv {

class CashFlowReport : public Report {
public:
    // clang-format off
    enum Level {
        InTitle = -10, Income = -11, TransfersIn = -12, TradesIn = -13, InTotal = -14,
        OutTitle = -20, Expense = -21, TransfersOut = -22, TradesOut = -23, OutTotal = -24,
        Net = -30,
    };
    // clang-format on

    // The six sums; entries of the groupings only when some are given.
    struct Sums {
        double income = 0, expense = 0, transIn = 0, transOut = 0, tradeIn = 0, tradeOut = 0;
        double inTotal() const { return income + transIn + tradeIn; }
        double outTotal() const { return expense + transOut + tradeOut; }
    };
    static Sums getValues(ReadOnlyBook &doc, const std::optional<QList<int>> &groups, const QDate &from,
                          const QDate &to);

    // Always a report: the rows are the same for every book.
    static std::unique_ptr<CashFlowReport> make(ReadOnlyBook &doc, const std::optional<QList<int>> &groups,
                                                const QDate &from, const QDate &to, const cv::PageSetup &setup);

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    CashFlowReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to);
    static Rows makeAllItems(const Sums &sums);

    QDate m_from;
    QDate m_to;
    PatternFormatter m_formatter; // the default currency's report format
};

} // namespace cv
