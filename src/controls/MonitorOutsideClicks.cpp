#include "controls/MonitorOutsideClicks.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

cv::OutsideClickTester *g_tester = nullptr;

} // namespace

namespace cv {

void setOutsideClickTester(OutsideClickTester *tester)
{
    g_tester = tester;
}

OutsideClickTester *outsideClickTester()
{
    return g_tester;
}

OutsideClickFilter::OutsideClickFilter(QWidget *window) : QObject(window), m_window(window) {}

void OutsideClickFilter::attach()
{
    QWindow *handle = m_window->windowHandle();
    if (!handle || handle == m_handle) return;
    if (m_handle) m_handle->removeEventFilter(this);
    m_handle = handle;
    handle->installEventFilter(this);
    connect(handle, &QObject::destroyed, this, [this] { m_handle = nullptr; });
}

bool OutsideClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_handle && MonitorOutsideClicks(m_window, event)) return true;
    return QObject::eventFilter(watched, event);
}

} // namespace cv

bool MonitorOutsideClicks(QWidget *window, QEvent *event)
{
    // Presses of every button; releases, moves and keys go their way.
    if (!g_tester || event->type() != QEvent::MouseButtonPress) return false;
    return g_tester->testOutsideClicks(window, static_cast<QMouseEvent *>(event));
}
