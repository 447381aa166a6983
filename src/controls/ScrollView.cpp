#include "controls/ScrollView.h"

#include <QPointingDevice>
#include <QScrollBar>
#include <QWheelEvent>

namespace cv {

void ScrollView::wheelEvent(QWheelEvent *event)
{
    const QPointingDevice *device = event->pointingDevice();
    const bool pen = device && device->type() == QInputDevice::DeviceType::Stylus;
    if (!pen || horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) {
        QScrollArea::wheelEvent(event);
        return;
    }
    QScrollBar *bar = verticalScrollBar();
    const int lines = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    bar->setValue(bar->value() - lines * bar->singleStep());
    event->accept();
}

} // namespace cv
