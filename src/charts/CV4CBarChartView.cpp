#include "charts/CV4CBarChartView.h"

#include <cmath>

void CV4CBarChartView::drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<CVUnitModelPtr> &items,
                                  const Series &series)
{
    for (int i = 0; i <= 10; ++i) {
        const double yi = plot.y + plot.h * i / 10;
        if (i > 0 && i < 10)
            canvas.fillRect(box(plot.x + 1, yi, plot.w - 2, 1), kGridGrey);
        if (i % 5 == 0) {
            const QString label = QStringLiteral("%1%").arg(i * 10);
            drawText(canvas, label, plot.x - canvas.textWidth(label) - 6, yi);
        }
    }

    const int m = series.values.columnSize();
    const int n = std::min(int(items.size()), series.values.rowSize());
    if (m <= 0)
        return;
    const double cw = (plot.w - 2) / m;
    const double b = cw > 6 ? cw * 0.6 : cw;
    // Only positive finite values have a share.
    auto share = [](double v) { return std::isfinite(v) && v > 0 ? v : 0.0; };
    for (int c = 0; c < m; ++c) {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += share(series.values.valueAtRow(i, c));
        if (!(sum > 0))
            continue;
        const double left = plot.x + 1 + (plot.w - 2) * c / m + (cw - b) * 0.5;
        double bottom = plot.y;
        for (int i = 0; i < n; ++i) {
            const double v = share(series.values.valueAtRow(i, c));
            if (v <= 0)
                continue;
            const double height = v * plot.h / sum;
            const QRectF bar = box(left, bottom, b, height);
            canvas.fillRect(bar, chartColor(i));
            if (b < cw)
                canvas.strokeRect(bar, 0.5, QColor::fromRgbF(0.5, 0.5, 0.5));
            bottom += height;
        }
    }
}
