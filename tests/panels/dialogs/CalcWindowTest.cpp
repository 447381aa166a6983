// The calculator: key sequences against the display, the tax rules and
// rate key, memory, the error state, and the exact value posted by Enter.
#include "panels/dialogs/CalculatorWindow.h"
#include "panels/dialogs/Decimal.h"

#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Presses the keys named in `keys`, separated by spaces.
void press(cv::CalculatorWindow &calc, const QString &keys)
{
    // Each key's index in its row is the code the calculator takes for it.
    static const QStringList operators{"", "+", "-", "x", "/"}, unary{"sign", "int", "cents", "in", "out", "tax"},
        memory{"MC", "MR", "M+"}, clear{"AC", "C", "del"};
    for (const QString &key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (key.size() == 1 && key.at(0).isDigit())
            calc.numkey(key.toInt());
        else if (key == QLatin1String("."))
            calc.numkey(10);
        else if (key == QLatin1String("="))
            calc.getsum();
        else if (key == QLatin1String("rate"))
            calc.taxKey(2);
        else if (operators.indexOf(key) > 0)
            calc.oprKey(cv::CalculatorWindow::Operation(operators.indexOf(key)));
        else if (unary.contains(key))
            calc.unaryOprKey(5 + int(unary.indexOf(key)));
        else if (memory.contains(key))
            calc.memKey(int(memory.indexOf(key)));
        else if (clear.contains(key))
            calc.clrKey(int(clear.indexOf(key)));
        else
            ADD_FAILURE() << "unknown key " << key.toStdString();
    }
}

struct Sequence {
    const char *keys;
    int taxRule;
    const char *shown; // "": the error state, nothing to post or copy
};

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().remove(QStringLiteral("CVTaxRate")); }
    void TearDown() override { QSettings().remove(QStringLiteral("CVTaxRate")); }
};

TEST_F(CalculatorTest, KeySequencesShowExactDecimalResults)
{
    // clang-format off
    const Sequence sequences[] = {
        {"0 . 1 + 0 . 2 =", 0, "0.3"}, {"0 0", 0, "0"}, {"5 sign 3", 0, "-53"}, {"1 2 3 del", 0, "12"},
        {"2 + 3 x 4 =", 0, "20"}, // evaluated left to right
        {"6 + - 2 =", 0, "4"},    // the second operator replaces the first
        {"1 . 5 0", 0, "1.50"},   // typed zeros stay while typing
        {"1 2 3 4 5 6 7", 0, "1,234,567"}, {"1 2 . 3 4 5 6 cents", 0, "12.34"}, {"1 2 . 3 4 5 6 int", 0, "12"},
        {"1 / 3 x 3 =", 0, "0.99999999999999999999"}, // twenty places, as a decimal calculator shows
        {"9 9 9 in", 0, "1,048.95"},                  // no stored rate: 5 %
        {"9 9 9 in", 1, "1,049"}, {"9 9 9 in", 2, "1,048"}, {"9 9 9 in", 3, "1,049"}, {"1 0 5 0 out", 0, "1,000"},
        {"9 9 9 tax", 2, "49"}, {"1 0 0 M+ 5 0 M+ MR", 0, "150"}, {"1 0 0 M+ MC MR", 0, "0"},
        {"7 + 8 C 2 =", 0, "9"}, {"5 / 0 =", 0, ""},
        {"5 / 0 = 4 + 1 =", 0, ""}, // keys are ignored in the error state
        {"5 / 0 = AC 4 + 1 =", 0, "5"},
    };
    // clang-format on
    for (const Sequence &s : sequences) {
        cv::CalculatorWindow calc(s.taxRule);
        press(calc, QString::fromLatin1(s.keys));
        EXPECT_EQ((*s.shown ? calc.displayText() : calc.getDisplayedString()).toStdString(), s.shown)
            << s.keys << " rule " << s.taxRule;
        EXPECT_EQ(calc.isErrorState(), !*s.shown) << s.keys;
    }
}

TEST_F(CalculatorTest, TheRateKeyStoresTheRateForLaterCalculators)
{
    cv::CalculatorWindow calc(0);
    press(calc, QStringLiteral("8 rate"));
    EXPECT_EQ(QSettings().value(QStringLiteral("CVTaxRate")).toString(), QStringLiteral("8"));
    cv::CalculatorWindow later(0);
    EXPECT_EQ(later.getTaxRate(), cv::Decimal::fromInt(8));
    press(later, QStringLiteral("1 0 0 0 in"));
    EXPECT_EQ(later.displayText(), QStringLiteral("1,080"));
}

class ValueTaker : public QDialog {
    Q_OBJECT
public:
    Q_INVOKABLE void performInputValue(const QString &value) { taken << value; }
    QStringList taken;
};

TEST_F(CalculatorTest, EnterPostsTheExactTextToTheModalWindowAndClearsTheEntry)
{
    ValueTaker taker;
    taker.setWindowModality(Qt::ApplicationModal);
    taker.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &taker);
    cv::CalculatorWindow calc(0);
    press(calc, QStringLiteral("0 . 1 + 0 . 2 ="));
    calc.doEnter();
    ASSERT_EQ(taker.taken, QStringList{QStringLiteral("0.3")});
    press(calc, QStringLiteral("1 2 3 4"));
    calc.doEnter();
    EXPECT_EQ(taker.taken.last(), QStringLiteral("1234")); // no grouping in the posted text
    EXPECT_EQ(calc.displayText(), QStringLiteral("0"));
    press(calc, QStringLiteral("1 / 0 ="));
    calc.doEnter();
    EXPECT_EQ(taker.taken.size(), 2); // an error posts nothing
    taker.hide();
}

TEST(DecimalTest, ArithmeticIsExactAndRefusesWhatItCannotHold)
{
    using cv::Decimal;
    const auto d = [](const char *t) { return *Decimal::fromString(QString::fromLatin1(t)); };
    EXPECT_EQ((*(d("0.1") + d("0.2"))).toString(), QStringLiteral("0.3"));
    EXPECT_EQ((*(d("1048.95") - d("0.95"))).toString(), QStringLiteral("1048"));
    EXPECT_EQ((*(d("-2.5") * d("4"))).toString(), QStringLiteral("-10"));
    EXPECT_EQ((*(d("2") / d("3"))).toString(), QStringLiteral("0.66666666666666666667"));
    EXPECT_FALSE(d("1") / d("0"));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("1e5")));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("-")));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("nan")));
    const Decimal huge = d("99999999999999999999");
    EXPECT_FALSE(huge * huge); // overflow is refused, never wrapped
    EXPECT_EQ(d("-1.5").rounded(0, Decimal::Rounding::HalfAwayFromZero).toString(), QStringLiteral("-2"));
    EXPECT_EQ(d("-1.5").rounded(0, Decimal::Rounding::Floor).toString(), QStringLiteral("-2"));
    EXPECT_EQ(d("-1.5").rounded(0, Decimal::Rounding::Ceiling).toString(), QStringLiteral("-1"));
}

} // namespace

#include "CalcWindowTest.moc"
