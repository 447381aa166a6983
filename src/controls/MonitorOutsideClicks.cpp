#include "controls/MonitorOutsideClicks.h"

#include "controls/PopupManager.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace cv {

OutsideClickFilter::OutsideClickFilter(QWidget *window) : QObject(window), m_window(window)
{
    // The handle comes and goes with the window: follow it.
    window->installEventFilter(this);
    attach();
}

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
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)) attach();
    if (watched == m_handle && MonitorOutsideClicks(m_window, event)) return true;
    return QObject::eventFilter(watched, event);
}

bool MonitorOutsideClicks(QWidget *window, QEvent *event)
{
    // Presses of every button; releases, moves and keys go their way.
    if (event->type() != QEvent::MouseButtonPress) return false;
    const QPoint global = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
    return cv::PopupManager::popupManager()->testOutsideClicks(window, global);
}

} // namespace cv
