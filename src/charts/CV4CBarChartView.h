#pragma once
// The same series as stacked columns: each item's share of its column's
// total, in percent.

#include "charts/CV4SeriesChartView.h"

class CV4CBarChartView : public CV4SeriesChartView {
public:
    explicit CV4CBarChartView(cv::PageSetup &setup) : CV4SeriesChartView(setup) {}

protected:
    bool centresDateLabels() const override { return false; }
    void drawLegendSample(cv::Canvas &canvas, double x, double y, int i) const override;
    void drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<CVUnitModelPtr> &items,
                    const Series &series) override;
};
