#include "platform/DateIntegers.h"

#include <algorithm>
#include <limits>

namespace cv::dates {

namespace {

// Julian day numbers of the two day-zero dates (QDate counts in the proleptic
// Gregorian calendar).
constexpr qint64 kReferenceJulianDay = 2451911; // 2001-01-01
constexpr qint64 kEraJulianDay = 1721426;       // 0001-01-01

// Dates far outside any book (read from damaged files) must not overflow.
int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

int dayNumber(const QDate &date)
{
    if (!date.isValid()) return 0;
    return clampToInt(date.toJulianDay() - kReferenceJulianDay);
}

QDate fromDayNumber(int dayNumber)
{
    return QDate::fromJulianDay(kReferenceJulianDay + dayNumber);
}

int archiveDate(const QDate &date)
{
    if (!date.isValid()) return 0;
    return clampToInt((qint64(date.year()) * 12 + date.month() - 1) * 31 + date.day() - 1);
}

QDate fromArchiveDate(int value)
{
    // C++ division truncates, as the stored integers were written to expect.
    const int year = value / 31 / 12;
    const int month = (value / 31) % 12 + 1;
    const int day = value % 31 + 1;
    // QDate rejects impossible days (31 February) and year 0 on its own.
    return QDate(year, month, day);
}

int seriesDayKey(const QDate &date)
{
    if (!date.isValid()) return 0;
    return clampToInt(date.toJulianDay() - kEraJulianDay);
}

QDate fromSeriesDayKey(int key)
{
    return QDate::fromJulianDay(kEraJulianDay + key);
}

int seriesMonthKey(const QDate &date, int fiscalFirstDay)
{
    if (!date.isValid()) return 0;
    // One calendar conversion instead of three: the cache asks this per entry.
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    qint64 key = qint64(year) * 12 + month - 1;
    if (fiscalFirstDay >= 1 && day <= fiscalFirstDay) --key;
    return clampToInt(key);
}

int budgetMonthKey(int year, int month)
{
    return year * 12 + month - 24001;
}

int budgetMonthKey(const QDate &date)
{
    if (!date.isValid()) return 0;
    return clampToInt(qint64(date.year()) * 12 + date.month() - 24001);
}

int budgetKeyYear(int key)
{
    return key / 12 + 2000;
}

int budgetKeyMonth(int key)
{
    return key % 12 + 1;
}

} // namespace cv::dates
