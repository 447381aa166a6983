#include "controls/CVCurrencyFormatter.h"

#include "document/CV4Document.h"

CVCurrencyFormatter::CVCurrencyFormatter(const CV4Document *doc, int currency)
    : m_doc(doc ? &doc->amountText() : nullptr), m_currency(currency)
{
}

QString CVCurrencyFormatter::stringForObjectValue(double value) const
{
    return m_doc ? m_doc->stringForValue(value, m_currency) : QString();
}

cv::AmountDisplay CVCurrencyFormatter::attributedStringForObjectValue(double value) const
{
    return m_doc ? m_doc->attributedStringForValue(value, m_currency) : cv::AmountDisplay{};
}

bool CVCurrencyFormatter::getObjectValue(double &value, const QString &text) const
{
    value = m_doc ? m_doc->numberForString(text, m_currency).value_or(0.0) : 0.0;
    return true;
}
