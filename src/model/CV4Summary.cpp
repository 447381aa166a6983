#include "model/CV4Summary.h"

#include "model/ArchiveStrings.h"

void CV4SummaryUnit::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("ref"), refID_);
}

bool CV4SummaryUnit::initWithCoder(cv::KeyedUnarchiver &coder)
{
    refID_ = coder.decodeIntForKey(QStringLiteral("ref"));
    return !coder.failed();
}

void CV4Summary::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(memo_));
    coder.encodeObject(QStringLiteral("asset"), cv::ArchiveValue::arrayOf(assetList_));
    coder.encodeObject(QStringLiteral("debt"), cv::ArchiveValue::arrayOf(debtList_));
}

bool CV4Summary::initWithCoder(cv::KeyedUnarchiver &coder)
{
    memo_ = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    assetList_ = coder.decodeArrayOfClassForKey<CV4SummaryUnit>(QStringLiteral("asset")).value_or(
        std::vector<CV4SummaryUnitPtr>());
    debtList_ = coder.decodeArrayOfClassForKey<CV4SummaryUnit>(QStringLiteral("debt")).value_or(
        std::vector<CV4SummaryUnitPtr>());
    return !coder.failed();
}
