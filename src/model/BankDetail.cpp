#include "model/BankDetail.h"

#include "model/ArchiveStrings.h"

namespace cv {

QString BankDetail::telephone() const
{
    return m_telephone.isNull() ? QStringLiteral("") : m_telephone;
}

QString BankDetail::description() const
{
    return AccountDetail::description() + QStringLiteral("\n    bank:%1\n    branch:%2\n    kind:%3\n    number:%4"
                                                         "\n    tel:%5\n    interest:%6")
                                              .arg(m_name, m_branchName)
                                              .arg(m_kind)
                                              .arg(m_accountNumber, m_telephone)
                                              .arg(m_interestRate);
}

void BankDetail::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    AccountDetail::encodeWithCoder(coder);
    coder.encodeInt(QStringLiteral("kind"), m_kind);
    coder.encodeObject(QStringLiteral("bank"), cv::archiveOptionalString(m_name));
    coder.encodeObject(QStringLiteral("branch"), cv::archiveOptionalString(m_branchName));
    coder.encodeObject(QStringLiteral("accNumber"), cv::archiveOptionalString(m_accountNumber));
    coder.encodeObject(QStringLiteral("tel"), cv::archiveOptionalString(m_telephone));
    coder.encodeDouble(QStringLiteral("interest"), m_interestRate);
}

bool BankDetail::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!AccountDetail::initWithCoder(coder)) return false;
    m_kind = coder.decodeIntForKey(QStringLiteral("kind"));
    m_name = cv::decodeOptionalString(coder, QStringLiteral("bank"));
    m_branchName = cv::decodeOptionalString(coder, QStringLiteral("branch"));
    m_accountNumber = cv::decodeOptionalString(coder, QStringLiteral("accNumber"));
    m_telephone = cv::decodeOptionalString(coder, QStringLiteral("tel"));
    m_interestRate = coder.decodeDoubleForKey(QStringLiteral("interest"));
    return !coder.failed();
}

} // namespace cv
