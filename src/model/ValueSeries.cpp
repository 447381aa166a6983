#include "model/ValueSeries.h"

#include "platform/DateIntegers.h"

#include <algorithm>

namespace cv {

namespace {

bool keyLess(const ValuePoint &a, const ValuePoint &b)
{
    return a.key < b.key;
}

} // namespace

void ValueSeries::Points::addToPoints(int key, double amount)
{
    if (m_points.empty() || key > m_points.back().key) {
        m_points.push_back({key, amount, 0});
        return;
    }
    // Entries in date order add to the last day again and again.
    if (key == m_points.back().key) {
        m_points.back().value += amount;
        return;
    }
    // Only the sorted part is searched: settling here would make every
    // out-of-order addition cost the whole series. A rebuild adds each
    // category's entries in date order, so the search gallops on from where
    // the last one ended.
    const size_t n = m_points.size();
    size_t lo = 0;
    size_t hi = std::min(m_hint, n);
    if (m_hint < n && m_points[m_hint].key <= key) {
        lo = m_hint;
        size_t step = 1;
        size_t probe = lo + step;
        while (probe < n && m_points[probe].key < key) {
            lo = probe;
            step *= 2;
            probe = lo + step;
        }
        hi = std::min(probe, n);
    }
    const auto it = std::lower_bound(m_points.begin() + std::ptrdiff_t(lo), m_points.begin() + std::ptrdiff_t(hi), key,
                                     [](const ValuePoint &e, int k) { return e.key < k; });
    m_hint = size_t(it - m_points.begin());
    if (it != m_points.end() && it->key == key)
        it->value += amount;
    else
        m_pending.emplace_back(key, amount);
}

int ValueSeries::Points::findIndex(int key) const
{
    settle();
    const auto it =
        std::upper_bound(m_points.begin(), m_points.end(), key, [](int k, const ValuePoint &e) { return k < e.key; });
    return int(it - m_points.begin()) - 1;
}

double ValueSeries::Points::sum(long long from, long long to) const
{
    settle();
    auto it = std::lower_bound(m_points.begin(), m_points.end(), from,
                               [](const ValuePoint &e, long long k) { return e.key < k; });
    double total = 0;
    for (; it != m_points.end() && it->key < to; ++it) total += it->value;
    return total;
}

void ValueSeries::Points::clear()
{
    m_points.clear();
    m_pending.clear();
    m_hint = 0;
    m_sums = {};
    m_summed = {};
}

// Every amount of a key arrives in order whichever way it goes: a point
// already there moves into the arrays with its value, and keys outside the
// range never enter them. So each sum is the one the points would hold.
void ValueSeries::Points::sumByKey(int first, int last)
{
    settle();
    if (last < first) return;
    m_sumFirst = first;
    m_sums.assign(size_t(qint64(last) - first + 1), 0.0);
    m_summed.assign(m_sums.size(), 0);
    const auto from =
        std::lower_bound(m_points.begin(), m_points.end(), first, [](const ValuePoint &e, int k) { return e.key < k; });
    auto to = from;
    for (; to != m_points.end() && to->key <= last; ++to) {
        m_sums[size_t(qint64(to->key) - first)] = to->value;
        m_summed[size_t(qint64(to->key) - first)] = 1;
    }
    m_points.erase(from, to);
    m_hint = 0;
}

void ValueSeries::Points::foldSums() const
{
    if (m_sums.empty()) return;
    // The points outside the range, then the summed keys between them.
    const auto at = std::lower_bound(m_points.begin(), m_points.end(), m_sumFirst,
                                     [](const ValuePoint &e, int k) { return e.key < k; });
    std::vector<ValuePoint> merged(m_points.begin(), at);
    for (size_t i = 0; i < m_sums.size(); ++i)
        if (m_summed[i]) merged.push_back({int(m_sumFirst + qint64(i)), m_sums[i], 0});
    merged.insert(merged.end(), at, m_points.end());
    m_points = std::move(merged);
    m_sums = {};
    m_summed = {};
    m_hint = 0;
}

// Merges the buffered amounts: sort them, fold duplicate keys, then one
// in-place merge with the sorted points.
void ValueSeries::Points::settle() const
{
    if (m_pending.empty()) {
        foldSums();
        return;
    }
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    const size_t sortedEnd = m_points.size();
    for (const auto &[key, amount] : m_pending) {
        if (m_points.size() > sortedEnd && m_points.back().key == key) {
            m_points.back().value += amount;
            continue;
        }
        const auto it = std::lower_bound(m_points.begin(), m_points.begin() + std::ptrdiff_t(sortedEnd), key,
                                         [](const ValuePoint &e, int k) { return e.key < k; });
        if (it != m_points.begin() + std::ptrdiff_t(sortedEnd) && it->key == key)
            it->value += amount;
        else
            m_points.push_back({key, amount, 0});
    }
    m_pending.clear();
    m_hint = 0;
    std::inplace_merge(m_points.begin(), m_points.begin() + std::ptrdiff_t(sortedEnd), m_points.end(), keyLess);
    foldSums();
}

void ValueSeries::addValue(double amount, const QDate &date)
{
    m_daily.add(cv::dates::seriesDayKey(date), amount);
    if (m_firstDay >= 0) m_monthly.add(cv::dates::seriesMonthKey(date, m_firstDay), amount);
}

double ValueSeries::valueAtInternalDate(int dayKey) const
{
    const int i = m_daily.findIndex(dayKey);
    const auto &p = m_daily.points();
    return i >= 0 && p[size_t(i)].key == dayKey ? p[size_t(i)].value : 0;
}

double ValueSeries::valueAt(const QDate &date) const
{
    return valueAtInternalDate(cv::dates::seriesDayKey(date));
}

double ValueSeries::accumulatedValueAt(const QDate &date) const
{
    return accumulatedValueForIndex(indexForDate(date));
}

int ValueSeries::indexForDate(const QDate &date) const
{
    return m_daily.findIndex(cv::dates::seriesDayKey(date));
}

double ValueSeries::accumulatedValueForIndex(int index) const
{
    const auto &p = m_daily.points();
    return index >= 0 && size_t(index) < p.size() ? p[size_t(index)].accumulatedValue : 0;
}

QDate ValueSeries::dateForIndex(int index) const
{
    const auto &p = m_daily.points();
    return index >= 0 && size_t(index) < p.size() ? cv::dates::fromSeriesDayKey(p[size_t(index)].key) : QDate();
}

double ValueSeries::monthlyValueAt(const QDate &date) const
{
    const int key = cv::dates::seriesMonthKey(date, -1);
    const int i = m_monthly.findIndex(key);
    const auto &p = m_monthly.points();
    return i >= 0 && p[size_t(i)].key == key ? p[size_t(i)].value : 0;
}

double ValueSeries::summaryForDays(const QDate &date, int days) const
{
    const long long from = cv::dates::seriesDayKey(date);
    return m_daily.sum(from, from + days);
}

double ValueSeries::summaryForMonths(const QDate &date, int months) const
{
    if (!date.isValid()) {
        double total = 0;
        for (const auto &e : m_monthly.points()) total += e.value;
        return total;
    }
    const long long from = cv::dates::seriesMonthKey(date, -1);
    return m_monthly.sum(from, from + months);
}

void ValueSeries::calcAccumulation()
{
    double total = 0;
    for (auto &e : m_daily.mutablePoints()) {
        total += e.value;
        e.accumulatedValue = total;
    }
}

void ValueSeries::merge(const ValueSeries &other, int factor)
{
    if (&other == this) {
        const ValueSeries copy = other;
        merge(copy, factor);
        return;
    }
    for (const auto &e : other.daily()) m_daily.add(e.key, e.value * factor);
    for (const auto &e : other.monthly()) m_monthly.add(e.key, e.value * factor);
    // New daily amounts make the running totals stale.
    if (!other.daily().empty()) m_dirty = true;
}

void ValueSeries::setFirstDay(int firstDay)
{
    if (firstDay == m_firstDay) return;
    const bool hadMonthly = m_firstDay >= 0;
    m_firstDay = firstDay;
    if (firstDay < 0) {
        m_monthly.clear();
        return;
    }
    // A series that kept no months gets them now; otherwise re-key the ones it has.
    if (hadMonthly && m_monthly.points().empty()) return;
    m_monthly.clear();
    for (const auto &e : m_daily.points())
        m_monthly.add(cv::dates::seriesMonthKey(cv::dates::fromSeriesDayKey(e.key), firstDay), e.value);
    // The daily points are unchanged, so `dirty` keeps its meaning.
}

void ValueSeries::clear()
{
    m_daily.clear();
    m_monthly.clear();
    m_additions = 0;
    m_dirty = false;
}

void ValueSeries::sumByKey(int firstDayKey, int lastDayKey, int firstMonthKey, int lastMonthKey)
{
    m_daily.sumByKey(firstDayKey, lastDayKey);
    if (m_firstDay >= 0) m_monthly.sumByKey(firstMonthKey, lastMonthKey);
}

} // namespace cv
