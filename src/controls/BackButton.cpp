#include "controls/BackButton.h"

#include <QKeyEvent>

namespace cv {

namespace {

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return;
}

} // namespace

BackButton::BackButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    setAutoDefault(false);
    setDefault(false);
}

bool BackButton::performKeyEquivalent(const QKeyEvent *event)
{
    if (!event || !isEnter(event) || !(event->modifiers() & Qt::ControlModifier) || !isEnabled()) return false;
    click();
    return true;
}

void BackButton::keyPressEvent(QKeyEvent *event)
{
    if (performKeyEquivalent(event)) return;
    if (isEnter(event)) {
        event->ignore();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace cv
