#pragma once
// Where the floating calculator and calendar window post their value: the
// application's modal window, else the document or panel window that was
// active last (the floating window itself is active while its key is
// pressed). A target takes a date when it is a cv::DateReceiver or has an
// invokable performInputDate(QDate), a value when it has an invokable
// performInputValue(QString).

#include <QDate>
#include <QString>

class QWidget;

namespace cv {

// Starts following the active window; called by each floating window.
void trackFrontWindow();
// The target for `self`'s posts, never `self`; null when there is none.
QWidget *frontWindowFor(const QWidget *self);
// Posts to the front window; false when it does not take the value.
bool postInputValue(const QWidget *self, const QString &value);
bool postInputDate(const QWidget *self, const QDate &date);

} // namespace cv
