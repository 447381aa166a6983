#pragma once
// The journal report: for every ticked account, on pages of its own, the
// opening row (the balance carried into the period, or the opening balance
// when the account starts inside it), every entry and trade of the period by
// day with an increase column, a decrease column and the running balance, and
// a total row. An investment account prints its cash part and each holding as
// journals of their own; a holding counts units instead of money.
//
// Files: JournalReport.cpp (the drawing),
// JournalReport_Rows.cpp (the maker and the rows: every value and running
// balance is worked out there).

#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include <memory>

namespace cv {

class JournalReport : public Report {
public:
    // Row levels besides the shared ones. An opening row keeps its date and
    // label in `texts` (none when it is empty) and its value in values[0]; an
    // entry or trade row keeps [increase, decrease, balance after it] and
    // [date, description, memo, grouping]; a total row [increase sum,
    // decrease sum, balance or units at the end] and [label]. Every row of a
    // journal, its rules included, names the journal's node.
    enum Level { Opening = -12, Total = -11, Record = 0, Commission = 1 };
    // Bits of an entry or trade row's `number`.
    enum RowFlag {
        DayDiffers = 1,     // its day is not the day of the row above
        SameDayFollows = 2, // the next row is of the same day
    };

    // No view when no ticked account has an entry or trade in the period.
    static std::unique_ptr<JournalReport> make(ReadOnlyBook &doc, const cv::ReportRequest &request,
                                               const cv::PageSetup &setup);

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    class Builder;

    JournalReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to);
    // Money in the node's currency, or units of a holding.
    QString valueText(const Node &node, double value) const;
    // Where the columns stand on this paper: the amounts end at the right
    // margin, the texts share what is left.
    struct Columns {
        double description, memo, group, increase, decrease, balance;
    };
    Columns columns() const;
    void drawHeads(cv::Canvas &canvas, const Node &node, const Columns &at) const;

    QDate m_date1; // first day of the period
    QDate m_date2; // last day
};

} // namespace cv
