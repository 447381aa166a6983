#include "reports/SecuritiesTradeReport.h"

#include "document/AmountText.h"
#include "document/ReadOnlyBook.h"
#include "platform/ReportNumberFormat.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "reports/ReportTextCut.h"
#include "reports/ReportKinds.h"

#include <algorithm>

namespace cv {

namespace {

// Columns: x offset from the left margin and width, in points.
constexpr double kDateX = 0, kAccountX = 44, kKindX = 162;
constexpr SecuritiesTradeReport::Column kUnits{225, 66}, kPrice{302, 66}, kAmount{368, 77}, kCommission{435, 66},
    kHeld{512, 66}, kMoney{578, 77}, kAverage{665, 77}, kProfit{742, 77};
constexpr double kLayoutWidth = kProfit.x + kProfit.width;
constexpr double kSecurityNameTop = 28; // the section's security
constexpr double kColumnHeadsTop = 42;
constexpr double kHeadRuleTop = 56; // the rule under the heads
constexpr double kDealRowsTop = 60;

bool isAmountKind(cv::TradeKind kind)
{
    return kind == cv::TradeKind::OtherIncome || kind == cv::TradeKind::OtherExpense ||
           kind == cv::TradeKind::Interest || kind == cv::TradeKind::Distribution;
}

bool isStock(const SecurityPtr &security)
{
    return security && security->kind() == cv::SecurityKind::Stock;
}

} // namespace

SecuritiesTradeReport::SecuritiesTradeReport(ReadOnlyBook &doc, const cv::PageSetup &setup, const QDate &from,
                                             const QDate &to)
    : Report(doc, setup), m_from(from), m_to(to), m_formatter6(QStringLiteral("#,##0.######;0.00;(#,##0.######)"))
{
}

std::unique_ptr<SecuritiesTradeReport> SecuritiesTradeReport::make(ReadOnlyBook &doc,
                                                                   const std::vector<SecurityPtr> &securities,
                                                                   const QDate &from, const QDate &to,
                                                                   cv::PageSetup setup)
{
    Rows rows = makeAllItems(doc, securities, from, to);
    if (rows.empty()) return nullptr;
    setup.orientation = cv::PageSetup::Landscape;
    std::unique_ptr<SecuritiesTradeReport> view(new SecuritiesTradeReport(doc, setup, from, to));
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Brand-Deal"));
    return view;
}

SecurityPtr SecuritiesTradeReport::pageSecurity() const
{
    const PageRange rows = range();
    const Rows &all = data();
    if (rows.start < 0 || rows.start >= int(all.size())) return nullptr;
    if (all[size_t(rows.start)].security) return all[size_t(rows.start)].security;
    return rows.start > 0 ? all[size_t(rows.start) - 1].security : nullptr;
}

void SecuritiesTradeReport::drawPage(cv::Canvas &canvas)
{
    // The columns keep their places unless the last would run off the paper
    // (wide margins): then they close up within the margins, so that no
    // figure is lost.
    m_columnScale = left() + kLayoutWidth > paperSize().width() ? contentWidth() / kLayoutWidth : 1.0;
    drawPeriod(canvas, m_from, m_to);
    if (const SecurityPtr security = pageSecurity()) {
        QString name = security->name();
        if (doc().isForeignCurrency(security->currency()))
            if (const auto currency = doc().findCurrency(security->currency()))
                name = QStringLiteral("%1 <%2>").arg(name, currency->prefix());
        drawLeftJustified(canvas, name, QPointF(left(), top() + kSecurityNameTop));
    }
    const std::pair<Column, const char *> heads[] = {
        {kUnits, "Report-Brand-Trade-Count"},     {kPrice, "Report-Brand-Unit-Price"},
        {kAmount, "Report-Brand-Amount"},         {kCommission, "Report-Brand-Commission"},
        {kHeld, "Report-Brand-Stock-Count"},      {kMoney, "Report-Brand-Total-Amount"},
        {kAverage, "Report-Brand-Average-Price"}, {kProfit, "Report-Brand-Profit-Loss"}};
    // The amount column reaches into the commission's: a head keeps to what
    // the column before leaves of its column.
    double previousRight = 0;
    for (const auto &[column, key] : heads) {
        const double right = column.x + column.width;
        const double width = std::min(column.width, right - previousRight);
        drawHeadRight(canvas, cv::localizedString(key), QPointF(columnX(right - width), top() + kColumnHeadsTop),
                      width * m_columnScale);
        previousRight = right;
    }
    drawItem(canvas, ReportRow(ReportRow::Rule, ReportRow::kRuleHeight), top() + kHeadRuleTop);

    const int first = range().start;
    walkRows(canvas, top() + kDealRowsTop, [&](int index, double y) {
        // The date shows on a page's first row and where the day changes.
        int previousDay = 0;
        if (index > first) {
            const ReportRow &previous = data()[size_t(index) - 1];
            if (previous.level == CarryOver || previous.level == StartValue || previous.level == TradeRow)
                previousDay = int(previous.value(Day));
        }
        drawRow(canvas, index, y, previousDay);
    });
}

void SecuritiesTradeReport::drawRow(cv::Canvas &canvas, int index, double y, int previousDay)
{
    const ReportRow &row = data()[size_t(index)];
    if (row.level == Total) {
        drawTotal(canvas, row, y);
        return;
    }
    if (row.level != CarryOver && row.level != StartValue && row.level != TradeRow) return;
    const int day = int(row.value(Day));
    if (day != previousDay) {
        const QString format = cv::localizedString("Report-Short-Date-Format");
        drawLeftJustified(canvas, cv::formatDate(QDate::fromJulianDay(day), format), QPointF(columnX(kDateX), y));
    }
    if (row.level == TradeRow)
        drawTrade(canvas, row, y);
    else
        drawOpening(canvas, row, y);
}

void SecuritiesTradeReport::drawOpening(cv::Canvas &canvas, const ReportRow &row, double y)
{
    drawLeftJustified(
        canvas, cv::localizedString(row.level == CarryOver ? "Report-Brand-Carry-Over" : "Report-Brand-Start-Value"),
        QPointF(columnX(kKindX), y));
    // Units held of a stock in the book's whole-number amount format.
    if (isStock(row.security))
        drawValue(canvas, row.value(Held), 0, kHeld, y);
    else
        drawText(canvas, getFrac6String(row.value(Held)), kHeld, y);
    drawValue(canvas, row.value(Money), row.security ? row.security->currency() : 0, kMoney, y);
    if (row.number & ShowsAverage) drawText(canvas, getFrac6String(row.value(Average)), kAverage, y);
}

void SecuritiesTradeReport::drawTrade(cv::Canvas &canvas, const ReportRow &row, double y)
{
    if (!row.trade) {
        Q_ASSERT(!"trade row without its trade");
        return;
    }
    const Trade &trade = *row.trade;
    const auto kind = trade.kind();
    const int currency = row.security ? row.security->currency() : 0;
    const auto accountName = [this](int ident) {
        const NodePtr account = doc().findAccount(ident);
        return account ? doc().displayName(*account) : QString();
    };
    QString account = accountName(trade.account());
    if (kind == cv::TradeKind::TransferUnits)
        account = cv::formatString(cv::localizedString("Report-Brand-Transfer-Format"),
                                   {account, accountName(trade.transfer())});
    // Two accounts of a transfer can be long: cut at the kind column.
    cv::drawInColumn(canvas, account, QPointF(columnX(kAccountX), y), columnX(kKindX) - columnX(kAccountX));
    drawLeftJustified(canvas, trade.reportKindName(), QPointF(columnX(kKindX), y));

    const double c = trade.count(), p = trade.unitPrice();
    drawUnits(canvas, c, row.security, kUnits, y);
    if (isAmountKind(kind))
        drawValue(canvas, 0, currency, kPrice, y);
    else if (isStock(row.security))
        drawValue(canvas, p, currency, kPrice, y);
    else
        drawText(canvas, getFrac6String(p), kPrice, y);
    // A dividend without units carries its whole amount as the price.
    const double amount = kind == cv::TradeKind::Dividend ? trade.grossAmount() : c * p;
    drawValue(canvas, isAmountKind(kind) ? p : amount, currency, kAmount, y);
    drawValue(canvas, trade.commission(), currency, kCommission, y);

    drawUnits(canvas, row.value(Held), row.security, kHeld, y);
    drawValue(canvas, row.value(Money), currency, kMoney, y);
    if (row.number & ShowsAverage) drawText(canvas, getFrac6String(row.value(Average)), kAverage, y);
    if (row.number & ShowsProfit) drawValue(canvas, row.value(Profit), currency, kProfit, y);
}

void SecuritiesTradeReport::drawTotal(cv::Canvas &canvas, const ReportRow &row, double y)
{
    const QString name = row.security ? row.security->name() : QString();
    drawLeftJustified(canvas, cv::formatString(cv::localizedString("Report-Total-of"), {name}), QPointF(left(), y));
    const int currency = row.security ? row.security->currency() : 0;
    const PatternFormatter &formatter =
        doc().isForeignCurrency(currency) ? doc().amountText().formatterForCurrency(currency) : currencyFormatter();
    drawText(canvas, formatter.stringForObjectValue(row.value(Profit)), kProfit, y);
}

void SecuritiesTradeReport::drawText(cv::Canvas &canvas, const QString &text, const Column &column, double y) const
{
    drawRightJustified(canvas, text, QPointF(columnX(column.x), y), column.width * m_columnScale);
}

void SecuritiesTradeReport::drawValue(cv::Canvas &canvas, double value, int currency, const Column &column, double y)
{
    setReportFormat(doc().findCurrency(currency).get(), m_formatter);
    drawText(canvas, m_formatter.stringForObjectValue(value), column, y);
}

void SecuritiesTradeReport::drawUnits(cv::Canvas &canvas, double units, const SecurityPtr &security,
                                      const Column &column, double y) const
{
    drawText(canvas,
             isStock(security) ? doc().amountText().intFormatter().stringForObjectValue(units) : getFrac6String(units),
             column, y);
}

std::unique_ptr<Report> makeSecuritiesTradeReport(ReadOnlyBook &doc, const ReportRequest &request,
                                                  const PageSetup &setup)
{
    return SecuritiesTradeReport::make(doc, doc.securityList(), request.from, request.to, setup);
}

} // namespace cv
