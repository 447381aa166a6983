#pragma once
// One slice of a pie: its account or category (none for the gathered slice
// of small shares), value, rate in percent of the list's total and palette
// index (CV4ChartView::kBlackIndex draws black).

#include "model/CVUnitModel.h"

struct CV4PieChartData {
    CVUnitModelPtr unit;
    double value = 0;
    double rate = 0;
    int colorIndex = 0;

    // Value descending, then palette index ascending.
    static int dvCompare(const CV4PieChartData &a, const CV4PieChartData &b)
    {
        if (a.value != b.value)
            return a.value > b.value ? -1 : 1;
        if (a.colorIndex != b.colorIndex)
            return a.colorIndex < b.colorIndex ? -1 : 1;
        return 0;
    }
};
