#include "model/CV4CacheElements.h"

#include "platform/DateIntegers.h"

#include <algorithm>

namespace {

bool keyLess(const CV4CacheElement &a, const CV4CacheElement &b)
{
    return a.key < b.key;
}

} // namespace

void CV4CacheElements::Points::add(int key, double amount)
{
    if (points_.empty() || key > points_.back().key) {
        points_.push_back({key, amount, 0});
        return;
    }
    // Only the sorted part is searched: settling here would make every
    // out-of-order addition cost the whole series. A rebuild adds each
    // category's entries in date order, so the search gallops on from where
    // the last one ended.
    const size_t n = points_.size();
    size_t lo = 0;
    size_t hi = std::min(hint_, n);
    if (hint_ < n && points_[hint_].key <= key) {
        lo = hint_;
        size_t step = 1;
        size_t probe = lo + step;
        while (probe < n && points_[probe].key < key) {
            lo = probe;
            step *= 2;
            probe = lo + step;
        }
        hi = std::min(probe, n);
    }
    const auto it = std::lower_bound(points_.begin() + std::ptrdiff_t(lo), points_.begin() + std::ptrdiff_t(hi), key,
                                     [](const CV4CacheElement &e, int k) { return e.key < k; });
    hint_ = size_t(it - points_.begin());
    if (it != points_.end() && it->key == key)
        it->value += amount;
    else
        pending_.emplace_back(key, amount);
}

int CV4CacheElements::Points::findIndex(int key) const
{
    settle();
    const auto it = std::upper_bound(points_.begin(), points_.end(), key,
                                     [](int k, const CV4CacheElement &e) { return k < e.key; });
    return int(it - points_.begin()) - 1;
}

double CV4CacheElements::Points::sum(long long from, long long to) const
{
    settle();
    auto it = std::lower_bound(points_.begin(), points_.end(), from,
                               [](const CV4CacheElement &e, long long k) { return e.key < k; });
    double total = 0;
    for (; it != points_.end() && it->key < to; ++it) total += it->value;
    return total;
}

void CV4CacheElements::Points::clear()
{
    points_.clear();
    pending_.clear();
    hint_ = 0;
}

// Merges the buffered amounts: sort them, fold duplicate keys, then one
// in-place merge with the sorted points.
void CV4CacheElements::Points::settle() const
{
    if (pending_.empty()) return;
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    const size_t sortedEnd = points_.size();
    for (const auto &[key, amount] : pending_) {
        if (points_.size() > sortedEnd && points_.back().key == key) {
            points_.back().value += amount;
            continue;
        }
        const auto it = std::lower_bound(points_.begin(), points_.begin() + std::ptrdiff_t(sortedEnd), key,
                                         [](const CV4CacheElement &e, int k) { return e.key < k; });
        if (it != points_.begin() + std::ptrdiff_t(sortedEnd) && it->key == key)
            it->value += amount;
        else
            points_.push_back({key, amount, 0});
    }
    pending_.clear();
    hint_ = 0;
    std::inplace_merge(points_.begin(), points_.begin() + std::ptrdiff_t(sortedEnd), points_.end(), keyLess);
}

void CV4CacheElements::addValue(double amount, const QDate &date)
{
    daily_.add(cv::dates::seriesDayKey(date), amount);
    if (firstDay_ >= 0) monthly_.add(cv::dates::seriesMonthKey(date, firstDay_), amount);
}

double CV4CacheElements::valueAtInternalDate(int dayKey) const
{
    const int i = daily_.findIndex(dayKey);
    const auto &p = daily_.points();
    return i >= 0 && p[size_t(i)].key == dayKey ? p[size_t(i)].value : 0;
}

double CV4CacheElements::valueAt(const QDate &date) const
{
    return valueAtInternalDate(cv::dates::seriesDayKey(date));
}

double CV4CacheElements::accumulatedValueAt(const QDate &date) const
{
    return accumulatedValueForIndex(indexForDate(date));
}

int CV4CacheElements::indexForDate(const QDate &date) const
{
    return daily_.findIndex(cv::dates::seriesDayKey(date));
}

double CV4CacheElements::accumulatedValueForIndex(int index) const
{
    const auto &p = daily_.points();
    return index >= 0 && size_t(index) < p.size() ? p[size_t(index)].accumulatedValue : 0;
}

QDate CV4CacheElements::dateForIndex(int index) const
{
    const auto &p = daily_.points();
    return index >= 0 && size_t(index) < p.size() ? cv::dates::fromSeriesDayKey(p[size_t(index)].key) : QDate();
}

double CV4CacheElements::monthlyValueAt(const QDate &date) const
{
    const int key = cv::dates::seriesMonthKey(date, -1);
    const int i = monthly_.findIndex(key);
    const auto &p = monthly_.points();
    return i >= 0 && p[size_t(i)].key == key ? p[size_t(i)].value : 0;
}

double CV4CacheElements::summaryForDays(const QDate &date, int days) const
{
    const long long from = cv::dates::seriesDayKey(date);
    return daily_.sum(from, from + days);
}

double CV4CacheElements::summaryForMonths(const QDate &date, int months) const
{
    if (!date.isValid()) {
        double total = 0;
        for (const auto &e : monthly_.points()) total += e.value;
        return total;
    }
    const long long from = cv::dates::seriesMonthKey(date, -1);
    return monthly_.sum(from, from + months);
}

void CV4CacheElements::calcAccumulation()
{
    double total = 0;
    for (auto &e : daily_.mutablePoints()) {
        total += e.value;
        e.accumulatedValue = total;
    }
}

void CV4CacheElements::merge(const CV4CacheElements &other, int factor)
{
    if (&other == this) {
        const CV4CacheElements copy = other;
        merge(copy, factor);
        return;
    }
    for (const auto &e : other.daily()) daily_.add(e.key, e.value * factor);
    for (const auto &e : other.monthly()) monthly_.add(e.key, e.value * factor);
    // New daily amounts make the running totals stale.
    if (!other.daily().empty()) dirty_ = true;
}

void CV4CacheElements::setFirstDay(int firstDay)
{
    if (firstDay == firstDay_) return;
    const bool hadMonthly = firstDay_ >= 0;
    firstDay_ = firstDay;
    if (firstDay < 0) {
        monthly_.clear();
        return;
    }
    // A series that kept no months gets them now; otherwise re-key the ones it has.
    if (hadMonthly && monthly_.points().empty()) return;
    monthly_.clear();
    for (const auto &e : daily_.points())
        monthly_.add(cv::dates::seriesMonthKey(cv::dates::fromSeriesDayKey(e.key), firstDay), e.value);
    // The daily points are unchanged, so `dirty` keeps its meaning.
}

void CV4CacheElements::clear()
{
    daily_.clear();
    monthly_.clear();
    dirty_ = false;
}
