#pragma once
// What a trade needs of its document to show an amount in the trade
// account's currency. The document implements it.

#include "model/Security.h"

#include <QDate>
#include <QString>

namespace cv {

class TradeFormatting {
public:
    virtual ~TradeFormatting() = default;

    // The security with that ident, or null.
    virtual SecurityPtr findSecurity(int ident) const = 0;
    // The currency ident of the account (0 = the default currency), 0 when unknown.
    virtual int currencyOfAccount(int account) const = 0;
    // The amount, given in valueCurrency, expressed in targetCurrency at the date.
    virtual double convert(int targetCurrency, double amount, int valueCurrency, const QDate &date) const = 0;
    // The amount in the currency's amount format.
    virtual QString stringForValue(double value, int currency) const = 0;
    // The value with six decimals, optionally with the currency's prefix and zero padding.
    virtual QString stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes) const = 0;
};

} // namespace cv
