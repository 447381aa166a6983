#include "model/Grouping.h"

#include "model/ArchiveStrings.h"

namespace cv {

GroupingPtr Grouping::copy() const
{
    auto g = std::make_shared<Grouping>();
    g->m_name = m_name;
    g->m_ident = m_ident;
    return g;
}

void Grouping::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("id"), m_ident);
    coder.encodeObject(QStringLiteral("name"), cv::archiveOptionalString(m_name));
}

bool Grouping::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_ident = coder.decodeIntForKey(QStringLiteral("id"));
    m_name = cv::decodeOptionalString(coder, QStringLiteral("name"));
    return !coder.failed();
}

} // namespace cv
