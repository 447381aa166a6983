#include "platform/widgets/ScaleToFit.h"

#include <QtGlobal>

#include <cmath>

namespace cv {

QSize scaleToFit(const QSize &size, const QSize &box)
{
    double width = size.width();
    double height = size.height();
    const double boxWidth = qMax(0, box.width());
    const double boxHeight = qMax(0, box.height());
    if (height > boxHeight) {
        width = width * boxHeight / height;
        height = boxHeight;
    }
    if (width > boxWidth) {
        height = height * boxWidth / width;
        width = boxWidth;
    }
    return QSize(int(std::lround(width)), int(std::lround(height)));
}

} // namespace cv
