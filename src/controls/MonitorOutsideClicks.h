#pragma once
// Lets the popup tracker see every mouse press of a window before the window
// handles it: a press the tracker consumes (it closed a popup) never reaches
// the window.

#include <QObject>

class QEvent;
class QWidget;

namespace cv {

// Watches the presses of one window on its window handle, where they arrive
// before any widget sees them (and before Qt hands them to an open popup).
class OutsideClickFilter : public QObject {
    Q_OBJECT

public:
    // Follows the window's handle from now on (made when it is shown).
    explicit OutsideClickFilter(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attach();

    QWidget *m_window; // the owner and parent
    QObject *m_handle = nullptr;
};

// true when the popup tracker consumed the press; every other event answers false.
bool MonitorOutsideClicks(QWidget *window, QEvent *event);

} // namespace cv
