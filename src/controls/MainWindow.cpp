#include "controls/MainWindow.h"

namespace cv {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_outsideClicks(new cv::OutsideClickFilter(this))
{
    setFocusPolicy(Qt::NoFocus);
}

} // namespace cv
