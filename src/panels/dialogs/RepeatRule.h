#pragma once
// The dates of a series of repeated entries: the rule of the dialog's tab,
// then the business-day shift. The shift never moves the base from which the
// next date is computed.

#include <QDate>
#include <QList>

namespace cv {

struct RepeatRule {
    enum Rule { SameDate = 0, EveryDays = 1, Monthly = 2, TwoMonthly = 3, Yearly = 4 };
    enum Shift { NextBusinessDay = 0, PreviousBusinessDay = 1, NoShift = 2 };

    int rule = SameDate;
    int interval = 1; // days between entries (EveryDays)
    int day = 31;     // day of the month, 31 = the last day (Monthly, TwoMonthly)
    int shift = NoShift;

    QList<QDate> dates(const QDate &start, int count) const;
};

} // namespace cv
