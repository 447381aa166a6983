#include "controls/ShapeDrawing.h"

#include <QPainter>

namespace cv {

QPainterPath roundRectPath(const QRectF &rect, qreal radius)
{
    const qreal capped = qMax<qreal>(0, qMin(radius, qMin(rect.width(), rect.height()) / 2));
    QPainterPath path;
    path.addRoundedRect(rect, capped, capped);
    return path;
}

void fillRoundRect(QPainter *painter, const QRectF &rect, qreal radius, const QColor &color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(roundRectPath(rect, radius), color);
    painter->restore();
}

} // namespace cv
