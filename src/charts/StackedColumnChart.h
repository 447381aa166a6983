#pragma once
// The same series as stacked columns: each item's share of its column's
// total, in percent.

#include "charts/SeriesChart.h"

namespace cv {

class StackedColumnChart : public SeriesChart {
public:
    explicit StackedColumnChart(cv::PageSetup &setup) : SeriesChart(setup) {}

protected:
    bool centresDateLabels() const override { return false; }
    void drawLegendSample(cv::Canvas &canvas, double x, double y, int i) const override;
    void drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<NodePtr> &items,
                    const Series &series) override;

private:
    // Bars a few device pixels wide or narrower, on raster output or a preview's recording.
    void drawInked(cv::Canvas &canvas, const Plot &plot, int n, const Series &series);
};

} // namespace cv
