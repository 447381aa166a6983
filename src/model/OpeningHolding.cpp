#include "model/OpeningHolding.h"

#include "model/ArchiveStrings.h"
#include "platform/DateIntegers.h"

namespace cv {

QString OpeningHolding::memo() const
{
    return m_memo.isNull() ? QStringLiteral("") : m_memo;
}

QString OpeningHolding::description() const
{
    return QStringLiteral("<OpeningHolding %1: %2 brand:%3 units:%4 price:%5 commission:%6>")
        .arg(quintptr(this), 0, 16)
        .arg(m_date.toString(Qt::ISODate))
        .arg(m_security)
        .arg(m_units)
        .arg(m_unitPrice)
        .arg(m_commission);
}

void OpeningHolding::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("brand"), m_security);
    if (m_date.isValid()) coder.encodeInt(QStringLiteral("date"), cv::dates::archiveDate(m_date));
    coder.encodeDouble(QStringLiteral("numberDouble"), m_units);
    coder.encodeDouble(QStringLiteral("price"), m_unitPrice);
    coder.encodeDouble(QStringLiteral("commission"), m_commission);
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(m_memo));
}

bool OpeningHolding::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_security = coder.decodeIntForKey(QStringLiteral("brand"));
    const QString dateKey = QStringLiteral("date");
    m_date = coder.containsValueForKey(dateKey) ? cv::dates::fromArchiveDate(coder.decodeIntForKey(dateKey)) : QDate();
    // Older documents stored whole units under "number".
    if (coder.containsValueForKey(QStringLiteral("numberDouble")))
        m_units = coder.decodeDoubleForKey(QStringLiteral("numberDouble"));
    else if (coder.containsValueForKey(QStringLiteral("number")))
        m_units = double(coder.decodeInt64ForKey(QStringLiteral("number")));
    else
        m_units = 0;
    m_unitPrice = coder.decodeDoubleForKey(QStringLiteral("price"));
    m_commission = coder.decodeDoubleForKey(QStringLiteral("commission"));
    m_memo = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    return !coder.failed();
}

} // namespace cv
