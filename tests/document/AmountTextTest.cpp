#include "document/AmountText.h"

#include "model/Settings.h"
#include "platform/Localization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

using cv::AmountText;
using cv::TextSelection;

namespace {

// A book in yen with a dollar account: 0 and 1 are yen, 2 is dollars.
class AmountTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        m_currencies[1] =
            cv::Currency::currencyWith(QStringLiteral("Yen"), QStringLiteral("JPY"), QStringLiteral("¥"), 0);
        m_currencies[2] =
            cv::Currency::currencyWith(QStringLiteral("Dollar"), QStringLiteral("USD"), QStringLiteral("$"), 2);
        m_amounts = std::make_unique<AmountText>([this](int ident) -> cv::CurrencyPtr {
            const auto it = m_currencies.find(ident == 0 ? 1 : ident);
            return it == m_currencies.end() ? nullptr : it->second;
        });
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    static constexpr int kYen = 1;
    static constexpr int kDollar = 2;
    std::map<int, cv::CurrencyPtr> m_currencies;
    std::unique_ptr<AmountText> m_amounts;
};

} // namespace

TEST_F(AmountTextTest, FormatterChoiceFollowsTheCurrencysDigits)
{
    const AmountText &a = *m_amounts;
    EXPECT_EQ(a.formatterForCurrency(kYen).format(), cv::localizedString(QStringLiteral("Int Format")));
    EXPECT_EQ(a.formatterForCurrency(0).format(), cv::localizedString(QStringLiteral("Int Format")));
    EXPECT_EQ(a.formatterForCurrency(kDollar).format(), cv::localizedString(QStringLiteral("Cent Format")));
    EXPECT_EQ(a.centFormatterForCurrency(kDollar).format(), cv::localizedString(QStringLiteral("Frac4 Format")));
    EXPECT_EQ(a.centFormatterForCurrency(kYen).format(), cv::localizedString(QStringLiteral("Cent Format")));
    EXPECT_EQ(a.fundFormatterForCurrency(kDollar), nullptr);
    // An unknown currency has no digits.
    EXPECT_EQ(a.formatterForCurrency(77).format(), cv::localizedString(QStringLiteral("Int Format")));
}

TEST_F(AmountTextTest, AmountToTextCutsEmptyCentsAndPrefixesForeignCurrencies)
{
    const AmountText &a = *m_amounts;
    EXPECT_EQ(a.stringForValue(1200, kDollar), QStringLiteral("1,200.00"));
    EXPECT_EQ(a.stringForValue(1200, kDollar, true), QStringLiteral("1,200"));
    EXPECT_EQ(a.stringForValue(1200.5, kDollar, true), QStringLiteral("1,200.50"));
    EXPECT_EQ(a.stringWithPrefixForValue(12.5, kDollar), QStringLiteral("$12.50"));
    EXPECT_EQ(a.numberForString(QStringLiteral("$12.50"), kDollar), 12.5);
    EXPECT_EQ(a.numberForString(QStringLiteral("$1,234.50"), kDollar), 1234.5);
    // The default currency never shows its prefix, by any of its idents.
    EXPECT_EQ(a.stringWithPrefixForValue(1234, kYen), QStringLiteral("1,234"));
    EXPECT_EQ(a.stringWithPrefixForValue(1234, 0), QStringLiteral("1,234"));
    EXPECT_EQ(a.stringWithPrefixForFundValue(1234, kYen), QStringLiteral("1,234"));
    EXPECT_EQ(a.numberForString(QString(), kYen), 0.0);
    EXPECT_FALSE(a.numberForString(QStringLiteral("abc"), kYen));
    EXPECT_EQ(a.centStringForValue(3.14159, kDollar), QStringLiteral("3.1416"));
    EXPECT_EQ(a.numberForCentString(QStringLiteral("$3.1416"), kDollar), 3.1416);
    EXPECT_EQ(a.stringForTradingNumberOfUnits(1000000), QStringLiteral("1,000,000"));
}

TEST_F(AmountTextTest, FullWidthTextFromAnInputMethodReadsAsTheAmount)
{
    const AmountText &a = *m_amounts;
    EXPECT_EQ(a.numberForString(QStringLiteral("１，２３４"), kYen), 1234.0);
    EXPECT_EQ(a.numberForString(QStringLiteral("$１２．５０"), kDollar), 12.5);
    EXPECT_EQ(a.numberForString(QStringLiteral("－５"), kYen), -5.0);
    EXPECT_EQ(a.numberForString(QStringLiteral("ー５"), kYen), -5.0);
    EXPECT_EQ(a.numberForCentString(QStringLiteral("３．１４１６"), kDollar), 3.1416);
    EXPECT_EQ(a.fundValueForString(QStringLiteral("１，２３４．５"), kDollar), 1234.5);
    EXPECT_FALSE(a.numberForString(QStringLiteral("１２あ"), kYen));
}

TEST_F(AmountTextTest, NegativesStayVisibleOnScreenAndInPrint)
{
    AmountText &a = *m_amounts;
    EXPECT_EQ(a.stringForValue(-1200, kDollar, true), QStringLiteral("-1,200"));
    EXPECT_EQ(a.numberForString(a.stringWithPrefixForValue(-12.5, kDollar), kDollar), -12.5);
    for (int currency : {kYen, kDollar}) {
        EXPECT_EQ(a.attributedStringForValue(-3, currency).color, cv::negativeAmountColor()) << currency;
        EXPECT_FALSE(a.attributedStringForValue(3, currency).color.isValid());
    }
    EXPECT_EQ(a.attributedStringForValue(-3, kDollar).text, QStringLiteral("-3.00"));

    cv::setLanguageOverride(QStringLiteral("ja"));
    a.loadFormats();
    a.beginCurrencyPrinting();
    EXPECT_EQ(a.stringForValue(-1234, kYen), QStringLiteral("△1,234"));
    EXPECT_EQ(a.numberForString(QStringLiteral("△1,234"), kYen), -1234.0);
    EXPECT_EQ(a.stringForTradingNumberOfUnits(-5), QStringLiteral("△5"));
    // Paper shows the sign in the text, not in colour.
    EXPECT_FALSE(a.attributedStringForValue(-3, kYen).color.isValid());
    a.endCurrencyPrinting();
    EXPECT_EQ(a.stringForValue(-1234, kYen), QStringLiteral("-1,234"));
}

TEST_F(AmountTextTest, FundForm)
{
    const AmountText &a = *m_amounts;
    EXPECT_EQ(a.stringForFundValue(1234.5, kYen), QStringLiteral("1,234.50"));
    EXPECT_EQ(a.stringForFundValue(1234, kYen), QStringLiteral("1,234"));
    EXPECT_EQ(a.stringForFundValue(-1234.5, kYen), QStringLiteral("-1,234.50"));
    EXPECT_EQ(a.stringForFundValue(12.34, kYen), QStringLiteral("12.34"));
    EXPECT_EQ(a.stringForFundValue(1234567, kYen), QStringLiteral("1,234,567"));
    EXPECT_EQ(a.stringForFundValue(-123456, kYen), QStringLiteral("-123,456"));
    EXPECT_EQ(a.stringForFundValue(12, kYen, false, true), QStringLiteral("12.00"));
    EXPECT_EQ(a.stringForFundValue(0.123456, kYen), QStringLiteral("0.123456"));
    EXPECT_EQ(a.stringForFundValue(-0.0000001, kYen), QStringLiteral("0"));
    EXPECT_EQ(a.stringForFundValue(-0.0, kYen, false, true), QStringLiteral("0.00"));
    EXPECT_EQ(a.stringForFundValue(1.23456, kDollar, true, false, 2), QStringLiteral("$1.23"));
}

TEST_F(AmountTextTest, TextToNumberNeverAnswersNotANumber)
{
    const AmountText &a = *m_amounts;
    EXPECT_EQ(a.fundValueForString(QStringLiteral("$1,234.5"), kDollar), 1234.5);
    for (const char *text : {"", "abc", "nan", "inf", "1,2x"})
        EXPECT_EQ(a.fundValueForString(QString::fromLatin1(text), kDollar), 0.0) << text;
    EXPECT_EQ(AmountText::numberForRoundString(QStringLiteral("1.15"), 2), 1.15);
    EXPECT_EQ(AmountText::numberForRoundString(QStringLiteral("2.999"), 2), 2.99);
    EXPECT_EQ(AmountText::numberForRoundString(QStringLiteral("0.29"), 2), 0.29);
    EXPECT_EQ(AmountText::numberForRoundString(QStringLiteral("-1.231"), 2), -1.24);
    EXPECT_EQ(AmountText::numberForRoundString(QStringLiteral("nan"), 2), 0.0);
    EXPECT_EQ(AmountText::numberForRoundString(QStringLiteral("x"), 2), 0.0);
    EXPECT_EQ(AmountText::stringForRoundValue(0.29, 2), QStringLiteral("0.29"));
    EXPECT_EQ(AmountText::stringForRoundValue(2.999, 2), QStringLiteral("2.99"));
}

TEST_F(AmountTextTest, LiveReformattingOfProposedText)
{
    const AmountText &a = *m_amounts;
    const auto propose = [&](const QString &current, int caret, const QString &proposed, int currency, int digits = 0) {
        return a.proposedString(current, TextSelection{caret, 0}, proposed, currency, digits);
    };
    EXPECT_EQ(propose("123", 3, "1234", kYen), QStringLiteral("1,234"));
    EXPECT_FALSE(propose("1,23", 4, "1,234", kYen));
    EXPECT_FALSE(propose("12", 2, "12x", kYen));
    EXPECT_EQ(propose("$123", 4, "$1234", kDollar), QStringLiteral("$1,234"));
    // Typing the fraction keeps it as typed.
    EXPECT_EQ(propose("1234.", 5, "1234.5", kDollar), QStringLiteral("$1,234.5"));
    // A fraction length cuts extra digits but keeps a typed point.
    EXPECT_EQ(propose("12", 2, "12.", kYen, 4), QStringLiteral("12."));
    EXPECT_EQ(propose("1234.5", 6, "1234.56789", kYen, 4), QStringLiteral("1,234.5678"));
    // "-" then "0" is on its way to a negative amount.
    EXPECT_FALSE(propose("-", 1, "-0", kYen));
    // A third fraction digit must not round the whole part up: 9.999 is no 10.999.
    EXPECT_EQ(propose("9.99", 4, "9.999", kDollar), QStringLiteral("$9.999"));
    EXPECT_EQ(propose("-0.99", 5, "-0.999", kDollar), QStringLiteral("$-0.999"));
    EXPECT_EQ(propose("1999.9", 6, "1999.99", kDollar), QStringLiteral("$1,999.99"));
}

TEST_F(AmountTextTest, DeleteKeysTakeTheDigitBesideASeparator)
{
    const int back = cv::kBackwardDeleteKey, forward = cv::kForwardDeleteKey;
    const struct {
        const char *what;
        const char *text;
        TextSelection selection;
        int key, currency;
        const char *after; // nullptr: left to the editor
        TextSelection caret;
    } cases[] = {
        {"backward over a separator", "12,345", {3, 0}, back, kYen, "1,345", {2, 0}},
        {"forward over a separator", "12,345", {2, 0}, forward, kYen, "1,245", {3, 0}},
        {"forward over a digit regroups", "1,234", {0, 0}, forward, kYen, "234", {0, 0}},
        {"a plain digit backward", "12,345", {6, 0}, back, kYen, nullptr, {}},
        {"backward at the start", "12,345", {0, 0}, back, kYen, nullptr, {}},
        {"forward at the end", "12,345", {6, 0}, forward, kYen, nullptr, {}},
        {"the whole text", "12,345", {0, 6}, back, kYen, "", {0, 0}},
        {"never the prefix", "$1,234", {1, 0}, back, kDollar, "$1,234", {1, 0}},
        {"a selection over the prefix", "$1,234", {0, 3}, forward, kDollar, "$234", {1, 0}},
        {"forward after the prefix", "$1,234", {1, 0}, forward, kDollar, "$234", {1, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = m_amounts->handleDeleteKey(QString::fromUtf8(c.text), c.selection, c.key, c.currency);
        ASSERT_EQ(r.has_value(), c.after != nullptr);
        if (!r) continue;
        EXPECT_EQ(r->text, QString::fromUtf8(c.after));
        EXPECT_EQ(r->selection, c.caret);
    }
}

TEST(PeriodOfTodayTest, CalendarFrameOfTheViewerUnit)
{
    cv::Settings settings;
    const struct {
        int unit;
        QDate today, begin, end;
        const char *format;
    } cases[] = {
        {4, QDate(2009, 12, 15), QDate(2009, 7, 1), QDate(2009, 12, 31), "YYYY/MM"},
        {3, QDate(2009, 5, 20), QDate(2009, 4, 1), QDate(2009, 6, 30), "YYYY/MM"},
        {2, QDate(2008, 2, 10), QDate(2008, 2, 1), QDate(2008, 2, 29), nullptr},
        {5, QDate(2009, 5, 20), QDate(2009, 1, 1), QDate(2009, 12, 31), "YYYY"},
        {0, QDate(2009, 5, 20), QDate(2009, 5, 20), QDate(2009, 5, 20), nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.unit);
        settings.setViewerUnit(c.unit);
        const cv::PeriodOfToday p = cv::periodOfToday(settings, c.today);
        EXPECT_EQ(p.begin, c.begin);
        EXPECT_EQ(p.end, c.end);
        if (c.format) {
            EXPECT_EQ(cv::periodFormatKey(p.formatSlot), QLatin1String(c.format));
        }
    }
}
