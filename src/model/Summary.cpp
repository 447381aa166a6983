#include "model/Summary.h"

#include "model/ArchiveStrings.h"

namespace cv {

void SummaryUnit::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("ref"), m_refID);
}

bool SummaryUnit::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_refID = coder.decodeIntForKey(QStringLiteral("ref"));
    return !coder.failed();
}

void Summary::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(m_memo));
    coder.encodeObject(QStringLiteral("asset"), cv::ArchiveValue::arrayOf(m_assetList));
    coder.encodeObject(QStringLiteral("debt"), cv::ArchiveValue::arrayOf(m_debtList));
}

bool Summary::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_memo = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    m_assetList =
        coder.decodeArrayOfClassForKey<SummaryUnit>(QStringLiteral("asset")).value_or(std::vector<SummaryUnitPtr>());
    m_debtList =
        coder.decodeArrayOfClassForKey<SummaryUnit>(QStringLiteral("debt")).value_or(std::vector<SummaryUnitPtr>());
    return !coder.failed();
}

} // namespace cv
