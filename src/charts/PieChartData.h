#pragma once
// One slice of a pie: its account or category (none for the gathered slice
// of small shares), value, rate in percent of the list's total and palette
// index (Chart::kBlackIndex draws black).

#include "model/Node.h"

namespace cv {

struct PieChartData {
    NodePtr unit;
    double value = 0;
    double rate = 0;
    int colorIndex = 0;

    // Value descending, then palette index ascending.
    static int dvCompare(const PieChartData &a, const PieChartData &b)
    {
        if (a.value != b.value) return a.value > b.value ? -1 : 1;
        if (a.colorIndex != b.colorIndex) return a.colorIndex < b.colorIndex ? -1 : 1;
        return 0;
    }
};

} // namespace cv
