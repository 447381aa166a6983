#include "model/CV4LoanPayment.h"

#include "platform/DateIntegers.h"

#include <cmath>

namespace {

// Row dates are instants in the archive. Documents made in Japan hold local
// midnight there, so dates are written as midnight at UTC+9 and read back as
// the nearest such midnight: the day survives any zone the file is read in.
constexpr double kSecondsPerDay = 86400;
constexpr double kJapanOffset = 9 * 3600;
constexpr double kMaxDays = 1.0e8;   // far beyond any book; keeps the day in an int

cv::ArchiveValue archiveDate(const QDate &date)
{
    if (!date.isValid()) return {};
    return cv::ArchiveDate{cv::dates::dayNumber(date) * kSecondsPerDay - kJapanOffset};
}

QDate dateFromArchive(const cv::ArchiveDate &value)
{
    const double days = std::floor((value.secondsSinceReferenceDate + kJapanOffset) / kSecondsPerDay + 0.5);
    if (!std::isfinite(days) || std::fabs(days) > kMaxDays) return {};
    return cv::dates::fromDayNumber(int(days));
}

} // namespace

void CV4LoanPayment::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("kind"), kind_);
    coder.encodeObject(QStringLiteral("date"), archiveDate(date_));
    coder.encodeDouble(QStringLiteral("rate"), rate_);
    coder.encodeDouble(QStringLiteral("interest"), interest_);
    coder.encodeDouble(QStringLiteral("principal"), principal_);
    coder.encodeDouble(QStringLiteral("rest"), rest_);
    coder.encodeInt(QStringLiteral("account"), account_);
}

bool CV4LoanPayment::initWithCoder(cv::KeyedUnarchiver &coder)
{
    kind_ = coder.decodeIntForKey(QStringLiteral("kind"));
    const cv::ArchiveValue date = coder.decodeObjectForKey(QStringLiteral("date"));
    if (const auto *d = std::get_if<cv::ArchiveDate>(&date.v))
        date_ = dateFromArchive(*d);
    else if (!date.isNull())
        coder.fail();
    rate_ = coder.decodeDoubleForKey(QStringLiteral("rate"));
    interest_ = coder.decodeDoubleForKey(QStringLiteral("interest"));
    principal_ = coder.decodeDoubleForKey(QStringLiteral("principal"));
    rest_ = coder.decodeDoubleForKey(QStringLiteral("rest"));
    account_ = coder.decodeIntForKey(QStringLiteral("account"));
    return !coder.failed();
}

void CV4LoanLump::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("time"), time_);
    coder.encodeDouble(QStringLiteral("value"), value_);
}

bool CV4LoanLump::initWithCoder(cv::KeyedUnarchiver &coder)
{
    time_ = coder.decodeIntForKey(QStringLiteral("time"));
    value_ = coder.decodeDoubleForKey(QStringLiteral("value"));
    return !coder.failed();
}
