#include "controls/CurrencyFormatter.h"

#include "document/ReadOnlyBook.h"

namespace cv {

CurrencyFormatter::CurrencyFormatter(const ReadOnlyBook *doc, int currency)
    : m_doc(doc ? &doc->amountText() : nullptr), m_currency(currency)
{
}

QString CurrencyFormatter::stringForObjectValue(double value) const
{
    return m_doc ? m_doc->stringForValue(value, m_currency) : QString();
}

cv::AmountDisplay CurrencyFormatter::attributedStringForObjectValue(double value) const
{
    return m_doc ? m_doc->attributedStringForValue(value, m_currency) : cv::AmountDisplay{};
}

bool CurrencyFormatter::getObjectValue(double &value, const QString &text) const
{
    value = m_doc ? m_doc->numberForString(text, m_currency).value_or(0.0) : 0.0;
    return true;
}

} // namespace cv
