#pragma once
// Rounded rectangles for cell and label backgrounds.

#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace cv {

// The radius is capped at half the shorter side, so a pill never folds over.
QPainterPath roundRectPath(const QRectF &rect, qreal radius);
// Fills that path with the painter's brush colour.
void fillRoundRect(QPainter *painter, const QRectF &rect, qreal radius, const QColor &color);

} // namespace cv
