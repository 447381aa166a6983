#pragma once
// Japanese calendar facts: national holidays, business days and rokuyō.

#include <QDate>
#include <QString>

// The name of the national holiday (or substitute / in-between holiday) on the
// day, or a null string. isMonday must say whether the day is a Monday.
namespace cv {

QString JapaneseHoliday4(int year, int month, int day, bool isMonday);
QString JapaneseHoliday(const QDate &date);

// With step 0 the date itself; otherwise the first day from the date on,
// moving by one day in the step's direction, that is not a Saturday, Sunday,
// 31 December, 1-3 January or holiday. An invalid date answers an invalid date.
QDate GetBusinessDate(const QDate &date, int step);

// The rokuyō of the day; an empty string outside 1990-2050.
QString lunarDate(const QDate &date);

} // namespace cv
