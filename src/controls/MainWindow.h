#pragma once
// The document window: the popup tracker sees its mouse presses first (a
// press outside a chooser ends the cell edit), and the window itself never
// takes the keyboard focus from its views.

#include "controls/MonitorOutsideClicks.h"
#include "controls/OutsideClickClient.h"

#include <QMainWindow>

namespace cv {

class MainWindow : public QMainWindow, public cv::OutsideClickClient {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

private:
    cv::OutsideClickFilter *m_outsideClicks;
};

} // namespace cv
