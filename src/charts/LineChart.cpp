#include "charts/LineChart.h"

#include "charts/ColumnInk.h"

#include <cmath>

namespace cv {

namespace {

constexpr double kLineWidth = 2;

} // namespace

void LineChart::drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<NodePtr> &items,
                           const Series &series)
{
    const Axis &axis = plot.axis;
    const double range = axis.ceil - axis.floor;
    if (!(range > 0) || !(axis.unit > 0)) return;
    auto yOf = [&](double v) { return plot.h * (v - axis.floor) / range + plot.y; };

    // Counted in units so that the last line is the ceiling exactly.
    const int lines = int(std::lround(range / axis.unit));
    for (int k = 0; k <= lines && k <= 1000; ++k) {
        const double v = k == lines ? axis.ceil : axis.floor + k * axis.unit;
        const bool grid = shouldDrawTheLineFor(v, axis, plot.h);
        if (!grid && k != 0 && k != lines) continue;
        const double yv = yOf(v);
        if (grid) canvas.fillRect(box(plot.x + 1, yv, plot.w - 2, 1), kGridGrey);
        const QString label = amountText(v);
        drawText(canvas, label, plot.x - canvas.textWidth(label) - 6, yv);
    }

    const int m = series.values.columnSize();
    // Lines never leave the box, whatever the values.
    canvas.save();
    canvas.clipTo(box(plot.x, plot.y, plot.w, plot.h));
    // Points closer than the pen's half width: the strokes run into one band,
    // inked a device column at a time, where a rasteriser would pay for
    // every edge each scan line crosses. Vector output keeps its lines.
    const double scale = ColumnInk::pixelsPerPoint(canvas);
    const bool dense = canvas.output() != CanvasOutput::Vector && m > 1 && plot.w / (m - 1) < kLineWidth / 2;
    ColumnInk ink(plot.x, plot.x + plot.w, scale);
    std::vector<QPointF> points(size_t(std::max(m, 0)));
    for (int i = 0; i < int(items.size()) && i < series.values.rowSize(); ++i) {
        for (int c = 0; c < m; ++c) {
            const double value = series.values.valueAtRow(i, c);
            const double px = m == 1 ? plot.x + plot.w * 0.5 + 1 : plot.x + 1 + (plot.w - 2) * c / (m - 1);
            // A line starts at its first value and passes over missing ones.
            points[size_t(c)] = QPointF(px, std::isfinite(value) ? flipY(yOf(value)) : qQNaN());
        }
        if (dense) {
            ink.addLayer(ink.stroke(points, kLineWidth / 2), chartColor(i));
            continue;
        }
        const std::vector<QPointF> line = reducedLine(points, canvas.devicePixelsPerPoint());
        if (!line.empty()) canvas.strokePolyline(line.data(), qsizetype(line.size()), kLineWidth, chartColor(i));
    }
    ink.draw(canvas);
    canvas.restore();
}

std::vector<QPointF> LineChart::reducedLine(const std::vector<QPointF> &points, double pixelsPerPoint)
{
    std::vector<QPointF> out;
    const double scale = pixelsPerPoint > 0 && std::isfinite(pixelsPerPoint) ? pixelsPerPoint : 1;
    size_t i = 0;
    while (i < points.size()) {
        if (std::isnan(points[i].y())) {
            ++i;
            continue;
        }
        const double column = std::floor(points[i].x() * scale);
        const size_t first = i;
        size_t low = i, high = i, last = i;
        for (; i < points.size() && std::floor(points[i].x() * scale) == column; ++i) {
            if (std::isnan(points[i].y())) continue;
            if (points[i].y() < points[low].y()) low = i;
            if (points[i].y() > points[high].y()) high = i;
            last = i;
        }
        size_t kept[] = {first, std::min(low, high), std::max(low, high), last};
        for (size_t k = 0; k < 4; ++k)
            if (k == 0 || kept[k] != kept[k - 1]) out.push_back(points[kept[k]]);
    }
    return out;
}

} // namespace cv
