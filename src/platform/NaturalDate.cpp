#include "platform/NaturalDate.h"

#include <QRegularExpression>

#include <cstdlib>

namespace cv {

namespace {

using Pattern = QRegularExpression;

// A word and what it stands for.
using Word = std::pair<QStringView, int>;

template <size_t N> std::optional<int> lookup(const Word (&table)[N], QStringView word)
{
    for (const auto &[name, value] : table)
        if (word.compare(name, Qt::CaseInsensitive) == 0) return value;
    return std::nullopt;
}

// Qt's day of week (1 Monday .. 7 Sunday) of an English name or abbreviation; 0 none.
int englishWeekday(const QString &word)
{
    static const Word names[] = {
        {u"mon", 1},       {u"monday", 1}, {u"tue", 2},      {u"tues", 2},  {u"tuesday", 2},  {u"wed", 3},
        {u"wednesday", 3}, {u"thu", 4},    {u"thur", 4},     {u"thurs", 4}, {u"thursday", 4}, {u"fri", 5},
        {u"friday", 5},    {u"sat", 6},    {u"saturday", 6}, {u"sun", 7},   {u"sunday", 7},
    };
    return lookup(names, word).value_or(0);
}

int japaneseWeekday(const QString &kanji)
{
    const int at = QStringView(u"月火水木金土日").indexOf(kanji);
    return at < 0 ? 0 : at + 1;
}

int englishMonth(const QString &word)
{
    static const Word names[] = {
        {u"jan", 1},  {u"january", 1},  {u"feb", 2},    {u"february", 2},  {u"mar", 3},  {u"march", 3},
        {u"apr", 4},  {u"april", 4},    {u"may", 5},    {u"jun", 6},       {u"june", 6}, {u"jul", 7},
        {u"july", 7}, {u"aug", 8},      {u"august", 8}, {u"sep", 9},       {u"sept", 9}, {u"september", 9},
        {u"oct", 10}, {u"october", 10}, {u"nov", 11},   {u"november", 11}, {u"dec", 12}, {u"december", 12},
    };
    return lookup(names, word).value_or(0);
}

// -3..+3 days: the nearest such weekday, today included.
QDate nearestWeekday(int weekday, const QDate &today)
{
    int offset = (weekday - today.dayOfWeek() + 7) % 7;
    if (offset > 3) offset -= 7;
    return today.addDays(offset);
}

// The day of the week `weeks` away from today's, weeks running Monday to Sunday.
QDate weekdayOfWeek(int weekday, int weeks, const QDate &today)
{
    return today.addDays(weekday - today.dayOfWeek() + 7 * weeks);
}

// A month and day without a year: the nearest such day (the earlier one on a
// tie). Years around today are tried so that 29 February finds its year.
std::optional<QDate> nearestMonthDay(int month, int day, const QDate &today)
{
    std::optional<QDate> best;
    for (int year = today.year() - 4; year <= today.year() + 4; ++year) {
        const QDate date(year, month, day);
        if (date.isValid() && (!best || std::abs(today.daysTo(date)) < std::abs(today.daysTo(*best)))) best = date;
    }
    return best;
}

// Without a year, the nearest such day; a typed year is taken as typed, so
// year 0, which no calendar has, names no day.
DateReading monthDay(const QString &year, int month, int day, const QDate &today)
{
    const DateReading impossible{std::nullopt, true};
    if (month < 1 || month > 12) return impossible;
    const std::optional<QDate> date =
        year.isEmpty() ? nearestMonthDay(month, day, today) : std::optional<QDate>(QDate(year.toInt(), month, day));
    if (!date || !date->isValid()) return impossible;
    return {date};
}

// `count` of a unit ("day", "週間", ...) from today; `sign` -1 for ago / 前.
std::optional<QDate> moved(const QDate &today, int count, const QString &unit, int sign)
{
    const QChar first = unit.isEmpty() ? QChar() : unit[0].toLower();
    if (first == u'd' || unit == u"日") return today.addDays(sign * count);
    if (first == u'w' || unit.startsWith(u'週')) return today.addDays(sign * 7 * count);
    if (first == u'm' || unit.endsWith(u'月')) return today.addMonths(sign * count);
    return std::nullopt;
}

int countWord(const QString &word)
{
    if (word.compare(u"a", Qt::CaseInsensitive) == 0 || word.compare(u"an", Qt::CaseInsensitive) == 0 ||
        word.compare(u"one", Qt::CaseInsensitive) == 0)
        return 1;
    return word.toInt();
}

} // namespace

DateReading readNaturalDate(const QString &input, const QDate &today)
{
    const QString text = input.simplified();
    if (text.isEmpty() || !today.isValid()) return {};

    // clang-format off
    static const Word words[] = {
        {u"today", 0}, {u"yesterday", -1}, {u"tomorrow", 1}, {u"the day before yesterday", -2},
        {u"day before yesterday", -2}, {u"the day after tomorrow", 2}, {u"day after tomorrow", 2},
        {u"今日", 0}, {u"本日", 0}, {u"きょう", 0}, {u"昨日", -1}, {u"きのう", -1}, {u"明日", 1}, {u"あした", 1},
        {u"あす", 1}, {u"一昨日", -2}, {u"おととい", -2}, {u"明後日", 2}, {u"あさって", 2},
    };
    // clang-format on
    if (const std::optional<int> days = lookup(words, text)) return {today.addDays(*days)};

    constexpr auto caseless = Pattern::CaseInsensitiveOption;
    static const QString month = QStringLiteral("([a-z]{3,9})\\.?");
    static const QString ordinal = QStringLiteral("(\\d{1,2})(?:st|nd|rd|th)?");
    // A year stands apart from the day: "Dec 20255" is a slip, not 2 December 255.
    static const QString year = QStringLiteral("(?:(?:,\\s*|\\s+)(\\d{4}))?");
    static const QString units = QStringLiteral("(days?|weeks?|months?)");
    static const Pattern englishWeekdayPattern(QStringLiteral("^(?:(next|last|this)\\s+)?([a-z]{3,9})\\.?$"), caseless);
    static const Pattern japaneseWeekdayPattern(QStringLiteral("^(?:(来週|先週|今週)の?)?([月火水木金土日])曜日?$"));
    static const Pattern ago(QStringLiteral("^(\\d{1,4}|an?|one)\\s+") + units +
                                 QStringLiteral("\\s+(ago|later|after|from now)$"),
                             caseless);
    static const Pattern in(QStringLiteral("^in\\s+(\\d{1,4}|an?|one)\\s+") + units + QStringLiteral("$"), caseless);
    static const Pattern japaneseMoved(
        QStringLiteral("^(\\d{1,4})\\s*(日|週間|週|か月|ヶ月|ヵ月|カ月|ケ月|箇月)\\s*(前|後)$"));
    static const Pattern monthFirst(QStringLiteral("^") + month + QStringLiteral("\\s*") + ordinal + year + u'$',
                                    caseless);
    static const Pattern dayFirst(
        QStringLiteral("^") + ordinal + QStringLiteral("\\s+(?:of\\s+)?") + month + year + u'$', caseless);
    static const Pattern japaneseMonthDay(
        QStringLiteral("^(?:(\\d{4})\\s*年\\s*)?(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*日$"));

    QRegularExpressionMatch m;
    if ((m = englishWeekdayPattern.match(text)).hasMatch()) {
        const int weekday = englishWeekday(m.captured(2));
        if (!weekday) return {};
        const QString which = m.captured(1).toLower();
        if (which.isEmpty()) return {nearestWeekday(weekday, today)};
        if (which == u"this") return {weekdayOfWeek(weekday, 0, today)};
        // next / last: the first such day after or before today, never today.
        const int forward = (weekday - today.dayOfWeek() + 7) % 7;
        const int backward = (today.dayOfWeek() - weekday + 7) % 7;
        return {which == u"next" ? today.addDays(forward ? forward : 7) : today.addDays(-(backward ? backward : 7))};
    }
    if ((m = japaneseWeekdayPattern.match(text)).hasMatch()) {
        const int weekday = japaneseWeekday(m.captured(2));
        const QString week = m.captured(1);
        if (week.isEmpty()) return {nearestWeekday(weekday, today)};
        return {weekdayOfWeek(weekday, week == u"来週" ? 1 : week == u"先週" ? -1 : 0, today)};
    }
    if ((m = ago.match(text)).hasMatch())
        return {moved(today, countWord(m.captured(1)), m.captured(2),
                      m.captured(3).compare(u"ago", Qt::CaseInsensitive) ? 1 : -1)};
    if ((m = in.match(text)).hasMatch()) return {moved(today, countWord(m.captured(1)), m.captured(2), 1)};
    if ((m = japaneseMoved.match(text)).hasMatch())
        return {moved(today, m.captured(1).toInt(), m.captured(2), m.captured(3) == u"前" ? -1 : 1)};
    // An English month name that is none ("Decembre 5") is no date, not an impossible one.
    if ((m = monthFirst.match(text)).hasMatch() && englishMonth(m.captured(1)))
        return monthDay(m.captured(3), englishMonth(m.captured(1)), m.captured(2).toInt(), today);
    if ((m = dayFirst.match(text)).hasMatch() && englishMonth(m.captured(2)))
        return monthDay(m.captured(3), englishMonth(m.captured(2)), m.captured(1).toInt(), today);
    if ((m = japaneseMonthDay.match(text)).hasMatch())
        return monthDay(m.captured(1), m.captured(2).toInt(), m.captured(3).toInt(), today);
    return {};
}

} // namespace cv
