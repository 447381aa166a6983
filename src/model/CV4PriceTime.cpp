#include "model/CV4PriceTime.h"

#include "model/CV4RecordKeys.h"

QVariant CV4PriceTime::valueForKey(const QString &key) const
{
    if (key == u"brand") return m_brand;
    if (key == u"date") return cv::record::dateValue(m_date);
    if (key == u"price") return m_price;
    if (key == u"flags") return m_flags;
    return {};
}

bool CV4PriceTime::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == u"brand") return cv::record::assignInt(m_brand, value);
    if (key == u"date") return cv::record::assignDate(m_date, value);
    if (key == u"price") return cv::record::assignDouble(m_price, value);
    if (key == u"flags") return cv::record::assignInt(m_flags, value);
    return false;
}

bool CV4PriceTime::isEqual(const CV4PriceTime *other) const
{
    if (other == this) return true;
    if (!other) return false;
    return m_brand == other->m_brand && m_date == other->m_date && m_price == other->m_price;
}

CV4PriceTimePtr CV4PriceTime::clone() const
{
    auto c = std::make_shared<CV4PriceTime>();
    c->m_brand = m_brand;
    c->m_date = m_date;
    c->m_price = m_price;
    return c;
}
