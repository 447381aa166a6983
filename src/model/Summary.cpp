#include "model/Summary.h"

#include "model/ArchiveStrings.h"

namespace cv {

void SummaryMember::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("ref"), m_refID);
}

bool SummaryMember::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_refID = coder.decodeIntForKey(QStringLiteral("ref"));
    return !coder.failed();
}

void Summary::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(m_memo));
    coder.encodeObject(QStringLiteral("asset"), cv::ArchiveValue::arrayOf(m_addedNodes));
    coder.encodeObject(QStringLiteral("debt"), cv::ArchiveValue::arrayOf(m_subtractedNodes));
}

bool Summary::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_memo = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    m_addedNodes = coder.decodeArrayOfClassForKey<SummaryMember>(QStringLiteral("asset"))
                       .value_or(std::vector<SummaryMemberPtr>());
    m_subtractedNodes =
        coder.decodeArrayOfClassForKey<SummaryMember>(QStringLiteral("debt")).value_or(std::vector<SummaryMemberPtr>());
    return !coder.failed();
}

} // namespace cv
