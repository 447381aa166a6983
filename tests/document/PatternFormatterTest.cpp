#include "document/PatternFormatter.h"

#include "platform/Localization.h"

#include <gtest/gtest.h>

TEST(PatternFormatterTest, PlainFormatDropsTheMinusAndReadsEmptyAsZero)
{
    const cv::PatternFormatter f(QStringLiteral("#,##0"));
    EXPECT_EQ(f.stringForObjectValue(-5), QStringLiteral("5"));
    EXPECT_EQ(f.stringForObjectValue(1234567), QStringLiteral("1,234,567"));
    EXPECT_EQ(f.stringForObjectValue(0), QStringLiteral("0"));
    EXPECT_EQ(f.numberFromString(QString()), 0.0);
    EXPECT_EQ(f.numberFromString(QStringLiteral("  ")), 0.0);
    EXPECT_EQ(f.numberFromString(QStringLiteral("1,234")), 1234.0);
    EXPECT_EQ(f.numberFromString(QStringLiteral("-12")), -12.0);
    EXPECT_FALSE(f.numberFromString(QStringLiteral("12abc")));
    EXPECT_FALSE(f.numberFromString(QStringLiteral("-")));
    EXPECT_FALSE(f.numberFromString(QStringLiteral("1e5")));
    EXPECT_FALSE(f.numberFromString(QStringLiteral("1.2.3")));
}

TEST(PatternFormatterTest, FractionDigitsFollowThePattern)
{
    EXPECT_EQ(cv::PatternFormatter(QStringLiteral("#,##0.00")).stringForObjectValue(1234.5),
              QStringLiteral("1,234.50"));
    EXPECT_EQ(cv::PatternFormatter(QStringLiteral("#,##0.0000")).stringForObjectValue(0.12345),
              QStringLiteral("0.1235"));
    const cv::PatternFormatter optional(QStringLiteral("#,##0.######"));
    EXPECT_EQ(optional.stringForObjectValue(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(optional.stringForObjectValue(12), QStringLiteral("12"));
    EXPECT_EQ(optional.stringForObjectValue(0.1234567), QStringLiteral("0.123457"));
    EXPECT_EQ(cv::PatternFormatter(QStringLiteral("#,##0.00##")).stringForObjectValue(3.14159),
              QStringLiteral("3.1416"));
    EXPECT_EQ(cv::PatternFormatter(QStringLiteral("0")).stringForObjectValue(1234567), QStringLiteral("1234567"));
}

TEST(PatternFormatterTest, LiteralPrefixesAndSuffixesAreWrittenAndRead)
{
    const cv::PatternFormatter f(QStringLiteral("$#,##0.00 USD"));
    EXPECT_EQ(f.stringForObjectValue(1200), QStringLiteral("$1,200.00 USD"));
    EXPECT_EQ(f.numberFromString(QStringLiteral("$1,200.00 USD")), 1200.0);
    EXPECT_EQ(f.numberFromString(QStringLiteral("1200")), 1200.0);
}

TEST(PatternFormatterTest, SectionsChooseByValueAndParseBack)
{
    const cv::PatternFormatter f(QStringLiteral("#,##0.######;0.00;(#,##0.######)"));
    EXPECT_EQ(f.stringForObjectValue(1234.5), QStringLiteral("1,234.5"));
    EXPECT_EQ(f.stringForObjectValue(0), QStringLiteral("0.00"));
    EXPECT_EQ(f.stringForObjectValue(-1234.5), QStringLiteral("(1,234.5)"));
    // Too small to show is zero, never a negative zero.
    EXPECT_EQ(f.stringForObjectValue(-0.0000001), QStringLiteral("0.00"));
    EXPECT_EQ(f.numberFromString(QStringLiteral("(1,234.5)")), -1234.5);
    EXPECT_EQ(f.numberFromString(QStringLiteral("0.00")), 0.0);

    const cv::PatternFormatter ja(QStringLiteral("#,##0;△#,##0"));
    EXPECT_EQ(ja.stringForObjectValue(-1234), QStringLiteral("△1,234"));
    EXPECT_EQ(ja.stringForObjectValue(-0.2), QStringLiteral("0"));
    EXPECT_EQ(ja.numberFromString(QStringLiteral("△1,234")), -1234.0);
    EXPECT_EQ(ja.numberFromString(QStringLiteral("-1,234")), -1234.0);

    const cv::PatternFormatter minus(QStringLiteral("#,##0.00;-#,##0.00"));
    EXPECT_EQ(minus.stringForObjectValue(-5), QStringLiteral("-5.00"));
    EXPECT_EQ(minus.numberFromString(minus.stringForObjectValue(-1234.56)), -1234.56);
}

TEST(PatternFormatterTest, NegativeColourOnlyForValuesShownNegative)
{
    cv::PatternFormatter f(QStringLiteral("#,##0;-#,##0"));
    EXPECT_FALSE(f.colorForValue(-5).isValid());
    f.setNegativeColor(Qt::red);
    EXPECT_EQ(f.colorForValue(-5), QColor(Qt::red));
    EXPECT_FALSE(f.colorForValue(5).isValid());
    EXPECT_FALSE(f.colorForValue(-0.1).isValid());
}

TEST(PatternFormatterTest, EveryPrintAndReportFormatKeepsNegativesVisible)
{
    for (const char *language : {"ja", "en"}) {
        cv::setLanguageOverride(QString::fromLatin1(language));
        for (const char *key : {"Cent Format Print", "Int Format Print", "Frac4 Format Print", "Report-Format-Int",
                                "Report-Format-Fraction"}) {
            const cv::PatternFormatter f(cv::localizedString(QString::fromLatin1(key)));
            const QString negative = f.stringForObjectValue(-1234);
            EXPECT_NE(negative, f.stringForObjectValue(1234)) << language << " " << key;
            EXPECT_EQ(f.numberFromString(negative), -1234.0) << language << " " << key;
        }
    }
    cv::setLanguageOverride(QString());
}
