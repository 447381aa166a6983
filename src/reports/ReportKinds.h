#pragma once
// The ten report kinds of the report sheet and the one place that makes a
// report view for a kind. A kind is one Report subclass and one maker;
// the maker answers no view when the choice gives no rows (the sheet then
// says there is no data). A kind without a maker yet is listed by the sheet
// but cannot be chosen.

#include "platform/print/PageSetup.h"

#include <QDate>
#include <QList>

#include <memory>
#include <optional>

namespace cv {

class ReadOnlyBook;
class Report;

// What the sheet collected for one run. The accounts and categories chosen
// are the check marks of the document's trees; securities carry their own.
struct ReportRequest {
    int kind = 0;
    QDate from, to;                   // the period, both days included
    QDate from2, to2;                 // the second period (term comparison)
    int flags = 0;                    // account balance: 1 grouped by account type
    int tier = 0;                     // depth limit of categories, 0 none
    int displayStyle = 0;             // income and expense report: 1 the sheet's switch on
    int isAscending = 0;              // ranking: 0 smaller totals first, else larger first
    int months = 0;                   // budget comparison: the months from `from` to `to`
    std::optional<QList<int>> groups; // grouping idents to keep (0 = none); nullopt: every entry
};

using ReportMaker = std::unique_ptr<Report> (*)(ReadOnlyBook &doc, const ReportRequest &request,
                                                const PageSetup &setup);

struct ReportKind {
    int kind;
    const char *titleKey; // the title, also the sheet's name of the kind
    int orientation;      // PageSetup::Portrait or Landscape
    ReportMaker make;     // null: not built yet
};

inline constexpr int kReportKindCount = 10;

// The kind of the number; null outside 0-9.
const ReportKind *reportKind(int number);

// The makers, one per kind (defined next to their views).
std::unique_ptr<Report> makeAccountBalanceReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);   // 0
std::unique_ptr<Report> makeJournalReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);          // 1
std::unique_ptr<Report> makeIncomeExpenseReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);    // 2
std::unique_ptr<Report> makeItemisedReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);         // 3
std::unique_ptr<Report> makeCashFlowReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);         // 4
std::unique_ptr<Report> makeCashFlowDetailReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);   // 5
std::unique_ptr<Report> makeTermComparisonReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);   // 6
std::unique_ptr<Report> makeBudgetComparisonReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &); // 7
std::unique_ptr<Report> makeRankingReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);          // 8
std::unique_ptr<Report> makeSecuritiesTradeReport(ReadOnlyBook &, const ReportRequest &, const PageSetup &);  // 9

} // namespace cv
