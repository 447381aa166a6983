#include "controls/WindowScreenFit.h"

namespace cv {

QRect constrainFrameRect(const QRect &frame, const QRect &available)
{
    if (!available.isValid()) return frame;
    QRect rect = frame;
    if (rect.height() > available.height()) rect.setHeight(available.height());
    if (rect.bottom() > available.bottom()) rect.moveBottom(available.bottom());
    if (rect.top() < available.top()) rect.moveTop(available.top());
    return rect;
}

} // namespace cv

#include <QScreen>
#include <QWidget>

namespace cv {

void keepOnScreen(QWidget *window)
{
    QScreen *screen = window ? window->screen() : nullptr;
    if (!screen || !window->isWindow()) return;
    const QRect frame = window->frameGeometry();
    const QRect fitted = constrainFrameRect(frame, screen->availableGeometry());
    if (fitted == frame) return;
    // The frame adds the title bar and borders to the client area.
    const QSize decoration = frame.size() - window->geometry().size();
    window->resize(fitted.size() - decoration);
    window->move(fitted.topLeft());
}

} // namespace cv
