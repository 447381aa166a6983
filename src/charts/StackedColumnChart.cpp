#include "charts/StackedColumnChart.h"

#include "charts/ColumnInk.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cv {

namespace {

// Bars narrower than this many device pixels are inked by pixel column.
constexpr double kInkedBarPixels = 12;

// Only positive finite values have a share.
double share(double v)
{
    return std::isfinite(v) && v > 0 ? v : 0.0;
}

} // namespace

void StackedColumnChart::drawLegendSample(cv::Canvas &canvas, double x, double y, int i) const
{
    // A swatch as the pie's legend has: the bars are areas, not lines.
    const QRectF swatch = box(x, y + 2, 48, 10);
    canvas.fillRect(swatch, chartColor(i));
    canvas.strokeRect(swatch, 0.5, kFrameGrey);
}

void StackedColumnChart::drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<NodePtr> &items,
                                    const Series &series)
{
    for (int i = 0; i <= 10; ++i) {
        const double yi = plot.y + plot.h * i / 10;
        if (i > 0 && i < 10) canvas.fillRect(box(plot.x + 1, yi, plot.w - 2, 1), kGridGrey);
        if (i % 5 == 0) {
            const QString label = QStringLiteral("%1%").arg(i * 10);
            drawText(canvas, label, plot.x - canvas.textWidth(label) - 6, yi);
        }
    }

    const int m = series.values.columnSize();
    const int n = std::min(int(items.size()), series.values.rowSize());
    if (m <= 0) return;
    const double cw = (plot.w - 2) / m;
    const double b = cw > 6 ? cw * 0.6 : cw;
    // Dense bars are drawn a pixel column at a time, each item's share the
    // mean of its columns', as the eye sees them anyway: on raster output
    // from a few device pixels down, where one antialiased rectangle an item
    // and column costs more than the pixels it covers (a year of days on a
    // page: 3,650 rectangles); in a preview's recording from a point down,
    // since its outlines of wider bars cost the screen more than rectangles.
    const bool inked = canvas.output() == CanvasOutput::Pixels
                           ? b == cw && cw * ColumnInk::pixelsPerPoint(canvas) < kInkedBarPixels
                           : canvas.output() == CanvasOutput::Recording && cw < 1;
    if (inked) {
        drawInked(canvas, plot, n, series);
        return;
    }
    const double pixel = 1 / std::max(canvas.devicePixelsPerPoint(), 1e-6);
    const int perBar = cw < pixel ? int(std::ceil(pixel / cw)) : 1;
    std::vector<double> shares(size_t(std::max(n, 0)));
    for (int c0 = 0; c0 < m; c0 += perBar) {
        const int c1 = std::min(m, c0 + perBar);
        std::fill(shares.begin(), shares.end(), 0.0);
        bool any = false;
        for (int c = c0; c < c1; ++c) {
            double sum = 0;
            for (int i = 0; i < n; ++i) sum += share(series.values.valueAtRow(i, c));
            if (!(sum > 0)) continue;
            any = true;
            for (int i = 0; i < n; ++i) shares[size_t(i)] += share(series.values.valueAtRow(i, c)) / sum / perBar;
        }
        if (!any) continue;
        const double left = plot.x + 1 + (plot.w - 2) * c0 / m + (cw - b) * 0.5;
        const double width = b + cw * (c1 - c0 - 1);
        double bottom = plot.y;
        for (int i = 0; i < n; ++i) {
            if (shares[size_t(i)] <= 0) continue;
            const double height = shares[size_t(i)] * plot.h;
            const QRectF bar = box(left, bottom, width, height);
            canvas.fillRect(bar, chartColor(i));
            if (b < cw) canvas.strokeRect(bar, 0.5, kFrameGrey);
            bottom += height;
        }
    }
}

void StackedColumnChart::drawInked(cv::Canvas &canvas, const Plot &plot, int n, const Series &series)
{
    const int m = series.values.columnSize();
    ColumnInk ink(plot.x + 1, plot.x + plot.w - 1, ColumnInk::pixelsPerPoint(canvas));
    std::vector<std::vector<ColumnInk::Span>> spans(size_t(n), std::vector<ColumnInk::Span>(size_t(ink.count())));
    std::vector<double> shares(static_cast<size_t>(n)), values(static_cast<size_t>(n));
    // Outlines: each item from the foot up, the items below laid over it, so
    // that an outline changes only at its top, half the edges to fill.
    const bool fromFoot = canvas.output() == CanvasOutput::Recording;
    const double x0 = plot.x + 1, cw = (plot.w - 2) / m;
    auto firstFrom = [&](double x) { return std::clamp(int(std::ceil((x - x0) / cw - 0.5)), 0, m); };
    for (int k = 0; k < ink.count(); ++k) {
        // The columns whose middles fall in this device column, or else the
        // one it lies in.
        int c0 = firstFrom(ink.columnLeft(k)), c1 = firstFrom(ink.columnLeft(k + 1));
        if (c0 == c1) {
            const double middle = (ink.columnLeft(k) + ink.columnLeft(k + 1)) / 2;
            c0 = std::clamp(int(std::floor((middle - x0) / cw)), 0, m - 1);
            c1 = c0 + 1;
        }
        std::fill(shares.begin(), shares.end(), 0.0);
        const int columns = c1 - c0;
        for (int c = c0; c < c1; ++c) {
            double sum = 0;
            for (int i = 0; i < n; ++i) sum += values[size_t(i)] = share(series.values.valueAtRow(i, c));
            if (!(sum > 0)) continue;
            for (int i = 0; i < n; ++i) shares[size_t(i)] += values[size_t(i)] / sum;
        }
        double top = plot.y;
        for (int i = 0; i < n; ++i) {
            if (shares[size_t(i)] <= 0) continue;
            const double bottom = fromFoot ? plot.y : top;
            top += shares[size_t(i)] / columns * plot.h;
            spans[size_t(i)][size_t(k)] = {flipY(top), flipY(bottom)};
        }
    }
    for (int i = n - 1; i >= 0; --i) ink.addLayer(std::move(spans[size_t(i)]), chartColor(i));
    ink.draw(canvas);
}

} // namespace cv
