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
