// What a new user meets in the entry panels and sheets: context menus that
// delete, restore and repeat rows; cells that refuse what is no amount or
// date; Esc and Ctrl+Z; sheets that say what is missing; amount fields that
// group as typed; memo cells that ask for the input method.
#include "panels/PanelTestSupport.h"

#include "model/EditFlags.h"
#include "document/BookTestAccess.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/sheets/BankAccountSheet.h"
#include "panels/dialogs/FrontWindow.h"
#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "panels/sheets/LoanDialog.h"
#include "panels/dialogs/RepeatedEntryDialog.h"
#include "panels/entry/TransferPanel.h"
#include "controls/DateField.h"

#include <QAction>
#include <QMenu>

using namespace paneltest;

namespace {

const QDate kFeb1(2009, 2, 1);
const QDate kFeb28(2009, 2, 28);

// The enabled items of the row's context menu; the one titled `pick` is chosen.
QStringList menu(cv::RowPanel &panel, int row, const QString &pick = {})
{
    panel.tableView()->QTableView::selectRow(row);
    std::unique_ptr<QMenu> menu(panel.makeContextMenu(&panel));
    QStringList titles;
    for (QAction *action : menu ? menu->actions() : QList<QAction *>())
        if (action->isEnabled()) titles << action->text();
    for (QAction *action : menu ? menu->actions() : QList<QAction *>())
        if (action->text() == pick) action->trigger();
    return titles;
}

TEST_F(BookTest, ContextMenusDeleteRestoreAndRepeatRowsAndEditDeleteReachesThem)
{
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 2), 1000, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 3), 500, kFood, kA);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 4), 300, 0, kA, kC);
    // A loan's entries are its schedule's: no panel deletes them.
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 5), 200, 0, kA, kL);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 6), 100, kFood, kL);
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    QAction editDelete; // Edit > Delete as the window asks the focused table
    EXPECT_EQ(menu(*book, 3, cv::localizedString("Delete")), QStringList());
    EXPECT_FALSE(book->tableView()->validateCommand(cv::TableCommand::Delete, &editDelete));
    book->tableView()->QTableView::selectRow(0);
    EXPECT_TRUE(book->tableView()->validateCommand(cv::TableCommand::Delete, &editDelete));
    // The book keeps a deleted row in place; the running balance leaves it out.
    EXPECT_EQ(menu(*book, 1, cv::localizedString("Delete")), QStringList{cv::localizedString("Delete")});
    EXPECT_EQ(cellText(*book, cv::AccountBookPanel::BalanceColumn, 1), QString());
    EXPECT_EQ(cellText(*book, cv::AccountBookPanel::BalanceColumn, 2), QStringLiteral("8,700"));

    auto expenses = std::make_unique<cv::IncomeExpensePanel>(doc.get(), doc->findExpense(kFood), kFeb1, kFeb28);
    auto transfers =
        std::make_unique<cv::TransferPanel>(doc.get(), cv::BookTestAccess::findTransfer(*doc, 11), kFeb1, kFeb28);
    for (const auto &[panel, loanRow] : {std::pair{static_cast<cv::EntryListPanel *>(expenses.get()), 1},
                                         {static_cast<cv::EntryListPanel *>(transfers.get()), 0}}) {
        SCOPED_TRACE(panel->metaObject()->className());
        EXPECT_EQ(menu(*panel, 0, cv::localizedString("Delete")),
                  (QStringList{cv::localizedString("Panel-Menu-Add"), cv::localizedString("Delete"),
                               cv::localizedString("Revert"), cv::localizedString("Panel-Menu-Repeat")}));
        EXPECT_EQ(panel->deletedItems().size(), 1u);
        menu(*panel, 0, cv::localizedString("Panel-Menu-Repeat"));
        EXPECT_NE(panel->repeatDialog(), nullptr);
        if (loanRow > 0) EXPECT_TRUE(panel->tableView()->validateCommand(cv::TableCommand::Delete, &editDelete));
        EXPECT_FALSE(menu(*panel, loanRow, cv::localizedString("Delete")).contains(cv::localizedString("Delete")));
        EXPECT_FALSE(panel->tableView()->validateCommand(cv::TableCommand::Delete, &editDelete));
        panel->didEnd();
    }
}

struct TypedCase {
    const char *name;
    int cid;
    const char *keys;
    const char *refusal; // the reason shown; empty: taken
    double amount;       // taken into an amount cell
};
class TypedText : public BookTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedText, TextThatIsNoAmountOrNoDateKeepsTheCellInEditAndSaysWhy)
{
    const TypedCase &c = GetParam();
    const bool refused = *c.refusal;
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    cv::EditingTable *table = book->tableView();
    table->editColumn(table->columnWithIdentifier(c.cid), 0, nullptr, true);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QString::fromUtf8(c.keys));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Tab);
    EXPECT_EQ(table->isEditing() && table->editedColumn() == table->columnWithIdentifier(c.cid), refused);
    EXPECT_EQ(book->hasChanged(), !refused);
    EXPECT_EQ(cv::GetPopupFieldEditor()->refusal(), QString::fromUtf8(c.refusal));
    EXPECT_EQ(cv::GetPopupFieldEditor()->toolTip(), QString::fromUtf8(c.refusal));
    if (!refused && c.cid == cv::AccountBookPanel::DateColumn) {
        EXPECT_EQ(book->entryAt(0)->date(), QDate(QDate::currentDate().year(), 12, 9));
    }
    if (!refused && c.cid == cv::AccountBookPanel::OutColumn) {
        EXPECT_EQ(book->entryAt(0)->amount(), c.amount);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EntryCells, TypedText,
    ::testing::Values(TypedCase{"LettersInAnAmount", cv::AccountBookPanel::OutColumn, "12abc34", "not an amount", 0},
                      TypedCase{"ADateInAnAmount", cv::AccountBookPanel::OutColumn, "2026/02/30", "not an amount", 0},
                      // Digits past the fifteenth are not taken.
                      TypedCase{"TwentyNines", cv::AccountBookPanel::OutColumn, "99999999999999999999", "",
                                999999999999999},
                      TypedCase{"AnAmount", cv::AccountBookPanel::OutColumn, "1234", "", 1234},
                      TypedCase{"AnImpossibleDate", cv::AccountBookPanel::DateColumn, "2026/02/30", "no such date", 0},
                      TypedCase{"ImpossibleInWords", cv::AccountBookPanel::DateColumn, "Feb 30", "no such date", 0},
                      TypedCase{"NoDate", cv::AccountBookPanel::DateColumn, "soon", "not a date", 0},
                      TypedCase{"YearWithoutASpace", cv::AccountBookPanel::DateColumn, "Dec 12025", "not a date", 0},
                      TypedCase{"MonthAndDay", cv::AccountBookPanel::DateColumn, "12/9", "", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(BookTest, EscTakesBackTheTypedTextAndCtrlZInTheKindCellUndoes)
{
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    QAction undo(book.get()); // the window's Edit > Undo
    undo.setShortcut(QKeySequence::Undo);
    undo.setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(&undo, &QAction::triggered, doc->undoStack(), &QUndoStack::undo);
    book->addAction(&undo);
    QApplication::setActiveWindow(book.get());
    cv::EditingTable *table = book->tableView();
    table->editColumn(table->columnWithIdentifier(cv::AccountBookPanel::MemoColumn), 0, nullptr, true);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("lunch"));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Escape);
    EXPECT_FALSE(table->isEditing());
    EXPECT_FALSE(book->hasChanged());

    chooseKind(*book, 0, kSalary, true);
    table->editColumn(table->columnWithIdentifier(cv::AccountBookPanel::KindColumn), 0, nullptr, true);
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(cv::ChooserPopup::get()->isVisible()) << "no chooser";
    EXPECT_EQ(book->entryAt(0)->category(), kMiscExpense);

    // In a text cell Ctrl+Z takes back the typing first, then the panel's last step.
    cvtest::page::Entries(book.get()).type(cv::AccountBookPanel::MemoColumn, 0, QStringLiteral("rent"));
    table->editColumn(table->columnWithIdentifier(cv::AccountBookPanel::MemoColumn), 0, nullptr, true);
    QTest::keyClicks(cv::GetPopupFieldEditor(), QStringLiteral("x"));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cv::GetPopupFieldEditor()->text(), QStringLiteral("rent"));
    EXPECT_EQ(book->entryAt(0)->memo(), QStringLiteral("rent"));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(book->entryAt(0)->memo(), QString());
}

TEST_F(BookTest, SheetsNameWhatIsMissingAndAmountFieldsGroupAsTyped)
{
    auto bankNode = std::make_shared<cv::Node>();
    bankNode->setKind(cv::NodeKind::Bank);
    cv::BankAccountSheet bank(doc.get(), bankNode);
    type(bank.nameField(), QStringLiteral("Savings"));
    EXPECT_TRUE(bank.missingFieldText().contains(cv::localizedString("Bank-Name")));
    type(bank.bankInfoForm()->cellAtIndex(cv::BankAccountSheet::BankCell), QStringLiteral("Hibari"));
    EXPECT_EQ(bank.missingFieldText(), QString());
    EXPECT_TRUE(bank.isOkEnabled());

    auto loanNode = std::make_shared<cv::Node>();
    loanNode->setKind(cv::NodeKind::Loan);
    cv::LoanDialog loan(doc.get(), loanNode);
    loan.show();
    for (auto [field, text] : {std::pair{loan.nameField(), "Car"},
                               {loan.dateField(), "2009/04/10"},
                               {loan.timesField(), "12"},
                               {loan.rateField(), "2"},
                               {loan.valueField(), "30000000abc"}})
        type(field, QString::fromLatin1(text));
    loan.setRepaymentAccount(kA);
    loan.setUsage(33);
    loan.showPage(1);
    EXPECT_EQ(loan.effectiveDataCount(), 0);
    EXPECT_TRUE(loan.messageText().contains(cv::localizedString("Loan-Amount").remove(u':')));
    loan.showPage(0);
    loan.valueField()->clear();
    QTest::keyClicks(loan.valueField(), QStringLiteral("3000000"));
    EXPECT_EQ(loan.valueField()->text(), QStringLiteral("3,000,000"));
    loan.showPage(1);
    EXPECT_EQ(loan.effectiveDataCount(), 12);

    // The repeated entry dialog also takes the calculator's value and the calendar's date.
    cv::RepeatedEntryDialog dialog(doc.get(), doc->findExpense(kFood), kFeb1, nullptr);
    dialog.show();
    QTest::keyClicks(dialog.valueField(), QStringLiteral("12345"));
    EXPECT_EQ(dialog.valueField()->text(), QStringLiteral("12,345"));
    cv::trackFrontWindow();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(cv::postInputValue(nullptr, QStringLiteral("2500")));
    EXPECT_EQ(dialog.amount(), 2500.0);
    EXPECT_TRUE(cv::postInputDate(nullptr, QDate(2009, 3, 15)));
    EXPECT_EQ(dialog.dateField()->date(), QDate(2009, 3, 15));
}

TEST_F(BookTest, MemoCellsAskForTheInputMethodInJapanese)
{
    cv::setLanguageOverride(QStringLiteral("ja"));
    auto book = openBook(*doc, kA, kFeb1, kFeb28);
    cv::TransferPanel transfers(doc.get(), cv::BookTestAccess::findTransfer(*doc, 11), kFeb1, kFeb28);
    transfers.show();
    const struct {
        cv::RowPanel *panel;
        int cid;
        bool inputMethod;
    } cases[] = {{book.get(), cv::AccountBookPanel::MemoColumn, true},
                 {book.get(), cv::AccountBookPanel::DateColumn, false},
                 {&transfers, 3, true},
                 {&transfers, 0, false}};
    for (const auto &c : cases) {
        c.panel->tableView()->performClickAtColumn(c.panel->tableView()->columnWithIdentifier(c.cid), 0, nullptr);
        EXPECT_EQ(!(cv::GetPopupFieldEditor()->inputMethodHints() & Qt::ImhPreferLatin), c.inputMethod) << c.cid;
        c.panel->tableView()->forceEndFieldEditing(false);
    }
    cv::setLanguageOverride(QStringLiteral("en"));
}

} // namespace
