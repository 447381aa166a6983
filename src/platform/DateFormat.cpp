#include "platform/DateFormat.h"

#include "platform/Localization.h"
#include "platform/NaturalDate.h"

#include <array>

namespace cv {

namespace {

constexpr std::array<const char *, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char *, 7> kDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Reads 1 to maxDigits ASCII digits at pos.
std::optional<int> readNumber(const QString &text, qsizetype &pos, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && text[pos] >= QLatin1Char('0') && text[pos] <= QLatin1Char('9')) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
}

void skipSpaces(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && text[pos].isSpace()) ++pos;
}

} // namespace

QString programDateFormat()
{
    return localizedString(QStringLiteral("CSV-Date"));
}

QString formatDate(const QDate &date, const QString &format)
{
    if (!date.isValid()) return QString();
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 == format.size()) {
            out += c;
            continue;
        }
        switch (format[++i].unicode()) {
        case 'Y': out += QString::number(date.year()); break;
        case 'y': out += twoDigits(((date.year() % 100) + 100) % 100); break;
        case 'm': out += twoDigits(date.month()); break;
        case 'd': out += twoDigits(date.day()); break;
        case 'e': out += QStringLiteral("%1").arg(date.day(), 2); break;
        case 'b': out += QLatin1String(kMonthNames[date.month() - 1]); break;
        case 'a': out += QLatin1String(kDayNames[date.dayOfWeek() - 1]); break;
        case 'H':
        case 'M':
        case 'S': out += QStringLiteral("00"); break;
        case '%': out += QLatin1Char('%'); break;
        default: out += QLatin1Char('%') + format[i]; break;
        }
    }
    return out;
}

namespace {

// The text read whole by the format; impossible when it fits the format but
// names no day.
DateReading readWholeFormat(const QString &input, const QString &format, const QDate &today)
{
    // Input methods give full-width digits and slashes; compatibility
    // normalisation folds them to ASCII.
    const QString text = input.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty()) return {};

    std::optional<int> year, month, day;
    qsizetype pos = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c.isSpace()) {
            skipSpaces(text, pos);
            continue;
        }
        if (c != QLatin1Char('%') || i + 1 == format.size()) {
            if (pos >= text.size() || text[pos] != c) return {};
            ++pos;
            continue;
        }
        const QChar conversion = format[++i];
        switch (conversion.unicode()) {
        case 'Y':
            if (!(year = readNumber(text, pos, 4))) return {};
            break;
        case 'y': {
            const auto yy = readNumber(text, pos, 2);
            if (!yy) return {};
            // The century that puts the year nearest to today.
            int y = today.year() - today.year() % 100 + *yy;
            if (y > today.year() + 50)
                y -= 100;
            else if (y <= today.year() - 50)
                y += 100;
            year = y;
            break;
        }
        case 'm':
            if (!(month = readNumber(text, pos, 2))) return {};
            break;
        case 'd':
        case 'e':
            skipSpaces(text, pos);
            if (!(day = readNumber(text, pos, 2))) return {};
            break;
        case 'b': {
            bool found = false;
            for (int m = 0; m < 12 && !found; ++m) {
                const QLatin1String name(kMonthNames[m]);
                if (text.mid(pos, name.size()).compare(name, Qt::CaseInsensitive) == 0) {
                    month = m + 1;
                    pos += name.size();
                    found = true;
                }
            }
            if (!found) return {};
            break;
        }
        case 'a': {
            const qsizetype start = pos;
            while (pos < text.size() && text[pos].isLetter()) ++pos;
            if (pos == start) return {};
            break;
        }
        case 'H':
        case 'M':
        case 'S':
            if (!readNumber(text, pos, 2)) return {};
            break;
        case '%':
            if (pos >= text.size() || text[pos] != QLatin1Char('%')) return {};
            ++pos;
            break;
        default: return {};
        }
    }
    if (pos != text.size() || !month || !day) return {};
    const QDate date(year.value_or(today.year()), *month, *day);
    if (!date.isValid()) return {std::nullopt, true};
    return {date};
}

} // namespace

DateReading readDate(const QString &input, const QString &format, const QDate &today)
{
    const DateReading whole = readWholeFormat(input, format, today);
    if (whole.date) return whole;
    bool impossible = whole.impossible;
    // A format that starts with the year also reads month and day alone, in
    // this year ("12/9" for "%Y/%m/%d").
    if (format.size() > 3 && format[0] == u'%' && (format[1] == u'Y' || format[1] == u'y') && format[2] != u'%') {
        const DateReading monthDay = readWholeFormat(input, format.mid(3), today);
        if (monthDay.date) return monthDay;
        impossible = impossible || monthDay.impossible;
    }
    const QString text = input.normalized(QString::NormalizationForm_KC).trimmed();
    if (!text.isEmpty() && text == localizedString(QStringLiteral("Today"))) return {today};
    DateReading words = readNaturalDate(text, today);
    words.impossible = !words.date && (impossible || words.impossible);
    return words;
}

std::optional<QDate> parseDate(const QString &input, const QString &format, const QDate &today)
{
    return readDate(input, format, today).date;
}

QString formatProgramDate(const QDate &date)
{
    return formatDate(date, programDateFormat());
}

DateReading readProgramDate(const QString &text)
{
    return readDate(text, programDateFormat(), QDate::currentDate());
}

std::optional<QDate> parseProgramDate(const QString &text)
{
    return readProgramDate(text).date;
}

} // namespace cv
