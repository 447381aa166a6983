// The securities trade report's rows: each section walked once, in trade
// order, with every running figure kept in its row.

#include "reports/SecuritiesTradeReport.h"

#include "document/ReadOnlyBook.h"
#include "model/OpeningHolding.h"
#include "model/Trade.h"

#include <algorithm>
#include <cmath>

namespace cv {

namespace {

using TradeList = std::vector<TradePtr>;

// Kinds that move a position carried into the period: buys, sales, splits,
// merges, increases, decreases, margin trades, cash-ins and reinvestments.
// Unit transfers, incomes, expenses and payouts are left out.
constexpr quint32 kCarryKinds = 0xc03f6003u;

bool tradeBefore(const TradePtr &a, const TradePtr &b)
{
    const qint64 dayA = a->date().toJulianDay();
    const qint64 dayB = b->date().toJulianDay();
    if (dayA != dayB) return dayA < dayB;
    // The opening holdings' synthetic buys (ident -1) come first on their day.
    return a->ident() < b->ident();
}

// A margin trade and how many of its units later buy-backs or sell-backs
// closed. The count lives here, never in the stored trade.
struct MarginLot {
    TradePtr trade;
    double closed = 0;

    double open() const { return trade->count() - closed; }
    // Money per unit a closing trade is matched against: the price less the
    // sale's commission share, or plus the buy's.
    double unitValue(bool sale) const
    {
        const double c = trade->count();
        const double share = c != 0 ? trade->commission() / c : 0;
        return sale ? trade->unitPrice() - share : trade->unitPrice() + share;
    }
};

struct Closing {
    double money = 0;     // matched money of the units closed
    double unmatched = 0; // units no open lot took
    bool complete = false;
};

// Closes q units first in, first out from the cursor on; the cursor stays on
// a lot left partly open.
Closing closeFifo(std::vector<MarginLot> &lots, size_t &cursor, double q, bool sale)
{
    Closing out;
    for (; cursor < lots.size(); ++cursor) {
        MarginLot &lot = lots[cursor];
        const double open = lot.open();
        if (open <= 0) continue;
        if (open >= q) {
            lot.closed += q;
            out.money += q * lot.unitValue(sale);
            out.complete = true;
            return out;
        }
        q -= open;
        out.money += open * lot.unitValue(sale);
        lot.closed = lot.trade->count();
    }
    out.unmatched = q;
    return out;
}

// The position carried into the period, from the trades before it.
struct CarriedPosition {
    double units = 0, money = 0, average = 0;
    double msCount = 0, msTotal = 0, mbCount = 0, mbTotal = 0;
    std::vector<MarginLot> sales, buys; // margin trades still open, in trade order
    bool margin = false;                // some margin trade is still open
};

bool isHoldingOf(const Node &node, int security, OpeningHolding **unit)
{
    if (node.kind() != cv::NodeKind::Holding) return false;
    auto *detail = dynamic_cast<OpeningHolding *>(node.extra().get());
    if (!detail || detail->security() != security) return false;
    *unit = detail;
    return true;
}

void collectCarryOverTrades(ReadOnlyBook &doc, const NodePtr &node, const Security &security, const QDate &start,
                            TradeList &out)
{
    if (!node) return;
    if (node->countChild() > 0) {
        for (const auto &child : node->children()) collectCarryOverTrades(doc, child, security, start, out);
        return;
    }
    OpeningHolding *unit = nullptr;
    if (!isHoldingOf(*node, security.ident(), &unit) || !unit->date().isValid() || unit->date() >= start) return;
    const int account = node->parent() ? node->parent()->ident() : 0;
    if (unit->units() != 0) {
        auto opening = std::make_shared<Trade>();
        opening->setIdent(-1);
        opening->setKind(cv::TradeKind::Buy);
        opening->setSecurity(security.ident());
        opening->setAccount(account);
        opening->setDate(unit->date());
        opening->setCount(unit->units());
        opening->setUnitPrice(unit->unitPrice());
        opening->setCommission(unit->commission());
        out.push_back(std::move(opening));
    }
    const auto trades =
        doc.reads().findTradeFrom(start.addYears(-100), start.addDays(-1), account, security.ident(), kCarryKinds);
    if (trades) out.insert(out.end(), trades->begin(), trades->end());
}

// The average of the money over the units, or nothing held at all.
void averageOf(double units, double &money, double &average)
{
    if (units == 0) {
        money = 0;
        average = 0;
    } else {
        average = money / units;
    }
}

std::optional<CarriedPosition> getCarryOver(ReadOnlyBook &doc, const Security &security, const QDate &start)
{
    TradeList trades;
    collectCarryOverTrades(doc, doc.accountTrees()->asset(), security, start, trades);
    std::stable_sort(trades.begin(), trades.end(), tradeBefore);

    CarriedPosition c;
    std::vector<MarginLot> sales, buys;
    size_t salesCursor = 0, buysCursor = 0;
    double &S = c.units, &T = c.money, &A = c.average;
    for (const auto &trade : trades) {
        const double n = trade->count(), p = trade->unitPrice(), f = trade->commission();
        switch (trade->kind()) {
        case cv::TradeKind::Buy:
        case cv::TradeKind::Split:
        case cv::TradeKind::Increase:
        case cv::TradeKind::Reinvestment:
            S += n;
            if (S != 0) T += n * p + f;
            averageOf(S, T, A);
            break;
        case cv::TradeKind::Merge:
        case cv::TradeKind::Decrease:
            S -= n;
            if (S != 0) T += f;
            averageOf(S, T, A);
            break;
        case cv::TradeKind::Sale:
        case cv::TradeKind::CashIn:
            S -= n;
            if (S != 0)
                T = A * S;
            else
                T = A = 0;
            break;
        case cv::TradeKind::MarginSale:
            c.msCount -= n;
            c.msTotal -= n * p - f;
            sales.push_back(MarginLot{trade});
            break;
        case cv::TradeKind::BuyBack: {
            c.msCount += n;
            if (c.msCount == 0) c.msTotal = 0;
            const Closing closed = closeFifo(sales, salesCursor, n, true);
            if (c.msCount != 0) c.msTotal += closed.money;
            break;
        }
        case cv::TradeKind::MarginBuy:
            c.mbCount += n;
            c.mbTotal += n * p + f;
            buys.push_back(MarginLot{trade});
            break;
        case cv::TradeKind::SellBack: {
            c.mbCount -= n;
            if (c.mbCount == 0) c.mbTotal = 0;
            const Closing closed = closeFifo(buys, buysCursor, n, false);
            if (c.mbCount != 0) c.mbTotal -= closed.money;
            break;
        }
        default: break;
        }
    }
    if (S == 0 && c.msCount == 0 && c.mbCount == 0) return std::nullopt;
    const auto stillOpen = [](const MarginLot &lot) { return lot.open() != 0; };
    std::copy_if(sales.begin(), sales.end(), std::back_inserter(c.sales), stillOpen);
    std::copy_if(buys.begin(), buys.end(), std::back_inserter(c.buys), stillOpen);
    c.margin = !c.sales.empty() || !c.buys.empty();
    if (!c.margin) c.msCount = c.msTotal = c.mbCount = c.mbTotal = 0;
    return c;
}

// Opening holdings recorded inside the period: their units, money, average
// and the earliest date.
struct OpeningHoldings {
    double units = 0, money = 0, average = 0;
    QDate date;
};

void getInitialValue(const NodePtr &node, int security, const QDate &from, const QDate &to, OpeningHoldings &value)
{
    if (!node) return;
    if (node->countChild() > 0) {
        for (const auto &child : node->children()) getInitialValue(child, security, from, to, value);
        return;
    }
    OpeningHolding *unit = nullptr;
    if (!isHoldingOf(*node, security, &unit)) return;
    const QDate date = unit->date();
    if (!date.isValid() || date < from || date > to) return;
    value.units += unit->units();
    value.money += unit->units() * unit->unitPrice() + unit->commission();
    if (!value.date.isValid() || date < value.date) value.date = date;
}

// The running figures of one section, in the order its rows are built.
class SectionWalk {
public:
    explicit SectionWalk(CarriedPosition carried) : m_carried(std::move(carried)) {}
    SectionWalk() = default;

    // The opening row's figures.
    void open(double units, double money, double average, double msCount, double msTotal, double mbCount,
              double mbTotal)
    {
        m_count = units;
        m_total = money;
        m_msCount = msCount;
        m_msTotal = msTotal;
        m_mbCount = mbCount;
        m_mbTotal = mbTotal;
        m_stockCount = m_count + m_msCount + m_mbCount;
        m_investTotal = m_total + m_msTotal + m_mbTotal;
        m_averagePrice = average;
    }

    // Holdings opened inside the period beside a carried position.
    void addOpening(double units, double money)
    {
        m_count += units;
        m_total += money;
        m_stockCount += units;
        m_investTotal += money;
        m_averagePrice = m_count != 0 ? m_total / m_count : 0;
    }

    // One trade: its row's values and what it shows.
    void trade(const TradePtr &trade, ReportRow &row)
    {
        const double c = trade->count(), p = trade->unitPrice(), f = trade->commission();
        double &S = m_stockCount, &U = m_count, &T = m_investTotal, &A = m_averagePrice;
        std::optional<double> profit;
        // A unit count of 0 (a merge to nothing, a zero-count buy) has no average.
        const auto newAverage = [&] { A = U != 0 ? (T + c * p + f) / U : 0; };
        const auto kind = trade->kind();
        switch (kind) {
        case cv::TradeKind::Buy:
            S += c;
            U += c;
            newAverage();
            m_total += c * p + f;
            T += c * p + f;
            break;
        case cv::TradeKind::Sale:
        case cv::TradeKind::CashIn:
            S -= c;
            U -= c;
            T = A * S;
            profit = (p - A) * c - f;
            break;
        case cv::TradeKind::OtherIncome:
        case cv::TradeKind::Interest:
        case cv::TradeKind::Distribution: profit = p - f; break;
        case cv::TradeKind::OtherExpense: profit = -p; break;
        // Without units (as a statement brings it) the price is the whole dividend.
        case cv::TradeKind::Dividend: profit = trade->amount(); break;
        case cv::TradeKind::Split:
        case cv::TradeKind::Increase:
            S += c;
            U += c;
            newAverage();
            T += f;
            break;
        case cv::TradeKind::Merge:
        case cv::TradeKind::Decrease:
            S -= c;
            U -= c;
            newAverage();
            T += f;
            break;
        case cv::TradeKind::MarginSale:
            S -= c;
            m_msCount -= c;
            m_msTotal -= c * p - f;
            T -= c * p - f;
            m_sales.push_back(MarginLot{trade});
            break;
        case cv::TradeKind::BuyBack:
            S += c;
            m_msCount += c;
            profit = close(trade, true);
            break;
        case cv::TradeKind::MarginBuy:
            S += c;
            m_mbCount += c;
            m_mbTotal += c * p + f;
            T += c * p + f;
            m_buys.push_back(MarginLot{trade});
            break;
        case cv::TradeKind::SellBack:
            S -= c;
            m_mbCount -= c;
            profit = close(trade, false);
            break;
        case cv::TradeKind::Reinvestment:
            S += c;
            U += c;
            m_total += c * p + f;
            T += c * p + f;
            break;
        default: break;
        }
        const bool margin = kind >= cv::TradeKind::MarginSale && kind <= cv::TradeKind::SellBack;
        row.values = {S, T, A, profit.value_or(0), 0};
        row.number = (!margin && U != 0 ? SecuritiesTradeReport::ShowsAverage : 0) |
                     (profit ? SecuritiesTradeReport::ShowsProfit : 0);
        if (profit) m_profit += *profit;
    }

    double held() const { return m_stockCount; }
    double money() const { return m_investTotal; }
    double count() const { return m_count; }
    double average() const { return m_averagePrice; }
    double profit() const { return m_profit; }

private:
    // A buy-back (sale side) or sell-back: closes its units against the
    // carried-over margin trades first, then the section's own; answers the
    // row's profit (0 when some units found no open trade).
    double close(const TradePtr &trade, bool saleSide)
    {
        const double c = trade->count(), p = trade->unitPrice(), f = trade->commission();
        double &count = saleSide ? m_msCount : m_mbCount;
        double &total = saleSide ? m_msTotal : m_mbTotal;
        if (count == 0) {
            // The position is closed: its money leaves the money invested.
            m_investTotal -= total;
            total = 0;
        }
        Closing closing;
        closing.unmatched = c;
        bool &carriedEnd = saleSide ? m_carriedSalesEnd : m_carriedBuysEnd;
        if (!carriedEnd) {
            auto &carried = saleSide ? m_carried.sales : m_carried.buys;
            closing = closeFifo(carried, saleSide ? m_carriedSalesCursor : m_carriedBuysCursor, c, saleSide);
        }
        if (!closing.complete) {
            carriedEnd = true;
            const double matchedSoFar = closing.money;
            closing = closeFifo(saleSide ? m_sales : m_buys, saleSide ? m_salesCursor : m_buysCursor, closing.unmatched,
                                saleSide);
            closing.money += matchedSoFar;
        }
        if (!closing.complete) return 0;
        const double matched = closing.money;
        if (count != 0) {
            total += saleSide ? matched : -matched;
            m_investTotal += saleSide ? matched : -matched;
        }
        return saleSide ? matched - c * p - f : c * p - f - matched;
    }

    CarriedPosition m_carried;
    std::vector<MarginLot> m_sales, m_buys; // the section's own margin trades so far
    size_t m_carriedSalesCursor = 0, m_carriedBuysCursor = 0, m_salesCursor = 0, m_buysCursor = 0;
    bool m_carriedSalesEnd = false, m_carriedBuysEnd = false;
    double m_stockCount = 0, m_investTotal = 0, m_averagePrice = 0, m_profit = 0;
    double m_count = 0, m_msCount = 0, m_mbCount = 0, m_total = 0, m_msTotal = 0, m_mbTotal = 0;
};

} // namespace

Report::Rows SecuritiesTradeReport::makeAllItems(ReadOnlyBook &doc, const std::vector<SecurityPtr> &securities,
                                                 const QDate &from, const QDate &to)
{
    Rows rows;
    for (const auto &security : securities) {
        if (!security || security->intValue() == 0) continue;
        const size_t sectionStart = rows.size();
        SectionWalk walk;
        if (auto carried = getCarryOver(doc, *security, from)) {
            const CarriedPosition c = *carried;
            walk = SectionWalk(std::move(*carried));
            walk.open(c.units, c.money, c.average, c.msCount, c.msTotal, c.mbCount, c.mbTotal);
            ReportRow row(CarryOver, ReportRow::kRowHeight);
            row.security = security;
            row.values = {walk.held(), walk.money(), c.average, 0, double(from.toJulianDay())};
            // A short or margin position alone has no average to show.
            row.number = !c.margin || c.units != 0 ? ShowsAverage : 0;
            rows.push_back(std::move(row));
        }
        // Holdings opened inside the period count too, carried position or not.
        OpeningHoldings start;
        getInitialValue(doc.accountTrees()->asset(), security->ident(), from, to, start);
        if (start.units != 0) {
            const bool carried = rows.size() > sectionStart;
            if (carried) {
                walk.addOpening(start.units, start.money);
            } else {
                start.average = start.money / start.units;
                walk.open(start.units, start.money, start.average, 0, 0, 0, 0);
            }
            ReportRow row(StartValue, ReportRow::kRowHeight);
            row.security = security;
            row.values = {walk.held(), walk.money(), carried ? walk.average() : start.average, 0,
                          double(start.date.toJulianDay())};
            row.number = ShowsAverage;
            rows.push_back(std::move(row));
        }
        auto trades = doc.reads().findTradeFrom(from, to, -1, security->ident(), 0).value_or(TradeList{});
        std::stable_sort(trades.begin(), trades.end(), tradeBefore);
        for (const auto &trade : trades) {
            ReportRow row(TradeRow, ReportRow::kRowHeight);
            row.security = security;
            row.trade = trade;
            walk.trade(trade, row);
            row.values[Day] = double(trade->date().toJulianDay());
            rows.push_back(std::move(row));
        }
        if (rows.size() == sectionStart) continue;
        addLineTo(rows);
        ReportRow total(Total, ReportRow::kRowHeight);
        total.security = security;
        total.values = {0, 0, 0, walk.profit(), 0};
        rows.push_back(std::move(total));
        addBlankTo(rows);
        addPageTo(rows);
    }
    return rows;
}

} // namespace cv
