#pragma once
// The account balance report (kind 0): for the ticked asset and debt
// accounts, each one's balance at the start of the period, its increase,
// decrease, balance at the end and the change, with totals per section, a
// net-asset line and, for an account or holding in a foreign currency, a
// second line in its own money. Listed in tree order (flags 0) or gathered
// by account type with a subtotal per type (flags 1).
//
// Every figure is worked out while the rows are built: an account line and
// a total carry their four values (start, increase, decrease, end) in
// `values`; a foreign line (99, 100) carries them in its own currency, whose
// ident is the row's `number`.

#include "reports/Report.h"
#include "reports/ReportKinds.h"

#include "document/PatternFormatter.h"

#include <QHash>

#include <array>
#include <memory>

namespace cv {

class AccountBalanceReport : public Report {
public:
    // Row levels of this report besides account lines (0-98).
    enum Level {
        ForeignLine = 99,        // the line above in its node's own currency
        ForeignInvestLine = 100, // the -23 line in the account's own currency
        SectionHead = -10,       // "Legend-Asset" / "Legend-Debt" and the column heads
        SectionTotal = -11,
        NetHead = -12,
        NetValues = -13,
        InvestHoldings = -23, // an investment account with the sum of its holdings
    };
    using Quad = std::array<double, 4>; // start, increase, decrease, end

    // Always makes rows: a section with nothing ticked prints a total of zeros.
    static std::unique_ptr<AccountBalanceReport> make(ReadOnlyBook &doc, int flags, const QDate &from, const QDate &to,
                                                      const cv::PageSetup &setup);

    int flags() const { return m_flags; }

protected:
    void drawPage(cv::Canvas &canvas) override;

private:
    class Builder;

    AccountBalanceReport(ReadOnlyBook &doc, int flags, const QDate &from, const QDate &to, const cv::PageSetup &setup);

    void drawValues(cv::Canvas &canvas, const ReportRow &row, double y);
    void drawForeign(cv::Canvas &canvas, const ReportRow &row, double y);
    void drawTitles(cv::Canvas &canvas, const QStringList &keys, double y);
    // The net worth's heading: its words, then its period ("Report-Account-Period").
    std::pair<QString, QString> netHeading() const;
    QString typeName(const Node &node) const;
    static const char *totalTitleKey(int level);

    // Where the columns stand on this paper; set as a page is drawn.
    struct Columns {
        double typeX = 0, typeWidth = 0, valuesX = 0, valueWidth = 0;
    };
    Columns columns(cv::Canvas &canvas) const;

    int m_flags; // 0 tree order, 1 grouped by account type
    Columns m_columns;
    QDate m_date1, m_date2; // the period
    PatternFormatter m_diffFormatter;
};

} // namespace cv
