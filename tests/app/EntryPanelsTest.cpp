// The viewer's cells open the real entry panels in the temporary page, and
// what is typed there reaches the book once, whichever way the page is left.
#include "mainwindow/MainWindowTestSupport.h"

#include "app/EntryPanels.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/PopupFieldEditor.h"
#include "document/store/BookStore.h"
#include "document/Book.h"
#include "import/ImportSheetPage.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/viewer/CategoryGrid.h"
#include "mainwindow/DocumentToolbar.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/pages/TemporaryPage.h"
#include "mainwindow/viewer/ViewerModel.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Node.h"
#include "model/DomainEnums.h"
#include "panels/entry/AccountBookPanel.h"
#include "panels/entry/IncomeExpensePanel.h"
#include "panels/entry/TradePanel.h"
#include "panels/entry/TransferPanel.h"
#include "support/SampleBook.h"
#include "support/Screenshots.h"
#include "support/WindowPage.h"
#include "model/AccountDetail.h"
#include "model/Trade.h"
#include "document/store/SQLDatabase3.h"
#include "platform/KeyedArchiver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

namespace {

const QDate kMay(2009, 5, 1);

class EntryPanelsTest : public DelegateTest {
protected:
    void open()
    {
        delegate->setEntryPanelMaker(cv::makeEntryPanel);
        document = delegate->newDocument();
        w = window();
        ASSERT_NE(w, nullptr);
        viewer = w->viewerPage();
        ASSERT_NE(viewer, nullptr);
        bank = cvtest::page::showOnMonth(w, kMay, 700);
        ASSERT_TRUE(bank);
    }
    // Double-clicks the node's data cell (May 2009) in its grid.
    QWidget *openCell(const cv::Node *node, int column = cv::ViewerColumns::kStartDataCells)
    {
        return cvtest::page::Viewer(viewer).open(node, column).panel();
    }
    cv::AccountBookPanel *openBankBook() { return qobject_cast<cv::AccountBookPanel *>(openCell(bank.get())); }
    QString bankMayText() const { return cvtest::page::Viewer(viewer).cell(bank.get()); }
    // Types the amount into the out cell of the book's new row.
    void typeExpense(cv::AccountBookPanel *book, const QString &amount)
    {
        QCoreApplication::processEvents(); // the new row's deferred edit
        const int row = book->rowCount() - 1;
        book->tableView()->editColumn(cv::AccountBookPanel::OutColumn, row, nullptr, true);
        QTest::keyClicks(cv::GetPopupFieldEditor(), amount);
    }
    int storedEntriesOfBank(const QDate &month = kMay)
    {
        return int(samplebook::storedEntries(*document, bank->ident(), month, month.addMonths(1).addDays(-1)).size());
    }
    // File > Import Text: a statement of May 2008 read into the bank and stored.
    void importBankStatement()
    {
        delegate->validateMenus();
        delegate->actionNamed(QStringLiteral("importText"))->trigger();
        auto *sheet = w->findChild<cv::ImportTextSheet *>();
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->loadFile(QStringLiteral(CV_TEST_FIXTURES "/import/S7.csv"))); // the file chosen
        ImportPage<cv::ImportTextSheet>::pick(sheet->accountBox(), bank->name());
        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
        EXPECT_EQ(storedEntriesOfBank(QDate(2008, 5, 1)), 6);
    }
    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    cv::ViewerPage *viewer = nullptr;
    cv::NodePtr bank;
};

TEST_F(EntryPanelsTest, TheBankBookOpensOnTheMonthAndLeavingItCommitsTheTypedExpenseOnce)
{
    open();
    const QString before = bankMayText();
    struct Case {
        const char *how;
        bool saveFirst;
        bool byImport = false; // File > Import, which writes into the bank, leaves the book
    };
    for (const Case c : {Case{"leave by another page", false}, Case{"save, then leave", true},
                         Case{"import a statement", false, true}}) {
        const int stored = storedEntriesOfBank();
        // Search results of the month: the book's commit empties them.
        EXPECT_EQ(w->execSearchForAccount({bank}, kMay, QDate(2009, 5, 31)), stored);
        const int steps = w->undoStack()->count();
        cv::AccountBookPanel *book = openBankBook();
        ASSERT_NE(book, nullptr) << c.how;
        EXPECT_EQ(w->pageSwitcher().currentPage(), w->temporaryPage()) << c.how;
        EXPECT_EQ(book->item(), bank);
        EXPECT_EQ(book->firstDay(), kMay);
        EXPECT_EQ(book->lastDay(), QDate(2009, 5, 31));
        typeExpense(book, QStringLiteral("1500"));
        if (c.saveFirst) {
            ASSERT_TRUE(delegate->openBooks().saveDocumentAs(document, path(QStringLiteral("book.cvv2"))));
            EXPECT_EQ(storedEntriesOfBank(), stored + 1) << "the save stored the open book's row";
            EXPECT_EQ(w->temporaryPage()->panel(), book) << "the book stays open";
        }
        if (c.byImport)
            importBankStatement();
        else
            cvtest::page::Window(*delegate, w).showPage("TB03");
        EXPECT_EQ(w->selectedTabIdentifier(), QLatin1String(c.byImport ? "TB01" : "TB03")) << c.how;
        EXPECT_EQ(w->temporaryPage(), nullptr) << c.how;
        EXPECT_EQ(w->undoStack()->count(), steps + 1)
            << c.how << ": what the book stored can be undone from the window";
        EXPECT_EQ(storedEntriesOfBank(), stored + 1) << c.how;
        EXPECT_EQ(w->searchPage()->resultCount(), 0) << c.how;
        w->selectTabWithIdentifier(QStringLiteral("TB01"));
        EXPECT_NE(bankMayText(), before) << c.how;
    }
    // Three expenses of 1,500 from an empty month, and the statement's 264,212 net
    // of May 2008: each counted once.
    EXPECT_EQ(bankMayText(), QStringLiteral("259,712"));
}

TEST_F(EntryPanelsTest, EachCellOpensItsKindOfPanelAndTakesCalculatorAndCalendarInput)
{
    open();
    const cv::CategoryTreesPtr &categories = document->categoryTrees();
    cv::NodePtr groceries;
    for (const cv::NodePtr &group : categories->expense()->children()) {
        if (!group->children().empty()) {
            groceries = group->children().front();
            break;
        }
    }
    ASSERT_TRUE(groceries);
    const int categoryColumn = cv::ViewerColumns::kStartDataCells - 1;
    struct Case {
        const char *what;
        const cv::Node *node;
        int column;
        std::function<bool(QWidget *)> isExpected;
    };
    const Case cases[] = {
        {"account book", bank.get(), cv::ViewerColumns::kStartDataCells,
         [](QWidget *p) { return qobject_cast<cv::AccountBookPanel *>(p) != nullptr; }},
        {"income and expense", groceries.get(), categoryColumn,
         [](QWidget *p) { return qobject_cast<cv::IncomeExpensePanel *>(p) != nullptr; }},
        {"transfers", categories->moneyFlow().get(), categoryColumn,
         [](QWidget *p) { return qobject_cast<cv::TransferPanel *>(p) != nullptr; }},
    };
    for (const Case &c : cases) {
        QWidget *panel = openCell(c.node, c.column);
        ASSERT_NE(panel, nullptr) << c.what;
        EXPECT_TRUE(c.isExpected(panel)) << c.what;
        EXPECT_EQ(w->temporaryPage()->panel(), panel) << c.what;

        // The calculator and the calendar window post to the window, which
        // hands them to the panel's selected rows.
        auto *entries = qobject_cast<cv::EntryPanel *>(panel);
        ASSERT_NE(entries, nullptr);
        QCoreApplication::processEvents();
        entries->tableView()->forceEndFieldEditing(false);
        entries->tableView()->QTableView::selectRow(0);
        const int steps = w->undoStack()->count(); // the earlier panels' commits
        w->performInputValue(QStringLiteral("2,500"));
        w->performInputDate(QDate(2009, 5, 20));
        ASSERT_GT(entries->rowCount(), 0);
        const cv::EntryPtr row = entries->entryAt(0);
        EXPECT_EQ(row->amount(), 2500) << c.what;
        EXPECT_EQ(row->date(), QDate(2009, 5, 20)) << c.what;
        EXPECT_EQ(w->undoStack()->count(), steps + 2) << c.what;

        // Enter alone is left to the cells; Ctrl+Enter that no child takes
        // presses OK, which closes the panel and shows the viewer again.
        QTest::keyClick(entries, Qt::Key_Enter);
        EXPECT_EQ(w->temporaryPage()->panel(), panel) << c.what;
        QTest::keyClick(entries, Qt::Key_Enter, Qt::ControlModifier);
        EXPECT_EQ(w->temporaryPage(), nullptr) << c.what;
        EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB01")) << c.what;
    }
}

// An investment account with its cash part and a holding of one stock,
// added to the open book the way the account commands add them.
struct InvestBook {
    cv::NodePtr account, cashPart, holding;
    int security = 0;
};

InvestBook addInvestAccount(cv::Book &document)
{
    InvestBook book;
    auto security = std::make_shared<cv::Security>();
    security->setName(QStringLiteral("Toyo Motors"));
    document.addSecurity(security);
    document.commitSecurityList();
    book.security = security->ident();
    book.account = std::make_shared<cv::Node>();
    book.account->setKind(cv::NodeKind::Investment);
    book.account->setIdent(*document.accountTrees()->uniqueId());
    book.account->setName(QStringLiteral("Broker"));
    auto record = std::make_shared<cv::AccountDetail>();
    record->setDate(QDate(2009, 1, 1));
    book.account->setExtra(record);
    book.cashPart = std::make_shared<cv::Node>();
    book.cashPart->setKind(cv::NodeKind::CashPart);
    book.cashPart->setIdent(0);
    book.account->appendChild(book.cashPart);
    document.accountTrees()->asset()->appendChild(book.account);
    document.addSecurityNodeIfNeeded(book.account, book.security);
    book.holding = book.account->childAt(1);
    document.commitAccountTrees();
    document.accumulateAccount(book.account);
    return book;
}

TEST_F(EntryPanelsTest, InvestmentRowsOpenTheTradePanelAndASearchedTradeOpensWithItsRowSelected)
{
    open();
    const InvestBook book = addInvestAccount(*document);
    ASSERT_TRUE(book.holding);
    QCoreApplication::processEvents();
    const struct {
        const char *what;
        const cv::Node *row;
        cv::NodePtr subject;
    } cases[] = {
        {"investment account", book.account.get(), book.account},
        {"its cash part", book.cashPart.get(), book.account},
        {"a holding", book.holding.get(), book.holding},
    };
    for (const auto &c : cases) {
        auto *trades = qobject_cast<cv::TradePanel *>(openCell(c.row));
        ASSERT_NE(trades, nullptr) << c.what;
        EXPECT_EQ(trades->item(), c.subject) << c.what;
        EXPECT_EQ(trades->firstDay(), kMay) << c.what;
        w->selectTabWithIdentifier(QStringLiteral("TB01"));
        EXPECT_EQ(w->temporaryPage(), nullptr) << c.what;
    }

    auto stored = std::make_shared<cv::Trade>();
    stored->setAccount(book.account->ident());
    stored->setSecurity(book.security);
    stored->setDate(QDate(2009, 5, 12));
    stored->setCount(100);
    stored->setUnitPrice(980);
    stored->setFlags(cv::EditNew);
    std::set<cv::SecurityPtr> securities;
    document->applyTrade(stored, book.account, {}, securities, false);
    Q_EMIT w->searchPage()->openTradeRequested(book.account->ident(), kMay, QDate(2009, 5, 31), stored->ident());
    auto *trades = qobject_cast<cv::TradePanel *>(w->temporaryPage() ? w->temporaryPage()->panel() : nullptr);
    ASSERT_NE(trades, nullptr);
    ASSERT_EQ(trades->tableView()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(trades->tradeForRow(trades->tableView()->selectionModel()->selectedRows().first().row())->ident(),
              stored->ident());
}

// A failed edit in another window (a security deleted in the securities
// window, refused at its list's row) reads the account tree back while a
// panel is open: what is typed afterwards is balanced and booked on the
// account the book holds.
TEST_F(EntryPanelsTest, AnOpenPanelGoesOnWithItsAccountWhenAFailedEditReadsTheBookBack)
{
    open();
    const InvestBook book = addInvestAccount(*document);
    auto acme = std::make_shared<cv::Security>();
    acme->setName(QStringLiteral("Acme"));
    ASSERT_TRUE(document->addSecurity(acme));
    document->commitSecurityList();
    samplebook::store(*document, cv::EntryKind::Income, QDate(2009, 4, 10), 50000, 31, bank->ident());
    QCoreApplication::processEvents();
    const int brokerIdent = book.account->ident();
    using Entries = cvtest::page::Entries;
    const struct {
        const char *what;
        int account;
        std::function<void(const Entries &)> typeAndCheck;
    } cases[] = {
        {"the bank's book balances a typed expense from the bank's balance", bank->ident(),
         [&](const Entries &entries) {
             const int row = entries.newRow();
             entries.type(cv::AccountBookPanel::DateColumn, row, QStringLiteral("2009/05/20"));
             entries.type(cv::AccountBookPanel::OutColumn, row, QStringLiteral("1500"));
             EXPECT_EQ(entries.cell(cv::AccountBookPanel::BalanceColumn, row), QStringLiteral("48,500"));
         }},
        {"the broker's trades put a new holding under the broker the book holds", brokerIdent,
         [&](const Entries &trades) {
             const int row = trades.newRow();
             using T = cv::TradePanel;
             trades.type(T::DateColumn, row, QStringLiteral("2009/05/12"));
             ASSERT_TRUE(trades.choose(T::SecurityColumn, row, cv::ChooserItem::fromSecurity(acme)));
             ASSERT_TRUE(trades.choose(T::KindColumn, row, cv::ChooserItem::fromTradeKind(cv::TradeKind::Buy)));
             trades.type(T::CountColumn, row, QStringLiteral("10"));
             trades.type(T::UnitPriceColumn, row, QStringLiteral("500"));
             trades.ok();
             // The cash part, the holding kept and the new one, as the store holds them too.
             EXPECT_EQ(document->findAccount(brokerIdent)->countChild(), 3);
             const auto stored =
                 cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(document->store()->getAccountData());
             EXPECT_EQ(stored->asset()->findMemberWithIdent(brokerIdent)->countChild(), 3);
         }},
    };
    cv::SQLDatabase3 &store = *document->store()->database();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Entries panel = cvtest::page::Viewer(viewer).open(document->findAccount(c.account).get());
        ASSERT_TRUE(panel);
        ASSERT_TRUE(store.performQuery(QStringLiteral("CREATE TEMP TRIGGER stop AFTER INSERT ON InfoTable WHEN "
                                                      "new.id = 4 BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")));
        const cvtest::page::Securities securities = cvtest::page::Window(*delegate, w).securities();
        ASSERT_TRUE(securities.click(0));
        alerts.answers = {cv::AlertButton::Default};
        securities.clickButton("Brand-Delete");
        securities->close();
        ASSERT_TRUE(store.performQuery(QStringLiteral("DROP TRIGGER temp.stop;")));
        ASSERT_NE(document->findSecurity(book.security), nullptr) << "the delete was not made";
        c.typeAndCheck(panel);
        w->selectTabWithIdentifier(QStringLiteral("TB01"));
    }
}

// An OK whose commit is taken back (refused at the category row written after
// the entry) keeps the book open with the row as typed and leaves no step to
// undo it; once the store takes it, OK stores it once, beside the entry that
// took the row id its first insert had.
TEST_F(EntryPanelsTest, AnOkTakenBackKeepsTheTypedRowForOkAgain)
{
    open();
    cv::AccountBookPanel *book = openBankBook();
    ASSERT_NE(book, nullptr);
    QCoreApplication::processEvents();
    const int row = book->rowCount() - 1;
    typeExpense(book, QStringLiteral("1500"));
    QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Return);
    const int stored = storedEntriesOfBank();
    const int steps = document->undoStack()->count();
    cv::SQLDatabase3 &store = *document->store()->database();
    ASSERT_TRUE(store.performQuery(QStringLiteral("CREATE TEMP TRIGGER stop AFTER INSERT ON InfoTable WHEN new.id = 2 "
                                                  "BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")));
    QTest::mouseClick(book->okButton(), Qt::LeftButton);
    ASSERT_NE(w->temporaryPage(), nullptr);
    EXPECT_EQ(cvtest::page::cellText(*book, cv::AccountBookPanel::OutColumn, row), QStringLiteral("1,500"));
    EXPECT_EQ(storedEntriesOfBank(), stored);
    EXPECT_EQ(document->undoStack()->count(), steps);
    ASSERT_TRUE(store.performQuery(QStringLiteral("DROP TRIGGER temp.stop;")));
    cv::NodePtr category = document->categoryTrees()->expense();
    while (category->countChild() > 0) category = category->childAt(0);
    samplebook::store(*document, cv::EntryKind::Expense, kMay.addDays(2), 700, category->ident(), bank->ident());
    QTest::mouseClick(book->okButton(), Qt::LeftButton);
    EXPECT_EQ(w->temporaryPage(), nullptr);
    EXPECT_EQ(storedEntriesOfBank(), stored + 2);
}

using EntryPanelsScreenshotTest = InLanguages<EntryPanelsTest>;

// The window with the book, then with its kind chooser open over its cell,
// drawn in where it stands.
TEST_P(EntryPanelsScreenshotTest, TheAccountBookAndItsKindChooser)
{
    open();
    cv::AccountBookPanel *book = openBankBook();
    ASSERT_NE(book, nullptr);
    typeExpense(book, QStringLiteral("1,500"));
    EXPECT_TRUE(cvtest::saveScreenshot(*w, language(), QStringLiteral("window-account-book")));
    book->editColumn(cv::AccountBookPanel::KindColumn, book->rowCount() - 1, nullptr);
    cv::ChooserPopup *chooser = cv::ChooserPopup::get();
    QImage shot = w->grab().toImage();
    QPainter(&shot).drawPixmap(chooser->geometry().topLeft() - w->geometry().topLeft(), chooser->grab());
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_TRUE(cvtest::saveScreenshot(shot, language(), QStringLiteral("window-account-book-chooser")));
    chooser->mustClose();
}

INSTANTIATE_TEST_SUITE_P(Languages, EntryPanelsScreenshotTest, ::testing::Values("en", "ja"));

} // namespace
