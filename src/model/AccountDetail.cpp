#include "model/AccountDetail.h"

#include "model/ArchiveStrings.h"
#include "platform/DateIntegers.h"

namespace cv {

namespace {
// Archive date integer of "no date": year 0, month 0, day 0.
constexpr int kNoArchiveDate = -32;
} // namespace

QString AccountDetail::memo() const
{
    return m_memo.isNull() ? QStringLiteral("") : m_memo;
}

QString AccountDetail::description() const
{
    return QStringLiteral("<%1 %2: %3/%4/%5 start:%6 memo:%7>")
        .arg(archiveClassName())
        .arg(quintptr(this), 0, 16)
        .arg(m_date.year())
        .arg(m_date.month())
        .arg(m_date.day())
        .arg(m_initialValue, 0, 'f', 0)
        .arg(m_memo);
}

QStringList AccountDetail::archiveClassChain() const
{
    QStringList chain{archiveClassName()};
    if (chain.first() != QLatin1String("CV4AssetModel")) chain << QStringLiteral("CV4AssetModel");
    chain << QStringLiteral("NSObject");
    return chain;
}

void AccountDetail::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("date"), m_date.isValid() ? cv::dates::archiveDate(m_date) : kNoArchiveDate);
    coder.encodeDouble(QStringLiteral("init"), m_initialValue);
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(m_memo));
}

bool AccountDetail::initWithCoder(cv::KeyedUnarchiver &coder)
{
    // Older documents hold placeholder years; only a plausible start date counts.
    const QDate d = cv::dates::fromArchiveDate(coder.decodeIntForKey(QStringLiteral("date")));
    m_date = d.isValid() && d.year() >= 1900 && d.year() <= 2099 ? d : QDate();
    m_initialValue = coder.decodeDoubleForKey(QStringLiteral("init"));
    m_memo = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    return !coder.failed();
}

} // namespace cv
