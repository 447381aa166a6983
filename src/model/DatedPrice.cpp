#include "model/DatedPrice.h"

#include "model/RecordKeys.h"

namespace cv {

QVariant DatedPrice::valueForKey(const QString &key) const
{
    if (key == u"brand") return m_security;
    if (key == u"date") return cv::record::dateValue(m_date);
    if (key == u"price") return m_price;
    if (key == u"flags") return m_flags;
    return {};
}

bool DatedPrice::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == u"brand") return cv::record::assignInt(m_security, value);
    if (key == u"date") return cv::record::assignDate(m_date, value);
    if (key == u"price") return cv::record::assignDouble(m_price, value);
    if (key == u"flags") return cv::record::assignInt(m_flags, value);
    return false;
}

bool DatedPrice::isEqual(const DatedPrice *other) const
{
    if (other == this) return true;
    if (!other) return false;
    return m_security == other->m_security && m_date == other->m_date && m_price == other->m_price;
}

DatedPricePtr DatedPrice::clone() const
{
    auto c = std::make_shared<DatedPrice>();
    c->m_security = m_security;
    c->m_date = m_date;
    c->m_price = m_price;
    return c;
}

} // namespace cv
