#include "model/CV4Summary.h"

#include "model/ArchiveStrings.h"

void CV4SummaryUnit::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("ref"), m_refID);
}

bool CV4SummaryUnit::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_refID = coder.decodeIntForKey(QStringLiteral("ref"));
    return !coder.failed();
}

void CV4Summary::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(m_memo));
    coder.encodeObject(QStringLiteral("asset"), cv::ArchiveValue::arrayOf(m_assetList));
    coder.encodeObject(QStringLiteral("debt"), cv::ArchiveValue::arrayOf(m_debtList));
}

bool CV4Summary::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_memo = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    m_assetList = coder.decodeArrayOfClassForKey<CV4SummaryUnit>(QStringLiteral("asset")).value_or(
        std::vector<CV4SummaryUnitPtr>());
    m_debtList = coder.decodeArrayOfClassForKey<CV4SummaryUnit>(QStringLiteral("debt")).value_or(
        std::vector<CV4SummaryUnitPtr>());
    return !coder.failed();
}
