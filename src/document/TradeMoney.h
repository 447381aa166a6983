#pragma once
// A trade's money as the balance cache counts it, shared by the reports and
// the financial overview so that their cash flows agree with the balances.

#include "document/ReadOnlyBook.h"
#include "model/Security.h"
#include "model/Trade.h"

namespace cv::cashflow {

// The money a trade moves in the cash part of `account`, in the account's
// currency, as the balance cache counts it. Only the trade's own account
// pays or receives: the receiving side of a transfer of units and a
// settlement account move no money, the commission included.
struct TradeMoney {
    double in = 0, out = 0, commission = 0;
};

inline TradeMoney tradeMoney(const ReadOnlyBook &doc, const Trade &trade, const Node &account)
{
    if (trade.account() != account.ident()) return {};
    double money = 0;
    trade.changesForAccount(account.ident(), nullptr, &money);
    double commission = trade.commission();
    const SecurityPtr security = doc.findSecurity(trade.security());
    const int own = doc.getCurrency(account.currency());
    const int traded = doc.getCurrency(security ? security->currency() : 0);
    if (own != traded) {
        money = doc.convert(own, money, traded, trade.date());
        commission = doc.convert(own, commission, traded, trade.date());
    }
    return {money > 0 ? money : 0, money < 0 ? -money : 0, commission};
}

} // namespace cv::cashflow
