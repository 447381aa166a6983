#pragma once
// Dates as people type them, in English or Japanese whatever the program's
// language, counted from `today`:
//   today, yesterday, tomorrow, the day before yesterday, the day after
//     tomorrow; 今日, 昨日, 明日, 一昨日, 明後日 (and their kana)
//   a weekday alone (Friday, fri, 金曜日, 金曜): the nearest such day, today
//     included (at most three days either way)
//   next / last Friday: the first such day after / before today;
//     this Friday: the one of today's week (Monday to Sunday)
//   来週の金曜 / 先週の月曜 / 今週の水曜 (の optional): that day of the next,
//     last or this week (Monday to Sunday)
//   3 days ago, in 2 weeks, 2 weeks later, 1 month from now, a week ago;
//     3日前, 2週間後, 1か月前
//   a month and day without a year (Dec 5, 5 December, 12月5日): the nearest
//     such day; with a year after a comma or a blank (Dec 5, 2025; 5 Dec
//     2025; 2025年12月5日) that day
// The text comes normalised (NFKC, trimmed); anything else is no date. A month
// and day that no calendar has (Dec 32, 2月30日, a year 0) is an impossible one.

#include "platform/DateFormat.h"

namespace cv {

DateReading readNaturalDate(const QString &text, const QDate &today);

} // namespace cv
