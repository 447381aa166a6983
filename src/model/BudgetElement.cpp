#include "model/BudgetElement.h"

#include "platform/DateIntegers.h"

namespace cv {

QString BudgetElement::description() const
{
    return QStringLiteral("<CV4BudgetElement %1/%2: %3>")
        .arg(cv::dates::budgetKeyYear(m_key))
        .arg(cv::dates::budgetKeyMonth(m_key))
        .arg(m_value, 0, 'f', 2);
}

void BudgetElement::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("key"), m_key);
    coder.encodeDouble(QStringLiteral("value"), m_value);
}

bool BudgetElement::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_key = coder.decodeIntForKey(QStringLiteral("key"));
    m_value = coder.decodeDoubleForKey(QStringLiteral("value"));
    return !coder.failed();
}

} // namespace cv
