#pragma once
// Takes a date picked in the popup calendar: a view that asked (a date
// field), or a window controller or dialog further along the posting chain.

#include <QDate>

namespace cv {

class DateReceiver {
public:
    virtual ~DateReceiver() = default;
    virtual void performInputDate(const QDate &date) = 0;
};

} // namespace cv
