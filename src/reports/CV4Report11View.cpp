#include "reports/CV4Report11View.h"

#include "document/CV4Document.h"
#include "platform/CV4MiscUtilities.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "reports/ReportKinds.h"

namespace {

// Column x offsets from the left margin and widths, in points.
constexpr double kDateX = 0, kAccountX = 44, kKindX = 162;
constexpr double kUnitsX = 225, kPriceX = 302, kAmountX = 368, kCommissionX = 435;
constexpr double kHeldX = 512, kMoneyX = 578, kAverageX = 665, kProfitX = 742;
constexpr double kNarrow = 66, kWide = 77;
constexpr double kBrandNameTop = 28;    // the section's security
constexpr double kColumnHeadsTop = 42;   // column heads
constexpr double kHeadRuleTop = 56;    // the rule under the heads
constexpr double kDealRowsTop = 60;

bool isAmountKind(int kind)
{
    return kind == CV4Trade::OtherIncome || kind == CV4Trade::OtherExpense || kind == CV4Trade::Interest ||
           kind == CV4Trade::Distribution;
}

bool isStock(const CV4BrandPtr &brand)
{
    return brand && brand->kind() == CV4Brand::Stock;
}

} // namespace

CV4Report11View::CV4Report11View(CV4Document &doc, const cv::PageSetup &setup, const QDate &from, const QDate &to)
    : CV4ReportView(doc, setup), m_from(from), m_to(to),
      m_formatter6(QStringLiteral("#,##0.######;0.00;(#,##0.######)"))
{
}

std::unique_ptr<CV4Report11View> CV4Report11View::make(CV4Document &doc, const std::vector<CV4BrandPtr> &brands,
                                                       const QDate &from, const QDate &to, cv::PageSetup setup)
{
    Rows rows = makeAllItems(doc, brands, from, to);
    if (rows.empty()) return nullptr;
    setup.orientation = cv::PageSetup::Landscape;
    std::unique_ptr<CV4Report11View> view(new CV4Report11View(doc, setup, from, to));
    view->setData(std::move(rows));
    view->setTitle(cv::localizedString("Report-Brand-Deal"));
    return view;
}

CV4BrandPtr CV4Report11View::pageBrand() const
{
    const PageRange rows = range();
    const Rows &all = data();
    if (rows.start < 0 || rows.start >= int(all.size())) return nullptr;
    if (all[size_t(rows.start)].brand) return all[size_t(rows.start)].brand;
    return rows.start > 0 ? all[size_t(rows.start) - 1].brand : nullptr;
}

void CV4Report11View::drawPage(cv::Canvas &canvas)
{
    drawPeriod(canvas, m_from, m_to);
    if (const CV4BrandPtr brand = pageBrand()) {
        QString name = brand->name();
        if (doc().isForeignCurrency(brand->currency()))
            if (const auto currency = doc().findCurrency(brand->currency()))
                name = QStringLiteral("%1 <%2>").arg(name, currency->prefix());
        drawLeftJustified(canvas, name, QPointF(left(), top() + kBrandNameTop));
    }
    const struct {
        double x, width;
        const char *key;
    } heads[] = {{kUnitsX, kNarrow, "Report-Brand-Trade-Count"},   {kPriceX, kNarrow, "Report-Brand-Unit-Price"},
                 {kAmountX, kWide, "Report-Brand-Amount"},          {kCommissionX, kNarrow, "Report-Brand-Commission"},
                 {kHeldX, kNarrow, "Report-Brand-Stock-Count"},     {kMoneyX, kWide, "Report-Brand-Total-Amount"},
                 {kAverageX, kWide, "Report-Brand-Average-Price"},  {kProfitX, kWide, "Report-Brand-Profit-Loss"}};
    for (const auto &head : heads)
        drawRightJustified(canvas, cv::localizedString(head.key), QPointF(left() + head.x, top() + kColumnHeadsTop),
                           head.width);
    drawItem(canvas, CV4ReportItem(CV4ReportItem::Rule, CV4ReportItem::kRuleHeight), top() + kHeadRuleTop);

    const int first = range().start;
    walkRows(canvas, top() + kDealRowsTop, [&](int index, double y) {
        // The date shows on a page's first row and where the day changes.
        int previousDay = 0;
        if (index > first) {
            const CV4ReportItem &previous = data()[size_t(index) - 1];
            if (previous.level == CarryOver || previous.level == StartValue || previous.level == TradeRow)
                previousDay = int(previous.value(Day));
        }
        drawRow(canvas, index, y, previousDay);
    });
}

void CV4Report11View::drawRow(cv::Canvas &canvas, int index, double y, int previousDay)
{
    const CV4ReportItem &row = data()[size_t(index)];
    if (row.level == Total) {
        drawTotal(canvas, row, y);
        return;
    }
    if (row.level != CarryOver && row.level != StartValue && row.level != TradeRow) return;
    const int day = int(row.value(Day));
    if (day != previousDay) {
        const QString format = cv::localizedString("Report-Short-Date-Format");
        drawLeftJustified(canvas, cv::formatDate(QDate::fromJulianDay(day), format), QPointF(left() + kDateX, y));
    }
    if (row.level == TradeRow)
        drawTrade(canvas, row, y);
    else
        drawOpening(canvas, row, y);
}

void CV4Report11View::drawOpening(cv::Canvas &canvas, const CV4ReportItem &row, double y)
{
    drawLeftJustified(canvas,
                      cv::localizedString(row.level == CarryOver ? "Report-Brand-Carry-Over"
                                                                 : "Report-Brand-Start-Value"),
                      QPointF(left() + kKindX, y));
    // Units held of a stock in the book's whole-number amount format.
    if (isStock(row.brand))
        drawValue(canvas, row.value(Held), 0, QPointF(left() + kHeldX, y), kNarrow);
    else
        drawRightJustified(canvas, getFrac6String(row.value(Held)), QPointF(left() + kHeldX, y), kNarrow);
    drawValue(canvas, row.value(Money), row.brand ? row.brand->currency() : 0, QPointF(left() + kMoneyX, y), kWide);
    if (row.number & ShowsAverage)
        drawRightJustified(canvas, getFrac6String(row.value(Average)), QPointF(left() + kAverageX, y), kWide);
}

void CV4Report11View::drawTrade(cv::Canvas &canvas, const CV4ReportItem &row, double y)
{
    if (!row.trade) {
        Q_ASSERT(!"trade row without its trade");
        return;
    }
    const CV4Trade &trade = *row.trade;
    const int kind = trade.kind();
    const int currency = row.brand ? row.brand->currency() : 0;
    const auto accountName = [this](int ident) {
        const CVUnitModelPtr account = doc().findAccount(ident);
        return account ? doc().displayName(*account) : QString();
    };
    QString account = accountName(trade.account());
    if (kind == CV4Trade::TransferUnits)
        account = cv::formatString(cv::localizedString("Report-Brand-Transfer-Format"),
                                   {account, accountName(trade.transfer())});
    drawLeftJustified(canvas, account, QPointF(left() + kAccountX, y));
    drawLeftJustified(canvas, trade.reportKindName(), QPointF(left() + kKindX, y));

    const double c = trade.count(), p = trade.unitPrice();
    drawUnits(canvas, c, row.brand, QPointF(left() + kUnitsX, y), kNarrow);
    if (isAmountKind(kind))
        drawValue(canvas, 0, currency, QPointF(left() + kPriceX, y), kNarrow);
    else if (isStock(row.brand))
        drawValue(canvas, p, currency, QPointF(left() + kPriceX, y), kNarrow);
    else
        drawRightJustified(canvas, getFrac6String(p), QPointF(left() + kPriceX, y), kNarrow);
    drawValue(canvas, isAmountKind(kind) ? p : c * p, currency, QPointF(left() + kAmountX, y), kWide);
    drawValue(canvas, trade.commission(), currency, QPointF(left() + kCommissionX, y), kNarrow);

    drawUnits(canvas, row.value(Held), row.brand, QPointF(left() + kHeldX, y), kNarrow);
    drawValue(canvas, row.value(Money), currency, QPointF(left() + kMoneyX, y), kWide);
    if (row.number & ShowsAverage)
        drawRightJustified(canvas, getFrac6String(row.value(Average)), QPointF(left() + kAverageX, y), kWide);
    if (row.number & ShowsProfit)
        drawValue(canvas, row.value(Profit), currency, QPointF(left() + kProfitX, y), kWide);
}

void CV4Report11View::drawTotal(cv::Canvas &canvas, const CV4ReportItem &row, double y)
{
    const QString name = row.brand ? row.brand->name() : QString();
    drawLeftJustified(canvas, cv::formatString(cv::localizedString("Report-Total-of"), {name}), QPointF(left(), y));
    const int currency = row.brand ? row.brand->currency() : 0;
    const KavriNumberFormatter &formatter =
        doc().isForeignCurrency(currency) ? doc().formatterForCurrency(currency) : currencyFormatter();
    drawRightJustified(canvas, formatter.stringForObjectValue(row.value(Profit)), QPointF(left() + kProfitX, y),
                       kWide);
}

void CV4Report11View::drawValue(cv::Canvas &canvas, double value, int currency, const QPointF &at, double width)
{
    const CV4CurrencyPtr found = doc().findCurrency(currency);
    CV4MiscUtilities::setReportFormat(found.get(), m_formatter);
    drawRightJustified(canvas, m_formatter.stringForObjectValue(value), at, width);
}

void CV4Report11View::drawUnits(cv::Canvas &canvas, double units, const CV4BrandPtr &brand, const QPointF &at,
                                double width)
{
    drawRightJustified(canvas,
                       isStock(brand) ? doc().intFormatter().stringForObjectValue(units) : getFrac6String(units), at,
                       width);
}

namespace cv {

std::unique_ptr<CV4ReportView> makeSecuritiesTradeReport(CV4Document &doc, const ReportRequest &request,
                                                         const PageSetup &setup)
{
    return CV4Report11View::make(doc, doc.brandList(), request.from, request.to, setup);
}

} // namespace cv
