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

const KavriNumberFormatter &CV4Document::formatterForCurrency(int currency) const
{
    return m_d->m_amountText.formatterForCurrency(currency);
}

const KavriNumberFormatter &CV4Document::centFormatterForCurrency(int currency) const
{
    return m_d->m_amountText.centFormatterForCurrency(currency);
}

const KavriNumberFormatter *CV4Document::fundFormatterForCurrency(int currency) const
{
    return m_d->m_amountText.fundFormatterForCurrency(currency);
}

const KavriNumberFormatter &CV4Document::intFormatter() const
{
    return m_d->m_amountText.intFormatter();
}

const KavriNumberFormatter &CV4Document::formatterForAccount(int account) const
{
    return formatterForCurrency(currencyOfAccount(account));
}

void CV4Document::beginCurrencyPrinting()
{
    m_d->m_amountText.beginCurrencyPrinting();
}

void CV4Document::endCurrencyPrinting()
{
    m_d->m_amountText.endCurrencyPrinting();
}

bool CV4Document::isCurrencyPrinting() const
{
    return m_d->m_amountText.isCurrencyPrinting();
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

QString CV4Document::stringWithPrefixForValueAccount(double value, int account) const
{
    return m_d->m_amountText.stringWithPrefixForValue(value, currencyOfAccount(account));
}

cv::AmountDisplay CV4Document::attributedStringForValue(double value, int currency) const
{
    return m_d->m_amountText.attributedStringForValue(value, currency);
}

QString CV4Document::centStringForValue(double value, int currency) const
{
    return m_d->m_amountText.centStringForValue(value, currency);
}

QString CV4Document::stringForTradingNumberOfUnits(long long units) const
{
    return m_d->m_amountText.stringForTradingNumberOfUnits(units);
}

QString CV4Document::stringForFundValue(double value, int currency, bool wantPrefix) const
{
    return m_d->m_amountText.stringForFundValue(value, currency, wantPrefix);
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

std::optional<double> CV4Document::numberForCentString(const QString &text, int currency) const
{
    return m_d->m_amountText.numberForCentString(text, currency);
}

std::optional<double> CV4Document::numberForStringAccount(const QString &text, int account) const
{
    if (text.trimmed().isEmpty()) return 0.0;
    return m_d->m_amountText.numberForString(text, currencyOfAccount(account));
}

double CV4Document::fundValueForString(const QString &text, int currency) const
{
    return m_d->m_amountText.fundValueForString(text, currency);
}

double CV4Document::numberForRoundString(const QString &text, int digits)
{
    return cv::AmountText::numberForRoundString(text, digits);
}

std::optional<QString> CV4Document::fixCurrencyValue(const QString &text, int currency) const
{
    return m_d->m_amountText.fixCurrencyValue(text, currency);
}

std::optional<QString> CV4Document::proposedString(const QString &currentText, cv::TextSelection selection,
                                                   const QString &proposed, int currency, int fractionLength) const
{
    return m_d->m_amountText.proposedString(currentText, selection, proposed, currency, fractionLength);
}

std::optional<cv::EditedText> CV4Document::handleDeleteWithKey(const QString &text, cv::TextSelection selection,
                                                               int key, int currency) const
{
    return m_d->m_amountText.handleDeleteKey(text, selection, key, currency);
}

cv::EditedText CV4Document::deleteCharactersInRange(const QString &text, cv::TextSelection selection,
                                                    cv::TextSelection range, int currency, bool forwardDelete) const
{
    return m_d->m_amountText.deleteCharactersInRange(text, selection, range, currency, forwardDelete);
}

void CV4Document::changeTextInputSource(QObject *editor, bool japanese)
{
    if (!editor || !cv::isJapanese()) return;
    const QVariant current = editor->property("inputMethodHints");
    if (!current.isValid()) return;
    // A hint only: the user's own input method choice is never overridden.
    auto hints = current.value<Qt::InputMethodHints>();
    hints.setFlag(Qt::ImhPreferLatin, !japanese);
    editor->setProperty("inputMethodHints", QVariant::fromValue(hints));
}

cv::PeriodOfToday CV4Document::dateFormatterBeginAndEndOfToday(const QDate &today) const
{
    return cv::periodOfToday(*m_d->m_settings, today);
}
