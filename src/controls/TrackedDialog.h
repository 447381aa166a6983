#pragma once
// A panel whose presses the popup tracker sees first (a press outside a
// chooser ends the cell edit) and which stays on the visible part of its
// screen.

#include "controls/MonitorOutsideClicks.h"
#include "controls/OutsideClickClient.h"

#include <QDialog>

namespace cv {

class TrackedDialog : public QDialog, public cv::OutsideClickClient {
    Q_OBJECT

public:
    explicit TrackedDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

protected:
    bool event(QEvent *event) override;

private:
    cv::OutsideClickFilter *m_outsideClicks;
};

} // namespace cv
