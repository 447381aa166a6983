#include "controls/CVPanel.h"

#include "controls/WindowScreenFit.h"

#include <QEvent>

CVPanel::CVPanel(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_outsideClicks(new cv::OutsideClickFilter(this))
{
}

bool CVPanel::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::Show) cv::keepOnScreen(this);
    return handled;
}
