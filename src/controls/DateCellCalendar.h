#pragma once
// What the field editor needs of the popup calendar: a date cell's button,
// or Down in a date cell, toggles it at the cell. Installed on the shared
// field editor with setDateCellCalendar(); without one nothing opens.

#include <QDate>
#include <QPoint>

class CV4TableView;

namespace cv {

class DateCellCalendar {
public:
    virtual ~DateCellCalendar() = default;
    // Opens the calendar at anchor (table coordinates) preset to date, or
    // closes it when it is open at the same anchor.
    virtual void toggleRelativeToPoint(const QPoint &anchor, CV4TableView *table, const QDate &date) = 0;
};

} // namespace cv
