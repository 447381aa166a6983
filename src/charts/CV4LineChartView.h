#pragma once
// The balances (accounts) or amounts (categories) of the chosen items over
// the range as lines, on a value grid.

#include "charts/CV4SeriesChartView.h"

class CV4LineChartView : public CV4SeriesChartView {
public:
    explicit CV4LineChartView(cv::PageSetup &setup) : CV4SeriesChartView(setup) {}

protected:
    bool centresDateLabels() const override { return true; }
    void drawValues(cv::Canvas &canvas, const Plot &plot, const std::vector<CVUnitModelPtr> &items,
                    const Series &series) override;
};
