#include "controls/BusyDialog.h"
#include "controls/NameDialog.h"
#include "controls/NumberDialog.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the dialog modally while `drive` types into it; a dialog the script
// left open is ended with -1 so that no test can block.
int runDriven(QDialog &dialog, std::function<void()> drive)
{
    QTimer::singleShot(0, &dialog, [drive] { drive(); });
    QTimer::singleShot(3000, &dialog, [&dialog] {
        if (dialog.isVisible()) dialog.done(-1);
    });
    return dialog.exec();
}

void clearField(QLineEdit *field)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
}

} // namespace

// OK after each step: a name is needed, and with "must change" another name.
TEST(NameDialogTest, OkOnlyForANonEmptyAndWhereAskedAChangedName)
{
    const auto type = [](const char *keys) {
        return [keys](QLineEdit *f) { f->end(false), QTest::keyClicks(f, QString::fromLatin1(keys)); };
    };
    const auto backspace = [](QLineEdit *f) { QTest::keyClick(f, Qt::Key_Backspace); };
    const struct {
        QString initial;
        bool mustChange;
        std::vector<std::pair<std::function<void(QLineEdit *)>, bool>> steps;
    } cases[] = {
        {"Food", false, {{[](QLineEdit *) {}, true}, {clearField, false}, {type("Rent"), true}}},
        {"", false, {{[](QLineEdit *) {}, false}}},
        {"Food", true, {{[](QLineEdit *) {}, false}, {type("s"), true}, {backspace, false}}},
    };
    for (const auto &c : cases) {
        cv::NameDialog dialog(c.initial, QStringLiteral("Name of the category group"), c.mustChange);
        // A short name still leaves the title bar room for the whole title.
        dialog.show();
        EXPECT_GT(dialog.width(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 60);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            c.steps[i].first(dialog.nameField());
            EXPECT_EQ(dialog.okButton()->isEnabled(), c.steps[i].second) << c.initial.toStdString() << " step " << i;
        }
    }
}

TEST(NameDialogTest, ReturnAcceptsAndEscCancels)
{
    cv::NameDialog dialog(QStringLiteral("Food"), QStringLiteral("Rename"), true);
    // The unchanged name does not get through the guard itself (Return alone
    // never reaches it while OK is disabled).
    int code = runDriven(dialog, [&] {
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClicks(dialog.nameField(), QStringLiteral("Meals"));
        QTest::keyClick(dialog.nameField(), Qt::Key_Return);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(dialog.name(), QStringLiteral("Meals"));

    cv::NameDialog other(QStringLiteral("Food"), QStringLiteral("Rename"));
    code = runDriven(other, [&] { QTest::keyClick(other.nameField(), Qt::Key_Escape); });
    EXPECT_EQ(code, 0);
}

TEST(NumberDialogTest, OkAnswersTheNumberAndCancelKeepsTheOldOne)
{
    cv::NumberDialog dialog(2.5, nullptr, QStringLiteral("Loan rate"));
    EXPECT_EQ(dialog.numberField()->text(), QStringLiteral("2.5"));
    int code = runDriven(dialog, [&] {
        QTest::keyClicks(dialog.numberField(), QStringLiteral("3.75"));
        QTest::keyClick(dialog.numberField(), Qt::Key_Return);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(dialog.number(), 3.75);

    cv::NumberDialog cancelled(2.5, nullptr, QStringLiteral("Loan rate"));
    code = runDriven(cancelled, [&] {
        QTest::keyClicks(cancelled.numberField(), QStringLiteral("9"));
        QTest::keyClick(cancelled.numberField(), Qt::Key_Escape);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(cancelled.number(), 2.5);

    cv::NumberDialog closed(2.5, nullptr, QStringLiteral("Loan rate"));
    code = runDriven(closed, [&] {
        QTest::keyClicks(closed.numberField(), QStringLiteral("9"));
        closed.close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(closed.number(), 2.5);
}

TEST(NumberDialogTest, OkOnlyWhileTheTextIsANumber)
{
    cv::NumberDialog dialog(1, nullptr, QString());
    const int code = runDriven(dialog, [&] {
        QTest::keyClicks(dialog.numberField(), QStringLiteral("abc"));
        EXPECT_FALSE(dialog.okButton()->isEnabled());
        QTest::keyClick(dialog.numberField(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        clearField(dialog.numberField());
        EXPECT_FALSE(dialog.okButton()->isEnabled());
        // Words the decimal reader knows are no rate or amount.
        for (const char *word : {"inf", "nan", "1e999"}) {
            QTest::keyClicks(dialog.numberField(), QString::fromLatin1(word));
            EXPECT_FALSE(dialog.okButton()->isEnabled()) << word;
            clearField(dialog.numberField());
        }
        QTest::keyClicks(dialog.numberField(), QStringLiteral("-4"));
        EXPECT_TRUE(dialog.okButton()->isEnabled());
        dialog.okButton()->click();
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(dialog.number(), -4.0);

    // With a formatter its form is shown and read, and empty is 0.
    const cv::PatternFormatter formatter(QStringLiteral("#,##0.00;△#,##0.00"));
    cv::NumberDialog formatted(-1234.5, &formatter, QString());
    EXPECT_EQ(formatted.numberField()->text(), QStringLiteral("△1,234.50"));
    clearField(formatted.numberField());
    EXPECT_TRUE(formatted.okButton()->isEnabled());
}

TEST(BusyWindowTest, ShowsItsMessageAndStaysUntilTheCallerCloses)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    cv::BusyDialog busy(
        cv::formatString(cv::localizedString(QStringLiteral("Loading %@")), {QStringLiteral("Household.cvv2")}));
    cv::setLanguageOverride(QString());
    EXPECT_EQ(busy.messageField()->text(), QStringLiteral("Loading Household.cvv2"));
    EXPECT_EQ(busy.progressBar()->maximum(), 0);
    busy.show();
    QTest::keyClick(&busy, Qt::Key_Escape);
    EXPECT_TRUE(busy.isVisible());
    busy.close();
    EXPECT_FALSE(busy.isVisible());
}
