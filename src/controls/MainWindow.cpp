#include "controls/MainWindow.h"

#include <QEvent>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_outsideClicks(new cv::OutsideClickFilter(this))
{
    setFocusPolicy(Qt::NoFocus);
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange) m_outsideClicks->attach();
    return QMainWindow::event(event);
}
