#include "document/CV4Document.h"
#include "document/CV4DocumentPrivate.h"

#include "platform/Localization.h"

#include <QVariant>

int CV4Document::currencyOfAccount(int account) const
{
    if (account <= 0) return 0;
    const CVUnitModelPtr node = const_cast<CV4Document *>(this)->findAccount(account);
    return node ? node->currency() : 0;
}

QString CV4Document::stringForValue(double value, int currency) const
{
    return m_d->m_amountText.stringForValue(value, currency);
}

QString CV4Document::stringForValue(double value, int currency, bool truncateEmptyEnding) const
{
    return m_d->m_amountText.stringForValue(value, currency, truncateEmptyEnding);
}

QString CV4Document::stringWithPrefixForValue(double value, int currency, bool truncateEmptyEnding) const
{
    return m_d->m_amountText.stringWithPrefixForValue(value, currency, truncateEmptyEnding);
}

QString CV4Document::stringForValueAccount(double value, int account) const
{
    return m_d->m_amountText.stringForValue(value, currencyOfAccount(account));
}

QString CV4Document::stringForTradingNumberOfUnits(long long units) const
{
    return m_d->m_amountText.stringForTradingNumberOfUnits(units);
}

QString CV4Document::stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes) const
{
    return m_d->m_amountText.stringForFundValue(value, currency, wantPrefix, padZeroes);
}

QString CV4Document::stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes,
                                        int decimals) const
{
    return m_d->m_amountText.stringForFundValue(value, currency, wantPrefix, padZeroes, decimals);
}

QString CV4Document::stringWithPrefixForFundValue(double value, int currency) const
{
    return m_d->m_amountText.stringWithPrefixForFundValue(value, currency);
}

QString CV4Document::stringForRoundValue(double value, int digits)
{
    return cv::AmountText::stringForRoundValue(value, digits);
}

std::optional<double> CV4Document::numberForString(const QString &text, int currency) const
{
    return m_d->m_amountText.numberForString(text, currency);
}

std::optional<double> CV4Document::numberForStringAccount(const QString &text, int account) const
{
    if (text.trimmed().isEmpty()) return 0.0;
    return m_d->m_amountText.numberForString(text, currencyOfAccount(account));
}

double CV4Document::numberForRoundString(const QString &text, int digits)
{
    return cv::AmountText::numberForRoundString(text, digits);
}
