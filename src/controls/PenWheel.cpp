#include "controls/PenWheel.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPointingDevice>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace cv {

bool scrollPenWheelVertically(QAbstractScrollArea &area, QWheelEvent &event)
{
    const QPointingDevice *device = event.pointingDevice();
    const bool pen = device && device->type() == QInputDevice::DeviceType::Stylus;
    if (!pen || area.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) return false;
    QScrollBar *bar = area.verticalScrollBar();
    const double steps = double(event.angleDelta().y()) / double(QWheelEvent::DefaultDeltasPerStep);
    const int lines = int(std::lround(steps * QApplication::wheelScrollLines()));
    bar->setValue(bar->value() - lines * bar->singleStep());
    event.accept();
    return true;
}

} // namespace cv
