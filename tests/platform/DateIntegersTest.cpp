#include "platform/DateIntegers.h"

#include <gtest/gtest.h>

using namespace cv::dates;

TEST(DayNumber, CountsDaysFrom2001)
{
    EXPECT_EQ(dayNumber(QDate(2001, 1, 1)), 0);
    EXPECT_EQ(dayNumber(QDate(2001, 1, 2)), 1);
    EXPECT_EQ(dayNumber(QDate(2000, 12, 31)), -1);
    EXPECT_EQ(dayNumber(QDate(2002, 1, 1)), 365);
    EXPECT_EQ(dayNumber(QDate()), 0);
    EXPECT_EQ(fromDayNumber(0), QDate(2001, 1, 1));
    EXPECT_EQ(fromDayNumber(-1), QDate(2000, 12, 31));
    EXPECT_EQ(fromDayNumber(365 + 365 + 365 + 59), QDate(2004, 2, 29));
    for (int n = -40000; n <= 60000; n += 7) ASSERT_EQ(dayNumber(fromDayNumber(n)), n);
}

TEST(ArchiveDate, MatchesStoredIntegersAndRejectsImpossibleDays)
{
    EXPECT_EQ(archiveDate(QDate(2000, 1, 1)), 744000);
    EXPECT_EQ(archiveDate(QDate(1999, 12, 31)), 743999);
    EXPECT_EQ(fromArchiveDate(744000), QDate(2000, 1, 1));
    EXPECT_EQ(fromArchiveDate(743999), QDate(1999, 12, 31));
    // Each month takes 31 slots, so 31 February and 30 February exist as integers.
    EXPECT_EQ(archiveDate(QDate(2009, 3, 1)) - archiveDate(QDate(2009, 2, 1)), 31);
    EXPECT_FALSE(fromArchiveDate(archiveDate(QDate(2009, 2, 1)) + 30).isValid());
    EXPECT_FALSE(fromArchiveDate(archiveDate(QDate(2009, 4, 1)) + 30).isValid());
    EXPECT_TRUE(fromArchiveDate(archiveDate(QDate(2008, 2, 1)) + 28).isValid());
    EXPECT_FALSE(fromArchiveDate(0).isValid());
    EXPECT_FALSE(fromArchiveDate(-1).isValid());
    EXPECT_EQ(archiveDate(QDate()), 0);
    for (QDate d(1900, 1, 1); d.year() < 2100; d = d.addDays(3))
        ASSERT_EQ(fromArchiveDate(archiveDate(d)), d) << d.toString(Qt::ISODate).toStdString();
}

TEST(SeriesKeys, DayKeyCountsFromTheFirstDayOfTheEra)
{
    EXPECT_EQ(seriesDayKey(QDate(1, 1, 1)), 0);
    EXPECT_EQ(seriesDayKey(QDate(1, 1, 2)), 1);
    EXPECT_EQ(seriesDayKey(QDate(2000, 1, 1)), 730119);
    EXPECT_EQ(fromSeriesDayKey(730000), QDate(1999, 9, 4));
    EXPECT_EQ(seriesDayKey(QDate(2001, 1, 1)) - seriesDayKey(QDate(2000, 12, 31)), 1);
    // The store's day numbers and the series keys differ by a constant.
    EXPECT_EQ(seriesDayKey(QDate(2001, 1, 1)), seriesDayKey(fromDayNumber(0)));
    for (int k = 600000; k < 800000; k += 13) ASSERT_EQ(seriesDayKey(fromSeriesDayKey(k)), k);
}

TEST(SeriesKeys, MonthKeyFollowsTheFiscalFirstDay)
{
    const int april = 2009 * 12 + 3;
    EXPECT_EQ(seriesMonthKey(QDate(2009, 4, 15), -1), april);
    EXPECT_EQ(seriesMonthKey(QDate(2009, 4, 1), 0), april);
    // With first day 24 a fiscal month runs from the 25th to the 24th.
    EXPECT_EQ(seriesMonthKey(QDate(2009, 4, 25), 24), april);
    EXPECT_EQ(seriesMonthKey(QDate(2009, 5, 24), 24), april);
    EXPECT_EQ(seriesMonthKey(QDate(2009, 5, 25), 24), april + 1);
    EXPECT_EQ(seriesMonthKey(QDate(2009, 1, 1), 1), 2008 * 12 + 11);
    EXPECT_EQ(seriesMonthKey(QDate(2009, 1, 2), 1), 2009 * 12);
}

TEST(BudgetKeys, CountMonthsFrom2000WithTruncatingBackConversion)
{
    EXPECT_EQ(budgetMonthKey(2000, 1), 0);
    EXPECT_EQ(budgetMonthKey(2009, 3), 110);
    EXPECT_EQ(budgetMonthKey(QDate(1999, 12, 31)), -1);
    EXPECT_EQ(budgetMonthKey(QDate(2009, 3, 31)), 110);
    EXPECT_EQ(budgetKeyYear(110), 2009);
    EXPECT_EQ(budgetKeyMonth(110), 3);
    // Keys before 2000 come back as stored archives expect them.
    EXPECT_EQ(budgetKeyYear(-1), 2000);
    EXPECT_EQ(budgetKeyMonth(-1), 0);
    EXPECT_EQ(budgetMonthKey(budgetKeyYear(-1), budgetKeyMonth(-1)), -1);
    EXPECT_EQ(budgetMonthKey(budgetKeyYear(-13), budgetKeyMonth(-13)), -13);
    for (int key = 0; key < 2400; ++key) ASSERT_EQ(budgetMonthKey(budgetKeyYear(key), budgetKeyMonth(key)), key);
}

TEST(DateIntegers, FarDatesNeitherOverflowNorCrash)
{
    const QDate far = QDate::fromJulianDay(qint64(1) << 39);
    ASSERT_TRUE(far.isValid());
    EXPECT_EQ(dayNumber(far), std::numeric_limits<int>::max());
    EXPECT_EQ(archiveDate(far), std::numeric_limits<int>::max());
    EXPECT_EQ(seriesDayKey(far), std::numeric_limits<int>::max());
    EXPECT_EQ(seriesMonthKey(far, 5), std::numeric_limits<int>::max());
    EXPECT_TRUE(fromDayNumber(std::numeric_limits<int>::max()).isValid());
}
