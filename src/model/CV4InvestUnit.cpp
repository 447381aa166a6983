#include "model/CV4InvestUnit.h"

#include "model/ArchiveStrings.h"
#include "platform/DateIntegers.h"

QString CV4InvestUnit::memo() const
{
    return memo_.isNull() ? QStringLiteral("") : memo_;
}

QString CV4InvestUnit::description() const
{
    return QStringLiteral("<CV4InvestUnit %1: %2 brand:%3 units:%4 price:%5 commission:%6>")
        .arg(quintptr(this), 0, 16)
        .arg(date_.toString(Qt::ISODate))
        .arg(brand_)
        .arg(units_)
        .arg(unitPrice_)
        .arg(commission_);
}

void CV4InvestUnit::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("brand"), brand_);
    if (date_.isValid()) coder.encodeInt(QStringLiteral("date"), cv::dates::archiveDate(date_));
    coder.encodeDouble(QStringLiteral("numberDouble"), units_);
    coder.encodeDouble(QStringLiteral("price"), unitPrice_);
    coder.encodeDouble(QStringLiteral("commission"), commission_);
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(memo_));
}

bool CV4InvestUnit::initWithCoder(cv::KeyedUnarchiver &coder)
{
    brand_ = coder.decodeIntForKey(QStringLiteral("brand"));
    const QString dateKey = QStringLiteral("date");
    date_ = coder.containsValueForKey(dateKey) ? cv::dates::fromArchiveDate(coder.decodeIntForKey(dateKey)) : QDate();
    // Older documents stored whole units under "number".
    if (coder.containsValueForKey(QStringLiteral("numberDouble")))
        units_ = coder.decodeDoubleForKey(QStringLiteral("numberDouble"));
    else if (coder.containsValueForKey(QStringLiteral("number")))
        units_ = double(coder.decodeInt64ForKey(QStringLiteral("number")));
    else
        units_ = 0;
    unitPrice_ = coder.decodeDoubleForKey(QStringLiteral("price"));
    commission_ = coder.decodeDoubleForKey(QStringLiteral("commission"));
    memo_ = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    return !coder.failed();
}
