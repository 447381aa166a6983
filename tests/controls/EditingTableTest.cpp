// The editing table under the fingers: moves, clicks and fonts, compared as
// the call logs of a recording owner.

#include "ControlsTestSupport.h"

#include "controls/PopupFieldEditor.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

using cvtest::RecordingTableClient;

namespace {

struct KeyStroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

struct MoveCase {
    const char *name;
    int rows;
    std::map<int, int> unfinished;
    bool addItemAddsRow;
    int startColumn, startRow;
    std::vector<KeyStroke> keys;
    QStringList actions;         // the log without "verify" lines
    QString mustVerify;          // a verify line that must be in the log
    int editedColumn, editedRow; // -1, -1: not editing
    int rowCount;
    std::vector<int> selectedRows;
};

std::vector<int> selectedRows(const cv::EditingTable &table)
{
    std::vector<int> rows;
    for (const QModelIndex &index : table.selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

class TableMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(TableMoves, KeysMoveTheEditAndAskTheOwnerAsTheTableRuleSays)
{
    const MoveCase &c = GetParam();
    RecordingTableClient client(3, c.rows);
    client.unfinished = c.unfinished;
    client.addItemAddsRow = c.addItemAddsRow;
    auto table = cvtest::makeTable(client, 3);
    table->show();
    table->performClickAtColumn(c.startColumn, c.startRow, nullptr);
    ASSERT_TRUE(table->isEditing());
    client.log.clear();

    for (const KeyStroke &k : c.keys) QTest::keyClick(cv::GetPopupFieldEditor(), k.key, k.modifiers);

    EXPECT_EQ(client.actions(), c.actions) << client.log.join(u'|').toStdString();
    if (!c.mustVerify.isEmpty()) {
        EXPECT_TRUE(client.log.contains(c.mustVerify)) << client.log.join(u'|').toStdString();
    }
    EXPECT_EQ(table->editedColumn(), c.editedColumn);
    EXPECT_EQ(table->editedRow(), c.editedRow);
    EXPECT_EQ(table->numberOfRows(), c.rowCount);
    EXPECT_EQ(selectedRows(*table), c.selectedRows);
}

const QString kForwardFrom0 = QStringLiteral("verify 0 0 1");

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EditingTable, TableMoves,
    ::testing::Values(
        MoveCase{"TabMovesToTheNextColumn", 1, {}, true, 0, 0, {{Qt::Key_Tab}}, {}, "verify 1 0 1", 1, 0, 1, {0}},
        MoveCase{"TabPastTheLastRowAddsOnceAndReeditsRow0", 1, {}, true, 2, 0, {{Qt::Key_Tab}},
                 {"addItem"}, kForwardFrom0, 0, 0, 2, {0}},
        MoveCase{"AnAddItemThatAddsNothingKeepsOneRow", 1, {}, false, 2, 0, {{Qt::Key_Tab}},
                 {"addItem"}, kForwardFrom0, 0, 0, 1, {0}},
        MoveCase{"AnUnfinishedRowIsNotLeft", 1, {{0, 1}}, true, 2, 0, {{Qt::Key_Tab}}, {}, {}, 1, 0, 1, {0}},
        MoveCase{"TabInACompleteRowMovesToTheNextRow", 2, {}, true, 2, 0, {{Qt::Key_Tab}}, {}, {}, 0, 1, 2, {1}},
        MoveCase{"ReturnAdvancesLikeTab", 2, {}, true, 1, 1, {{Qt::Key_Return}}, {}, {}, 2, 1, 2, {1}},
        MoveCase{"BacktabInColumn0ReeditsTheCell", 1, {}, true, 0, 0, {{Qt::Key_Backtab}}, {}, {}, 0, 0, 1, {0}},
        MoveCase{"BacktabMovesBack", 1, {}, true, 2, 0, {{Qt::Key_Backtab}}, {}, "verify 1 0 0", 1, 0, 1, {0}},
        MoveCase{"CtrlUpOnRow0ReeditsTheCell", 1, {}, true, 1, 0, {{Qt::Key_Up, Qt::ControlModifier}},
                 {}, {}, 1, 0, 1, {0}},
        MoveCase{"CtrlDownEditsTheSameColumnBelow", 2, {}, true, 1, 0, {{Qt::Key_Down, Qt::ControlModifier}},
                 {}, {}, 1, 1, 2, {1}},
        MoveCase{"ShiftDownOnTheCompleteLastRowAddsAndReselectsNothing", 1, {}, true, 1, 0, {{Qt::Key_Down, Qt::ShiftModifier}},
                 {"addItem"}, {}, -1, -1, 2, {0}},
        MoveCase{"ShiftUpExtendsTheSelectionWithoutEditing", 2, {}, true, 1, 1, {{Qt::Key_Up, Qt::ShiftModifier}},
                 {}, {}, -1, -1, 2, {0, 1}},
        MoveCase{"PlainUpAndDownDoNothing", 2, {}, true, 1, 0, {{Qt::Key_Down}, {Qt::Key_Up}}, {}, {}, 1, 0, 2, {0}},
        MoveCase{"CtrlReturnClosesThePanel", 1, {}, true, 1, 0, {{Qt::Key_Return, Qt::ControlModifier}},
                 {"closeMaximizedPanel"}, {}, -1, -1, 1, {0}},
        MoveCase{"EscEndsWhenTheOwnerSaysSo", 1, {}, true, 1, 0, {{Qt::Key_Escape}}, {"escape"}, {}, -1, -1, 1, {0}}),
    [](const auto &info) { return std::string(info.param.name); });
// clang-format on

TEST(EditingTable, TypedTextIsStoredOnceWhenTheEditMovesOn)
{
    RecordingTableClient client(3, 1);
    auto table = cvtest::makeTable(client, 3);
    table->show();
    table->performClickAtColumn(0, 0, nullptr);
    client.log.clear();
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("ab"));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Tab);
    EXPECT_EQ(client.actions(), QStringList{QStringLiteral("set 'ab' 0 0")});
    EXPECT_EQ(table->editedColumn(), 1);
    EXPECT_FALSE(cv::GetPopupFieldEditor()->isUndoAvailable()); // undo stays within one cell
}

TEST(EditingTable, ClicksThatMustNotEditChangeNothing)
{
    struct ClickCase {
        const char *name;
        int rows;
        std::function<void(cv::EditingTable &, RecordingTableClient &)> act;
    };
    // clang-format off
    const std::vector<ClickCase> cases = {
        {"double click", 2,
         [](cv::EditingTable &t, RecordingTableClient &) {
             const QPoint p = t.cellFrame(1, 0).center();
             const QMouseEvent e(QEvent::MouseButtonDblClick, p, t.viewport()->mapToGlobal(p), Qt::LeftButton,
                                 Qt::LeftButton, Qt::NoModifier);
             t.performClickAtColumn(1, 0, &e);
         }},
        {"click on a cell that may not be selected", 2,
         [](cv::EditingTable &t, RecordingTableClient &c) {
             c.unselectable.insert({1, 0});
             QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, t.cellFrame(1, 0).center());
         }},
        {"Return with no selection", 2, [](cv::EditingTable &t, RecordingTableClient &) { QTest::keyClick(&t, Qt::Key_Return); }},
        {"click in an empty table", 0,
         [](cv::EditingTable &t, RecordingTableClient &) {
             QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, QPoint(20, 100));
         }},
        {"click below the rows of an empty table, beside the columns", 0,
         [](cv::EditingTable &t, RecordingTableClient &) { t.performClickAtColumn(-1, -1, nullptr); }},
        {"click below the last row", 2,
         [](cv::EditingTable &t, RecordingTableClient &) { t.performClickAtColumn(1, 5, nullptr); }},
    };
    // clang-format on
    for (const ClickCase &c : cases) {
        RecordingTableClient client(3, c.rows);
        auto table = cvtest::makeTable(client, 3);
        table->show();
        c.act(*table, client);
        EXPECT_FALSE(table->isEditing()) << c.name;
        EXPECT_TRUE(client.actions().isEmpty()) << c.name;
        EXPECT_TRUE(selectedRows(*table).empty()) << c.name;
    }
}

TEST(EditingTable, AClickEditsTheClickedCellAndReturnEditsColumn0OfTheSelectedRow)
{
    RecordingTableClient client(3, 2);
    client.cells[1][2] = QStringLiteral("memo");
    auto table = cvtest::makeTable(client, 3);
    table->show();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->cellFrame(2, 1).center());
    EXPECT_EQ(table->editedColumn(), 2);
    EXPECT_EQ(table->editedRow(), 1);
    EXPECT_EQ(cv::GetPopupFieldEditor()->text(), QStringLiteral("memo"));
    EXPECT_TRUE(client.log.contains(QStringLiteral("verify 2 1 2")));

    table->forceEndFieldEditing(true);
    QTest::keyClick(table.get(), Qt::Key_Return);
    EXPECT_EQ(table->editedColumn(), 0);
    EXPECT_EQ(table->editedRow(), 1);
}

TEST(EditingTable, ARightClickSelectsTheRowForTheMenuWithoutEditing)
{
    RecordingTableClient client(3, 3);
    auto table = cvtest::makeTable(client, 3);
    table->show();
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, table->cellFrame(1, 2).center());
    EXPECT_EQ(selectedRows(*table), std::vector<int>{2});
    EXPECT_FALSE(table->isEditing());
}

TEST(EditingTable, FontSizesStayStrictlyBetween6And32AndRowsFollowTheLineHeight)
{
    struct FontCase {
        int start, step, expected;
    };
    for (const FontCase &c : {FontCase{31, +1, 31}, FontCase{7, -1, 7}, FontCase{12, +1, 13}, FontCase{30, +1, 31}}) {
        RecordingTableClient client(1, 1);
        auto table = cvtest::makeTable(client, 1);
        table->setFontSize(c.start);
        table->changeFontSize(c.step);
        EXPECT_EQ(table->tableFont().pixelSize(), c.expected) << c.start << " " << c.step;
        EXPECT_EQ(table->verticalHeader()->defaultSectionSize(), QFontMetrics(table->tableFont()).lineSpacing() + 2);
    }
    RecordingTableClient client(1, 1);
    EXPECT_EQ(cvtest::makeTable(client, 1)->tableFont().pixelSize(), 13);
}

TEST(EditingTable, PaintingAsksOnlyForVisibleCells)
{
    RecordingTableClient client(3, 10000);
    auto table = cvtest::makeTable(client, 3);
    table->show();
    const int visibleRows = table->viewport()->height() / table->verticalHeader()->defaultSectionSize() + 2;
    client.valueCalls = 0;
    table->viewport()->grab();
    EXPECT_GT(client.valueCalls, 0);
    EXPECT_LE(client.valueCalls, visibleRows * 3);
}

TEST(EditingTable, AGoneOwnerLeavesTheTableAndEditorInert)
{
    auto client = std::make_unique<RecordingTableClient>(2, 1);
    client->kinds[1] = cv::CellKind::Chooser;
    auto table = cvtest::makeTable(*client, 2);
    table->show();
    table->performClickAtColumn(1, 0, nullptr);
    cv::PopupFieldEditor *editor = cv::GetPopupFieldEditor();
    ASSERT_FALSE(editor->isEditingNormalText());
    client.reset();
    EXPECT_EQ(editor->controller(), nullptr);
    QTest::keyClick(editor, Qt::Key_A);
    QTest::keyClick(editor, Qt::Key_Tab);
    table->performClickAtColumn(0, 0, nullptr);
    EXPECT_EQ(table->client(), nullptr);
}

TEST(EditingTable, ATableThatGoesAwayDetachesTheSharedEditor)
{
    RecordingTableClient client(2, 1);
    {
        auto table = cvtest::makeTable(client, 2);
        table->show();
        table->performClickAtColumn(0, 0, nullptr);
        EXPECT_EQ(cv::GetPopupFieldEditor()->editingView(), table.get());
    }
    EXPECT_EQ(cv::GetPopupFieldEditor()->parentWidget(), nullptr);
    EXPECT_EQ(cv::GetPopupFieldEditor()->editingView(), nullptr);
}

} // namespace
