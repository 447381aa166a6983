#pragma once
// What the two cash-flow reports share: which accounts count as cash, and
// the value of an entry's or trade's money in the book's default currency,
// and the side of the cash border a trade's money crosses.

#include "document/CV4Document.h"
#include "model/CV4Actual.h"
#include "model/CV4Trade.h"

namespace cv::cashflow {

// Cash, bank and investment accounts hold the household's cash.
inline bool isCashLike(const CVUnitModel *account)
{
    return account && (account->kind() == NodeKind::Cash || account->kind() == NodeKind::Bank ||
                       account->kind() == NodeKind::Investment);
}

// The currency of an account; an investment account's cash part has its account's.
inline int currencyOf(const CVUnitModel *account)
{
    if (!account) return 0;
    if (account->kind() == NodeKind::CashPart && account->parent()) return account->parent()->currency();
    return account->currency();
}

// The rate that brings an amount of the currency into the default currency.
inline double rateAt(const CV4Document &doc, int currency, const QDate &date)
{
    return doc.isForeignCurrency(currency) ? doc.currencyRate(doc.findCurrency(currency), date) : 1.0;
}

// The default-currency value a transfer brings into its destination: the
// converted amount when the two sides' currencies differ and one was given.
inline double arrivingValue(const CV4Document &doc, const CV4Actual &entry, const CVUnitModel *source,
                            const CVUnitModel *destination)
{
    const int from = currencyOf(source);
    const int to = currencyOf(destination);
    if (from != to && entry.converted() != 0) return entry.converted() * rateAt(doc, to, entry.date());
    return entry.amount() * rateAt(doc, from, entry.date());
}

// The side of the cash border a trade's money crosses and how much of it, in
// its account's currency, commission apart; kinds that move none have no side.
struct TradeFlow {
    enum Side { None, In, Out } side = None;
    double value = 0;
};

inline TradeFlow tradeFlow(const CV4Trade &trade)
{
    const double c = trade.count(), p = trade.unitPrice();
    switch (trade.kind()) {
    case cv::TradeKind::Buy:
    case cv::TradeKind::BuyBack:
    case cv::TradeKind::MarginBuy:
    case cv::TradeKind::Reinvestment:
        return {TradeFlow::Out, c * p};
    case cv::TradeKind::Sale:
    case cv::TradeKind::Dividend:
    case cv::TradeKind::MarginSale:
    case cv::TradeKind::SellBack:
    case cv::TradeKind::CashIn:
        return {TradeFlow::In, c * p};
    case cv::TradeKind::OtherIncome:
    case cv::TradeKind::Interest:
    case cv::TradeKind::Distribution:
        return {TradeFlow::In, p};
    case cv::TradeKind::OtherExpense:
        return {TradeFlow::Out, p};
    default:
        return {};
    }
}

} // namespace cv::cashflow
