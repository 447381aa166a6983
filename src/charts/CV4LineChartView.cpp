#include "charts/CV4LineChartView.h"

#include <QPainterPath>

#include <cmath>

void CV4LineChartView::drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<CVUnitModelPtr> &items,
                                  const Series &series)
{
    const Axis &axis = plot.axis;
    const double range = axis.ceil - axis.floor;
    if (!(range > 0) || !(axis.unit > 0))
        return;
    auto yOf = [&](double v) { return plot.h * (v - axis.floor) / range + plot.y; };

    // Counted in units so that the last line is the ceiling exactly.
    const int lines = int(std::lround(range / axis.unit));
    for (int k = 0; k <= lines && k <= 1000; ++k) {
        const double v = k == lines ? axis.ceil : axis.floor + k * axis.unit;
        const bool grid = shouldDrawTheLineFor(v, axis, plot.h);
        if (!grid && k != 0 && k != lines)
            continue;
        const double yv = yOf(v);
        if (grid)
            canvas.fillRect(box(plot.x + 1, yv, plot.w - 2, 1), kGridGrey);
        const QString label = amountText(v);
        drawText(canvas, label, plot.x - canvas.textWidth(label) - 6, yv);
    }

    const int m = series.values.columnSize();
    // Lines never leave the box, whatever the values.
    canvas.save();
    canvas.clipTo(box(plot.x, plot.y, plot.w, plot.h));
    for (int i = 0; i < int(items.size()) && i < series.values.rowSize(); ++i) {
        QPainterPath path;
        bool started = false;
        for (int c = 0; c < m; ++c) {
            const double value = series.values.valueAtRow(i, c);
            // A line starts at its first value and passes over missing ones.
            if (!std::isfinite(value))
                continue;
            const double px = m == 1 ? plot.x + plot.w * 0.5 + 1 : plot.x + 1 + (plot.w - 2) * c / (m - 1);
            const QPointF point(px, flipY(yOf(value)));
            if (started) {
                path.lineTo(point);
            } else {
                path.moveTo(point);
                started = true;
            }
        }
        if (started)
            canvas.strokePath(path, 2, chartColor(i));
    }
    canvas.restore();
}
