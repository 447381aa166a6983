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

// Each row types, commits from an input method, pastes or undoes, and reads
// the field after every step.
TEST_F(CurrencyFieldEditorTest, TypingPastingAndUndoRegroupTheAmountAndKeepTheCaret)
{
    using Act = std::function<void(QLineEdit *)>;
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) -> Act {
        return [k, m](QLineEdit *f) { QTest::keyClick(f, k, m); };
    };
    const auto keys = [](const char *text) -> Act {
        return [text](QLineEdit *f) { QTest::keyClicks(f, QString::fromUtf8(text)); };
    };
    const auto at = [](int caret, Act act) -> Act {
        return [caret, act](QLineEdit *f) { f->setCursorPosition(caret), act(f); };
    };
    const auto commit = [](const char *text) -> Act {
        return [text](QLineEdit *f) {
            QInputMethodEvent preedit(QString::fromUtf8(text), {});
            QCoreApplication::sendEvent(f, &preedit);
            QInputMethodEvent event;
            event.setCommitString(QString::fromUtf8(text));
            QCoreApplication::sendEvent(f, &event);
        };
    };
    const auto paste = [](const char *text, bool fromMenu = false) -> Act {
        return [=](QLineEdit *f) {
            QApplication::clipboard()->setText(QString::fromUtf8(text));
            if (fromMenu)
                cv::GetCurrencyFieldEditor()->paste(f);
            else
                QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        };
    };
    const Act undo = key(Qt::Key_Z, Qt::ControlModifier);
    const Act redo = key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    struct Step {
        Act act;
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
        {"yen regroups as typed; a digit in the middle keeps the caret after it; no amount stays as typed", kYen, "", 0,
         {{keys("1234"), "1,234", 5}, {at(2, key(Qt::Key_5)), "15,234", 3}, {keys("x"), "15,x234", -1}}},
        {"backspace after a separator takes the digit before it", kYen, "12,345", 3,
         {{key(Qt::Key_Backspace), "1,345", 2}, {undo, "12,345", -1}}},
        {"a plain backspace regroups after the field deleted the digit", kYen, "1,345", 5,
         {{key(Qt::Key_Backspace), "134", -1}, {undo, "1,34", -1}}},
        {"undo takes back the regrouping, then the typing; redo the typing", kYen, "", 0,
         {{keys("1234"), "1,234", 5}, {undo, "1234", -1}, {undo, "", -1}, {redo, "1234", -1}}},
        {"a digit typed before the point regroups the whole amount", kDollar, "123.45", 3,
         {{key(Qt::Key_4), "1,234.45", 5}}},
        {"cents are left alone while the fraction is typed", kDollar, "", 0,
         {{keys("1234.5"), "1,234.5", -1}, {keys("0"), "1,234.50", -1}, {at(1, key(Qt::Key_9)), "19,234.50", 2}}},
        {"a negative amount can be typed from its sign on", kDollar, "", 0, {{keys("-0.5"), "-0.5", -1}}},
        {"full-width digits and the input method's sign become the amount", kYen, "", 0,
         {{commit("１２３４"), "1,234", 5}, {commit("５"), "12,345", -1}, {at(0, commit("ー")), "-12,345", -1}}},
        {"a sign committed with a digit", kYen, "", 0, {{[&](QLineEdit *f) { commit("ー０")(f), commit("５")(f); }, "-5", -1}}},
        {"a pasted full-width amount", kYen, "", 0, {{paste("１，０００"), "1,000", -1}}},
        {"a paste that leaves no amount is refused, by key or by the menu", kYen, "1,000", 5,
         {{paste("abc"), "1,000", -1}, {paste("234"), "1,000,234", -1}, {paste("x", true), "1,000,234", -1},
          {[&](QLineEdit *f) { f->selectAll(), paste("5000", true)(f); }, "5,000", -1}}},
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
    EXPECT_TRUE(formatter.getObjectValue(value, QStringLiteral("-12,345")));
    EXPECT_EQ(value, -12345.0);
    EXPECT_EQ(formatter.stringForObjectValue(1234.6), QStringLiteral("1,235"));
}
