#include "model/CV4BudgetElement.h"

#include "platform/DateIntegers.h"

QString CV4BudgetElement::description() const
{
    return QStringLiteral("<CV4BudgetElement %1/%2: %3>")
        .arg(cv::dates::budgetKeyYear(key_))
        .arg(cv::dates::budgetKeyMonth(key_))
        .arg(value_, 0, 'f', 2);
}

void CV4BudgetElement::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("key"), key_);
    coder.encodeDouble(QStringLiteral("value"), value_);
}

bool CV4BudgetElement::initWithCoder(cv::KeyedUnarchiver &coder)
{
    key_ = coder.decodeIntForKey(QStringLiteral("key"));
    value_ = coder.decodeDoubleForKey(QStringLiteral("value"));
    return !coder.failed();
}
