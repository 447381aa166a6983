#include "model/JapaneseHoliday.h"
#include "model/LunarMonthTable.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QStringList>

TEST(JapaneseHolidayTest, AgreesWithTheNationalListDayForDay)
{
    QFile file(QStringLiteral(CV_TEST_FIXTURES "/holidays-jp.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QHash<QDate, QString> expected;
    int lastYear = 0;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList fields = line.split(u',');
        ASSERT_EQ(fields.size(), 2) << line.toStdString();
        const QDate date = QDate::fromString(fields[0], Qt::ISODate);
        ASSERT_TRUE(date.isValid()) << line.toStdString();
        expected.insert(date, fields[1]);
        lastYear = std::max(lastYear, date.year());
    }
    ASSERT_GE(lastYear, 2026);

    int mismatches = 0;
    for (QDate d(1955, 1, 1); d.year() <= lastYear; d = d.addDays(1)) {
        const QString got = cv::JapaneseHoliday(d);
        const QString want = expected.value(d);
        if (got != want && ++mismatches <= 20)
            ADD_FAILURE() << d.toString(Qt::ISODate).toStdString() << ": got \"" << got.toStdString() << "\", want \""
                          << want.toStdString() << "\"";
    }
    EXPECT_EQ(mismatches, 0);
}

// The list above settles every real day; left are the Monday flag the Monday
// rules look at, and days that do not exist.
TEST(JapaneseHolidayTest, MondayFlagAndDaysThatDoNotExist)
{
    EXPECT_EQ(cv::JapaneseHoliday4(2001, 1, 8, true), u"成人の日");
    EXPECT_TRUE(cv::JapaneseHoliday4(2001, 1, 8, false).isNull());
    EXPECT_TRUE(cv::JapaneseHoliday4(2009, 2, 30, false).isNull());
    EXPECT_TRUE(cv::JapaneseHoliday(QDate()).isNull());
}

TEST(JapaneseHolidayTest, BusinessDates)
{
    const QDate sat(2007, 12, 29);
    EXPECT_EQ(cv::GetBusinessDate(sat, 1), QDate(2008, 1, 4));
    EXPECT_EQ(cv::GetBusinessDate(sat, -1), QDate(2007, 12, 28));
    EXPECT_EQ(cv::GetBusinessDate(sat, 0), sat);
    EXPECT_EQ(cv::GetBusinessDate(QDate(2009, 4, 27), 1), QDate(2009, 4, 27)); // already one
    EXPECT_EQ(cv::GetBusinessDate(QDate(2009, 4, 25), 1), QDate(2009, 4, 27));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2009, 5, 2), 1), QDate(2009, 5, 7));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2009, 9, 19), 1), QDate(2009, 9, 24));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2009, 9, 22), -1), QDate(2009, 9, 18));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2016, 8, 11), 1), QDate(2016, 8, 12));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2019, 12, 23), 1), QDate(2019, 12, 23));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2010, 12, 31), -1), QDate(2010, 12, 30));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2010, 12, 31), 1), QDate(2011, 1, 4));
    EXPECT_EQ(cv::GetBusinessDate(QDate(2009, 4, 25), 5), QDate(2009, 4, 27)); // only the sign counts
    EXPECT_FALSE(cv::GetBusinessDate(QDate(), 1).isValid());
}

TEST(JapaneseHolidayTest, LunarMonthTableIsWellFormed)
{
    // The 2009 row as almanacs print it.
    const cv::LunarMonthStart want2009[] = {{1227, 12}, {126, 1}, {225, 2}, {327, 3},
                                            {425, 4},   {524, 5}, {623, 5}, {722, 6}};
    const cv::LunarMonthStart *row2009 = cv::kLunarMonthTable[2009 - cv::kLunarFirstYear];
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(row2009[i].monthDay, want2009[i].monthDay) << i;
        EXPECT_EQ(row2009[i].month, want2009[i].month) << i;
    }

    for (int y = cv::kLunarFirstYear; y <= cv::kLunarLastYear; ++y) {
        const cv::LunarMonthStart *row = cv::kLunarMonthTable[y - cv::kLunarFirstYear];
        int n = 0;
        while (n < cv::kLunarTablePairs && row[n].monthDay != 9999) ++n;
        ASSERT_TRUE(n == 13 || n == 14) << y;
        EXPECT_EQ(row[n].month, 0) << y;
        EXPECT_GT(row[0].monthDay, 1200) << y;
        int leaps = 0;
        for (int i = 1; i < n; ++i) {
            const QDate prev(i == 1 ? y - 1 : y, row[i - 1].monthDay / 100, row[i - 1].monthDay % 100);
            const QDate start(y, row[i].monthDay / 100, row[i].monthDay % 100);
            ASSERT_TRUE(start.isValid()) << y;
            const qint64 length = prev.daysTo(start);
            EXPECT_TRUE(length == 29 || length == 30) << y << " pair " << i;
            if (row[i].month == row[i - 1].month)
                ++leaps;
            else
                EXPECT_EQ(row[i].month, row[i - 1].month % 12 + 1) << y << " pair " << i;
        }
        EXPECT_LE(leaps, 1) << y;
    }
}

TEST(JapaneseHolidayTest, Rokuyo)
{
    EXPECT_TRUE(cv::lunarDate(QDate(1989, 12, 31)).isEmpty());
    EXPECT_TRUE(cv::lunarDate(QDate(2051, 1, 1)).isEmpty());
    EXPECT_TRUE(cv::lunarDate(QDate()).isEmpty());

    // The first day of the first lunar month is always 先勝; the day before it
    // (the 29th or 30th of the 12th month) 仏滅 or 大安.
    for (const QDate &newYear : {QDate(1990, 1, 27), QDate(1995, 1, 31), QDate(2009, 1, 26), QDate(2017, 1, 28),
                                 QDate(2024, 2, 10), QDate(2025, 1, 29), QDate(2033, 1, 31), QDate(2050, 1, 23)}) {
        EXPECT_EQ(cv::lunarDate(newYear), u"先勝") << newYear.toString(Qt::ISODate).toStdString();
        const QString before = cv::lunarDate(newYear.addDays(-1));
        EXPECT_TRUE(before == u"仏滅" || before == u"大安") << newYear.toString(Qt::ISODate).toStdString();
    }
    // Days before the year's second pair belong to the month begun in December.
    EXPECT_EQ(cv::lunarDate(QDate(2009, 1, 1)), u"大安");   // 12th month, 6th day
    EXPECT_EQ(cv::lunarDate(QDate(2009, 12, 31)), u"友引"); // 11th month, 16th day
    // 1990 has a leap 5th month from 23 June: 1 July is its 9th day.
    EXPECT_EQ(cv::lunarDate(QDate(1990, 7, 1)), u"先勝");
    // Japan time puts 2017's leap month after the 5th (elsewhere after the 6th).
    EXPECT_EQ(cv::lunarDate(QDate(2017, 6, 24)), u"大安");
    // 2033 takes a leap 11th month.
    EXPECT_EQ(cv::lunarDate(QDate(2034, 1, 1)), u"先負"); // leap 11th month, 11th day
}
