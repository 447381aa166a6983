#include "controls/MainWindow.h"

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_outsideClicks(new cv::OutsideClickFilter(this))
{
    setFocusPolicy(Qt::NoFocus);
}
