#pragma once
// Every date integer of the system, in one place. All of them work on QDate
// (whole calendar days), never on seconds, so no day is lost or gained across
// time zones or daylight saving.

#include <QDate>

namespace cv::dates {

// Day number: whole days since 2001-01-01; the date of every stored row.
int dayNumber(const QDate &date); // an invalid date answers 0
QDate fromDayNumber(int dayNumber);

// Archive date integer: ((year*12 + month - 1)*31) + day - 1, used inside the
// keyed archives of account details. 2000-01-01 is 744000.
int archiveDate(const QDate &date);
QDate fromArchiveDate(int value); // an impossible day answers an invalid date

// Series day key: days since 0001-01-01 (day of the common era minus 1).
int seriesDayKey(const QDate &date);
QDate fromSeriesDayKey(int key);

// Series month key: year*12 + month - 1; with a fiscal first day FD >= 1, one
// month earlier when the day of month is FD or less.
int seriesMonthKey(const QDate &date, int fiscalFirstDay);

// Budget month key: (year - 2000)*12 + month - 1 (calendar month).
int budgetMonthKey(int year, int month);
int budgetMonthKey(const QDate &date);
// Truncating division, as stored archives expect: key -1 gives year 2000, month 0.
int budgetKeyYear(int key);
int budgetKeyMonth(int key); // 1-12 for keys >= 0

} // namespace cv::dates
