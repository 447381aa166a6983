#include "model/CV4Grouping.h"

#include "model/ArchiveStrings.h"

CV4GroupingPtr CV4Grouping::copy() const
{
    auto g = std::make_shared<CV4Grouping>();
    g->m_name = m_name;
    g->m_ident = m_ident;
    return g;
}

void CV4Grouping::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("id"), m_ident);
    coder.encodeObject(QStringLiteral("name"), cv::archiveOptionalString(m_name));
}

bool CV4Grouping::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_ident = coder.decodeIntForKey(QStringLiteral("id"));
    m_name = cv::decodeOptionalString(coder, QStringLiteral("name"));
    return !coder.failed();
}
