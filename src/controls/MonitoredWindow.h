#pragma once
// A plain window whose presses the popup tracker sees first and which stays
// on the visible part of its screen.

#include "controls/MonitorOutsideClicks.h"

#include <QWidget>

namespace cv {

class MonitoredWindow : public QWidget {
    Q_OBJECT

public:
    explicit MonitoredWindow(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;

private:
    cv::OutsideClickFilter *m_outsideClicks;
};

} // namespace cv
