#include "model/BalanceCache.h"

#include "platform/DateIntegers.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cv {

const ValueSeries *BalanceCache::series(Key key) const
{
    if (!key) return nullptr;
    const auto it = m_storage.find(key);
    return it != m_storage.end() && it->second.series ? &*it->second.series : nullptr;
}

ValueSeries *BalanceCache::series(Key key)
{
    return const_cast<ValueSeries *>(std::as_const(*this).series(key));
}

BalanceCache::Entry &BalanceCache::entryFor(const KeyOwner &key)
{
    // A rebuild adds each entry to the same few series over and over.
    auto &slot = m_recent.slots[(reinterpret_cast<quintptr>(key.get()) >> 4) % m_recent.slots.size()];
    if (slot.first == key.get()) return *slot.second;
    Entry &entry = m_storage[key.get()];
    if (!entry.owner) entry.owner = key;
    slot = {key.get(), &entry};
    return entry;
}

void BalanceCache::forgetRecent()
{
    m_recent.slots.fill({nullptr, nullptr});
}

ValueSeries &BalanceCache::seriesForAdding(const KeyOwner &key, int firstDayOfMonth)
{
    Entry &entry = entryFor(key);
    if (!entry.series) {
        entry.series.emplace();
        entry.series->setFirstDay(firstDayOfMonth);
    }
    return *entry.series;
}

void BalanceCache::addValue(double amount, const KeyOwner &key, const QDate &date, int firstDayOfMonth)
{
    if (!key) return;
    addValue(amount, seriesForAdding(key, firstDayOfMonth), date, cv::dates::seriesDayKey(date));
}

void BalanceCache::addValue(double amount, ValueSeries &series, const QDate &date, int dayKey)
{
    // What series.addValue(amount, date) does, with the month key of the last
    // date kept: one entry adds to several series on the same date.
    series.addDailyValue(amount, dayKey);
    if (series.firstDay() >= 0) {
        if (date != m_monthKeyDate || series.firstDay() != m_monthKeyFirstDay) {
            m_monthKeyDate = date;
            m_monthKeyFirstDay = series.firstDay();
            m_monthKey = cv::dates::seriesMonthKey(date, m_monthKeyFirstDay);
        }
        series.addMonthlyValue(amount, m_monthKey);
    }
    series.setDirty(true);
    if (m_addingLastKey >= m_addingFirstKey) {
        series.countAddition();
        if (series.additions() == m_addingThreshold) {
            const int firstDay = series.firstDay();
            series.sumByKey(m_addingFirstKey, m_addingLastKey, cv::dates::seriesMonthKey(m_addingFirst, firstDay),
                            cv::dates::seriesMonthKey(m_addingLast, firstDay));
        }
    }
}

void BalanceCache::beginAdding(const QDate &first, const QDate &last)
{
    endAdding();
    const qint64 firstKey = cv::dates::seriesDayKey(first);
    const qint64 lastKey = cv::dates::seriesDayKey(last);
    // The arrays cost nine bytes a day: only for a series with at least a
    // quarter as many additions, and never across centuries of damaged dates.
    if (!first.isValid() || !last.isValid() || lastKey < firstKey || lastKey - firstKey >= (qint64(1) << 17)) return;
    m_addingFirst = first;
    m_addingLast = last;
    m_addingFirstKey = int(firstKey);
    m_addingLastKey = int(lastKey);
    m_addingThreshold = std::max(64, int((lastKey - firstKey + 1) / 4));
    for (auto &[key, entry] : m_storage)
        if (entry.series) entry.series->clearAdditions();
}

void BalanceCache::endAdding()
{
    if (m_addingLastKey < m_addingFirstKey) return;
    m_addingFirstKey = 0;
    m_addingLastKey = -1;
    for (auto &[key, entry] : m_storage)
        if (entry.series) entry.series->settle();
}

double BalanceCache::valueForKey(Key key, const QDate &date) const
{
    const auto *s = series(key);
    return s ? s->valueAt(date) : 0;
}

double BalanceCache::valueForKeyAtInternalDate(Key key, int dayKey) const
{
    const auto *s = series(key);
    return s ? s->valueAtInternalDate(dayKey) : 0;
}

double BalanceCache::monthlyValueForKey(Key key, const QDate &date) const
{
    const auto *s = series(key);
    return s ? s->monthlyValueAt(date) : 0;
}

double BalanceCache::summaryForKeyForDays(Key key, const QDate &date, int days) const
{
    const auto *s = series(key);
    return s ? s->summaryForDays(date, days) : 0;
}

double BalanceCache::summaryForKeyForMonths(Key key, const QDate &date, int months) const
{
    const auto *s = series(key);
    return s ? s->summaryForMonths(date, months) : 0;
}

int BalanceCache::indexForKey(Key key, const QDate &date) const
{
    const auto *s = series(key);
    return s ? s->indexForDate(date) : -1;
}

double BalanceCache::accumulatedValueForKey(Key key, int index) const
{
    const auto *s = series(key);
    return s ? s->accumulatedValueForIndex(index) : 0;
}

QDate BalanceCache::dateForKey(Key key, int index) const
{
    const auto *s = series(key);
    return s ? s->dateForIndex(index) : QDate();
}

double BalanceCache::latestValueForKey(Key key, const QDate &date) const
{
    const auto *s = series(key);
    const double v = s ? s->accumulatedValueAt(date) : 0;
    return std::fabs(v) < 1e-7 ? 0 : v;
}

void BalanceCache::accumulateForKey(Key key, const QDate &)
{
    auto *s = series(key);
    if (s && s->dirty()) {
        s->calcAccumulation();
        s->setDirty(false);
    }
}

void BalanceCache::addAllValues(Key source, const KeyOwner &destination)
{
    const auto *from = series(source);
    if (!from || !destination) return;
    Entry &entry = entryFor(destination);
    if (!entry.series) entry.series.emplace();
    // Elements of the storage do not move when it rehashes, so `from` stays valid.
    entry.series->merge(*from, 1);
}

void BalanceCache::setDirty(Key key)
{
    if (auto *s = series(key)) s->setDirty(true);
}

void BalanceCache::setFirstDay(int firstDay, Key key)
{
    if (auto *s = series(key)) s->setFirstDay(firstDay);
}

void BalanceCache::setDataList(const KeyOwner &key, std::any list)
{
    if (!key) return;
    if (!list.has_value()) {
        const auto it = m_storage.find(key.get());
        if (it == m_storage.end()) return;
        it->second.dataList.reset();
        if (!it->second.series) {
            forgetRecent();
            m_storage.erase(it);
        }
        return;
    }
    Entry &entry = m_storage[key.get()];
    if (!entry.owner) entry.owner = key;
    entry.dataList = std::move(list);
}

const std::any *BalanceCache::dataList(Key key) const
{
    if (!key) return nullptr;
    const auto it = m_storage.find(key);
    return it != m_storage.end() && it->second.dataList.has_value() ? &it->second.dataList : nullptr;
}

} // namespace cv
