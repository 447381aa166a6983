#pragma once
// The securities trade report, printed landscape: one section per ticked
// security with the position carried into the period (or the opening
// holding recorded inside it), every trade of the period with the running
// units, money and average price after it and the profit it realises, and
// the section's total profit. Margin sales and margin buys are closed first
// in, first out by their buy-backs and sell-backs.
//
// Every figure is worked out once, in section order, when the rows are
// built (SecuritiesTradeReport_Rows.cpp); the margin trades' closed units are
// counted in the builder's own copy, never in the trades. So a page drawn
// alone or again prints what a full run prints.

#include "reports/Report.h"

#include "document/PatternFormatter.h"

#include <memory>

namespace cv {

class SecuritiesTradeReport : public Report {
public:
    // Row levels of this report.
    enum Level { CarryOver = -9, StartValue = -10, TradeRow = -11, Total = -12 };
    // Slots of a row's values: held units, money invested, average price,
    // the profit (a trade's, or the section's on the total row) and, on
    // opening rows, the day shown (Julian day).
    enum Value { Held = 0, Money = 1, Average = 2, Profit = 3, Day = 4, ValueCount = 5 };
    // Bits of a row's number: which of the optional columns it prints.
    enum Shows { ShowsAverage = 1, ShowsProfit = 2 };
    // A right-justified column: x offset from the left margin and width, in points.
    struct Column {
        double x, width;
    };

    // The report over the ticked securities of the list (their order); none
    // when no ticked security has an opening position or a trade. The setup
    // is turned landscape.
    static std::unique_ptr<SecuritiesTradeReport> make(ReadOnlyBook &doc, const std::vector<SecurityPtr> &securities,
                                                       const QDate &from, const QDate &to, cv::PageSetup setup);
    // The rows alone, for the report and its measurements.
    static Rows makeAllItems(ReadOnlyBook &doc, const std::vector<SecurityPtr> &securities, const QDate &from,
                             const QDate &to);

    QDate from() const { return m_from; }
    QDate to() const { return m_to; }

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    SecuritiesTradeReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to);

    void drawRow(cv::Canvas &canvas, int index, double y, int previousDay);
    void drawOpening(cv::Canvas &canvas, const ReportRow &row, double y);
    void drawTrade(cv::Canvas &canvas, const ReportRow &row, double y);
    void drawTotal(cv::Canvas &canvas, const ReportRow &row, double y);
    void drawText(cv::Canvas &canvas, const QString &text, const Column &column, double y) const;
    // An amount in the report format of the currency (0: the book's own).
    void drawValue(cv::Canvas &canvas, double value, int currency, const Column &column, double y);
    // Units: whole for a stock, up to six decimals for funds and bonds.
    void drawUnits(cv::Canvas &canvas, double units, const SecurityPtr &security, const Column &column, double y) const;
    QString getFrac6String(double value) const { return m_formatter6.stringForObjectValue(value); }
    double columnX(double offset) const { return left() + offset * m_columnScale; }
    // The security the page belongs to: its first row's, or the row's before it.
    SecurityPtr pageSecurity() const;

    QDate m_from;
    QDate m_to;
    PatternFormatter m_formatter;  // amounts; format set per currency
    PatternFormatter m_formatter6; // units and prices of funds and bonds
    double m_columnScale = 1;      // below 1 when the columns must close up to fit the paper
};

} // namespace cv
