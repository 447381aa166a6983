#include "controls/MonitoredWindow.h"

#include "controls/WindowScreenFit.h"

#include <QEvent>

namespace cv {

MonitoredWindow::MonitoredWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_outsideClicks(new cv::OutsideClickFilter(this))
{
}

bool MonitoredWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Show) cv::keepOnScreen(this);
    return handled;
}

} // namespace cv
