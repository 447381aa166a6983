#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <gtest/gtest.h>

namespace {
const QDate kToday(2026, 12, 7);
}

TEST(DateFormatTest, ProgramFormatRoundTripsAndReadsShortFields)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    EXPECT_EQ(cv::programDateFormat(), QStringLiteral("%Y/%m/%d"));
    const QString format = QStringLiteral("%Y/%m/%d");
    EXPECT_EQ(cv::formatDate(QDate(2025, 3, 15), format), QStringLiteral("2025/03/15"));
    EXPECT_EQ(cv::parseDate(QStringLiteral("2025/03/15"), format, kToday), QDate(2025, 3, 15));
    EXPECT_EQ(cv::parseDate(QStringLiteral("2025/3/5"), format, kToday), QDate(2025, 3, 5));
    // Full-width text from a Japanese input method.
    EXPECT_EQ(cv::parseDate(QStringLiteral("２０２５／３／５"), format, kToday), QDate(2025, 3, 5));
    for (const auto &[word, days] :
         {std::pair{"today", 0}, {"Yesterday", -1}, {"tomorrow", 1}, {"今日", 0}, {"昨日", -1}, {"明日", 1}})
        EXPECT_EQ(cv::parseDate(QString::fromUtf8(word), format, kToday), kToday.addDays(days)) << word;
    cv::setLanguageOverride(QString());
}

TEST(DateFormatTest, TextThatDoesNotFitIsNoDate)
{
    const QString format = QStringLiteral("%Y/%m/%d");
    for (const char *text : {"", "   ", "xyz", "2025/13/01", "2025/02/30", "2025/03/15x", "2025-03-15", "2025/03"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(cv::parseDate(QString::fromUtf8(text), format, kToday).has_value());
    }
}

TEST(DateFormatTest, EverySpecifierWritesAndReads)
{
    const QDate date(2025, 1, 5);
    const struct {
        const char *format;
        const char *text;
    } cases[] = {
        {"%y-%m-%d", "25-01-05"},
        {"%e %b %Y", " 5 Jan 2025"},
        {"%a %d/%m/%Y %H:%M:%S", "Sun 05/01/2025 00:00:00"},
        {"%d%% %m %Y", "05% 01 2025"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.format);
        const QString format = QString::fromUtf8(c.format);
        EXPECT_EQ(cv::formatDate(date, format), QString::fromUtf8(c.text));
        EXPECT_EQ(cv::parseDate(QString::fromUtf8(c.text), format, kToday), date);
    }
    // Two-digit years land within fifty years of today.
    EXPECT_EQ(cv::parseDate(QStringLiteral("80-01-05"), QStringLiteral("%y-%m-%d"), kToday), QDate(1980, 1, 5));
}
