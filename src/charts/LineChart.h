#pragma once
// The balances (accounts) or amounts (categories) of the chosen items over
// the range as lines, on a value grid.

#include "charts/SeriesChart.h"

#include <QPointF>

#include <vector>

namespace cv {

class LineChart : public SeriesChart {
public:
    explicit LineChart(cv::PageSetup &setup) : SeriesChart(setup) {}

    // The line as the device can show it: of the points (x ascending, in
    // points) in each device pixel column, the first, the lowest, the highest
    // and the last, in their order; points without a value (NaN y) are passed
    // over, as the line passes over them.
    static std::vector<QPointF> reducedLine(const std::vector<QPointF> &points, double pixelsPerPoint);

protected:
    bool centresDateLabels() const override { return true; }
    void drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<NodePtr> &items,
                    const Series &series) override;
};

} // namespace cv
