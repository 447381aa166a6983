#pragma once
// Comparing a balance cache point by point, for the tests that hold an
// incrementally kept cache against a fresh rebuild.

#include "model/BalanceCache.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <utility>

// Every point of every series, keyed by series and day (or month) key.
using Snapshot = std::map<std::tuple<const void *, int, int>, std::pair<double, double>>;

inline Snapshot snapshot(const cv::BalanceCache &cache)
{
    Snapshot out;
    for (const auto &[key, entry] : cache.storage()) {
        if (!entry.series) continue;
        for (const auto &p : entry.series->daily()) out[{key, 0, p.key}] = {p.value, p.accumulatedValue};
        for (const auto &p : entry.series->monthly()) out[{key, 1, p.key}] = {p.value, 0};
    }
    return out;
}

// Points that only differ by zero amounts (added, then taken back) count as equal.
inline void expectSameSeries(const Snapshot &a, const Snapshot &b)
{
    auto check = [](const Snapshot &x, const Snapshot &y, const char *side) {
        for (const auto &[k, v] : x) {
            const auto it = y.find(k);
            const std::pair<double, double> w = it != y.end() ? it->second : std::pair<double, double>{0, 0};
            ASSERT_NEAR(v.first, w.first, 1e-6) << side << " key " << std::get<2>(k);
            if (it != y.end()) {
                ASSERT_NEAR(v.second, w.second, 1e-6) << side << " running total " << std::get<2>(k);
            }
        }
    };
    check(a, b, "incremental");
    check(b, a, "fresh");
}
