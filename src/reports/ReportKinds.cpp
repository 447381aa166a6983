#include "reports/ReportKinds.h"

#include "reports/Report.h"

namespace cv {

namespace {

// One line per kind, in the sheet's order; a kind is switched on by naming
// its maker in its line.
constexpr ReportKind kKinds[kReportKindCount] = {
    // account balance
    {0, "Report-Account-Title", PageSetup::Portrait, makeAccountBalanceReport},
    // journal
    {1, "Report-Account2-Title", PageSetup::Portrait, makeJournalReport},
    // income and expense
    {2, "Report-Actual-Title", PageSetup::Portrait, makeIncomeExpenseReport},
    // itemised category
    {3, "Report-Actual2-Title", PageSetup::Portrait, makeItemisedReport},
    // cash flow
    {4, "Report-CacheFlow-Title", PageSetup::Portrait, makeCashFlowReport},
    // cash-flow detail
    {5, "Report-CacheFlow2-Title", PageSetup::Portrait, makeCashFlowDetailReport},
    // term comparison
    {6, "Report-Term-Comparison-Title", PageSetup::Portrait, makeTermComparisonReport},
    // budget comparison
    {7, "Report-Budget-Comparison-Title", PageSetup::Portrait, makeBudgetComparisonReport},
    // ranking
    {8, "Report-ABC-Analysis", PageSetup::Portrait, makeRankingReport},
    // securities trades
    {9, "Report-Brand-Deal", PageSetup::Landscape, makeSecuritiesTradeReport},
};

} // namespace

const ReportKind *reportKind(int number)
{
    if (number < 0 || number >= kReportKindCount) return nullptr;
    return &kKinds[number];
}

} // namespace cv
