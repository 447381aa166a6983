#include "ControlsTestSupport.h"

#include "controls/CurrencyFormatter.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace cvtest;

namespace {

class CurrencyFieldEditorTest : public ::testing::Test {
protected:
    void TearDown() override { cv::setLanguageOverride(QString()); }
    std::unique_ptr<cv::AmountText> m_amounts = makeYenBook();
};

} // namespace

TEST_F(CurrencyFieldEditorTest, TypingYenRegroupsWithTheCaretAfterTheLastDigit)
{
    AmountWindow window(m_amounts.get(), kYen);
    QTest::keyClicks(window.field, QStringLiteral("1234"));
    EXPECT_EQ(window.field->text(), QStringLiteral("1,234"));
    EXPECT_EQ(window.field->cursorPosition(), 5);
    // Typing in the middle keeps the caret after the new digit.
    window.field->setCursorPosition(2);
    QTest::keyClick(window.field, Qt::Key_5);
    EXPECT_EQ(window.field->text(), QStringLiteral("15,234"));
    EXPECT_EQ(window.field->cursorPosition(), 3);
    // Text that is no amount stays as typed.
    QTest::keyClicks(window.field, QStringLiteral("x"));
    EXPECT_EQ(window.field->text(), QStringLiteral("15,x234"));
}

TEST_F(CurrencyFieldEditorTest, DeletingAndUndoGiveBackWhatWasThere)
{
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [k, m](QLineEdit *f) { QTest::keyClick(f, k, m); };
    };
    const auto undo = key(Qt::Key_Z, Qt::ControlModifier);
    const auto redo = key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    struct Step {
        std::function<void(QLineEdit *)> act;
        QString text;
        int caret; // -1: not checked
    };
    // clang-format off
    const struct {
        const char *what;
        int currency;
        QString start;
        int caret;
        std::vector<Step> steps;
    } cases[] = {
        {"backspace after a separator takes the digit before it", kYen, "12,345", 3,
         {{key(Qt::Key_Backspace), "1,345", 2}, {undo, "12,345", -1}}},
        {"a plain backspace regroups after the field deleted the digit", kYen, "1,345", 5,
         {{key(Qt::Key_Backspace), "134", -1}, {undo, "1,34", -1}}},
        {"undo takes back the regrouping, then the typing; redo the typing", kYen, "", 0,
         {{[](QLineEdit *f) { QTest::keyClicks(f, QStringLiteral("1234")); }, "1,234", 5},
          {undo, "1234", -1},
          {undo, "", -1},
          {redo, "1234", -1}}},
        {"a digit typed before the point regroups the whole amount", kDollar, "123.45", 3,
         {{key(Qt::Key_4), "1,234.45", 5}}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        AmountWindow window(m_amounts.get(), c.currency);
        window.field->setText(c.start);
        window.field->setCursorPosition(c.caret);
        for (const Step &step : c.steps) {
            step.act(window.field);
            EXPECT_EQ(window.field->text(), step.text);
            if (step.caret >= 0) {
                EXPECT_EQ(window.field->cursorPosition(), step.caret) << step.text.toStdString();
            }
        }
    }
}

TEST_F(CurrencyFieldEditorTest, CentsAreLeftAloneWhileTheFractionIsTyped)
{
    AmountWindow window(m_amounts.get(), kDollar);
    QTest::keyClicks(window.field, QStringLiteral("1234.5"));
    EXPECT_EQ(window.field->text(), QStringLiteral("1,234.5"));
    QTest::keyClicks(window.field, QStringLiteral("0"));
    EXPECT_EQ(window.field->text(), QStringLiteral("1,234.50"));
    window.field->setCursorPosition(1);
    QTest::keyClick(window.field, Qt::Key_9);
    EXPECT_EQ(window.field->text(), QStringLiteral("19,234.50"));
    EXPECT_EQ(window.field->cursorPosition(), 2);
    // A negative amount can be typed from its sign on.
    window.field->clear();
    QTest::keyClicks(window.field, QStringLiteral("-0.5"));
    EXPECT_EQ(window.field->text(), QStringLiteral("-0.5"));
}

TEST_F(CurrencyFieldEditorTest, FullWidthDigitsFromAnInputMethodBecomeTheAmount)
{
    AmountWindow window(m_amounts.get(), kYen);
    const auto commit = [&](const QString &text) {
        QInputMethodEvent preedit(text, {});
        QCoreApplication::sendEvent(window.field, &preedit);
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(window.field, &event);
    };
    commit(QStringLiteral("１２３４"));
    EXPECT_EQ(window.field->text(), QStringLiteral("1,234"));
    EXPECT_EQ(window.field->cursorPosition(), 5);
    commit(QStringLiteral("５"));
    EXPECT_EQ(window.field->text(), QStringLiteral("12,345"));
    // The sign as a Japanese input method writes it.
    window.field->setCursorPosition(0);
    commit(QStringLiteral("ー"));
    EXPECT_EQ(window.field->text(), QStringLiteral("-12,345"));
    double value = 0;
    cv::CurrencyFormatter(m_amounts.get(), kYen).getObjectValue(value, window.field->text());
    EXPECT_EQ(value, -12345.0);
    window.field->clear();
    commit(QStringLiteral("ー０"));
    commit(QStringLiteral("５"));
    EXPECT_EQ(window.field->text(), QStringLiteral("-5"));

    window.field->clear();
    QApplication::clipboard()->setText(QStringLiteral("１，０００"));
    QTest::keyClick(window.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window.field->text(), QStringLiteral("1,000"));
}

TEST_F(CurrencyFieldEditorTest, PasteOfSomethingElseThanAnAmountIsRefused)
{
    AmountWindow window(m_amounts.get(), kYen);
    window.field->setText(QStringLiteral("1,000"));
    window.field->end(false);
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(window.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window.field->text(), QStringLiteral("1,000"));
    QApplication::clipboard()->setText(QStringLiteral("234"));
    QTest::keyClick(window.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window.field->text(), QStringLiteral("1,000,234"));
    // The context menu's paste takes the same road.
    QApplication::clipboard()->setText(QStringLiteral("x"));
    cv::GetCurrencyFieldEditor()->paste(window.field);
    EXPECT_EQ(window.field->text(), QStringLiteral("1,000,234"));
    window.field->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("5000"));
    cv::GetCurrencyFieldEditor()->paste(window.field);
    EXPECT_EQ(window.field->text(), QStringLiteral("5,000"));
}

TEST_F(CurrencyFieldEditorTest, CurrencyFormatterReadsUnreadableTextAsZero)
{
    cv::CurrencyFormatter formatter(m_amounts.get(), kDollar);
    EXPECT_EQ(formatter.stringForObjectValue(1234.5), QStringLiteral("1,234.50"));
    EXPECT_EQ(formatter.attributedStringForObjectValue(-1).color, cv::negativeAmountColor());
    double value = 7;
    EXPECT_TRUE(formatter.getObjectValue(value, QStringLiteral("$1,234.5")));
    EXPECT_EQ(value, 1234.5);
    EXPECT_TRUE(formatter.getObjectValue(value, QStringLiteral("abc")));
    EXPECT_EQ(value, 0.0);
    formatter.setCurrency(kYen);
    EXPECT_EQ(formatter.stringForObjectValue(1234.6), QStringLiteral("1,235"));
}
