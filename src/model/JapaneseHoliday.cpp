#include "model/JapaneseHoliday.h"

#include "model/LunarMonthTable.h"

#include <iterator>

namespace cv {

namespace {

enum class Rule {
    Day,    // the given day of the month
    Monday, // the Monday in the seven days from the given day
    Spring, // the spring equinox
    Autumn, // the autumn equinox
};

struct Holiday {
    int month;
    Rule rule;
    int day;
    int firstYear;
    int lastYear;
    const char16_t *name;
};

constexpr int kEver = -9999;
constexpr int kOn = 9999;

// The law year by year. Ranges stop where the law moved or renamed a day.
const Holiday kHolidays[] = {
    {1, Rule::Day, 1, kEver, kOn, u"元旦"},
    {1, Rule::Day, 15, kEver, 1999, u"成人の日"},
    {1, Rule::Monday, 8, 2000, kOn, u"成人の日"},
    {2, Rule::Day, 11, 1967, kOn, u"建国記念の日"},
    {2, Rule::Day, 23, 2020, kOn, u"天皇誕生日"},
    {3, Rule::Spring, 0, kEver, kOn, u"春分の日"},
    {4, Rule::Day, 29, kEver, 1988, u"天皇誕生日"},
    {4, Rule::Day, 29, 1989, 2006, u"みどりの日"},
    {4, Rule::Day, 29, 2007, kOn, u"昭和の日"},
    {5, Rule::Day, 3, 1947, kOn, u"憲法記念日"},
    {5, Rule::Day, 4, 2007, kOn, u"みどりの日"},
    {5, Rule::Day, 5, kEver, kOn, u"こどもの日"},
    {7, Rule::Day, 20, 1996, 2002, u"海の日"},
    {7, Rule::Monday, 15, 2003, 2019, u"海の日"},
    {7, Rule::Monday, 15, 2022, kOn, u"海の日"},
    {8, Rule::Day, 11, 2016, 2019, u"山の日"},
    {8, Rule::Day, 11, 2022, kOn, u"山の日"},
    {9, Rule::Day, 15, 1966, 2002, u"敬老の日"},
    {9, Rule::Monday, 15, 2003, kOn, u"敬老の日"},
    {9, Rule::Autumn, 0, kEver, kOn, u"秋分の日"},
    {10, Rule::Day, 10, 1966, 1999, u"体育の日"},
    {10, Rule::Monday, 8, 2000, 2019, u"体育の日"},
    {10, Rule::Monday, 8, 2022, kOn, u"スポーツの日"},
    {11, Rule::Day, 3, kEver, kOn, u"文化の日"},
    {11, Rule::Day, 23, kEver, kOn, u"勤労感謝の日"},
    {12, Rule::Day, 23, 1989, 2018, u"天皇誕生日"},
};

struct OneOffHoliday {
    int year;
    int month;
    int day;
    const char16_t *name;
};

// Days set by their own laws, and the holidays moved for the 2020 games
// (held in 2021).
// clang-format off
const OneOffHoliday kOneOffHolidays[] = {
    {1959, 4, 10, u"皇太子御成婚"},
    {1989, 2, 24, u"大喪の礼"},
    {1990, 11, 12, u"即位礼正殿の儀"},
    {1993, 6, 9, u"皇太子御成婚"},
    {2019, 5, 1, u"即位の日"},
    {2019, 10, 22, u"即位礼正殿の儀"},
    {2020, 7, 23, u"海の日"},
    {2020, 7, 24, u"スポーツの日"},
    {2020, 8, 10, u"山の日"},
    {2021, 7, 22, u"海の日"},
    {2021, 7, 23, u"スポーツの日"},
    {2021, 8, 8, u"山の日"},
};
// clang-format on

const char16_t *const kSubstituteHoliday = u"振替休日";
const char16_t *const kCitizensHoliday = u"国民の休日";

// Substitute holidays exist from the 1973 amendment; from 2007 they move past
// every following holiday instead of falling on the Monday only.
const QDate kSubstituteLawStart(1973, 4, 12);
const QDate kInBetweenLawStart(1985, 12, 27);
const QDate kLaw2007(2007, 1, 1);

int springEquinoxDay(int y)
{
    switch (((y % 4) + 4) % 4) {
    case 0: return y >= 2092 ? 19 : y >= 1960 ? 20 : 21;
    case 1: return y >= 1993 ? 20 : 21;
    case 2: return y >= 2026 ? 20 : 21;
    default: return y >= 2059 ? 20 : y >= 1927 ? 21 : 22;
    }
}

int autumnEquinoxDay(int y)
{
    switch (((y % 4) + 4) % 4) {
    case 0: return y >= 2012 ? 22 : 23;
    case 1: return y >= 2045 ? 22 : y >= 1921 ? 23 : 24;
    case 2: return y >= 2078 ? 22 : y >= 1950 ? 23 : 24;
    default: return y >= 1983 ? 23 : 24;
    }
}

bool matches(const Holiday &h, int y, int d, bool isMonday)
{
    switch (h.rule) {
    case Rule::Day: return d == h.day;
    case Rule::Monday: return isMonday && d >= h.day && d <= h.day + 6;
    case Rule::Spring: return d == springEquinoxDay(y);
    case Rule::Autumn: return d == autumnEquinoxDay(y);
    }
    return false;
}

// A holiday by its own date (no substitute or in-between days).
const char16_t *nationalHoliday(int y, int m, int d, bool isMonday)
{
    for (const auto &o : kOneOffHolidays) {
        if (o.year == y && o.month == m && o.day == d) return o.name;
    }
    for (const auto &h : kHolidays) {
        if (h.month == m && y >= h.firstYear && y <= h.lastYear && matches(h, y, d, isMonday)) return h.name;
    }
    return nullptr;
}

const char16_t *nationalHoliday(const QDate &date)
{
    return nationalHoliday(date.year(), date.month(), date.day(), date.dayOfWeek() == Qt::Monday);
}

const char16_t *dependentHoliday(const QDate &date, bool isMonday)
{
    if (date < kSubstituteLawStart) return nullptr;
    if (date < kLaw2007) {
        if (isMonday && date.day() != 1 && nationalHoliday(date.year(), date.month(), date.day() - 1, false))
            return kSubstituteHoliday;
        // The in-between day was never a Sunday or a substitute holiday.
        if (date >= kInBetweenLawStart && date.dayOfWeek() != Qt::Sunday && nationalHoliday(date.addDays(-1)) &&
            nationalHoliday(date.addDays(1)))
            return kCitizensHoliday;
        return nullptr;
    }
    for (QDate before = date.addDays(-1); nationalHoliday(before); before = before.addDays(-1)) {
        if (before.dayOfWeek() == Qt::Sunday) return kSubstituteHoliday;
    }
    if (nationalHoliday(date.addDays(-1)) && nationalHoliday(date.addDays(1))) return kCitizensHoliday;
    return nullptr;
}

} // namespace

QString JapaneseHoliday4(int year, int month, int day, bool isMonday)
{
    const QDate date(year, month, day);
    if (!date.isValid()) return {};
    const char16_t *name = nationalHoliday(year, month, day, isMonday);
    if (!name) name = dependentHoliday(date, isMonday);
    return name ? QString::fromUtf16(name) : QString();
}

QString JapaneseHoliday(const QDate &date)
{
    if (!date.isValid()) return {};
    return JapaneseHoliday4(date.year(), date.month(), date.day(), date.dayOfWeek() == Qt::Monday);
}

QDate GetBusinessDate(const QDate &date, int step)
{
    if (!date.isValid() || step == 0) return date;
    const int by = step > 0 ? 1 : -1;
    QDate d = date;
    for (;;) {
        const int m = d.month(), day = d.day();
        const bool closed = d.dayOfWeek() >= Qt::Saturday || (m == 12 && day == 31) || (m == 1 && day <= 3) ||
                            !JapaneseHoliday(d).isNull();
        if (!closed) return d;
        d = d.addDays(by);
    }
}

QString lunarDate(const QDate &date)
{
    static const char16_t *const kRokuyo[] = {u"先勝", u"友引", u"先負", u"仏滅", u"大安", u"赤口"};
    if (!date.isValid() || date.year() < cv::kLunarFirstYear || date.year() > cv::kLunarLastYear) return {};
    const cv::LunarMonthStart *row = cv::kLunarMonthTable[date.year() - cv::kLunarFirstYear];
    const int monthDay = date.month() * 100 + date.day();
    // The first pair is the month begun in December before; it holds the
    // days before the second pair's start.
    int found = 0;
    for (int i = 1; i < cv::kLunarTablePairs && row[i].monthDay != 9999; ++i) {
        if (row[i].monthDay <= monthDay) found = i;
    }
    const cv::LunarMonthStart &start = row[found];
    const int startYear = found == 0 ? date.year() - 1 : date.year();
    const QDate first(startYear, start.monthDay / 100, start.monthDay % 100);
    const qint64 n = first.daysTo(date) + start.month - 1;
    return QString::fromUtf16(kRokuyo[n % 6]);
}

} // namespace cv
