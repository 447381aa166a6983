#pragma once
// The program-wide date text: one format (the text of the string key
// "CSV-Date") for every date shown or typed in a field. Conversion specifiers:
// %Y %y %m %d %e %b %a %H %M %S %%. Reading accepts 1- or 2-digit fields,
// full-width digits and punctuation, and the dates people type in words
// (platform/NaturalDate.h); anything else is "no date", never today.

#include <QDate>
#include <QString>

#include <optional>

namespace cv {

// What typed text reads as: a day, or none; without a day, `impossible` tells
// a date that no calendar has (2026/2/30, Dec 32) from text that is no date.
struct DateReading {
    std::optional<QDate> date;
    bool impossible = false;
};

// The format of the current language (the key "CSV-Date").
QString programDateFormat();

QString formatDate(const QDate &date, const QString &format);
DateReading readDate(const QString &text, const QString &format, const QDate &today);
std::optional<QDate> parseDate(const QString &text, const QString &format, const QDate &today);

// Both with the program's format; parsing takes the current date for "today",
// two-digit years and the dates typed in words, in either language.
QString formatProgramDate(const QDate &date);
DateReading readProgramDate(const QString &text);
std::optional<QDate> parseProgramDate(const QString &text);

} // namespace cv
