#include "model/CV4BankModel.h"

#include "model/ArchiveStrings.h"

QString CV4BankModel::telephone() const
{
    return telephone_.isNull() ? QStringLiteral("") : telephone_;
}

QString CV4BankModel::description() const
{
    return CV4AssetModel::description() + QStringLiteral("\n    bank:%1\n    branch:%2\n    kind:%3\n    number:%4"
                                                         "\n    tel:%5\n    interest:%6")
                                              .arg(name_, branchName_)
                                              .arg(kind_)
                                              .arg(accountNumber_, telephone_)
                                              .arg(interestRate_);
}

void CV4BankModel::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    CV4AssetModel::encodeWithCoder(coder);
    coder.encodeInt(QStringLiteral("kind"), kind_);
    coder.encodeObject(QStringLiteral("bank"), cv::archiveOptionalString(name_));
    coder.encodeObject(QStringLiteral("branch"), cv::archiveOptionalString(branchName_));
    coder.encodeObject(QStringLiteral("accNumber"), cv::archiveOptionalString(accountNumber_));
    coder.encodeObject(QStringLiteral("tel"), cv::archiveOptionalString(telephone_));
    coder.encodeDouble(QStringLiteral("interest"), interestRate_);
}

bool CV4BankModel::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!CV4AssetModel::initWithCoder(coder)) return false;
    kind_ = coder.decodeIntForKey(QStringLiteral("kind"));
    name_ = cv::decodeOptionalString(coder, QStringLiteral("bank"));
    branchName_ = cv::decodeOptionalString(coder, QStringLiteral("branch"));
    accountNumber_ = cv::decodeOptionalString(coder, QStringLiteral("accNumber"));
    telephone_ = cv::decodeOptionalString(coder, QStringLiteral("tel"));
    interestRate_ = coder.decodeDoubleForKey(QStringLiteral("interest"));
    return !coder.failed();
}
