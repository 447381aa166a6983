#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <random>
#include <string>

// Readable failure messages for QString comparisons.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using namespace cv;

namespace {

// Every test here runs under a decimal-comma locale, in C and in Qt, so that
// any locale leaking into these texts shows up as a comma.
class NumberText : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousC = std::setlocale(LC_ALL, nullptr);
        m_german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, m_previousC.c_str());
        QLocale::setDefault(m_previousQt);
    }

    std::string m_previousC;
    QLocale m_previousQt;
    bool m_german = false;
};

std::string cPrintf(const char *format, double value)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

} // namespace

TEST_F(NumberText, TheLocaleReallyUsesADecimalComma)
{
    if (!m_german) GTEST_SKIP() << "de_DE.UTF-8 is not installed; scripts/install-deps.sh generates it";
    EXPECT_EQ(cPrintf("%.2f", 1.5), "1,50");
    EXPECT_EQ(QLocale().toString(1.5, 'f', 2), QStringLiteral("1,50"));
}

TEST_F(NumberText, FormatsExactlyAsPrintfInTheCLocale)
{
    EXPECT_EQ(formatFixed(1234.5, 2), QStringLiteral("1234.50"));
    EXPECT_EQ(formatFixed(-0.005, 2), QStringLiteral("-0.01"));
    EXPECT_EQ(formatFixed(0.125, 2), QStringLiteral("0.12")); // ties go to even on the exact binary value
    EXPECT_EQ(formatFixed(1e15 + 0.25, 2), QStringLiteral("1000000000000000.25"));
    EXPECT_EQ(formatFixed(98.7654321, 6), QStringLiteral("98.765432"));
    EXPECT_EQ(formatFixed(2.5, 0), QStringLiteral("2"));
    EXPECT_EQ(formatFixed(1.0, -3), QStringLiteral("1"));
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::infinity(), 2), QStringLiteral("inf"));
    EXPECT_EQ(formatFixed(-std::numeric_limits<double>::infinity(), 2), QStringLiteral("-inf"));
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::quiet_NaN(), 2), QStringLiteral("nan"));
    EXPECT_EQ(formatFixed(-1.7976931348623157e308, 2).size(), 313); // 309 digits, sign, point, two decimals
    EXPECT_EQ(formatInt(-1234567), QStringLiteral("-1234567"));
    EXPECT_EQ(formatInt(std::numeric_limits<long long>::min()), QStringLiteral("-9223372036854775808"));

    // Against the C library itself, switched to the C locale for the comparison.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> amounts(-1e9, 1e9);
    std::setlocale(LC_NUMERIC, "C");
    for (int i = 0; i < 20000; ++i) {
        const double v = amounts(random) / double(1 << (i % 20));
        ASSERT_EQ(formatFixed(v, 2).toStdString(), cPrintf("%.2f", v));
        ASSERT_EQ(formatFixed(v, 6).toStdString(), cPrintf("%.6f", v));
    }
}

TEST_F(NumberText, NoCommaEverAppears)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> values(-1e7, 1e7);
    for (int i = 0; i < 5000; ++i) {
        const double v = values(random);
        for (const QString &text : {formatFixed(v, 2), formatFixed(v, 6), roundDownFixed(v, 2), formatInt(qint64(v))}) {
            ASSERT_FALSE(text.contains(u',')) << text.toStdString();
            ASSERT_EQ(parseDouble(text).has_value(), true) << text.toStdString();
        }
        ASSERT_EQ(*parseDouble(formatFixed(v, 17)), v);
    }
}

TEST_F(NumberText, ParsesWhatStoredFilesHold)
{
    EXPECT_EQ(parseDouble(u"1234.50"), 1234.5);
    EXPECT_EQ(parseDouble(u"-0.01"), -0.01);
    EXPECT_EQ(parseDouble(u"  +12.5\n"), 12.5);
    EXPECT_EQ(parseDouble(u".5"), 0.5);
    EXPECT_EQ(parseDouble(u"5."), 5.0);
    EXPECT_EQ(parseDouble(u"1.0e+15"), 1e15);
    EXPECT_EQ(parseDouble(u"1E-3"), 0.001);
    EXPECT_TRUE(std::isinf(*parseDouble(u"-inf")));
    EXPECT_TRUE(std::isnan(*parseDouble(u"nan")));

    for (const char16_t *bad : {u"", u"   ", u"1,5", u"1.234,5", u"12abc", u"1 2", u"+-1", u"++1", u"-", u".", u"0x1p3",
                                u"1e400", u"１２", u"1e", u"e5"})
        EXPECT_FALSE(parseDouble(bad).has_value()) << QString::fromUtf16(bad).toStdString();

    EXPECT_EQ(parseInt(u"42"), 42);
    EXPECT_EQ(parseInt(u" +42 "), 42);
    EXPECT_EQ(parseInt(u"-9223372036854775808"), std::numeric_limits<long long>::min());
    for (const char16_t *bad : {u"", u"12.0", u"9223372036854775808", u"1e3", u"+-3", u"1,000"})
        EXPECT_FALSE(parseInt(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST_F(NumberText, RoundsDecimalTextDownWithoutBinaryNoise)
{
    EXPECT_EQ(roundDownText(u"0.29", 2), QStringLiteral("0.29"));
    EXPECT_EQ(roundDownText(u"999.96", 2), QStringLiteral("999.96"));
    EXPECT_EQ(roundDownText(u"999.9599999999999", 2), QStringLiteral("999.95"));
    EXPECT_EQ(roundDownText(u"1.239", 2), QStringLiteral("1.23"));
    EXPECT_EQ(roundDownText(u"1.5", 4), QStringLiteral("1.5000"));
    EXPECT_EQ(roundDownText(u"12", 0), QStringLiteral("12"));
    EXPECT_EQ(roundDownText(u"12.999", 0), QStringLiteral("12"));
    // Toward minus infinity.
    EXPECT_EQ(roundDownText(u"-1.231", 2), QStringLiteral("-1.24"));
    EXPECT_EQ(roundDownText(u"-1.230000", 2), QStringLiteral("-1.23"));
    EXPECT_EQ(roundDownText(u"-9.999", 2), QStringLiteral("-10.00"));
    EXPECT_EQ(roundDownText(u"-0.001", 2), QStringLiteral("-0.01"));
    EXPECT_EQ(roundDownText(u"-0.000", 2), QStringLiteral("0.00"));
    EXPECT_EQ(roundDownText(u"-1e-300", 2), QStringLiteral("-0.01"));
    EXPECT_EQ(roundDownText(u"1e-300", 2), QStringLiteral("0.00"));
    // Exponents and padding.
    EXPECT_EQ(roundDownText(u"1.23456e2", 1), QStringLiteral("123.4"));
    EXPECT_EQ(roundDownText(u"5e3", 2), QStringLiteral("5000.00"));
    EXPECT_EQ(roundDownText(u"0012.3400", 3), QStringLiteral("12.340"));
    EXPECT_EQ(roundDownText(u" +7.77 ", 1), QStringLiteral("7.7"));

    for (const char16_t *bad : {u"", u"abc", u"1,5", u"nan", u"inf", u"1e999999999999", u"--1"})
        EXPECT_FALSE(roundDownText(bad, 2).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST_F(NumberText, RoundsValuesDownByWayOfTheirPercentFText)
{
    EXPECT_EQ(roundDownFixed(1000.03 - 0.07, 2), QStringLiteral("999.96"));
    EXPECT_EQ(roundDown(1000.03 - 0.07, 2), 999.96);
    EXPECT_EQ(roundDownFixed(0.29, 2), QStringLiteral("0.29"));
    EXPECT_EQ(roundDown(0.29, 2), 0.29);
    EXPECT_EQ(roundDownFixed(1.005, 2), QStringLiteral("1.00"));
    EXPECT_EQ(roundDownFixed(-1.005, 2), QStringLiteral("-1.01"));
    EXPECT_EQ(roundDownFixed(123456.789, 0), QStringLiteral("123456"));
    EXPECT_EQ(roundDownFixed(std::numeric_limits<double>::quiet_NaN(), 2), QStringLiteral("nan"));
    EXPECT_TRUE(std::isnan(roundDown(std::numeric_limits<double>::quiet_NaN(), 2)));

    // Cents stay cents, whatever their binary form.
    for (long long cents = -100000; cents <= 100000; cents += 7) {
        const double v = double(cents) / 100.0;
        ASSERT_EQ(roundDown(v, 2), v) << cents;
    }
}
