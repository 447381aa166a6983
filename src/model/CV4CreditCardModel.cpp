#include "model/CV4CreditCardModel.h"

#include "model/ArchiveStrings.h"

QString CV4CreditCardModel::description() const
{
    return CV4AssetModel::description()
        + QStringLiteral("\n    name:%1\n    tel:%2\n    limit:%3\n    due:%4\n    cutoff:%5")
              .arg(m_name, m_telephone)
              .arg(m_limit)
              .arg(m_dueDay)
              .arg(m_cutoffDay);
}

void CV4CreditCardModel::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    CV4AssetModel::encodeWithCoder(coder);
    coder.encodeObject(QStringLiteral("name"), cv::archiveOptionalString(m_name));
    coder.encodeObject(QStringLiteral("tel"), cv::archiveOptionalString(m_telephone));
    coder.encodeDouble(QStringLiteral("limit"), m_limit);
    coder.encodeInt(QStringLiteral("due"), m_dueDay);
    coder.encodeInt(QStringLiteral("cutoff"), m_cutoffDay);
}

bool CV4CreditCardModel::initWithCoder(cv::KeyedUnarchiver &coder)
{
    if (!CV4AssetModel::initWithCoder(coder)) return false;
    m_name = cv::decodeOptionalString(coder, QStringLiteral("name"));
    m_telephone = cv::decodeOptionalString(coder, QStringLiteral("tel"));
    m_limit = coder.decodeDoubleForKey(QStringLiteral("limit"));
    m_dueDay = coder.decodeIntForKey(QStringLiteral("due"));
    m_cutoffDay = coder.decodeIntForKey(QStringLiteral("cutoff"));
    return !coder.failed();
}
