#pragma once
// What the field editor needs of the popup calendar: a date cell's button,
// or Down in a date cell, toggles it at the cell. The month calendar is the
// one the field editor uses unless another is set with setDateCellCalendar().

#include <QDate>
#include <QPoint>

namespace cv {

class EditingTable;

class DateCellCalendar {
public:
    virtual ~DateCellCalendar() = default;
    // Opens the calendar with its top-left corner at anchor (the table's
    // viewport coordinates) preset to date, or closes it when it is open at
    // the same anchor.
    virtual void toggleForTable(const QPoint &anchor, EditingTable *table, const QDate &date) = 0;
};

} // namespace cv
