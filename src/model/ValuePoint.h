#pragma once
// One point of a value series: the amount summed on a day or month key and,
// in a daily series, the running total up to and including it.

namespace cv {

struct ValuePoint {
    int key = 0;
    double value = 0;
    double accumulatedValue = 0;

    double budgetValue() const { return accumulatedValue; }
    int compareKey(const ValuePoint &other) const { return key < other.key ? -1 : key > other.key ? 1 : 0; }
};

} // namespace cv
