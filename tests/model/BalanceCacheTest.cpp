#include "model/BalanceCache.h"

#include "platform/DateIntegers.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <random>

using cv::dates::fromSeriesDayKey;
using cv::dates::seriesDayKey;
using cv::dates::seriesMonthKey;

namespace {

QDate d(int y, int m, int day)
{
    return QDate(y, m, day);
}

std::vector<int> keys(const std::vector<cv::ValuePoint> &points)
{
    std::vector<int> out;
    for (const auto &p : points) out.push_back(p.key);
    return out;
}

struct FakeNode {
    int ident = 0;
};

} // namespace

TEST(ValueSeries, DailyPointsStaySortedWithRunningTotals)
{
    cv::ValueSeries s;
    s.addDailyValue(100, 730000);
    s.addDailyValue(50, 729990);
    EXPECT_EQ(keys(s.daily()), (std::vector<int>{729990, 730000}));
    s.calcAccumulation();
    EXPECT_DOUBLE_EQ(s.daily()[0].accumulatedValue, 50);
    EXPECT_DOUBLE_EQ(s.daily()[1].accumulatedValue, 150);

    const QDate first = fromSeriesDayKey(729990);
    EXPECT_EQ(s.accumulatedValueAt(first.addDays(-1)), 0) << "before the first point";
    EXPECT_EQ(s.indexForDate(first.addDays(-1)), -1);
    EXPECT_EQ(s.accumulatedValueAt(first.addDays(5)), 50) << "between two points";
    EXPECT_EQ(s.accumulatedValueAt(fromSeriesDayKey(730000)), 150);
    EXPECT_EQ(s.accumulatedValueAt(first.addDays(500)), 150);
    EXPECT_EQ(s.dateForIndex(1), fromSeriesDayKey(730000));
    EXPECT_FALSE(s.dateForIndex(2).isValid());
    EXPECT_EQ(s.accumulatedValueForIndex(-1), 0);
    EXPECT_EQ(s.valueAtInternalDate(729995), 0);
    EXPECT_EQ(s.valueAt(first), 50);

    // Amounts on one day add up, daily and monthly.
    cv::ValueSeries day;
    for (int i = 0; i < 2; ++i) day.addValue(30, d(2009, 5, 10));
    ASSERT_EQ(day.daily().size(), 1u);
    EXPECT_DOUBLE_EQ(day.daily()[0].value, 60);
    ASSERT_EQ(day.monthly().size(), 1u);
    EXPECT_DOUBLE_EQ(day.monthly()[0].value, 60);
}

TEST(ValueSeries, FiscalMonthsAndSums)
{
    cv::ValueSeries s;
    s.setFirstDay(24);
    s.addValue(10, d(2009, 5, 24));
    s.addValue(20, d(2009, 5, 25));
    s.addValue(40, d(2009, 6, 3));
    EXPECT_EQ(s.monthlyValueAt(d(2009, 4, 25)), 10) << "24 May counts in the fiscal month of April";
    EXPECT_EQ(s.monthlyValueAt(d(2009, 5, 25)), 60);
    EXPECT_EQ(s.summaryForMonths(d(2009, 4, 1), 2), 70);
    EXPECT_EQ(s.summaryForMonths(QDate(), 0), 70) << "no date sums every month";
    EXPECT_EQ(s.summaryForMonths(d(2009, 6, 1), 3), 0);

    // Seven days from a day without a point still sum the points inside them.
    EXPECT_EQ(s.summaryForDays(d(2009, 5, 23), 7), 30);
    EXPECT_EQ(s.summaryForDays(d(2009, 5, 25), 1), 20);
    EXPECT_EQ(s.summaryForDays(d(2009, 5, 26), 8), 0);
    EXPECT_EQ(s.summaryForDays(d(2009, 5, 26), 9), 40);
}

TEST(ValueSeries, FirstDayChanges)
{
    cv::ValueSeries s;
    s.addValue(10, d(2009, 5, 24));
    s.addValue(20, d(2009, 5, 25));
    s.setDirty(true);

    // The same first day again changes nothing.
    s.setFirstDay(0);
    EXPECT_EQ(s.monthly().size(), 1u);
    EXPECT_TRUE(s.dirty());

    // Re-keying keeps the running totals marked stale.
    s.setFirstDay(24);
    EXPECT_TRUE(s.dirty());
    EXPECT_EQ(keys(s.monthly()),
              (std::vector<int>{seriesMonthKey(d(2009, 4, 1), -1), seriesMonthKey(d(2009, 5, 1), -1)}));

    // A daily-only series gets its months when it starts keeping them.
    cv::ValueSeries daily;
    daily.setFirstDay(-1);
    daily.addValue(10, d(2009, 5, 24));
    daily.addValue(20, d(2009, 5, 25));
    EXPECT_TRUE(daily.monthly().empty());
    daily.setFirstDay(24);
    EXPECT_EQ(daily.monthlyValueAt(d(2009, 4, 25)), 10);
    EXPECT_EQ(daily.monthlyValueAt(d(2009, 5, 25)), 20);
    daily.setFirstDay(-1);
    EXPECT_TRUE(daily.monthly().empty());
    EXPECT_EQ(daily.daily().size(), 2u);
}

TEST(ValueSeries, MergeScalesAndMarksStale)
{
    cv::ValueSeries a, b;
    a.addValue(5, d(2009, 1, 1));
    b.addValue(7, d(2009, 1, 1));
    b.addValue(3, d(2008, 12, 31));
    a.merge(b, -1);
    EXPECT_TRUE(a.dirty());
    EXPECT_EQ(keys(a.daily()), (std::vector<int>{seriesDayKey(d(2008, 12, 31)), seriesDayKey(d(2009, 1, 1))}));
    EXPECT_EQ(a.valueAt(d(2009, 1, 1)), -2);
    EXPECT_EQ(a.valueAt(d(2008, 12, 31)), -3);
    EXPECT_EQ(a.summaryForMonths(QDate(), 0), -5);
    a.merge(a, 1);
    EXPECT_EQ(a.valueAt(d(2009, 1, 1)), -4);
}

TEST(ValueSeries, OutOfOrderAmountsMatchASortedBuild)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> day(0, 3650);
    std::uniform_int_distribution<int> amount(-5000, 5000);
    cv::ValueSeries s;
    s.setFirstDay(24);
    std::map<int, double> expected;
    const QDate base = d(2000, 1, 1);
    for (int i = 0; i < 20000; ++i) {
        const QDate date = base.addDays(day(rng));
        const double a = amount(rng);
        s.addValue(a, date);
        expected[seriesDayKey(date)] += a;
        if (i % 997 == 0) { // reads in between must see everything added so far
            const auto it = expected.upper_bound(seriesDayKey(date));
            double total = 0;
            for (auto e = expected.begin(); e != it; ++e) total += e->second;
            s.calcAccumulation();
            ASSERT_DOUBLE_EQ(s.accumulatedValueAt(date), total);
        }
    }
    s.calcAccumulation();
    ASSERT_EQ(s.daily().size(), expected.size());
    double total = 0, monthly = 0;
    size_t i = 0;
    for (const auto &[key, value] : expected) {
        total += value;
        ASSERT_EQ(s.daily()[i].key, key);
        ASSERT_DOUBLE_EQ(s.daily()[i].value, value);
        ASSERT_DOUBLE_EQ(s.daily()[i].accumulatedValue, total);
        ++i;
    }
    for (const auto &p : s.monthly()) monthly += p.value;
    EXPECT_DOUBLE_EQ(monthly, total);
}

// Summing by key must leave every point with the bits the point-by-point
// build gives: the same additions in the same order, whatever the range, with
// points made before it, amounts outside it and a read in between.
TEST(ValueSeries, SummingByKeyKeepsEveryBit)
{
    struct Case {
        int from, to; // range in days after the base
        int readAt;   // a read after this many additions; -1 none
    };
    for (const Case c : {Case{0, 3650, -1}, Case{500, 2500, -1}, Case{500, 2500, 9000}, Case{4000, 5000, -1}}) {
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> day(0, 3650);
        std::uniform_int_distribution<int> cents(-500000, 500000);
        const QDate base = d(2000, 1, 1);
        cv::ValueSeries plain, summed;
        for (auto *s : {&plain, &summed}) s->setFirstDay(24);
        for (int i = 0; i < 20000; ++i) {
            const QDate date = base.addDays(day(rng));
            const double a = cents(rng) / 100.0 * 1.37; // sums that depend on their order
            if (i == 3000) {
                summed.sumByKey(seriesDayKey(base.addDays(c.from)), seriesDayKey(base.addDays(c.to)),
                                seriesMonthKey(base.addDays(c.from), 24), seriesMonthKey(base.addDays(c.to), 24));
            }
            if (i == c.readAt) {
                EXPECT_EQ(summed.daily().size(), plain.daily().size());
            }
            plain.addValue(a, date);
            summed.addValue(a, date);
        }
        for (auto series : {&cv::ValueSeries::daily, &cv::ValueSeries::monthly}) {
            const auto &p = (plain.*series)();
            const auto &q = (summed.*series)();
            ASSERT_EQ(keys(q), keys(p)) << c.from;
            for (size_t i = 0; i < p.size(); ++i)
                ASSERT_EQ(std::bit_cast<quint64>(q[i].value), std::bit_cast<quint64>(p[i].value));
        }
    }
}

TEST(BalanceCache, SeriesPerKeyObject)
{
    auto account = std::make_shared<FakeNode>();
    auto twin = std::make_shared<FakeNode>(); // equal contents, another object
    auto category = std::make_shared<FakeNode>();
    cv::BalanceCache cache;

    cache.addValue(100, account, d(2009, 5, 1));
    cache.addValue(-40, account, d(2009, 5, 3));
    cache.addValue(500, category, d(2009, 5, 24), 24);
    EXPECT_TRUE(cache.hasKey(account.get()));
    EXPECT_FALSE(cache.hasKey(twin.get()));
    EXPECT_EQ(cache.latestValueForKey(twin.get(), d(2009, 6, 1)), 0);

    // Running totals appear once the series is accumulated.
    EXPECT_EQ(cache.latestValueForKey(account.get(), d(2009, 6, 1)), 0);
    cache.accumulateForKey(account.get(), QDate());
    EXPECT_EQ(cache.latestValueForKey(account.get(), d(2009, 5, 2)), 100);
    EXPECT_EQ(cache.latestValueForKey(account.get(), d(2009, 6, 1)), 60);
    EXPECT_EQ(cache.indexForKey(account.get(), d(2009, 5, 3)), 1);
    EXPECT_EQ(cache.accumulatedValueForKey(account.get(), 1), 60);
    EXPECT_EQ(cache.dateForKey(account.get(), 1), d(2009, 5, 3));
    EXPECT_EQ(cache.valueForKey(account.get(), d(2009, 5, 3)), -40);
    EXPECT_EQ(cache.monthlyValueForKey(account.get(), d(2009, 5, 1)), 0) << "daily additions keep no months";
    EXPECT_EQ(cache.monthlyValueForKey(category.get(), d(2009, 4, 25)), 500);
    EXPECT_EQ(cache.summaryForKeyForMonths(category.get(), d(2009, 4, 1), 1), 500);
    EXPECT_EQ(cache.summaryForKeyForDays(account.get(), d(2009, 5, 1), 2), 100);

    // An addition after accumulating marks the series stale again.
    cache.addValue(5, account, d(2009, 5, 2));
    cache.accumulateForKey(account.get(), QDate());
    EXPECT_EQ(cache.latestValueForKey(account.get(), d(2009, 6, 1)), 65);

    // Rounding dust reads as zero.
    cache.addValue(0.00000004 - 65, account, d(2009, 5, 4));
    cache.accumulateForKey(account.get(), QDate());
    EXPECT_EQ(cache.latestValueForKey(account.get(), d(2009, 6, 1)), 0);

    // Group totals.
    cache.addAllValues(category.get(), twin);
    cache.addAllValues(category.get(), twin);
    EXPECT_EQ(cache.monthlyValueForKey(twin.get(), d(2009, 4, 1)), 1000);

    // A null key stores nothing and answers 0.
    cache.addAllValues(nullptr, twin);
    cache.addValue(1, nullptr, d(2009, 1, 1));
    cache.setDataList(nullptr, std::vector<double>{1});
    EXPECT_FALSE(cache.hasKey(nullptr));
    EXPECT_EQ(cache.latestValueForKey(nullptr, d(2009, 1, 1)), 0);
    EXPECT_EQ(cache.storage().size(), 3u);

    cache.clearKey(account.get());
    EXPECT_FALSE(cache.hasKey(account.get()));
    EXPECT_EQ(cache.indexForKey(account.get(), d(2009, 6, 1)), -1);
    cache.clear();
    EXPECT_TRUE(cache.storage().empty());
}

TEST(BalanceCache, DataListsAndKeyLifetime)
{
    cv::BalanceCache cache;
    auto currency = std::make_shared<FakeNode>();
    std::weak_ptr<FakeNode> watch = currency;
    cache.setDataList(currency, std::vector<double>{1.5, 2.5});
    ASSERT_NE(cache.dataListAs<std::vector<double>>(currency.get()), nullptr);
    EXPECT_EQ(cache.dataListAs<std::vector<double>>(currency.get())->size(), 2u);
    EXPECT_EQ(cache.dataListAs<std::vector<int>>(currency.get()), nullptr) << "another type answers none";

    // The cache keeps its keys alive, so no other object can take the address.
    const void *key = currency.get();
    currency.reset();
    EXPECT_FALSE(watch.expired());
    cache.setDataList(watch.lock(), std::any());
    EXPECT_FALSE(cache.hasKey(key));
    EXPECT_TRUE(watch.expired());
}
