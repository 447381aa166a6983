#pragma once
// What the two cash-flow reports share: which accounts count as cash, and
// the value of an entry's or trade's money in the book's default currency.

#include "document/ReadOnlyBook.h"
#include "document/TradeMoney.h"
#include "model/Entry.h"
#include "model/Trade.h"

namespace cv::cashflow {

// Cash, bank and investment accounts hold the household's cash.
inline bool isCashLike(const Node *account)
{
    return account && (account->kind() == NodeKind::Cash || account->kind() == NodeKind::Bank ||
                       account->kind() == NodeKind::Investment);
}

// The currency of an account; an investment account's cash part has its account's.
inline int currencyOf(const Node *account)
{
    if (!account) return 0;
    if (account->kind() == NodeKind::CashPart && account->parent()) return account->parent()->currency();
    return account->currency();
}

// The rate that brings an amount of the currency into the default currency.
inline double rateAt(const ReadOnlyBook &doc, int currency, const QDate &date)
{
    return doc.isForeignCurrency(currency) ? doc.currencyRate(doc.findCurrency(currency), date) : 1.0;
}

// The default-currency value a transfer brings into its destination: the
// converted amount when the two sides' currencies differ and one was given.
inline double arrivingValue(const ReadOnlyBook &doc, const Entry &entry, const Node *source, const Node *destination)
{
    const int from = currencyOf(source);
    const int to = currencyOf(destination);
    if (from != to && entry.converted() != 0) return entry.converted() * rateAt(doc, to, entry.date());
    return entry.amount() * rateAt(doc, from, entry.date());
}

} // namespace cv::cashflow
