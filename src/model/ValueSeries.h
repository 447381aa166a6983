#pragma once
// One value series of the balance cache: amounts per day (with running
// totals) and, unless the first day is negative, per fiscal month.
//
// Points are kept in sorted vectors. An amount for an existing key or past the
// last key is applied at once; one that falls between points waits in a small
// unsorted buffer that the next read merges in, so building a series from
// entries in any order stays linear.

#include "model/ValuePoint.h"

#include <QDate>

#include <utility>
#include <vector>

namespace cv {

class ValueSeries {
public:
    // Amount on the date's day and, when firstDay() >= 0, on its fiscal month.
    void addValue(double amount, const QDate &date);
    void addDailyValue(double amount, int dayKey) { m_daily.add(dayKey, amount); }
    void addMonthlyValue(double amount, int monthKey) { m_monthly.add(monthKey, amount); }
    // From now on the amounts of keys in these ranges (inclusive) are summed in
    // arrays by key rather than by searching the points: for a rebuild that adds
    // many amounts in no particular order. The next read folds them in; the
    // sums are the ones the points would hold.
    void sumByKey(int firstDayKey, int lastDayKey, int firstMonthKey, int lastMonthKey);
    // Folds the summed amounts in and frees the arrays.
    void settle()
    {
        m_daily.settle();
        m_monthly.settle();
    }
    // Amounts counted since clearAdditions, for deciding when sumByKey pays.
    int additions() const { return m_additions; }
    void countAddition() { ++m_additions; }
    void clearAdditions() { m_additions = 0; }

    double valueAtInternalDate(int dayKey) const;
    double valueAt(const QDate &date) const;
    // Balance at the end of the day: running total of the last point on or
    // before it, 0 when every point is later. Current only after calcAccumulation().
    double accumulatedValueAt(const QDate &date) const;
    int indexForDate(const QDate &date) const;        // -1 when every point is later
    double accumulatedValueForIndex(int index) const; // 0 out of range
    QDate dateForIndex(int index) const;              // invalid out of range
    // Keyed by the plain calendar month: callers pass the fiscal month's first day.
    double monthlyValueAt(const QDate &date) const;
    // Daily values in [day of date, + days).
    double summaryForDays(const QDate &date, int days) const;
    // Monthly values in [month of date, + months); every month for an invalid date.
    double summaryForMonths(const QDate &date, int months) const;

    void calcAccumulation();
    void merge(const ValueSeries &other, int factor);

    int firstDay() const { return m_firstDay; }
    // Re-keys the monthly points from the daily ones for the new first day.
    void setFirstDay(int firstDay);
    bool dirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }
    void clear();

    const std::vector<ValuePoint> &daily() const { return m_daily.points(); }
    const std::vector<ValuePoint> &monthly() const { return m_monthly.points(); }

private:
    class Points {
    public:
        void add(int key, double amount)
        {
            if (const qint64 i = qint64(key) - m_sumFirst; i >= 0 && i < qint64(m_sums.size())) {
                // The first amount is the point's value, as when a point is made.
                if (m_summed[size_t(i)]) {
                    m_sums[size_t(i)] += amount;
                } else {
                    m_sums[size_t(i)] = amount;
                    m_summed[size_t(i)] = 1;
                }
                return;
            }
            addToPoints(key, amount);
        }
        const std::vector<ValuePoint> &points() const
        {
            settle();
            return m_points;
        }
        std::vector<ValuePoint> &mutablePoints()
        {
            settle();
            return m_points;
        }
        // Index of the greatest key not above `key`, -1 when all are above.
        int findIndex(int key) const;
        // Sum of the values with keys in [from, to).
        double sum(long long from, long long to) const;
        void clear();
        void sumByKey(int first, int last);
        void settle() const;

    private:
        void addToPoints(int key, double amount);
        void foldSums() const;
        mutable std::vector<ValuePoint> m_points;
        mutable std::vector<std::pair<int, double>> m_pending;
        mutable size_t m_hint = 0; // where the last search ended
        // While summing by key: the amount of key m_sumFirst + i and whether any arrived.
        mutable std::vector<double> m_sums;
        mutable std::vector<unsigned char> m_summed;
        int m_sumFirst = 0;
    };

    Points m_daily;
    Points m_monthly;
    int m_firstDay = 0;
    int m_additions = 0;
    bool m_dirty = false;
};

} // namespace cv
