#include "controls/MouseOverButton.h"

#include <QPointer>
#include <QTimer>

namespace cv {

MouseOverButton::MouseOverButton(const QString &title, std::function<void()> action, QWidget *parent)
    : QToolButton(parent), m_action(std::move(action))
{
    setText(title);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}

void MouseOverButton::enterEvent(QEnterEvent *event)
{
    QToolButton::enterEvent(event);
    m_hovered = true;
    repeat(++m_run);
}

void MouseOverButton::leaveEvent(QEvent *event)
{
    QToolButton::leaveEvent(event);
    m_hovered = false;
    ++m_run;
}

void MouseOverButton::hideEvent(QHideEvent *event)
{
    QToolButton::hideEvent(event);
    m_hovered = false;
    ++m_run;
}

void MouseOverButton::repeat(int run)
{
    if (run != m_run || !m_hovered || !isVisible()) return;
    if (m_action) m_action();
    QPointer<MouseOverButton> self(this);
    QTimer::singleShot(kRepeatMs, this, [self, run] {
        if (self) self->repeat(run);
    });
}

} // namespace cv
