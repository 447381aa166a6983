#include "document/InvestmentStatus.h"

#include "document/Book.h"
#include "document/PatternFormatter.h"
#include "model/OpeningHolding.h"
#include "model/Trade.h"
#include "model/ExtraInterfaces.h"
#include "platform/Assert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <cmath>

namespace cv {

namespace {

// Deeper chains of transfers than this are taken as a damaged book.
constexpr int kMaxTransferDepth = 64;

enum class Group { Acquiring, Disposing, Transfer, Increase, Decrease, CashOnly };

Group groupOf(cv::TradeKind kind)
{
    switch (kind) {
    case cv::TradeKind::Buy:
    case cv::TradeKind::MarginSale:
    case cv::TradeKind::MarginBuy:
    case cv::TradeKind::Reinvestment: return Group::Acquiring;
    case cv::TradeKind::Sale:
    case cv::TradeKind::BuyBack:
    case cv::TradeKind::SellBack:
    case cv::TradeKind::CashIn: return Group::Disposing;
    case cv::TradeKind::TransferUnits: return Group::Transfer;
    case cv::TradeKind::Split:
    case cv::TradeKind::Increase: return Group::Increase;
    case cv::TradeKind::Merge:
    case cv::TradeKind::Decrease: return Group::Decrease;
    default: return Group::CashOnly;
    }
}

bool isCashAmountKind(cv::TradeKind kind)
{
    return kind == cv::TradeKind::OtherIncome || kind == cv::TradeKind::OtherExpense ||
           kind == cv::TradeKind::Interest || kind == cv::TradeKind::Distribution;
}

bool isUnitChangeKind(cv::TradeKind kind)
{
    return kind == cv::TradeKind::Split || kind == cv::TradeKind::Merge || kind == cv::TradeKind::Increase ||
           kind == cv::TradeKind::Decrease;
}

// A running average-cost position. The average is taken only over units
// held, so no Inf or NaN reaches a cost.
struct Position {
    double units = 0;
    double acquired = 0;
    double cost = 0;
    double average = 0;
    double commissions = 0;

    void updateAverage() { average = units != 0 ? cost / units : 0; }
    void opening(const OpeningHolding *unit)
    {
        *this = {};
        if (!unit) return;
        units = acquired = unit->units();
        commissions = unit->commission();
        cost = unit->units() * unit->unitPrice() + unit->commission();
        updateAverage();
    }
    // `incoming`: a transfer of units arriving here, at `transferPrice`.
    void apply(const Trade &t, bool incoming, double transferPrice)
    {
        switch (groupOf(t.kind())) {
        case Group::Acquiring:
            units += t.count();
            acquired += t.count();
            cost += t.unitPrice() * t.count() + t.commission();
            updateAverage();
            break;
        case Group::Transfer:
            if (incoming) {
                units += t.count();
                acquired += t.count();
                cost += t.count() * transferPrice;
                updateAverage();
                break;
            }
            [[fallthrough]];
        case Group::Disposing:
            units -= t.count();
            cost = average * units;
            break;
        case Group::Increase:
            units += t.count();
            acquired += t.count();
            cost += t.commission();
            updateAverage();
            break;
        case Group::Decrease:
            units -= t.count();
            acquired -= t.count();
            cost += t.commission();
            updateAverage();
            break;
        case Group::CashOnly: break;
        }
        commissions += t.commission();
    }
};

// At least two decimals: "12" is "12.00", "1.5" is "1.50".
QString paddedToCents(QString s)
{
    const qsizetype dot = s.indexOf(u'.');
    if (dot < 0)
        s += QStringLiteral(".00");
    else if (s.size() - dot - 1 == 1)
        s += u'0';
    return s;
}

const OpeningHolding *openingHoldingOf(const Node &holding)
{
    return dynamic_cast<const OpeningHolding *>(holding.extra().get());
}

// The trades of a security in an account (as account or as receiver of a
// transfer) up to the date. Another account's trade settled through this
// one moves no units here.
std::vector<TradePtr> tradesOf(const Book &document, int account, int security, const QDate &to)
{
    std::vector<TradePtr> trades;
    if (!document.store()) return trades;
    auto found = document.reads().findTradeFrom(QDate(), to, account, security, 0);
    if (!found) return trades;
    for (TradePtr &t : *found) {
        if (t && (t->account() == account || t->kind() == cv::TradeKind::TransferUnits)) trades.push_back(std::move(t));
    }
    return trades;
}

} // namespace

// ---------------------------------------------------------------- building

void InvestmentStatus::build(const QDate &date)
{
    m_date = date;
    m_items.clear();
    m_transferPrices.clear();
    if (const AccountTreesPtr &accounts = m_document.accountTrees()) collect(accounts->asset());

    auto total = std::make_shared<InvestmentStatusRow>();
    for (const InvestmentStatusRowPtr &account : m_items) {
        const int currency = account->unit() ? account->unit()->currency() : 0;
        const double rate = rateAt(currency);
        for (int slot : {BookCostSlot, CommissionSlot, MarketSlot}) total->addValue(account->value(slot) * rate, slot);
    }
    m_items.push_back(total);
}

void InvestmentStatus::collect(const NodePtr &node)
{
    if (!node) return;
    if (node->kind() != NodeKind::Investment) {
        for (const NodePtr &child : node->children()) collect(child);
        return;
    }
    if (InvestmentStatusRowPtr row = collectAccount(node)) m_items.push_back(std::move(row));
}

InvestmentStatusRowPtr InvestmentStatus::collectAccount(const NodePtr &account)
{
    if (const auto *dated = dynamic_cast<const DatedExtra *>(account->extra().get())) {
        if (dated->date().isValid() && dated->date() > m_date) return nullptr;
    }
    auto row = std::make_shared<InvestmentStatusRow>(account);
    const int accountCurrency = m_document.getCurrency(account->currency());
    const auto &children = account->children();
    // The first child is the account's cash part.
    for (size_t i = 1; i < children.size(); ++i) {
        InvestmentStatusRowPtr holding = collectHolding(children[i], account->ident());
        if (!holding) continue;
        // A security in another currency than its account's counts in the account's.
        const SecurityPtr security = m_document.findSecurity(openingHoldingOf(*children[i])->security());
        const int securityCurrency = m_document.getCurrency(security ? security->currency() : 0);
        for (int slot : {BookCostSlot, CommissionSlot, MarketSlot}) {
            double v = holding->value(slot);
            if (securityCurrency != accountCurrency)
                v = m_document.convert(accountCurrency, v, securityCurrency, m_date);
            row->addValue(v, slot);
        }
        row->holdings().push_back(std::move(holding));
    }
    return row;
}

InvestmentStatusRowPtr InvestmentStatus::collectHolding(const NodePtr &node, int account)
{
    const OpeningHolding *unit = node ? openingHoldingOf(*node) : nullptr;
    if (!unit) return nullptr;
    std::vector<TradePtr> trades = tradesOf(m_document, account, unit->security(), m_date);
    if (trades.empty() && unit->units() == 0) return nullptr;

    // The last return to zero before the date starts the holding afresh.
    std::optional<size_t> lastZero;
    double running = unit->units();
    for (size_t i = 0; i < trades.size(); ++i) {
        const Trade &t = *trades[i];
        switch (groupOf(t.kind())) {
        case Group::Acquiring:
        case Group::Increase: running += t.count(); break;
        case Group::Disposing:
        case Group::Decrease: running -= t.count(); break;
        case Group::Transfer: running += t.account() == account ? -t.count() : t.count(); break;
        case Group::CashOnly: break;
        }
        if (running == 0 && t.date() < m_date) lastZero = i;
    }
    Position p;
    if (lastZero) {
        trades.erase(trades.begin(), trades.begin() + std::ptrdiff_t(*lastZero + 1));
        if (trades.empty()) return nullptr;
    } else {
        p.opening(unit);
    }
    for (const TradePtr &t : trades) {
        const bool transfer = t->kind() == cv::TradeKind::TransferUnits;
        const bool incoming = transfer && t->account() != account;
        double price = 0;
        if (transfer) {
            price = computeTransferPrice(t->account(), t->security(), t->ident(), 0);
            m_transferPrices[t->ident()] = price;
        }
        p.apply(*t, incoming, price);
    }

    auto row = std::make_shared<InvestmentStatusRow>(node, account);
    row->trades() = std::move(trades);
    const double price = m_document.securityPrice(m_document.findSecurity(unit->security()), m_date);
    row->setValue(p.units, UnitsSlot);
    row->setValue(p.acquired, AcquiredSlot);
    row->setValue(p.cost, CostSlot);
    row->setValue(p.commissions, CommissionSlot);
    row->setValue(p.acquired != 0 ? p.cost : 0, BookCostSlot);
    row->setValue(price, PriceSlot);
    row->setValue(price * p.units, MarketSlot);
    return row;
}

double InvestmentStatus::transferPrice(int account, int security, int tradeIdent) const
{
    const auto it = m_transferPrices.find(tradeIdent);
    return it != m_transferPrices.end() ? it->second : computeTransferPrice(account, security, tradeIdent, 0);
}

double InvestmentStatus::transferPriceOf(const Trade &trade) const
{
    return transferPrice(trade.account(), trade.security(), trade.ident());
}

double InvestmentStatus::computeTransferPrice(int account, int security, int tradeIdent, int depth) const
{
    CV_ASSERT_OR(depth <= kMaxTransferDepth, return 0);
    Position p;
    if (const NodePtr giver = m_document.findAccount(account)) {
        const auto &children = giver->children();
        for (size_t i = 1; i < children.size(); ++i) {
            const OpeningHolding *unit = openingHoldingOf(*children[i]);
            if (unit && unit->security() == security) {
                // The opening commission is part of the cost the units carry away.
                p.opening(unit);
                break;
            }
        }
    }
    for (const TradePtr &t : tradesOf(m_document, account, security, m_date)) {
        if (t->ident() == tradeIdent) break;
        const bool incoming = t->kind() == cv::TradeKind::TransferUnits && t->transfer() == account;
        const double price = incoming ? computeTransferPrice(t->account(), security, t->ident(), depth + 1) : 0;
        p.apply(*t, incoming, price);
    }
    return p.average;
}

// ---------------------------------------------------------------- cells

double InvestmentStatus::rateAt(int currency) const
{
    // The default currency is the unit of every rate.
    if (!m_document.isForeignCurrency(currency)) return 1;
    return m_document.currencyRate(m_document.findCurrency(currency), m_date);
}

int InvestmentStatus::rowCurrency(const Row &row) const
{
    if (row.level == TradeLevel)
        return row.trade ? m_document.getCurrency(m_document.currencyOfAccount(row.trade->account())) : 0;
    if (!row.item || row.item->isTotal()) return m_document.getCurrency(0);
    if (row.level == HoldingLevel) {
        const OpeningHolding *unit = openingHoldingOf(*row.item->unit());
        const SecurityPtr security = unit ? m_document.findSecurity(unit->security()) : nullptr;
        return m_document.getCurrency(security ? security->currency() : 0);
    }
    return m_document.getCurrency(row.item->unit()->currency());
}

std::optional<cv::SecurityKind> InvestmentStatus::securityKind(const Row &row) const
{
    int security = -1;
    if (row.level == TradeLevel && row.trade) security = row.trade->security();
    if (row.level == HoldingLevel && row.item && row.item->unit()) {
        if (const OpeningHolding *unit = openingHoldingOf(*row.item->unit())) security = unit->security();
    }
    const SecurityPtr b = security >= 0 ? m_document.findSecurity(security) : nullptr;
    if (!b) return std::nullopt;
    return b->kind();
}

std::optional<double> InvestmentStatus::value(int column, const Row &row, bool convert) const
{
    std::optional<double> v;
    const bool total = row.level != TradeLevel && (!row.item || row.item->isTotal());
    if (row.level == HoldingLevel && !total) {
        const InvestmentStatusRow &h = *row.item;
        switch (column) {
        case Units: return h.value(UnitsSlot);
        case UnitPrice:
            if (h.value(UnitsSlot) > 0) v = h.value(CostSlot) / h.value(UnitsSlot);
            break;
        case Commission: v = h.value(CommissionSlot); break;
        case BookCost: v = h.value(BookCostSlot); break;
        case Price: v = h.value(PriceSlot); break;
        case MarketValue: v = h.value(MarketSlot); break;
        case Gain: v = h.value(MarketSlot) - h.value(BookCostSlot); break;
        default: break;
        }
    } else if (row.level == TradeLevel) {
        if (!row.trade) return std::nullopt;
        const Trade &t = *row.trade;
        const auto kind = t.kind();
        const bool transfer = kind == cv::TradeKind::TransferUnits;
        const bool incoming = transfer && row.holding && t.account() != row.holding->account();
        switch (column) {
        case Units:
            if (isCashAmountKind(kind)) return std::nullopt;
            return t.count();
        case UnitPrice:
            if (isCashAmountKind(kind) || isUnitChangeKind(kind)) break;
            v = transfer ? transferPriceOf(t) : t.unitPrice();
            break;
        case Amount:
            v = isCashAmountKind(kind) ? t.unitPrice() : t.count() * (transfer ? transferPriceOf(t) : t.unitPrice());
            break;
        case Commission:
            if (transfer || kind == cv::TradeKind::OtherIncome || kind == cv::TradeKind::OtherExpense) break;
            v = t.commission();
            break;
        case BookCost:
            if (groupOf(kind) == Group::Acquiring)
                v = t.count() * t.unitPrice() + t.commission();
            else if (isUnitChangeKind(kind))
                v = t.commission();
            else if (incoming)
                v = t.count() * transferPriceOf(t);
            break;
        default: break;
        }
    } else if (row.item) {
        const InvestmentStatusRow &h = *row.item;
        switch (column) {
        case Commission: v = h.value(CommissionSlot); break;
        case BookCost: v = h.value(BookCostSlot); break;
        case MarketValue: v = h.value(MarketSlot); break;
        case Gain: v = h.value(MarketSlot) - h.value(BookCostSlot); break;
        default: break;
        }
    }
    // The total is in the default currency already.
    if (v && convert && !total) *v *= rateAt(rowCurrency(row));
    return v;
}

QString InvestmentStatus::frac6String(double value, bool padZeroes)
{
    static const PatternFormatter formatter(QStringLiteral("#,##0.000000"));
    QString s = formatter.stringForObjectValue(value);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    return padZeroes ? paddedToCents(s) : s;
}

AmountDisplay InvestmentStatus::text(int column, const Row &row, bool convert) const
{
    const bool total = row.level != TradeLevel && (!row.item || row.item->isTotal());
    const int currency = rowCurrency(row);
    const bool foreign = m_document.isForeignCurrency(currency);
    const int defaultCurrency = m_document.getCurrency(0);
    auto amount = [&](double v, int c) { return m_document.amountText().attributedStringForValue(v, c); };

    switch (column) {
    case Name:
        if (total) return {localizedString(QStringLiteral("Summary Column")), {}};
        if (row.level == TradeLevel) return {row.trade ? formatProgramDate(row.trade->date()) : QString(), {}};
        return {m_document.displayName(*row.item->unit()), {}};
    case Kind:
        if (row.level == HoldingLevel && !total) {
            const OpeningHolding *unit = openingHoldingOf(*row.item->unit());
            const SecurityPtr security = unit ? m_document.findSecurity(unit->security()) : nullptr;
            return {security ? security->kindName() : QString(), {}};
        }
        if (row.level == TradeLevel && row.trade) {
            if (row.trade->kind() == cv::TradeKind::TransferUnits) {
                const bool incoming = row.holding && row.trade->account() != row.holding->account();
                return {localizedString(incoming ? QStringLiteral("trade-in-transfer")
                                                 : QStringLiteral("trade-out-transfer")),
                        {}};
            }
            return {row.trade->operationName(), {}};
        }
        return {};
    case Prefix: {
        if (convert) return {};
        const CurrencyPtr c = m_document.findCurrency(currency);
        return {c ? c->prefix() : QString(), {}};
    }
    case Memo: return {row.level == TradeLevel && row.trade ? row.trade->memo() : QString(), {}};
    default: break;
    }

    const std::optional<double> v = value(column, row, convert);
    if (!v || (*v < 0 && column != Gain)) return {};
    const std::optional<cv::SecurityKind> kind = securityKind(row);
    if (column == Units) {
        if (kind == cv::SecurityKind::Stock)
            return {m_document.amountText().intFormatter().stringForObjectValue(*v), {}};
        return {frac6String(*v, true), {}};
    }
    if (column == UnitPrice) {
        if (kind == cv::SecurityKind::Stock || row.level == HoldingLevel) return {frac6String(*v, foreign), {}};
        return {frac6String(*v, true), {}};
    }
    if (column == Gain) {
        if (row.level == TradeLevel) return {};
        return amount(*v, convert ? defaultCurrency : currency);
    }
    if (column == Price && kind != cv::SecurityKind::Stock) {
        const QString s = m_document.stringForFundValue(*v, 0);
        return {foreign ? paddedToCents(s) : s, {}};
    }
    if (convert) return amount(*v, std::trunc(*v) == *v ? defaultCurrency : currency);
    return amount(*v, currency);
}

QStringList InvestmentStatus::texts(const Row &row, bool convert) const
{
    QStringList out;
    out.reserve(ColumnCount);
    for (int column = 0; column < ColumnCount; ++column) out << text(column, row, convert).text;
    return out;
}

} // namespace cv
