// What a new user meets in the entry panels: the context menus delete,
// restore, revert and repeat rows; Edit > Delete reaches the rows; a text
// that is no amount or no date is refused in the cell; Esc takes back what
// was typed; Ctrl+Z in a chooser cell undoes instead of opening the chooser.
#include "PanelTestSupport.h"

#include "model/CV4EditFlags.h"
#include "panels/ActualPanelController.h"
#include "panels/TransferPanelController.h"

#include <QAction>
#include <QMenu>

using namespace paneltest;

namespace {

const QDate kFeb1(2009, 2, 1);
const QDate kFeb28(2009, 2, 28);

// The titles of the context menu's enabled items, as the user sees it.
QStringList enabledItems(InputPanelController &panel, int row)
{
    panel.tableView()->QTableView::selectRow(row);
    std::unique_ptr<QMenu> menu(panel.makeContextMenu(&panel));
    QStringList titles;
    if (!menu) return titles;
    for (QAction *action : menu->actions())
        if (action->isEnabled()) titles << action->text();
    return titles;
}

void choose(InputPanelController &panel, int row, const QString &title)
{
    panel.tableView()->QTableView::selectRow(row);
    std::unique_ptr<QMenu> menu(panel.makeContextMenu(&panel));
    ASSERT_TRUE(menu);
    for (QAction *action : menu->actions())
        if (action->text() == title) return action->trigger();
    ADD_FAILURE() << "no item " << title.toStdString();
}

// Edit > Delete as the window asks the focused table (an item of tag 0).
bool editDeleteEnabled(InputPanelController &panel)
{
    QAction editDelete;
    editDelete.setData(0);
    return panel.tableView()->validateCommand(cv::TableCommand::Delete, &editDelete);
}

class PanelMenus : public BookTest {
protected:
    void SetUp() override
    {
        BookTest::SetUp();
        if (HasFatalFailure()) return;
        store(*doc, CV4Actual::Expense, QDate(2009, 2, 2), 1000, kFood, kA);
        store(*doc, CV4Actual::Expense, QDate(2009, 2, 3), 500, kFood, kA);
        store(*doc, CV4Actual::Transfer, QDate(2009, 2, 4), 300, 0, kA, kC);
    }
};

TEST_F(PanelMenus, TheAccountBookDeletesAndRestoresRowsInPlaceAndTheBalanceFollows)
{
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    EXPECT_TRUE(editDeleteEnabled(*book));
    const struct {
        const char *item;
        bool deleted;
        QStringList balances;  // rows 0-2
    } steps[] = {
        {"Delete", true, {"9,000", "", "8,700"}},
        {"Undelete", false, {"9,000", "8,500", "8,200"}},
    };
    for (const auto &step : steps) {
        EXPECT_EQ(enabledItems(*book, 1), QStringList{cv::localizedString(step.item)}) << step.item;
        choose(*book, 1, cv::localizedString(step.item));
        ASSERT_EQ(book->numberOfRows(book->tableView()), 4) << "the row stays in place";
        EXPECT_EQ(bool(book->actualAt(1)->flags() & cv::EditDeleted), step.deleted) << step.item;
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(cellText(*book, AccountPanelController::BalanceColumn, row), step.balances[row])
                << step.item << " row " << row;
    }
    // Deleted once more and committed: the row leaves the store.
    choose(*book, 1, cv::localizedString("Delete"));
    EXPECT_EQ(book->commitPanel(), 1);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(doc->findAccount(kA), kFeb28), 9000 - 300);
}

TEST_F(PanelMenus, TheIncomeExpenseAndTransferPanelsOfferAddDeleteRevertAndRepeat)
{
    auto expenses = std::make_unique<ActualPanelController>(doc.get(), doc->findExpense(kFood), kFeb1, kFeb28);
    auto transfers = std::make_unique<TransferPanelController>(doc.get(), doc->findTransfer(11), kFeb1, kFeb28);
    const QStringList all = {cv::localizedString("Panel-Menu-Add"), cv::localizedString("Delete"),
                             cv::localizedString("Revert"), cv::localizedString("Panel-Menu-Repeat")};
    for (EntryListPanelController *panel : {static_cast<EntryListPanelController *>(expenses.get()),
                                            static_cast<EntryListPanelController *>(transfers.get())}) {
        panel->resize(900, 360);
        panel->show();
        QApplication::processEvents();
        SCOPED_TRACE(panel->metaObject()->className());
        EXPECT_EQ(enabledItems(*panel, 0), all);
        EXPECT_TRUE(editDeleteEnabled(*panel));
        EXPECT_TRUE(panel->validateMenuTag(EntryListPanelController::BatchTag).value_or(false));

        const size_t rows = panel->items().size();
        choose(*panel, 0, cv::localizedString("Delete"));
        EXPECT_EQ(panel->items().size(), rows - 1);
        EXPECT_EQ(panel->deletedItems().size(), 1u);
        panel->doc()->undoStack()->undo();
        EXPECT_EQ(panel->items().size(), rows) << "one undo step";

        choose(*panel, 0, cv::localizedString("Panel-Menu-Repeat"));
        EXPECT_NE(panel->macroDialog(), nullptr);
        panel->didEnd();
    }
}

// ---- typing

struct TypedCase {
    const char *name;
    int cid;
    const char *keys;
    bool refused;
};

class TypedText : public BookTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedText, TextThatIsNoAmountOrNoDateKeepsTheCellInEdit)
{
    const TypedCase &c = GetParam();
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    CV4TableView *table = book->tableView();
    const int column = table->columnWithIdentifier(c.cid);
    table->editColumn(column, 0, nullptr, true);
    QTest::keyClicks(GetPopupFieldEditor(), QString::fromUtf8(c.keys));
    QTest::keyClick(GetPopupFieldEditor(), Qt::Key_Tab);

    const CV4ActualPtr row = book->actualAt(0);
    EXPECT_EQ(table->isEditing() && table->editedColumn() == column, c.refused);
    if (c.refused) {
        EXPECT_EQ(row->date(), kFeb1);
        EXPECT_EQ(row->amount(), 0.0);
        EXPECT_FALSE(book->hasChanged());
    } else if (c.cid == AccountPanelController::DateColumn) {
        EXPECT_EQ(row->date(), QDate(QDate::currentDate().year(), 12, 9)) << "month and day in this year";
    } else {
        EXPECT_EQ(row->amount(), 1234.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EntryCells, TypedText,
    ::testing::Values(TypedCase{"LettersInAnAmount", AccountPanelController::OutColumn, "12abc34", true},
                      TypedCase{"ADateInAnAmount", AccountPanelController::OutColumn, "2026/02/30", true},
                      TypedCase{"TwentyNines", AccountPanelController::OutColumn, "99999999999999999999", true},
                      TypedCase{"AnAmount", AccountPanelController::OutColumn, "1234", false},
                      TypedCase{"AnImpossibleDate", AccountPanelController::DateColumn, "2026/02/30", true},
                      TypedCase{"NoDate", AccountPanelController::DateColumn, "soon", true},
                      TypedCase{"MonthAndDay", AccountPanelController::DateColumn, "12/9", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(BookTest, EscTakesBackTheTypedTextAndCtrlZInTheKindCellUndoes)
{
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    // The window's Edit > Undo.
    QAction undo(book.get());
    undo.setShortcut(QKeySequence::Undo);
    undo.setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(&undo, &QAction::triggered, doc->undoStack(), &QUndoStack::undo);
    book->addAction(&undo);
    QApplication::setActiveWindow(book.get());

    CV4TableView *table = book->tableView();
    table->editColumn(table->columnWithIdentifier(AccountPanelController::MemoColumn), 0, nullptr, true);
    QTest::keyClicks(GetPopupFieldEditor(), QStringLiteral("lunch"));
    QTest::keyClick(GetPopupFieldEditor(), Qt::Key_Escape);
    EXPECT_FALSE(table->isEditing());
    EXPECT_EQ(book->actualAt(0)->memo(), QString());
    EXPECT_FALSE(book->hasChanged());

    chooseKind(*book, 0, kSalary, true);
    ASSERT_EQ(book->actualAt(0)->category(), kSalary);
    table->editColumn(table->columnWithIdentifier(AccountPanelController::KindColumn), 0, nullptr, true);
    QTest::keyClick(GetPopupFieldEditor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(cv::CustomPopup::get()->isVisible()) << "no chooser";
    EXPECT_EQ(book->actualAt(0)->category(), kMiscExpense);
}

} // namespace
