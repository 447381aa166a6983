// The editing table with the chooser, the popup tracker and the calendar:
// presses through a monitored window's handle, the calendar opened by Down in
// a date cell, and picked dates posted through the table to its owner.

#include "ChooserTestSupport.h"
#include "ControlsTestSupport.h"
#include "controls/AccountChooserModel.h"
#include "controls/ChooserPopup.h"
#include "controls/MainWindow.h"
#include "controls/CalendarPopup.h"
#include "controls/ChooserList.h"
#include "controls/PopupFieldEditor.h"
#include "controls/PopupManager.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

enum Column { Memo = 0, Account = 1 };

// A document window around a table of a memo and an account chooser column,
// twelve rows; typing in the chooser cell opens the account list over it.
struct TableWindow {
    TableWindow() : client(2, 12)
    {
        client.kinds[Account] = cv::CellKind::Chooser;
        client.openChooser = [this](int column, int row, cv::PopupFieldEditor *) { openChooserOver(column, row); };
        source.setDocument(&book.doc, 255);
        auto owned = cvtest::makeTable(client, 2);
        table = owned.get();
        window.setCentralWidget(owned.release());
        window.setGeometry(20, 20, 260, 360);
        window.show();
    }
    ~TableWindow()
    {
        cv::ChooserPopup::get()->mustClose();
        cv::CalendarPopup::get()->closeCalendar();
    }
    void openChooserOver(int column, int row)
    {
        cv::ChooserPopup::get()->runForCell(table, column, row, &source, cv::ChooserItem(),
                                            [this](const cv::ChooserItem &item) { picks << item.name(); });
    }
    // A press and release through the window's handle, as the platform delivers it.
    void clickCell(int column, int row)
    {
        const QPoint at = table->viewport()->mapTo(&window, table->cellFrame(column, row).center());
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    }
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : table->selectionModel()->selectedRows()) rows << index.row();
        return rows;
    }

    cvtest::ChooserBook book;
    cv::AccountChooserModel source;
    cvtest::RecordingTableClient client;
    cv::MainWindow window;
    cv::EditingTable *table;
    QStringList picks;
};

QModelIndex rowNamed(const QAbstractItemModel &model, const QString &name, const QModelIndex &parent = {})
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        if (index.data().toString() == name) return index;
        if (const QModelIndex inner = rowNamed(model, name, index); inner.isValid()) return inner;
    }
    return {};
}

} // namespace

TEST(TablePopups, AClickOutsideAChooserOverACellEndsTheEditAndSelectsNothing)
{
    struct Case {
        const char *name;
        bool typedFirst; // "x" typed in the memo cell, the list opened over it
        bool chooserOpen;
        QStringList actions; // of the owner, after the click on row 10 (below the list)
        bool editing;        // after the click
        QList<int> selected; // after the click
    };
    for (const Case &c : {
             Case{"chooser over a typed cell", true, true, {QStringLiteral("set 'x' 0 0")}, false, {0}},
             Case{"chooser open, nothing typed", false, true, {}, false, {0}},
             Case{"no chooser: the click edits row 10", false, false, {}, true, {10}},
         }) {
        SCOPED_TRACE(c.name);
        TableWindow w;
        if (c.typedFirst) {
            w.table->performClickAtColumn(Memo, 0, nullptr);
            QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("x"));
            w.openChooserOver(Memo, 0);
        } else {
            w.table->performClickAtColumn(Account, 0, nullptr);
            if (c.chooserOpen) QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("a"));
        }
        ASSERT_EQ(cv::ChooserPopup::get()->isVisible(), c.chooserOpen);
        ASSERT_EQ(QApplication::activePopupWidget() != nullptr, c.chooserOpen);

        w.client.log.clear();
        w.clickCell(Account, 10);
        EXPECT_FALSE(cv::ChooserPopup::get()->isVisible());
        EXPECT_EQ(cv::PopupManager::popupManager()->count(), 0);
        EXPECT_EQ(w.client.actions(), c.actions);
        EXPECT_EQ(w.table->isEditing(), c.editing);
        EXPECT_EQ(w.selectedRows(), c.selected);
        EXPECT_TRUE(w.picks.isEmpty());
    }
}

TEST(TablePopups, AClickInsideAChooserOverACellPicksFromIt)
{
    TableWindow w;
    w.table->performClickAtColumn(Account, 0, nullptr);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("a"));
    cv::ChooserPopup *popup = cv::ChooserPopup::get();
    ASSERT_TRUE(popup->isVisible());
    // The list hangs at the cell's left edge.
    EXPECT_EQ(popup->x(), w.table->viewport()->mapToGlobal(w.table->cellFrame(Account, 0).topLeft()).x());

    cv::ChooserList *outline = popup->outline();
    const QModelIndex leaf = rowNamed(w.source, QStringLiteral("A"));
    ASSERT_TRUE(leaf.isValid());
    // Sent to the document window: the tracker lets it pass, Qt hands it to the popup.
    const QPoint global = outline->viewport()->mapToGlobal(outline->visualRect(leaf).center());
    QTest::mouseClick(w.window.windowHandle(), Qt::LeftButton, {}, w.window.mapFromGlobal(global));
    QTRY_COMPARE(w.picks, QStringList{QStringLiteral("A")});
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(w.selectedRows(), QList<int>{0});
}

TEST(TablePopups, DownInADateCellOpensTheCalendarOnTheCellsDate)
{
    cv::CalendarPopup *calendar = cv::CalendarPopup::get();
    for (const auto &[text, expected] : {std::pair{QStringLiteral("2025/03/15"), QDate(2025, 3, 15)},
                                         std::pair{QStringLiteral("2025/3/5"), QDate(2025, 3, 5)},
                                         std::pair{QStringLiteral("xyz"), QDate::currentDate()}}) {
        SCOPED_TRACE(text.toStdString());
        TableWindow w;
        w.client.kinds[Memo] = cv::CellKind::Date;
        w.client.cells[1][Memo] = text;
        w.table->performClickAtColumn(Memo, 1, nullptr);
        QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Down);
        ASSERT_TRUE(calendar->isVisible());
        EXPECT_EQ(calendar->targetView(), w.table);
        EXPECT_EQ(calendar->pos(), w.table->viewport()->mapToGlobal(w.table->cellFrame(Memo, 1).topLeft()));
        EXPECT_EQ(calendar->shownYear(), expected.year());
        EXPECT_EQ(calendar->shownMonth(), expected.month());
        EXPECT_EQ(calendar->selectedDate(), expected);
        EXPECT_EQ(cv::PopupManager::popupManager()->topmost(), calendar);
        EXPECT_TRUE(w.table->isEditing());
    }
}

TEST(TablePopups, APickedDateGoesToTheOwnerAndColumnZeroIsEditedAgain)
{
    cv::CalendarPopup *calendar = cv::CalendarPopup::get();
    TableWindow w;
    w.client.kinds[Memo] = cv::CellKind::Date;
    w.client.cells[1][Memo] = QStringLiteral("2025/03/15");
    w.table->performClickAtColumn(Memo, 1, nullptr);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("9"));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Down);
    ASSERT_TRUE(calendar->isVisible());
    calendar->moveSelection(1);
    calendar->pressedReturn();
    EXPECT_FALSE(calendar->isVisible());
    // What was typed is stored before the date, never after it.
    EXPECT_EQ(w.client.actions(), (QStringList{QStringLiteral("set '9' 0 1"), QStringLiteral("date 2025-03-16")}));
    EXPECT_EQ(w.selectedRows(), QList<int>{1});
    EXPECT_TRUE(w.table->isEditing());
    EXPECT_EQ(w.table->editedColumn(), 0);
    EXPECT_EQ(w.table->editedRow(), 1);

    // A date arriving while the cell holds typed text: the text is stored
    // first, so the date is the last word.
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("7"));
    w.client.log.clear();
    w.table->postDateToSelectedRow(QDate(2025, 4, 2));
    EXPECT_EQ(w.client.actions(), (QStringList{QStringLiteral("set '7' 0 1"), QStringLiteral("date 2025-04-02")}));

    // With no selected row the date goes nowhere.
    w.table->forceEndFieldEditing(false);
    w.table->clearSelection();
    w.client.log.clear();
    w.table->postDateToSelectedRow(QDate(2025, 4, 1));
    EXPECT_TRUE(w.client.actions().isEmpty());
    EXPECT_FALSE(w.table->isEditing());
}
