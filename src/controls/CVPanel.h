#pragma once
// A panel whose presses the popup tracker sees first and which stays on the
// visible part of its screen.

#include "controls/MonitorOutsideClicks.h"

#include <QDialog>

class CVPanel : public QDialog {
    Q_OBJECT

public:
    explicit CVPanel(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

protected:
    bool event(QEvent *event) override;

private:
    cv::OutsideClickFilter *m_outsideClicks;
};
