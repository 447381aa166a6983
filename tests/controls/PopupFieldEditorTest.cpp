// Typing into the shared field editor: amounts, chooser cells, date cells
// and input-method composition.

#include "ControlsTestSupport.h"

#include "controls/DateCellCalendar.h"
#include "controls/PopupFieldEditor.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMainWindow>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

using cvtest::RecordingTableClient;

namespace {

constexpr int kAmountColumn = 1;

// Typed or pasted into an amount cell; with the document's amounts the text
// is regrouped, and the caret stays at its end. Tab stores it; a text the
// owner refuses keeps the edit, marked red with the reason in the status bar,
// until the typing mends it or the edit goes with its table.
TEST(FieldEditor, AmountsKeepDigitsOnePointAndTheSignApartAndRefuseAPasteOfNoAmount)
{
    const auto book = cvtest::makeYenBook();
    // clang-format off
    const struct {
        const char *name;
        int fractionLength;
        bool allowsNegative, regrouped;
        QString startText, keys, pasted, text;
        bool negative;
        bool refused; // Tab leaves it in edit, marked red
    } cases[] = {
        {"no point without fraction digits", 0, true, false, "", "1.5", "", "15", false, false},
        {"one point with fraction digits", 2, true, false, "", "1.5.", "", "1.5", false, false},
        {"letters stay for the store to refuse", 0, true, false, "", "1a2b", "", "1a2b", false, true},
        {"minus marks negative without typing", 0, true, false, "15", "-", "", "15", true, false},
        {"a second minus undoes it", 0, true, false, "15", "--", "", "15", false, false},
        {"minus does nothing where refused", 0, false, false, "15", "-", "", "15", false, false},
        {"typed digits are regrouped by the document", 0, true, true, "", "1234", "", "1,234", false, false},
        {"a paste of no amount is refused", 0, true, true, "12", "", "abc", "12", false, false},
        {"a pasted digit joins the amount", 0, true, true, "12", "", "3", "123", false, false},
    };
    // clang-format on
    const auto markedRed = [](const QLineEdit *editor) {
        const QColor base = editor->palette().color(QPalette::Base);
        return base != QApplication::palette().color(QPalette::Base) && base.red() > base.green();
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTableClient client(3, 1);
        client.refuses = [](const QString &text) {
            return text.contains(QRegularExpression(QStringLiteral("[^-0-9,.]"))) ? QStringLiteral("not an amount")
                                                                                  : QString();
        };
        if (c.regrouped) client.amounts = book.get();
        client.currencies[kAmountColumn] = {cvtest::kYen, c.fractionLength};
        client.allowsNegative = c.allowsNegative;
        client.cells[0][kAmountColumn] = c.startText;
        QMainWindow window;
        window.statusBar()->show();
        window.setCentralWidget(cvtest::makeTable(client, 3).release());
        window.show();
        auto *table = static_cast<cv::EditingTable *>(window.centralWidget());
        table->performClickAtColumn(kAmountColumn, 0, nullptr);
        cv::PopupFieldEditor *editor = cv::GetPopupFieldEditor();
        editor->end(false);
        QTest::keyClicks(editor, c.keys);
        if (!c.pasted.isEmpty()) {
            QApplication::clipboard()->setText(c.pasted);
            QTest::keySequence(editor, QKeySequence::Paste);
        }
        EXPECT_EQ(editor->text(), c.text);
        EXPECT_EQ(editor->cursorPosition(), editor->text().size());
        EXPECT_EQ(editor->lastCurrencyValueWasNegative(), c.negative);
        const QColor expected = c.negative ? cv::negativeColor() : QApplication::palette().color(QPalette::Text);
        EXPECT_EQ(editor->palette().color(QPalette::Text), expected);

        QTest::keyClick(editor, Qt::Key_Tab);
        EXPECT_EQ(markedRed(editor), c.refused);
        EXPECT_EQ(window.statusBar()->currentMessage(), c.refused ? QStringLiteral("not an amount") : QString());
        if (!c.refused) continue;
        QTest::keySequence(editor, QKeySequence::SelectAll);
        QTest::keyClicks(editor, QStringLiteral("12"));
        EXPECT_FALSE(markedRed(editor));
        EXPECT_EQ(window.statusBar()->currentMessage(), QString());
        QTest::keyClick(editor, Qt::Key_Tab);
        EXPECT_EQ(client.actions().filter(QStringLiteral("set ")), QStringList{QStringLiteral("set '12' 1 0")});
        table->performClickAtColumn(kAmountColumn, 0, nullptr);
        QTest::keyClicks(editor, QStringLiteral("x"));
        QTest::keyClick(editor, Qt::Key_Tab);
        ASSERT_FALSE(window.statusBar()->currentMessage().isEmpty());
        delete window.takeCentralWidget(); // the page was left
        EXPECT_EQ(window.statusBar()->currentMessage(), QString());
    }
}

TEST(FieldEditor, TheSignOfAnEditedAmountComesFromTheOwnersFlagBeforeItsColour)
{
    struct SignCase {
        QColor color;
        std::optional<bool> negative;
        bool expected;
    };
    const QColor blue(0, 0, 200);
    for (const SignCase &c : {SignCase{blue, true, true}, SignCase{cv::negativeColor(), false, false},
                              SignCase{cv::negativeColor(), std::nullopt, true}, SignCase{blue, std::nullopt, false}}) {
        RecordingTableClient client(2, 1);
        client.currencies[kAmountColumn] = {cvtest::kYen, 0};
        client.styled[{kAmountColumn, 0}] =
            cv::StyledText{QStringLiteral("1,500"), c.color, Qt::AlignRight, c.negative};
        auto table = cvtest::makeTable(client, 2);
        table->show();
        table->performClickAtColumn(kAmountColumn, 0, nullptr);
        EXPECT_EQ(cv::GetPopupFieldEditor()->lastCurrencyValueWasNegative(), c.expected);
    }
}

TEST(FieldEditor, AChooserCellShowingItsButtonOpensTheChooserInsteadOfTyping)
{
    const std::vector<std::tuple<const char *, bool, Qt::Key, Qt::KeyboardModifiers, QStringList, QString>> cases = {
        {"a letter", true, Qt::Key_A, Qt::NoModifier, {"editColumn 1 0"}, "Food"},
        {"Down", true, Qt::Key_Down, Qt::NoModifier, {"editColumn 1 0"}, "Food"},
        {"Shift+Down is a table command", true, Qt::Key_Down, Qt::ShiftModifier, {}, "Food"},
        {"a letter with buttons off", false, Qt::Key_A, Qt::NoModifier, {}, "a"},
    };
    for (const auto &[name, buttons, key, modifiers, actions, text] : cases) {
        RecordingTableClient client(3, 2);
        client.kinds[1] = cv::CellKind::Chooser;
        client.showsButtons = buttons;
        client.cells[0][1] = QStringLiteral("Food");
        auto table = cvtest::makeTable(client, 3);
        table->show();
        table->performClickAtColumn(1, 0, nullptr);
        client.log.clear();
        QTest::keyClick(cv::GetPopupFieldEditor(), key, modifiers);
        EXPECT_EQ(client.actions(), actions) << name;
        EXPECT_EQ(cv::GetPopupFieldEditor()->text(), text) << name;
    }
}

TEST(FieldEditor, AClickOnTheChooserButtonOpensTheChooserAndOnItsTextDoesNot)
{
    RecordingTableClient client(3, 1);
    client.kinds[1] = cv::CellKind::Chooser;
    auto table = cvtest::makeTable(client, 3);
    table->show();
    const QRect frame = table->cellFrame(1, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(frame.left() + 10, frame.center().y()));
    EXPECT_EQ(client.actions(), QStringList());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(frame.right() - 4, frame.center().y()));
    EXPECT_EQ(client.actions(), QStringList{QStringLiteral("editColumn 1 0")});
}

class RecordingCalendar : public cv::DateCellCalendar {
public:
    void toggleForTable(const QPoint &anchor, cv::EditingTable *, const QDate &date) override
    {
        calls.push_back({anchor, date});
    }
    std::vector<std::pair<QPoint, QDate>> calls;
};

TEST(FieldEditor, DownInADateCellOpensTheCalendarAtTheCellOnItsDateOrToday)
{
    for (const auto &[text, expected] : {std::pair{QStringLiteral("2026/03/15"), QDate(2026, 3, 15)},
                                         std::pair{QStringLiteral("soon"), QDate::currentDate()}}) {
        RecordingCalendar calendar;
        cv::GetPopupFieldEditor()->setDateCellCalendar(&calendar);
        RecordingTableClient client(2, 2);
        client.kinds[0] = cv::CellKind::Date;
        client.cells[0][0] = text;
        auto table = cvtest::makeTable(client, 2);
        table->show();
        table->performClickAtColumn(0, 0, nullptr);
        QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Down, Qt::ShiftModifier);
        EXPECT_TRUE(calendar.calls.empty());
        table->performClickAtColumn(0, 0, nullptr);
        QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Down);
        ASSERT_EQ(calendar.calls.size(), 1u);
        EXPECT_EQ(calendar.calls[0].first, table->cellFrame(0, 0).topLeft());
        EXPECT_EQ(calendar.calls[0].second, expected);
        cv::GetPopupFieldEditor()->setDateCellCalendar(nullptr);
    }
}

TEST(FieldEditor, TabWaitsWhileAnInputMethodComposes)
{
    RecordingTableClient client(3, 1);
    auto table = cvtest::makeTable(client, 3);
    table->show();
    table->performClickAtColumn(0, 0, nullptr);
    client.log.clear();
    cv::PopupFieldEditor *editor = cv::GetPopupFieldEditor();

    QInputMethodEvent preedit(QStringLiteral("か"), {});
    QApplication::sendEvent(editor, &preedit);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(table->editedColumn(), 0);
    EXPECT_TRUE(client.actions().isEmpty());

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("か"));
    QApplication::sendEvent(editor, &commit);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(table->editedColumn(), 1);
    EXPECT_EQ(client.actions(), QStringList{QStringLiteral("set 'か' 0 0")});
}

TEST(FieldEditor, AClickOutsideStoresWhatWasTypedAndEndsTheEdit)
{
    RecordingTableClient client(2, 1);
    auto table = cvtest::makeTable(client, 2);
    table->show();
    table->performClickAtColumn(1, 0, nullptr);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("x"));
    cv::GetPopupFieldEditor()->clickedOutside();
    EXPECT_FALSE(table->isEditing());
    EXPECT_EQ(client.actions(), QStringList{QStringLiteral("set 'x' 1 0")});
}

TEST(FieldEditor, AClickOnTheCalendarButtonKeepsWhatWasTypedInTheCell)
{
    RecordingCalendar calendar;
    cv::GetPopupFieldEditor()->setDateCellCalendar(&calendar);
    RecordingTableClient client(2, 1);
    client.kinds[0] = cv::CellKind::Date;
    auto table = cvtest::makeTable(client, 2);
    table->show();
    table->performClickAtColumn(0, 0, nullptr);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("2026/05/06"));
    const QRect frame = table->cellFrame(0, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(frame.right() - 4, frame.center().y()));
    EXPECT_EQ(client.actions(), QStringList{QStringLiteral("set '2026/05/06' 0 0")});
    ASSERT_EQ(calendar.calls.size(), 1u);
    EXPECT_EQ(calendar.calls[0].second, QDate(2026, 5, 6));
    cv::GetPopupFieldEditor()->setDateCellCalendar(nullptr);
}

} // namespace
