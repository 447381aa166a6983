#include "model/CV4BankModel.h"

#include "model/ArchiveStrings.h"

QString CV4BankModel::telephone() const
{
    return m_telephone.isNull() ? QStringLiteral("") : m_telephone;
}

QString CV4BankModel::description() const
{
    return CV4AssetModel::description() + QStringLiteral("\n    bank:%1\n    branch:%2\n    kind:%3\n    number:%4"
                                                         "\n    tel:%5\n    interest:%6")
                                              .arg(m_name, m_branchName)
                                              .arg(m_kind)
                                              .arg(m_accountNumber, m_telephone)
                                              .arg(m_interestRate);
}

void CV4BankModel::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    CV4AssetModel::encodeWithCoder(coder);
    coder.encodeInt(QStringLiteral("kind"), m_kind);
    coder.encodeObject(QStringLiteral("bank"), cv::archiveOptionalString(m_name));
    coder.encodeObject(QStringLiteral("branch"), cv::archiveOptionalString(m_branchName));
    coder.encodeObject(QStringLiteral("accNumber"), cv::archiveOptionalString(m_accountNumber));
    coder.encodeObject(QStringLiteral("tel"), cv::archiveOptionalString(m_telephone));
    coder.encodeDouble(QStringLiteral("interest"), m_interestRate);
}

bool CV4BankModel::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!CV4AssetModel::initWithCoder(coder)) return false;
    m_kind = coder.decodeIntForKey(QStringLiteral("kind"));
    m_name = cv::decodeOptionalString(coder, QStringLiteral("bank"));
    m_branchName = cv::decodeOptionalString(coder, QStringLiteral("branch"));
    m_accountNumber = cv::decodeOptionalString(coder, QStringLiteral("accNumber"));
    m_telephone = cv::decodeOptionalString(coder, QStringLiteral("tel"));
    m_interestRate = coder.decodeDoubleForKey(QStringLiteral("interest"));
    return !coder.failed();
}
