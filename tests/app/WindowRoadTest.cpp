// The window's commands and entry panels worked as a user works them, then
// the store read back: what each command made is stored, and the balances
// the window left are those a fresh rebuild from the store gives.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/SampleBook.h"
#include "support/WindowPage.h"

#include "app/EntryPanels.h"
#include "document/store/BookStore.h"
#include "import/ImportTextSheet.h"
#include "mainwindow/SecuritiesWindow.h"
#include "controls/Tags.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "panels/entry/AccountBookPanel.h"
#include "panels/sheets/SecuritySheet.h"
#include "panels/sheets/CashAccountSheet.h"
#include "panels/sheets/InputTextField.h"
#include "panels/sheets/LoanDialog.h"
#include "panels/entry/TradePanel.h"
#include "platform/KeyedArchiver.h"
#include "document/EditScope.h"
#include "document/store/SQLDatabase3.h"
#include "mainwindow/pages/CurrencyPage.h"
#include "model/Trade.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

namespace {

using cv::NodeKind;
using Entries = cvtest::page::Entries;

const QDate kMay(2009, 5, 1);
const QDate kMayEnd(2009, 5, 31);

// Every node of a tree as "kind ident name", a holding by its security, one a line.
QString shape(const cv::NodePtr &node)
{
    QString out;
    for (const cv::NodePtr &child : node->children()) {
        const auto unit = std::dynamic_pointer_cast<cv::OpeningHolding>(child->extra());
        const QString name = unit ? QString::number(unit->security()) : child->ident() > 0 ? child->name() : QString();
        out += QStringLiteral("%1 %2 %3\n").arg(cv::raw(child->kind())).arg(child->ident()).arg(name) + shape(child);
    }
    return out;
}

class WindowRoadTest : public DelegateTest {
protected:
    void open()
    {
        delegate->setEntryPanelMaker(cv::makeEntryPanel);
        document = delegate->newDocument();
        w = window();
        ASSERT_NE(w, nullptr);
        bank = cvtest::page::showOnMonth(w, kMay, 760);
        ASSERT_TRUE(bank);
        page = std::make_unique<cvtest::page::Window>(*delegate, w);
        const auto &accounts = *document->accountTrees();
        const int category = *document->categoryTrees()->uniqueId();
        living =
            samplebook::node(document->categoryTrees()->expense(), category, NodeKind::Group, QStringLiteral("Living"));
        food = samplebook::node(living, category + 1, NodeKind::Category, QStringLiteral("Lunch"));
        document->commitCategoryTrees();
        // A card, an investment account and a security it does not hold yet.
        const int id = *accounts.uniqueId();
        auto cardRecord = std::make_shared<cv::CardDetail>();
        cardRecord->setDate(QDate(2009, 1, 1));
        card = samplebook::node(accounts.debt(), id, NodeKind::CreditCard, QStringLiteral("Card"), cardRecord);
        auto brokerRecord = std::make_shared<cv::AccountDetail>();
        brokerRecord->setDate(QDate(2009, 1, 1));
        broker =
            samplebook::node(accounts.asset(), id + 1, NodeKind::Investment, QStringLiteral("Broker"), brokerRecord);
        samplebook::node(broker, 0, NodeKind::CashPart, QStringLiteral("SYS:Invest-Cache"));
        auto toyo = std::make_shared<cv::Security>();
        toyo->setName(QStringLiteral("Toyo"));
        toyo->setCurrency(1);
        document->addSecurity(toyo);
        document->commitSecurityList();
        security = toyo->ident();
        document->commitAccountTrees();
        document->createCache();
        w->viewerPage()->dataChanged();
        QApplication::processEvents();
    }
    int storedEntries(int account) { return int(samplebook::storedEntries(*document, account, kMay, kMayEnd).size()); }
    // The account trees as the store holds them.
    QString storedShape()
    {
        const auto stored =
            cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(document->store()->getAccountData());
        return stored ? shape(stored->asset()) + shape(stored->debt()) : QString();
    }
    // Every account's balance around May, as the window's cache has it.
    std::vector<double> balances()
    {
        std::vector<double> out;
        std::function<void(const cv::NodePtr &)> walk = [&](const cv::NodePtr &node) {
            for (const cv::NodePtr &child : node->children()) {
                for (const QDate &d : {kMay.addDays(-1), kMay, kMayEnd, kMayEnd.addDays(1)})
                    out.push_back(document->valueForAccount(child, d));
                walk(child);
            }
        };
        walk(document->accountTrees()->asset());
        walk(document->accountTrees()->debt());
        return out;
    }
    // The store holds the window's trees, a rebuild from it gives the
    // window's balances, and the viewer shows what a fresh look would.
    void expectStoreAgrees(const char *what)
    {
        QApplication::processEvents();
        const std::string shown = page->viewer().texts();
        w->viewerPage()->refreshMainView();
        EXPECT_EQ(shown, page->viewer().texts()) << what;
        EXPECT_EQ(
            storedShape().toStdString(),
            QString(shape(document->accountTrees()->asset()) + shape(document->accountTrees()->debt())).toStdString())
            << what;
        const std::vector<double> kept = balances();
        document->createCache();
        EXPECT_EQ(balances(), kept) << what;
    }
    static void fill(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    std::unique_ptr<cvtest::page::Window> page;
    cv::NodePtr bank, living, food, card, broker;
    int security = 0;
};

TEST_F(WindowRoadTest, WhatTheCommandsAndPanelsMadeIsStoredAndMatchesAFreshRebuild)
{
    open();
    samplebook::store(*document, cv::EntryKind::Transfer, QDate(2009, 5, 10), 7000, 0, bank->ident(), card->ident());
    samplebook::store(*document, cv::EntryKind::Expense, QDate(2009, 5, 12), 2500, food->ident(), card->ident());
    samplebook::store(*document, cv::EntryKind::Transfer, QDate(2009, 5, 20), 3000, 0, bank->ident(),
                      cv::AccountTrees::WalletIdent);
    const cvtest::page::Viewer viewer = page->viewer();
    const struct {
        const char *what;
        std::function<void()> act;
    } cases[] = {
        {"a new cash account with an opening balance",
         [&] {
             ASSERT_TRUE(viewer.click(bank.get()));
             page->command(cv::tag::NewCash);
             auto *sheet = w->findChild<cv::CashAccountSheet *>();
             ASSERT_NE(sheet, nullptr);
             fill(sheet->nameField(), QStringLiteral("Purse"));
             fill(sheet->valueField(), QStringLiteral("45,000"));
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
             EXPECT_EQ(document->accountTrees()->asset()->children().back()->name(), QStringLiteral("Purse"));
         }},
        {"the new account's opening balance changed in its sheet",
         [&] {
             const cv::NodePtr purse = document->accountTrees()->asset()->children().back();
             viewer.open(purse.get(), 0);
             auto *sheet = w->findChild<cv::CashAccountSheet *>();
             ASSERT_NE(sheet, nullptr);
             fill(sheet->valueField(), QStringLiteral("60,000"));
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
         }},
        {"a new loan from the loan sheet",
         [&] {
             ASSERT_TRUE(viewer.click(document->accountTrees()->debt().get()));
             page->command(cv::tag::NewLoan);
             auto *sheet = w->findChild<cv::LoanDialog *>();
             ASSERT_NE(sheet, nullptr);
             fill(sheet->nameField(), QStringLiteral("Car"));
             fill(sheet->dateField(), QStringLiteral("2009/04/10"));
             fill(sheet->valueField(), QStringLiteral("1,200,000"));
             fill(sheet->timesField(), QStringLiteral("12"));
             fill(sheet->rateField(), QStringLiteral("12"));
             sheet->dueDateButton()->setCurrentIndex(24); // the 25th
             QTest::mouseClick(sheet->repaymentButton(), Qt::LeftButton);
             ASSERT_TRUE(cvtest::page::pick(cv::ChooserItem::fromNode(bank)));
             sheet->showPage(1);
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
             const cv::NodePtr loan = document->accountTrees()->debt()->children().back();
             ASSERT_EQ(loan->name(), QStringLiteral("Car"));
             EXPECT_EQ(document->getLoan(loan->ident()).value_or(cv::LoanSchedule{}).size(), 12u);
         }},
        {"a security added to the account from the menu",
         [&] {
             ASSERT_TRUE(viewer.click(broker.get()));
             page->command(cv::tag::AddSecurity);
             auto *sheet = w->securityWindow() ? w->securityWindow()->findChild<cv::SecuritySheet *>() : nullptr;
             ASSERT_NE(sheet, nullptr);
             fill(sheet->nameField(), QStringLiteral("Acme"));
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
             QApplication::processEvents();
             EXPECT_EQ(broker->countChild(), 2);
         }},
        {"a security bought in the trade panel",
         [&] {
             const Entries trades = viewer.open(broker.get());
             ASSERT_TRUE(trades);
             const int row = trades.newRow();
             using T = cv::TradePanel;
             trades.type(T::DateColumn, row, QStringLiteral("2009/05/12"));
             ASSERT_TRUE(trades.choose(T::SecurityColumn, row,
                                       cv::ChooserItem::fromSecurity(document->findSecurity(security))));
             ASSERT_TRUE(trades.choose(T::KindColumn, row, cv::ChooserItem::fromTradeKind(cv::TradeKind::Buy)));
             trades.type(T::CountColumn, row, QStringLiteral("100"));
             trades.type(T::UnitPriceColumn, row, QStringLiteral("980"));
             trades.ok();
             EXPECT_EQ(w->temporaryPage(), nullptr);
             EXPECT_EQ(broker->countChild(), 3);
             EXPECT_DOUBLE_EQ(document->tradingAccount(broker->ident(), security, kMayEnd), 100);
         }},
        {"a transfer deleted after its amount was typed over",
         [&] {
             const int before = storedEntries(bank->ident());
             const Entries book = viewer.open(bank.get());
             ASSERT_TRUE(book);
             const int row = 1; // 05/10 to the card, 05/20 to the wallet
             ASSERT_EQ(book.cell(cv::AccountBookPanel::OutColumn, row), QStringLiteral("3,000"));
             book.type(cv::AccountBookPanel::OutColumn, row, QStringLiteral("4000"));
             ASSERT_EQ(book.cell(cv::AccountBookPanel::OutColumn, row), QStringLiteral("4,000"));
             book.deleteRow(row);
             book.ok();
             EXPECT_EQ(storedEntries(cv::AccountTrees::WalletIdent), 0);
             EXPECT_EQ(storedEntries(bank->ident()), before - 1);
         }},
        {"a text statement imported into the bank from the Account menu",
         [&] {
             const int before = storedEntries(bank->ident());
             QFile file(tmp.filePath(QStringLiteral("statement.csv")));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("2009/05/15,Shop,,2500\n2009/05/25,Refund,800,\n");
             file.close();
             ASSERT_TRUE(viewer.click(bank.get()));
             page->command(cv::tag::AccountImport);
             auto *sheet = w->findChild<cv::ImportTextSheet *>();
             ASSERT_NE(sheet, nullptr);
             ASSERT_TRUE(sheet->loadFile(file.fileName()));
             alerts.answers = {cv::AlertButton::Default}; // the rows without a category take the default
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
             EXPECT_EQ(storedEntries(bank->ident()), before + 2);
         }},
        {"a card with entries deleted",
         [&] {
             const int before = storedEntries(bank->ident());
             ASSERT_TRUE(viewer.click(card.get()));
             page->command(cv::tag::DeleteAccount);
             EXPECT_EQ(document->findAccount(card->ident()), nullptr);
             EXPECT_EQ(storedEntries(card->ident()), 0);
             EXPECT_EQ(storedEntries(bank->ident()), before - 1);
         }},
    };
    for (const auto &c : cases) {
        c.act();
        expectStoreAgrees(c.what);
    }
}

// Every tree and list of a book as text, records (summaries, budgets, loans) among them.
QString bookText(const cv::Book &doc)
{
    QString out;
    std::function<void(const cv::NodePtr &, int)> walk = [&](const cv::NodePtr &node, int depth) {
        if (!node) return;
        const QByteArray extra = node->extra() ? cv::KeyedArchiver::archivedDataWithRootObject(node->extra()) : "";
        out += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(depth)
                   .arg(cv::raw(node->kind()))
                   .arg(node->ident())
                   .arg(doc.displayName(*node))
                   .arg(node->currency())
                   .arg(QString::fromLatin1(extra.toBase64()));
        for (const cv::NodePtr &child : node->children()) walk(child, depth + 1);
    };
    const cv::AccountTrees &a = *doc.accountTrees();
    const cv::CategoryTrees &c = *doc.categoryTrees();
    for (const cv::NodePtr &root :
         {a.asset(), a.debt(), a.summary(), c.moneyFlow(), c.income(), c.expense(), c.summary()})
        walk(root, 0);
    for (const cv::CurrencyPtr &currency : doc.currencyList())
        out += QStringLiteral("currency %1 %2 %3\n").arg(currency->ident()).arg(currency->abbr()).arg(currency->rate());
    for (const cv::SecurityPtr &security : doc.securityList())
        out += QStringLiteral("security %1 %2\n").arg(security->ident()).arg(security->name());
    for (const cv::GroupingPtr &group : doc.groupList())
        out += QStringLiteral("group %1 %2\n").arg(group->ident()).arg(group->name());
    return out;
}

// Every account's balance and every category's month around May, by the place of each in its tree,
// and every currency's rate.
std::map<QString, std::vector<double>> figures(const cv::Book &doc)
{
    std::map<QString, std::vector<double>> out;
    std::function<void(const cv::NodePtr &, const QString &, bool)> walk = [&](const cv::NodePtr &node,
                                                                               const QString &place, bool account) {
        for (const cv::NodePtr &child : node->children()) {
            // Holdings and cash parts have no ident of their own: their record tells them apart.
            const QString here = place + QLatin1Char('/') + QString::number(child->ident()) + QLatin1Char(':') +
                                 QString::number(cv::raw(child->kind()));
            for (const QDate &d : {kMay.addDays(-1), kMayEnd, kMayEnd.addDays(1)})
                out[here].push_back(account ? doc.valueForAccount(child, d)
                                            : doc.summaryForCategoryMonths(child, d, 1));
            walk(child, here, account);
        }
    };
    walk(doc.accountTrees()->asset(), QStringLiteral("a"), true);
    walk(doc.accountTrees()->debt(), QStringLiteral("d"), true);
    walk(doc.categoryTrees()->income(), QStringLiteral("i"), false);
    walk(doc.categoryTrees()->expense(), QStringLiteral("e"), false);
    // The dated rates count too: a change of the default removes them.
    for (const cv::CurrencyPtr &currency : doc.currencyList())
        out[QStringLiteral("r/%1").arg(currency->ident())] = {doc.currencyRate(currency, kMayEnd)};
    return out;
}

// The stored entries and trades that no account, category or security of the book names.
QStringList strays(cv::Book &doc)
{
    std::set<int> accounts, categories, securities;
    for (const cv::NodePtr &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()})
        root->reduce([&](cv::Node &n) { return accounts.insert(n.ident()), false; });
    const cv::CategoryTrees &c = *doc.categoryTrees();
    for (const cv::NodePtr &root : {c.moneyFlow(), c.income(), c.expense()})
        root->reduce([&](cv::Node &n) { return categories.insert(n.ident()), false; });
    for (const cv::SecurityPtr &security : doc.securityList()) securities.insert(security->ident());
    QStringList out;
    const auto rows = doc.store()->database()->performQuery(
        QStringLiteral("SELECT 'entry', id, category, account, destination FROM ActualTable UNION ALL "
                       "SELECT 'trade', id, brand, account, trans FROM TradeTable;"));
    for (int r = 0; rows && r < rows->rowCount(); ++r) {
        const cv::SQLRow row = rows->rowAtIndex(r);
        const bool entry = row.stringForColumnAtIndex(0) == QLatin1String("entry");
        const int item = row.intForColumnAtIndex(2), account = row.intForColumnAtIndex(3);
        if (!(entry ? categories : securities).count(item) || !accounts.count(account))
            out << row.stringForColumnAtIndex(0) + QString::number(row.intForColumnAtIndex(1));
    }
    return out;
}

// A failed edit of the trees or lists (a write SQLite ends the edit on, or
// a COMMIT refused) leaves every window on the book as stored: what a fresh
// open of the saved book reads, with its balances, and a new item made
// afterwards never takes over what the failed edit meant to remove.
TEST_F(WindowRoadTest, AFailedEditLeavesTheBookAsTheStoreHoldsIt)
{
    open();
    samplebook::store(*document, cv::EntryKind::Expense, QDate(2009, 5, 12), 2500, food->ident(), card->ident());
    samplebook::store(*document, cv::EntryKind::Expense, QDate(2009, 5, 14), 700, food->ident(),
                      cv::AccountTrees::WalletIdent);
    samplebook::store(*document, cv::EntryKind::Transfer, QDate(2009, 5, 10), 7000, 0, bank->ident(), card->ident());
    // A second currency with a dated rate, and shares of the security bought in the broker.
    samplebook::currency(*document, 2, QStringLiteral("USD"), 100, 2);
    document->commitCurrencyList();
    ASSERT_TRUE(document->putRate(samplebook::priceTime(2, QDate(2009, 5, 1), 98.5)));
    {
        auto trade = std::make_shared<cv::Trade>();
        trade->setKind(cv::TradeKind::Buy);
        trade->setDate(QDate(2009, 5, 8));
        trade->setAccount(broker->ident());
        trade->setSecurity(security);
        trade->setCount(10);
        trade->setUnitPrice(900);
        trade->setFlags(cv::EditNew);
        std::set<cv::SecurityPtr> touched;
        cv::EditScope edit(*document);
        document->applyTrade(trade, broker, {}, touched, true);
        document->applySecurities(touched);
        document->commitAccountTrees();
    }
    const QString saved = path(QStringLiteral("Failed.cvv2"));
    cv::SQLDatabase3 &store = *document->store()->database();
    // The write of the edit that SQLite ends the transaction on, or one that
    // arms a deferred key, so that the edit runs whole and its COMMIT is refused.
    const auto stopAfter = [](const char *write) {
        return QStringLiteral("CREATE TEMP TRIGGER stop AFTER %1 BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")
            .arg(QLatin1String(write));
    };
    const QString refuseCommit = QStringLiteral(
        "PRAGMA foreign_keys=ON; CREATE TEMP TABLE armed(id INTEGER PRIMARY KEY); "
        "CREATE TEMP TABLE fuse(ref INTEGER REFERENCES armed(id) DEFERRABLE INITIALLY DEFERRED); "
        "CREATE TEMP TRIGGER stop AFTER INSERT ON InfoTable WHEN new.id = 1 BEGIN INSERT INTO fuse VALUES(1); END;");
    const cvtest::page::Viewer viewer = page->viewer();
    const auto newCash = [&] {
        ASSERT_TRUE(viewer.click(document->findAccount(bank->ident()).get()));
        page->command(cv::tag::NewCash);
        auto *sheet = w->findChild<cv::CashAccountSheet *>();
        ASSERT_NE(sheet, nullptr);
        fill(sheet->nameField(), QStringLiteral("Purse"));
        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
    };
    const struct {
        const char *what;
        QString arm;
        std::function<void()> act;
        std::function<void()> makeNew; // an item of the kind the act meant to remove, once there is room
    } cases[] = {
        {"a category deleted with its entries", stopAfter("DELETE ON ActualTable"),
         [&] {
             ASSERT_TRUE(viewer.click(document->findExpense(food->ident()).get()));
             alerts.answers = {cv::AlertButton::Default}; // its entries go with it
             page->command(cv::tag::DeleteCategory);
         },
         [&] {
             ASSERT_TRUE(viewer.click(document->findExpense(food->ident()).get()));
             alerts.names = {QStringLiteral("Dining")};
             page->command(cv::tag::NewCategory);
         }},
        {"an account deleted with its entries, refused at its commit", refuseCommit,
         [&] {
             ASSERT_TRUE(viewer.click(document->findAccount(card->ident()).get()));
             page->command(cv::tag::DeleteAccount);
         },
         newCash},
        {"an account renamed in its sheet", stopAfter("INSERT ON InfoTable WHEN new.id = 1"),
         [&] {
             viewer.open(document->findAccount(bank->ident()).get(), 0);
             auto *sheet = w->findChild<cv::CashAccountSheet *>();
             ASSERT_NE(sheet, nullptr);
             fill(sheet->nameField(), QStringLiteral("Savings"));
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
         },
         newCash},
        {"the dollar dropped on the default's place", stopAfter("INSERT ON InfoTable WHEN new.id = 3"),
         [&] {
             page->showPage("TB05");
             auto *currencies = qobject_cast<cv::CurrencyPage *>(w->page(cv::BookWindow::CurrencyIndex));
             ASSERT_NE(currencies, nullptr);
             alerts.answers = {cv::AlertButton::Default}; // the rates may go
             currencies->acceptDrop(1, 0);
             page->showPage("TB01");
         },
         newCash},
        {"a security deleted with its trades and holding", stopAfter("INSERT ON InfoTable WHEN new.id = 4"),
         [&] {
             const cvtest::page::Securities securities = page->securities();
             ASSERT_TRUE(securities.click(0));
             alerts.answers = {cv::AlertButton::Default};
             securities.clickButton("Brand-Delete");
             securities->close();
         },
         [&] {
             const cvtest::page::Securities securities = page->securities();
             securities.clickButton("Brand-New");
             auto *sheet = securities->findChild<cv::SecuritySheet *>();
             ASSERT_NE(sheet, nullptr);
             fill(sheet->nameField(), QStringLiteral("Acme"));
             QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
             securities->close();
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(document->writeToFile(saved, cv::Book::kTypeV2));
        const auto before = figures(*document);
        ASSERT_TRUE(store.performQuery(c.arm));
        alerts.asked.clear();
        c.act();
        QApplication::processEvents();
        const QString notMade = cv::localizedString(QStringLiteral("Edit-Not-Written"));
        EXPECT_EQ(std::count_if(alerts.asked.begin(), alerts.asked.end(),
                                [&](const auto &alert) { return alert.message == notMade; }),
                  1)
            << "one alert, in the words for a change not made";
        ASSERT_TRUE(store.performQuery(QStringLiteral("DROP TRIGGER temp.stop; DROP TABLE IF EXISTS temp.fuse; "
                                                      "DROP TABLE IF EXISTS temp.armed; PRAGMA foreign_keys=OFF;")));
        // The windows show the book a fresh open of the saved file reads, with its balances.
        ASSERT_TRUE(document->writeToFile(saved, cv::Book::kTypeV2));
        cv::Book fresh;
        ASSERT_TRUE(fresh.initWithContentsOfFile(saved, cv::Book::kTypeV2));
        EXPECT_EQ(bookText(*document).toStdString(), bookText(fresh).toStdString());
        EXPECT_EQ(figures(*document), figures(fresh));
        EXPECT_EQ(figures(fresh), before);
        const std::string shown = page->viewer().texts();
        w->viewerPage()->refreshMainView();
        EXPECT_EQ(shown, page->viewer().texts());
        // With room again, a new item of the kind takes over nothing.
        c.makeNew();
        QApplication::processEvents();
        ASSERT_TRUE(document->writeToFile(saved, cv::Book::kTypeV2));
        cv::Book reopened;
        ASSERT_TRUE(reopened.initWithContentsOfFile(saved, cv::Book::kTypeV2));
        EXPECT_EQ(strays(reopened), QStringList());
        auto after = figures(reopened);
        for (const auto &[place, values] : before) EXPECT_EQ(after[place], values) << place.toStdString();
    }
}

// The account and category commands are on for the row clicked in the grid
// as the menu rules say, and off where they say so.
TEST_F(WindowRoadTest, TheGridCommandsFollowTheClickedRow)
{
    open();
    const cv::NodePtr cashPart = broker->childAt(0);
    const cv::NodePtr wallet = document->findAccount(cv::AccountTrees::WalletIdent);
    const cv::NodePtr transferItem = document->categoryTrees()->moneyFlow()->childAt(0);
    using namespace cv::tag;
    // clang-format off
    const struct {
        int tag;
        const cv::NodePtr &row;
        bool enabled;
    } cases[] = {
        {NewCash, bank, true},              {NewCash, card, false},
        {NewLoan, card, true},              {NewLoan, bank, false},
        {AddSecurity, broker, true},        {AddSecurity, cashPart, true},
        {AddSecurity, bank, false},         {GroupAccounts, bank, true},
        {GroupAccounts, cashPart, false},   {DeleteAccount, card, true},
        {DeleteAccount, wallet, false},     {NewCategory, food, true},
        {NewCategory, transferItem, false}, {NewCategoryFolder, food, true},
        {DeleteCategory, food, true},       {DeleteCategory, living, false},
        {MergeCategory, transferItem, false},
        {AccountImport, card, false},       {AccountImport, broker, false},
        {AccountImport, bank, true},
    };
    // clang-format on
    const cvtest::page::Viewer viewer = page->viewer();
    for (const auto &c : cases) {
        ASSERT_TRUE(viewer.click(c.row.get())) << c.row->name().toStdString();
        EXPECT_EQ(page->enabled(c.tag), c.enabled) << c.tag << " on " << c.row->name().toStdString();
    }
    // The statement import opens on the account clicked last.
    page->command(AccountImport);
    auto *sheet = w->findChild<cv::ImportTextSheet *>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->importAccount(), bank->ident());
    EXPECT_EQ(sheet->accountBox()->currentText(), document->displayName(*bank));
    sheet->reject();
}

} // namespace
