#include "model/LoanPayment.h"

#include "platform/DateIntegers.h"

#include <cmath>

namespace cv {

namespace {

// Row dates are instants in the archive. Documents made in Japan hold local
// midnight there, so dates are written as midnight at UTC+9 and read back as
// the nearest such midnight: the day survives any zone the file is read in.
constexpr double kSecondsPerDay = 86400;
constexpr double kJapanOffset = 9 * 3600;
constexpr double kMaxDays = 1.0e8; // far beyond any book; keeps the day in an int

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

void LoanPayment::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("kind"), cv::raw(m_kind));
    coder.encodeObject(QStringLiteral("date"), archiveDate(m_date));
    coder.encodeDouble(QStringLiteral("rate"), m_rate);
    coder.encodeDouble(QStringLiteral("interest"), m_interest);
    coder.encodeDouble(QStringLiteral("principal"), m_principal);
    coder.encodeDouble(QStringLiteral("rest"), m_rest);
    coder.encodeInt(QStringLiteral("account"), m_account);
}

bool LoanPayment::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_kind = cv::LoanPaymentKind(coder.decodeIntForKey(QStringLiteral("kind")));
    const cv::ArchiveValue date = coder.decodeObjectForKey(QStringLiteral("date"));
    if (const auto *d = std::get_if<cv::ArchiveDate>(&date.v))
        m_date = dateFromArchive(*d);
    else if (!date.isNull())
        coder.fail();
    m_rate = coder.decodeDoubleForKey(QStringLiteral("rate"));
    m_interest = coder.decodeDoubleForKey(QStringLiteral("interest"));
    m_principal = coder.decodeDoubleForKey(QStringLiteral("principal"));
    m_rest = coder.decodeDoubleForKey(QStringLiteral("rest"));
    m_account = coder.decodeIntForKey(QStringLiteral("account"));
    // A crafted or mistyped archive must fail the open, not open with absurd figures.
    if (hasImpossibleAmounts()) coder.fail();
    return !coder.failed();
}

bool LoanPayment::hasImpossibleAmounts() const
{
    constexpr double kBound = 1.0e12;
    for (const double amount : {m_principal, m_interest, m_rest})
        if (!std::isfinite(amount) || std::fabs(amount) > kBound) return true;
    const bool extra = m_kind != cv::LoanPaymentKind::Regular && m_kind != cv::LoanPaymentKind::Bonus;
    return !std::isfinite(m_rate) || m_interest < 0 || (extra && m_principal < 0);
}

void LoanLump::encodeWithCoder(cv::KeyedArchiver &coder) const
{
    coder.encodeInt(QStringLiteral("time"), m_time);
    coder.encodeDouble(QStringLiteral("value"), m_value);
}

bool LoanLump::initWithCoder(cv::KeyedUnarchiver &coder)
{
    m_time = coder.decodeIntForKey(QStringLiteral("time"));
    m_value = coder.decodeDoubleForKey(QStringLiteral("value"));
    return !coder.failed();
}

} // namespace cv
