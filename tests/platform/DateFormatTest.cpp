#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <gtest/gtest.h>

namespace {
const QDate kToday(2026, 12, 7);
const QDate kWednesday(2026, 12, 9);
const QDate kSunday(2026, 12, 13);
} // namespace

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
    cv::setLanguageOverride(QString());
}

// Dates typed in words, read in either language whatever the program's;
// today is Monday 7 December 2026 unless a row says otherwise.
TEST(DateFormatTest, DatesTypedInWordsCountFromToday)
{
    // clang-format off
    const struct {
        const char *text;
        QDate date; // invalid: no date
        QDate today = kToday;
    } cases[] = {
        {"today", kToday}, {"Yesterday", {2026, 12, 6}}, {"tomorrow", {2026, 12, 8}}, {"今日", kToday},
        {"昨日", {2026, 12, 6}}, {"明日", {2026, 12, 8}}, {"一昨日", {2026, 12, 5}}, {"the day after tomorrow", {2026, 12, 9}},
        // A weekday alone is the nearest one; next / last never today; 来週 / 先週 / 今週 run Monday to Sunday.
        {"Friday", {2026, 12, 4}}, {"金曜日", {2026, 12, 4}}, {"wed", {2026, 12, 9}}, {"水曜", {2026, 12, 9}},
        {"next Friday", {2026, 12, 11}}, {"来週の金曜", {2026, 12, 18}}, {"next monday", {2026, 12, 14}},
        {"last Monday", {2026, 11, 30}}, {"先週の月曜", {2026, 11, 30}}, {"先週月曜日", {2026, 11, 30}},
        {"this Sunday", {2026, 12, 13}}, {"今週の日曜", {2026, 12, 13}}, {"Thursday", {2026, 12, 10}},
        // Weeks run Monday to Sunday whatever day today is.
        {"this Monday", {2026, 12, 7}, kSunday}, {"来週の月曜", {2026, 12, 14}, kSunday}, {"先週の土曜", {2026, 12, 5}, kSunday},
        {"Wednesday", {2026, 12, 16}, kSunday}, {"this Monday", {2026, 12, 7}, kWednesday},
        {"先週の日曜", {2026, 12, 6}, kWednesday}, {"Saturday", {2026, 12, 12}, kWednesday},
        {"3 days ago", {2026, 12, 4}}, {"3日前", {2026, 12, 4}}, {"３日前", {2026, 12, 4}}, {"in 2 weeks", {2026, 12, 21}},
        {"2週間後", {2026, 12, 21}}, {"a week ago", {2026, 11, 30}}, {"1 month ago", {2026, 11, 7}}, {"1か月前", {2026, 11, 7}},
        {"10 days later", {2026, 12, 17}},
        // A month and day without a year is the nearest such day.
        {"Dec 5", {2026, 12, 5}}, {"5 Dec", {2026, 12, 5}}, {"12月5日", {2026, 12, 5}}, {"January 3rd", {2027, 1, 3}},
        {"1月3日", {2027, 1, 3}}, {"Jun 6", {2027, 6, 6}}, {"Jun 10", {2026, 6, 10}}, {"Feb 29", {2028, 2, 29}},
        {"December 25, 2025", {2025, 12, 25}}, {"5 Dec 2025", {2025, 12, 5}}, {"2025年12月25日", {2025, 12, 25}},
        // Anything else stays refused.
        {"next", {}}, {"3 days", {}}, {"in weeks", {}}, {"Dec 32", {}}, {"13月5日", {}}, {"2月30日", {}},
        {"next Funday", {}}, {"来週", {}}, {"5日", {}}, {"someday", {}}, {"2025年2月29日", {}},
        // A year stands apart from the day, and there is no year 0.
        {"Dec 20255", {}}, {"Dec 12025", {}}, {"1 Dec, 0000", {}}, {"0000年12月5日", {}},
    };
    // clang-format on
    const QString format = QStringLiteral("%Y/%m/%d");
    for (const char *language : {"en", "ja"}) {
        cv::setLanguageOverride(QLatin1String(language));
        for (const auto &c : cases) {
            const std::optional<QDate> read = cv::parseDate(QString::fromUtf8(c.text), format, c.today);
            EXPECT_EQ(read.value_or(QDate()), c.date)
                << language << " " << c.text << " on " << c.today.toString(Qt::ISODate).toStdString();
        }
    }
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
