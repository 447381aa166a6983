// What a new user meets in the entry panels and sheets: context menus that
// delete, restore and repeat rows; cells that refuse what is no amount or
// date; Esc and Ctrl+Z; sheets that say what is missing; amount fields that
// group as typed; memo cells that ask for the input method; a click or a
// double click on a chooser's arrow that changes nothing.
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
#include "panels/entry/TradeTestSupport.h"
#include "panels/search/SearchResultsPanel.h"
#include "controls/ChooserList.h"
#include "controls/DateField.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
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
        if (loanRow > 0) {
            EXPECT_TRUE(panel->tableView()->validateCommand(cv::TableCommand::Delete, &editDelete));
        }
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

// A book with folders in its lists: expenses in Home {Rent, Phone}, a bank
// account in Savings {Deposit}; entries and a buy and a split of one stock.
std::unique_ptr<cv::Book> folderBook()
{
    using namespace samplebook;
    auto doc = makeTradeBook();
    if (!doc) return nullptr;
    const cv::NodePtr home = node(doc->categoryTrees()->expense(), 2100, 20, QStringLiteral("Home"));
    node(home, 2101, 21, QStringLiteral("Rent"));
    node(home, 2102, 21, QStringLiteral("Phone"));
    auto bank = std::make_shared<cv::BankDetail>();
    bank->setDate(QDate(2009, 1, 1));
    node(node(doc->accountTrees()->asset(), 1200, 20, QStringLiteral("Savings")), 1201, 31, QStringLiteral("Deposit"),
         bank);
    doc->createCache();
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 3), 85000, 2101, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 7), 5980, 2102, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 8), 5000, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 9), 700, kFood, kC);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 4), 15000, 0, kA, kC);
    store(*doc, cv::EntryKind::Transfer, QDate(2009, 2, 5), 30000, 0, 1201, kC);
    storeTrade(*doc, kInvest, cv::TradeKind::Buy, kStock, QDate(2009, 2, 2), 60, 2500);
    storeTrade(*doc, kInvest, cv::TradeKind::Split, kStock, QDate(2009, 2, 9), 60, 0);
    return doc;
}

// Every entry and trade the store holds.
std::vector<cv::SearchRecord> everything(cv::Book &doc)
{
    cv::SearchConditions all;
    all.date = {QDate(2000, 1, 1), QDate(2099, 12, 31)};
    return doc.store()->findAccounts(all);
}

// The whole book as its XML form writes it from the store.
QByteArray storedBook(cv::Book &doc)
{
    const QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("book.cvxf")));
    return doc.export_(file.fileName()) && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList rowTexts(const cv::RowPanel &panel, int row)
{
    QStringList texts;
    for (int cid = 0; cid < panel.tableView()->numberOfColumns(); ++cid) texts << cellText(panel, cid, row);
    return texts;
}

// A press and a release at one point of the panel's window, as the platform
// delivers them: the release goes to the popup the press opened.
void clickAt(QWidget *from, const QPoint &at, bool press = true, bool release = true)
{
    QWidget *window = from->window();
    const QPoint local = from->mapTo(window, at);
    if (press) QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, local);
    if (release) QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, local);
}

// The arrow of the cell, scrolled into view as a user would.
QPoint arrowOf(cv::EditingTable *table, int cid, int row)
{
    table->scrollTo(table->model()->index(row, table->columnWithIdentifier(cid)));
    const QRect frame = table->cellFrame(table->columnWithIdentifier(cid), row);
    return QPoint(frame.right() - 5, frame.center().y());
}

// The rows the open chooser shows: a folder's only while it is open.
QStringList shownRows()
{
    cv::ChooserList *list = cv::ChooserPopup::get()->outline();
    QStringList names;
    for (QModelIndex i = list->model() ? list->model()->index(0, 0) : QModelIndex(); i.isValid();
         i = list->indexBelow(i))
        names << i.data().toString();
    return names;
}

// Clicks the row of the item in the open chooser: a press and a release inside it.
bool clickInChooser(const cv::ChooserItem &item)
{
    cv::ChooserList *list = cv::ChooserPopup::get()->outline();
    const QModelIndex index = static_cast<const cv::ChooserModel *>(list->model())->indexOfItem(item);
    if (index.isValid()) clickAt(list->viewport(), list->visualRect(index).center());
    return index.isValid();
}

struct ArrowCase {
    const char *name;
    std::function<std::unique_ptr<cv::RowPanel>(cv::Book &)> open;
    int cid;
    std::function<cv::ChooserItem(cv::Book &)> folder; // none when the list has no folder
    std::function<cv::ChooserItem(cv::Book &)> leaf;
};

TEST(ChooserArrows, AClickOrADoubleClickOnAStoredRecordsArrowOpensTheListAndChangesNothing)
{
    using Book = cv::AccountBookPanel;
    using Trades = cv::TradePanel;
    using Results = cv::SearchResultsPanel;
    using Transfers = cv::TransferPanel;
    const auto account = [](int ident) {
        return [ident](cv::Book &doc) { return cv::ChooserItem::fromNode(doc.findAccount(ident)); };
    };
    const auto expense = [](int ident) {
        return [ident](cv::Book &doc) { return cv::ChooserItem::fromNode(doc.findExpense(ident)); };
    };
    const auto book = [](cv::Book &doc) -> std::unique_ptr<cv::RowPanel> { return openBook(doc, kA, kFeb1, kFeb28); };
    const auto trades = [](cv::Book &doc) -> std::unique_ptr<cv::RowPanel> {
        return openTrades(doc, doc.findAccount(kInvest), kFeb1, kFeb28);
    };
    const auto results = [](cv::Book &doc) -> std::unique_ptr<cv::RowPanel> {
        auto panel = std::make_unique<Results>(&doc);
        std::vector<cv::SearchRecord> entries = everything(doc);
        std::erase_if(entries, [](const cv::SearchRecord &r) { return !r.entry; });
        panel->setResults(entries);
        panel->resize(1000, 300);
        panel->show();
        return panel;
    };
    const auto food = [](cv::Book &doc) -> std::unique_ptr<cv::RowPanel> {
        auto panel = openCategory(doc, kFood, kFeb1, kFeb28);
        panel->resize(760, 300); // its last column within the screen
        QApplication::processEvents();
        return panel;
    };
    const auto transfers = [](cv::Book &doc) -> std::unique_ptr<cv::RowPanel> {
        auto panel = std::make_unique<Transfers>(&doc, cv::BookTestAccess::findTransfer(doc, 11), kFeb1, kFeb28);
        panel->resize(900, 300);
        panel->show();
        return panel;
    };
    const std::vector<ArrowCase> cases = {
        {"account book's kind", book, Book::KindColumn, expense(2100), expense(2102)},
        {"trade's operation", trades, Trades::KindColumn, nullptr,
         [](cv::Book &) { return cv::ChooserItem::fromTradeKind(cv::TradeKind::Sale); }},
        {"trade's security", trades, Trades::SecurityColumn, nullptr,
         [](cv::Book &doc) { return cv::ChooserItem::fromSecurity(doc.findSecurity(kTrust)); }},
        {"search result's account", results, Results::AccountColumn, account(1200), account(1201)},
        {"search result's category", results, Results::CategoryColumn, expense(2100), expense(2101)},
        {"search result's transfer-to", results, Results::DestinationColumn, account(1200), account(1201)},
        {"category entries' account", food, cv::IncomeExpensePanel::AccountColumn, account(1200), account(1201)},
        {"category entries' category", food, cv::IncomeExpensePanel::CategoryColumn, expense(2100), expense(2102)},
        {"transfer's from", transfers, Transfers::SourceColumn, account(1200), account(1201)},
        {"transfer's to", transfers, Transfers::DestinationColumn, account(1200), account(1201)},
    };
    for (const char *language : {"ja", "en"}) {
        cv::setLanguageOverride(QString::fromLatin1(language));
        for (const ArrowCase &c : cases) {
            SCOPED_TRACE(std::string(language) + ": " + c.name);
            auto doc = folderBook();
            ASSERT_TRUE(doc);
            const QByteArray stored = storedBook(*doc);
            auto panel = c.open(*doc);
            cv::EditingTable *table = panel->tableView();
            cv::ChooserPopup *popup = cv::ChooserPopup::get();
            std::vector<int> chosen; // rows whose cell offers the chooser
            for (int row = 0; row < panel->numberOfRows(table); ++row) {
                const QStringList before = rowTexts(*panel, row);
                const QPoint arrow = arrowOf(table, c.cid, row);
                clickAt(table->viewport(), arrow, true, false);
                if (!popup->isVisible()) {
                    clickAt(table->viewport(), arrow, false, true);
                    table->forceEndFieldEditing(true);
                    continue;
                }
                chosen.push_back(row);
                const QStringList shown = shownRows();
                // A click, then a double click: the release of the press that
                // opened the list, and the second press, land in it.
                for (const bool twice : {false, true}) {
                    if (twice)
                        QTest::mouseDClick(panel->windowHandle(), Qt::LeftButton, {},
                                           table->viewport()->mapTo(panel.get(), arrow));
                    else
                        clickAt(table->viewport(), arrow, false, true);
                    EXPECT_FALSE(popup->outline()->isFinishing()) << row << twice;
                    (void)QTest::qWaitFor([&] { return !popup->outline()->isFinishing(); }); // a pick begun lands
                    EXPECT_TRUE(popup->isVisible()) << row << twice;
                    EXPECT_EQ(shownRows(), shown) << row << twice; // no folder opened or closed
                    QTest::keyClick(popup->outline(), Qt::Key_Escape);
                    table->forceEndFieldEditing(true);
                    EXPECT_EQ(rowTexts(*panel, row), before) << row << twice;
                }
            }
            ASSERT_GE(chosen.size(), 2u);
            cvtest::page::Entries(panel.get()).leave();
            EXPECT_TRUE(storedBook(*doc) == stored);

            // A press and a release inside the list still open or close a folder and pick a leaf.
            panel = c.open(*doc);
            table = panel->tableView();
            const int row = chosen.front();
            clickAt(table->viewport(), arrowOf(table, c.cid, row));
            ASSERT_TRUE(popup->isVisible());
            if (c.folder) {
                const auto *source = qobject_cast<const cv::ChooserModel *>(popup->outline()->model());
                const QModelIndex folder = source->indexOfItem(c.folder(*doc));
                const bool open = popup->outline()->isExpanded(folder);
                EXPECT_TRUE(clickInChooser(c.folder(*doc)));
                EXPECT_NE(popup->outline()->isExpanded(folder), open);
                if (open) {
                    EXPECT_TRUE(clickInChooser(c.folder(*doc))); // open again for the leaf
                }
                EXPECT_TRUE(popup->isVisible());
            }
            const cv::ChooserItem leaf = c.leaf(*doc);
            ASSERT_TRUE(clickInChooser(leaf));
            QTRY_VERIFY(!popup->isVisible());
            EXPECT_TRUE(rowTexts(*panel, row).contains(leaf.name())) << rowTexts(*panel, row).join(u'|').toStdString();
            doc->undoStack()->clear();
        }
    }
    cv::setLanguageOverride(QStringLiteral("en"));
}

} // namespace
