#include "panels/dialogs/RepeatRule.h"

#include "model/JapaneseHoliday.h"

namespace cv {

namespace {

QDate dayOfMonth(const QDate &firstOfMonth, int day)
{
    const QDate last = firstOfMonth.addDays(firstOfMonth.daysInMonth() - 1);
    if (day >= 31) return last;
    if (day <= 1) return firstOfMonth;
    const QDate d = firstOfMonth.addDays(day - 1);
    return d > last ? last : d;
}

} // namespace

QList<QDate> RepeatRule::dates(const QDate &start, int count) const
{
    QList<QDate> out;
    if (!start.isValid() || count <= 0) return out;
    out.reserve(count);
    QDate base = start;
    const bool monthly = rule == Monthly || rule == TwoMonthly;
    if (monthly) {
        base = QDate(start.year(), start.month(), 1);
        if (day < start.day()) base = base.addMonths(1);
    }
    for (int k = 0; k < count; ++k) {
        QDate date = base;
        if (monthly) {
            date = dayOfMonth(base.addMonths(k * (rule == Monthly ? 1 : 2)), day);
        } else if (rule == EveryDays) {
            date = base.addDays(qint64(k) * interval);
        } else if (rule == Yearly) {
            // From the start each time: 29 February comes back in leap years.
            date = base.addMonths(12 * k);
        }
        if (shift != NoShift) date = GetBusinessDate(date, shift == NextBusinessDay ? 1 : -1);
        out.append(date);
    }
    return out;
}

} // namespace cv
