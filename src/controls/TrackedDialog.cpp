#include "controls/TrackedDialog.h"

#include "controls/WindowScreenFit.h"

#include <QEvent>

namespace cv {

TrackedDialog::TrackedDialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_outsideClicks(new cv::OutsideClickFilter(this))
{
}

bool TrackedDialog::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::Show) cv::keepOnScreen(this);
    return handled;
}

} // namespace cv
