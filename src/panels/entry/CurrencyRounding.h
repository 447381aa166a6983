#pragma once
// An amount moved to an account of another currency keeps no more fraction
// digits than that currency has: a yen account never holds 12.34.

#include "document/CV4Document.h"

namespace cv {

inline double amountForAccountMove(const CV4Document &doc, double amount, int fromAccount, int toAccount)
{
    const CV4CurrencyPtr from = doc.findCurrency(doc.currencyOfAccount(fromAccount));
    const CV4CurrencyPtr to = doc.findCurrency(doc.currencyOfAccount(toAccount));
    if (!to || (from && from->fraction() <= to->fraction())) return amount;
    return CV4Document::numberForRoundString(CV4Document::stringForRoundValue(amount, to->fraction()), to->fraction());
}

} // namespace cv
