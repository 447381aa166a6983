#pragma once
// An amount moved to an account of another currency keeps no more fraction
// digits than that currency has: a yen account never holds 12.34.

#include "document/ReadOnlyBook.h"

namespace cv {

inline double amountForAccountMove(const ReadOnlyBook &doc, double amount, int fromAccount, int toAccount)
{
    const CurrencyPtr from = doc.findCurrency(doc.currencyOfAccount(fromAccount));
    const CurrencyPtr to = doc.findCurrency(doc.currencyOfAccount(toAccount));
    if (!to || (from && from->fraction() <= to->fraction())) return amount;
    return ReadOnlyBook::numberForRoundString(ReadOnlyBook::stringForRoundValue(amount, to->fraction()),
                                              to->fraction());
}

} // namespace cv
