#include "controls/BorderlessWindow.h"

#include <QKeyEvent>

namespace cv {

BorderlessWindow::BorderlessWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setFocusPolicy(Qt::StrongFocus);
}

void BorderlessWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace cv
