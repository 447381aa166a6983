#include "model/CV4AssetModel.h"

#include "model/ArchiveStrings.h"
#include "platform/DateIntegers.h"

namespace {
// Archive date integer of "no date": year 0, month 0, day 0.
constexpr int kNoArchiveDate = -32;
} // namespace

QString CV4AssetModel::memo() const
{
    return memo_.isNull() ? QStringLiteral("") : memo_;
}

QString CV4AssetModel::description() const
{
    return QStringLiteral("<%1 %2: %3/%4/%5 start:%6 memo:%7>")
        .arg(archiveClassName())
        .arg(quintptr(this), 0, 16)
        .arg(date_.year())
        .arg(date_.month())
        .arg(date_.day())
        .arg(initialValue_, 0, 'f', 0)
        .arg(memo_);
}

QStringList CV4AssetModel::archiveClassChain() const
{
    QStringList chain{archiveClassName()};
    if (chain.first() != QLatin1String("CV4AssetModel")) chain << QStringLiteral("CV4AssetModel");
    chain << QStringLiteral("NSObject");
    return chain;
}

void CV4AssetModel::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("date"), date_.isValid() ? cv::dates::archiveDate(date_) : kNoArchiveDate);
    coder.encodeDouble(QStringLiteral("init"), initialValue_);
    coder.encodeObject(QStringLiteral("memo"), cv::archiveOptionalString(memo_));
}

bool CV4AssetModel::initWithCoder(cv::KeyedUnarchiver &coder)
{
    // Older documents hold placeholder years; only a plausible start date counts.
    const QDate d = cv::dates::fromArchiveDate(coder.decodeIntForKey(QStringLiteral("date")));
    date_ = d.isValid() && d.year() >= 1900 && d.year() <= 2099 ? d : QDate();
    initialValue_ = coder.decodeDoubleForKey(QStringLiteral("init"));
    memo_ = cv::decodeOptionalString(coder, QStringLiteral("memo"));
    return !coder.failed();
}
