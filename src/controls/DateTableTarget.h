#pragma once
// An editing table that takes a picked date: with a selected row its owner
// stores the date there, the row is selected alone and column 0 is edited
// again with its text selected; with no selected row nothing happens.

#include <QDate>

namespace cv {

class DateTableTarget {
public:
    virtual ~DateTableTarget() = default;
    virtual void postDateToSelectedRow(const QDate &date) = 0;
};

} // namespace cv
