#include "model/CardDetail.h"

#include "model/ArchiveStrings.h"

namespace cv {

QString CardDetail::description() const
{
    return AccountDetail::description() +
           QStringLiteral("\n    name:%1\n    tel:%2\n    limit:%3\n    due:%4\n    cutoff:%5")
               .arg(m_name, m_telephone)
               .arg(m_limit)
               .arg(m_dueDay)
               .arg(m_cutoffDay);
}

void CardDetail::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    AccountDetail::encodeWithCoder(coder);
    coder.encodeObject(QStringLiteral("name"), cv::archiveOptionalString(m_name));
    coder.encodeObject(QStringLiteral("tel"), cv::archiveOptionalString(m_telephone));
    coder.encodeDouble(QStringLiteral("limit"), m_limit);
    coder.encodeInt(QStringLiteral("due"), m_dueDay);
    coder.encodeInt(QStringLiteral("cutoff"), m_cutoffDay);
}

bool CardDetail::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!AccountDetail::initWithCoder(coder)) return false;
    m_name = cv::decodeOptionalString(coder, QStringLiteral("name"));
    m_telephone = cv::decodeOptionalString(coder, QStringLiteral("tel"));
    m_limit = coder.decodeDoubleForKey(QStringLiteral("limit"));
    m_dueDay = coder.decodeIntForKey(QStringLiteral("due"));
    m_cutoffDay = coder.decodeIntForKey(QStringLiteral("cutoff"));
    return !coder.failed();
}

} // namespace cv
