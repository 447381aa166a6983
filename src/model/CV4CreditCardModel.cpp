#include "model/CV4CreditCardModel.h"

#include "model/ArchiveStrings.h"

QString CV4CreditCardModel::description() const
{
    return CV4AssetModel::description()
        + QStringLiteral("\n    name:%1\n    tel:%2\n    limit:%3\n    due:%4\n    cutoff:%5")
              .arg(name_, telephone_)
              .arg(limit_)
              .arg(dueDay_)
              .arg(cutoffDay_);
}

void CV4CreditCardModel::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    CV4AssetModel::encodeWithCoder(coder);
    coder.encodeObject(QStringLiteral("name"), cv::archiveOptionalString(name_));
    coder.encodeObject(QStringLiteral("tel"), cv::archiveOptionalString(telephone_));
    coder.encodeDouble(QStringLiteral("limit"), limit_);
    coder.encodeInt(QStringLiteral("due"), dueDay_);
    coder.encodeInt(QStringLiteral("cutoff"), cutoffDay_);
}

bool CV4CreditCardModel::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!CV4AssetModel::initWithCoder(coder)) return false;
    name_ = cv::decodeOptionalString(coder, QStringLiteral("name"));
    telephone_ = cv::decodeOptionalString(coder, QStringLiteral("tel"));
    limit_ = coder.decodeDoubleForKey(QStringLiteral("limit"));
    dueDay_ = coder.decodeIntForKey(QStringLiteral("due"));
    cutoffDay_ = coder.decodeIntForKey(QStringLiteral("cutoff"));
    return !coder.failed();
}
