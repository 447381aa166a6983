#include "document/Book.h"
#include "document/BookPrivate.h"

#include "platform/Localization.h"

#include <QVariant>

namespace cv {

int Book::currencyOfAccount(int account) const
{
    if (account <= 0) return 0;
    const NodePtr node = const_cast<Book *>(this)->findAccount(account);
    return node ? node->currency() : 0;
}

QString Book::stringForValue(double value, int currency) const
{
    return m_d->m_amountText.stringForValue(value, currency);
}

QString Book::stringForValue(double value, int currency, bool truncateEmptyEnding) const
{
    return m_d->m_amountText.stringForValue(value, currency, truncateEmptyEnding);
}

QString Book::stringWithPrefixForValue(double value, int currency, bool truncateEmptyEnding) const
{
    return m_d->m_amountText.stringWithPrefixForValue(value, currency, truncateEmptyEnding);
}

QString Book::stringForValueAccount(double value, int account) const
{
    return m_d->m_amountText.stringForValue(value, currencyOfAccount(account));
}

QString Book::stringForTradingNumberOfUnits(long long units) const
{
    return m_d->m_amountText.stringForTradingNumberOfUnits(units);
}

QString Book::stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes) const
{
    return m_d->m_amountText.stringForFundValue(value, currency, wantPrefix, padZeroes);
}

QString Book::stringForFundValue(double value, int currency, bool wantPrefix, bool padZeroes, int decimals) const
{
    return m_d->m_amountText.stringForFundValue(value, currency, wantPrefix, padZeroes, decimals);
}

QString Book::stringWithPrefixForFundValue(double value, int currency) const
{
    return m_d->m_amountText.stringWithPrefixForFundValue(value, currency);
}

QString ReadOnlyBook::stringForRoundValue(double value, int digits)
{
    return cv::AmountText::stringForRoundValue(value, digits);
}

std::optional<double> Book::numberForString(const QString &text, int currency) const
{
    return m_d->m_amountText.numberForString(text, currency);
}

std::optional<double> Book::numberForStringAccount(const QString &text, int account) const
{
    if (text.trimmed().isEmpty()) return 0.0;
    return m_d->m_amountText.numberForString(text, currencyOfAccount(account));
}

double ReadOnlyBook::numberForRoundString(const QString &text, int digits)
{
    return cv::AmountText::numberForRoundString(text, digits);
}

} // namespace cv
