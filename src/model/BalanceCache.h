#pragma once
// The value series of one document, keyed by object identity (tree nodes,
// currencies, securities), and the plain data lists (rates, prices) kept
// under keys of their own.
//
// Keys are looked up by address. Operations that store something take the
// owning pointer and keep it, so a key cannot die and have its address reused
// while anything is stored under it. A null key stores nothing and answers 0.

#include "model/ValueSeries.h"

#include <QDate>

#include <any>
#include <array>
#include <memory>
#include <optional>
#include <unordered_map>

namespace cv {

class BalanceCache {
public:
    using Key = const void *;
    using KeyOwner = std::shared_ptr<const void>;

    struct Entry {
        KeyOwner owner;
        std::optional<ValueSeries> series;
        std::any dataList;
    };
    using Storage = std::unordered_map<Key, Entry>;

    // Creates the series when missing (with that first day) and marks it dirty.
    void addValue(double amount, const KeyOwner &key, const QDate &date, int firstDayOfMonth);
    // Daily points only.
    void addValue(double amount, const KeyOwner &key, const QDate &date) { addValue(amount, key, date, -1); }
    // The key's series, made as addValue makes it when missing, for adding
    // many amounts without a lookup each. It stays where it is until the key
    // (or the whole cache) is cleared.
    ValueSeries &seriesForAdding(const KeyOwner &key, int firstDayOfMonth);
    // addValue into a series from seriesForAdding; dayKey is the date's seriesDayKey.
    void addValue(double amount, ValueSeries &series, const QDate &date, int dayKey);

    // Between these, a rebuild adds amounts dated from first to last: a series
    // that receives many sums them by key (ValueSeries::sumByKey) instead
    // of searching its points for each. The end folds the sums into the points.
    void beginAdding(const QDate &first, const QDate &last);
    void endAdding();

    double valueForKey(Key key, const QDate &date) const;
    double valueForKeyAtInternalDate(Key key, int dayKey) const;
    double monthlyValueForKey(Key key, const QDate &date) const;
    double summaryForKeyForDays(Key key, const QDate &date, int days) const;
    double summaryForKeyForMonths(Key key, const QDate &date, int months) const;
    int indexForKey(Key key, const QDate &date) const;
    double accumulatedValueForKey(Key key, int index) const;
    QDate dateForKey(Key key, int index) const;
    // Balance at the end of the day; rounding dust below 1e-7 reads as 0.
    double latestValueForKey(Key key, const QDate &date) const;

    // Recomputes the running totals of a dirty series.
    void accumulateForKey(Key key, const QDate &since);
    // Adds every value of the source series into the destination series.
    void addAllValues(Key source, const KeyOwner &destination);
    void setDirty(Key key);
    void setFirstDay(int firstDay, Key key);

    bool hasKey(Key key) const { return key && m_storage.count(key) != 0; }
    // Whether the key's running totals wait for accumulateForKey.
    bool isDirty(Key key) const
    {
        const auto *s = series(key);
        return s && s->dirty();
    }
    void clearKey(Key key)
    {
        forgetRecent();
        m_storage.erase(key);
    }
    void clear()
    {
        forgetRecent();
        m_storage.clear();
    }

    // An empty list removes it.
    void setDataList(const KeyOwner &key, std::any list);
    const std::any *dataList(Key key) const;
    template <class T> const T *dataListAs(Key key) const
    {
        const std::any *a = dataList(key);
        return a ? std::any_cast<T>(a) : nullptr;
    }

    const Storage &storage() const { return m_storage; }

private:
    const ValueSeries *series(Key key) const;
    ValueSeries *series(Key key);
    Entry &entryFor(const KeyOwner &key);
    void forgetRecent();

    Storage m_storage;
    // Entries of the keys added to last. Elements of the storage do not move
    // when it rehashes, so only removals make them stale; a copy or a move
    // starts (and leaves the source) without any.
    struct Recent {
        std::array<std::pair<Key, Entry *>, 16> slots{};
        Recent() = default;
        Recent(const Recent &) {}
        Recent(Recent &&other) noexcept { other.slots.fill({nullptr, nullptr}); }
        Recent &operator=(const Recent &)
        {
            slots.fill({nullptr, nullptr});
            return *this;
        }
        Recent &operator=(Recent &&other) noexcept
        {
            slots.fill({nullptr, nullptr});
            other.slots.fill({nullptr, nullptr});
            return *this;
        }
    };
    Recent m_recent;
    // The dates and day keys of beginAdding; no range while none is open.
    QDate m_addingFirst;
    QDate m_addingLast;
    int m_addingFirstKey = 0;
    int m_addingLastKey = -1;
    int m_addingThreshold = 0; // additions after which a series sums by key
    QDate m_monthKeyDate;
    int m_monthKeyFirstDay = -1;
    int m_monthKey = 0;
};

} // namespace cv
