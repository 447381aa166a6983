// The securities window: its cells, deleting a security or one holding of
// it, editing without a second copy, reordering by drag, the choosers' new
// security command, and a screenshot and printed list in both languages.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/Screenshots.h"

#include "controls/SecurityChooserModel.h"
#include "controls/ControlsDocumentUI.h"
#include "controls/CommandRow.h"
#include "document/Book.h"
#include "mainwindow/SecuritiesWindow.h"
#include "model/OpeningHolding.h"
#include "model/Trade.h"
#include "panels/sheets/SecuritySheet.h"
#include "panels/entry/PricePanel.h"
#include "panels/sheets/OpeningHoldingSheet.h"
#include "support/SampleBook.h"
#include "support/WindowPage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QProcess>
#include <QTableView>

namespace {

constexpr int kBank = 9001;
constexpr int kInvestA = 9101;
constexpr int kInvestB = 9102;

class SecuritiesWindowTest : public DelegateTest {
protected:
    // Two investment accounts both holding the stock S, A also the trust T;
    // two prices of S, a buy of S in each account and one of T in A.
    cv::BookWindow *openBook()
    {
        cv::Book *doc = delegate->newDocument();
        document = doc;
        auto bank = std::make_shared<cv::BankDetail>();
        bank->setDate(QDate(2009, 1, 1));
        samplebook::node(doc->accountTrees()->asset(), kBank, 31, QStringLiteral("Bank"), bank);
        stock = addSecurity(QStringLiteral("Hoshizora"), cv::SecurityKind::Stock, 42, QString());
        trust = addSecurity(QStringLiteral("青空バランスファンド"), cv::SecurityKind::InvestmentTrust, 0, QString());
        for (int ident : {kInvestA, kInvestB}) {
            auto invest =
                samplebook::node(doc->accountTrees()->asset(), ident, 32,
                                 ident == kInvestA ? QStringLiteral("A Securities") : QStringLiteral("B Securities"),
                                 std::make_shared<cv::AccountDetail>());
            auto cash = std::make_shared<cv::Node>();
            cash->setKind(cv::NodeKind::CashPart);
            cash->setIdent(0);
            invest->appendChild(cash);
            doc->addSecurityNodeIfNeeded(invest, stock->ident());
            buy(ident, stock, QDate(2009, 2, 2));
        }
        doc->addSecurityNodeIfNeeded(doc->findAccount(kInvestA), trust->ident());
        buy(kInvestA, trust, QDate(2009, 2, 3));
        for (int day : {2, 3}) {
            EXPECT_TRUE(samplebook::putPrice(*doc, stock->ident(), QDate(2009, 2, day), 1200 + day));
        }
        doc->commitSecurityList();
        doc->commitAccountTrees();
        doc->createCache();
        return window();
    }
    cv::SecurityPtr addSecurity(const QString &name, cv::SecurityKind kind, int code, const QString &symbol)
    {
        auto security = std::make_shared<cv::Security>();
        security->setName(name);
        security->setKind(kind);
        security->setCode(code);
        security->setSymbol(symbol);
        security->setCurrency(1);
        document->addSecurity(security);
        return security;
    }
    void buy(int account, const cv::SecurityPtr &security, const QDate &date)
    {
        auto t = std::make_shared<cv::Trade>();
        t->setDate(date);
        t->setAccount(account);
        t->setTransfer(kBank);
        t->setSecurity(security->ident());
        t->setCount(100);
        t->setUnitPrice(1200);
        EXPECT_TRUE(document->store()->putTrade(t));
    }
    int holdings(int account, const cv::SecurityPtr &security) const
    {
        int count = 0;
        const cv::NodePtr node = document->findAccount(account);
        for (int i = 0; node && i < node->countChild(); ++i) {
            const auto unit = std::dynamic_pointer_cast<cv::OpeningHolding>(node->childAt(i)->extra());
            if (unit && unit->security() == security->ident()) ++count;
        }
        return count;
    }
    int trades(int account, const cv::SecurityPtr &security) const
    {
        const auto list = document->store()->findTradeFrom(QDate(), QDate(), account, security->ident(), 0);
        return list ? int(list->size()) : -1;
    }
    int prices(const cv::SecurityPtr &security) const
    {
        const auto list = document->store()->getPriceListForSecurity(security->ident());
        return list ? int(list->size()) : -1;
    }
    // Opened as a user opens it, through the View menu.
    cv::SecuritiesWindow *securityWindow(cv::BookWindow *w)
    {
        delegate->validateMenus();
        QAction *view = delegate->actionNamed(QStringLiteral("viewSecurities"));
        EXPECT_TRUE(view->isEnabled());
        view->trigger();
        EXPECT_TRUE(w->securityWindow() && w->securityWindow()->isVisible());
        return w->securityWindow();
    }
    cv::Book *document = nullptr;
    cv::SecurityPtr stock;
    cv::SecurityPtr trust;
};

TEST_F(SecuritiesWindowTest, ListsEachSecurityInItsSevenColumns)
{
    cv::SecuritiesWindow *bw = securityWindow(openBook());
    ASSERT_TRUE(bw);
    QAbstractItemModelTester tester(bw->securityView()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    addSecurity(QStringLiteral("Kumo Robotics"), cv::SecurityKind::Stock, 5, QStringLiteral("KMRB"))->setVisible(false);
    bw->reloadSecurityView();
    // clang-format off
    const struct {
        int row;
        QStringList cells;
    } cases[] = {
        {0, {QStringLiteral("Stock"), QStringLiteral("Hoshizora"), QStringLiteral("42"), QStringLiteral("¥"), QStringLiteral("1,203.00"),
             QStringLiteral("Low"), QStringLiteral("1")}},
        // A code of 0 shows nothing; a trust's price has the fund format.
        {1, {QStringLiteral("Investment Trust"), QStringLiteral("青空バランスファンド"), QString(), QStringLiteral("¥"),
             QStringLiteral("0.00"), QStringLiteral("Low"), QStringLiteral("1")}},
        // The symbol wins over the code.
        {2, {QStringLiteral("Stock"), QStringLiteral("Kumo Robotics"), QStringLiteral("KMRB"), QStringLiteral("¥"), QStringLiteral("0.00"),
             QStringLiteral("Low"), QStringLiteral("0")}},
    };
    // clang-format on
    for (const auto &c : cases) {
        QStringList shown;
        for (int column = 0; column < cv::SecuritiesWindow::ColumnCount; ++column)
            shown << bw->securityStrValueForColumn(column, c.row);
        EXPECT_EQ(shown.join(u'|').toStdString(), c.cells.join(u'|').toStdString()) << c.row;
    }
    EXPECT_EQ(bw->securityView()->model()->rowCount(), 3);
    EXPECT_FALSE(bw->validateMenuTag(cv::SecuritiesWindow::DeleteTag));
    bw->selectRow(0);
    EXPECT_TRUE(bw->validateMenuTag(cv::SecuritiesWindow::PriceTag));
    EXPECT_TRUE(bw->validateMenuTag(cv::SecuritiesWindow::ImportTag));
}

// Deleting a security takes its holdings, prices and trades everywhere; the
// viewer's delete of a holding only that account's. The Delete key,
// Backspace, the Delete button and Edit > Delete each delete the selected
// security after the confirmation; Edit > Delete follows the document
// window's rule for its untagged items (off while it shows the investments);
// Copy and Select All never delete.
TEST_F(SecuritiesWindowTest, DeletesASecurityEverywhereOrOneAccountsHoldingOnly)
{
    enum How { Key, Backspace, Button, Menu, Copy, SelectAll, OneAccount };
    const struct {
        const char *name;
        How how;
        const char *page;
        bool securityKept;
        int holdingsA, holdingsB, tradesA, tradesB, pricesLeft;
    } cases[] = {
        {"by the Delete key", Key, "TB01", false, 0, 0, 0, 0, 0},
        {"by Backspace", Backspace, "TB05", false, 0, 0, 0, 0, 0},
        {"by the Delete button", Button, "TB06", false, 0, 0, 0, 0, 0},
        {"by Edit > Delete", Menu, "TB01", false, 0, 0, 0, 0, 0},
        {"not by Edit > Delete on the investments", Menu, "TB06", true, 1, 1, 1, 1, 2},
        {"not by Edit > Copy", Copy, "TB01", true, 1, 1, 1, 1, 2},
        {"not by Edit > Select All", SelectAll, "TB01", true, 1, 1, 1, 1, 2},
        {"its holding in A", OneAccount, "TB01", true, 0, 1, 0, 1, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        cvtest::page::Window page(*delegate, openBook());
        page->show();
        page->selectTabWithIdentifier(QLatin1String(c.page));
        const cvtest::page::Securities securities = page.securities();
        EXPECT_FALSE(securities.menu()); // nothing selected yet
        ASSERT_TRUE(securities.click(0));
        const QByteArray storedTree = document->store()->getAccountData();
        const size_t asked = alerts.asked.size();
        if (c.how == Key || c.how == Backspace) securities.press(c.how == Key ? Qt::Key_Delete : Qt::Key_Backspace);
        if (c.how == Button) securities.clickButton("Brand-Delete");
        if (c.how == Menu) securities.menu();
        if (c.how == Copy) securities.menu("copy");
        if (c.how == SelectAll) securities.menu("selectAll");
        if (c.how == OneAccount) page->maybeDeleteSecurity(stock, document->findAccount(kInvestA));
        const bool deleted = c.holdingsA == 0;
        EXPECT_EQ(alerts.asked.size() - asked, deleted ? 1u : 0u);
        const auto &list = document->securityList();
        EXPECT_EQ(std::find(list.begin(), list.end(), stock) != list.end(), c.securityKept);
        EXPECT_EQ(holdings(kInvestA, stock), c.holdingsA);
        EXPECT_EQ(holdings(kInvestB, stock), c.holdingsB);
        EXPECT_EQ(trades(kInvestA, stock), c.tradesA);
        EXPECT_EQ(trades(kInvestB, stock), c.tradesB);
        EXPECT_EQ(prices(stock), c.pricesLeft);
        // The other security and its holding are untouched.
        EXPECT_EQ(holdings(kInvestA, trust), 1);
        EXPECT_EQ(trades(kInvestA, trust), 1);
        // The tree without the holdings is stored at once.
        EXPECT_EQ(document->store()->getAccountData() != storedTree, deleted);
        EXPECT_EQ(document->tradingAccount(kInvestB, stock->ident(), QDate(2009, 3, 1)), c.holdingsB ? 100 : 0);
        EXPECT_EQ(securities->securityChanged(), deleted);
        delegate->openBooks().closeDocument(document, false);
    }
}

TEST_F(SecuritiesWindowTest, EditingASecurityKeepsItOnceUnderItsIdent)
{
    cv::SecuritiesWindow *bw = securityWindow(openBook());
    const int ident = stock->ident();
    const size_t count = document->securityList().size();
    cv::SecuritySheet *sheet = bw->editSecurity(stock);
    ASSERT_TRUE(sheet);
    sheet->nameField()->setText(QStringLiteral("Hoshizora HD"));
    sheet->okPushed();
    EXPECT_EQ(document->securityList().size(), count);
    EXPECT_EQ(std::count_if(document->securityList().begin(), document->securityList().end(),
                            [ident](const cv::SecurityPtr &b) { return b->ident() == ident; }),
              1);
    EXPECT_EQ(stock->name(), QStringLiteral("Hoshizora HD"));
    EXPECT_EQ(holdings(kInvestB, stock), 1);
    EXPECT_EQ(prices(stock), 2);
    EXPECT_EQ(bw->securityStrValueForColumn(cv::SecuritiesWindow::NameColumn, 0), QStringLiteral("Hoshizora HD"));
}

TEST_F(SecuritiesWindowTest, DragsReorderOnlyWithinTheTable)
{
    cv::SecuritiesWindow *bw = securityWindow(openBook());
    QAbstractItemModelTester tester(bw->securityView()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    addSecurity(QStringLiteral("Third"), cv::SecurityKind::Bond, 0, QString());
    document->commitSecurityList();
    auto names = [this] {
        QStringList out;
        for (const cv::SecurityPtr &b : document->securityList()) out << b->name();
        return out;
    };
    const QObject *table = bw->securityView();
    QObject stranger;
    // clang-format off
    const struct {
        const char *name;
        int from, to;
        const QObject *source;
        bool accepted;
        QStringList order;
    } cases[] = {
        {"onto its own place", 0, 0, table, true, {QStringLiteral("Hoshizora"), QStringLiteral("青空バランスファンド"), QStringLiteral("Third")}},
        {"from elsewhere", 0, 2, &stranger, false, {QStringLiteral("Hoshizora"), QStringLiteral("青空バランスファンド"), QStringLiteral("Third")}},
        {"down past one", 0, 2, table, true, {QStringLiteral("青空バランスファンド"), QStringLiteral("Hoshizora"), QStringLiteral("Third")}},
        {"up to the top", 2, 0, table, true, {QStringLiteral("Third"), QStringLiteral("青空バランスファンド"), QStringLiteral("Hoshizora")}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray stored = document->store()->getSecurityData();
        std::unique_ptr<QMimeData> data(bw->dragData(c.from));
        EXPECT_EQ(bw->acceptDrop(data.get(), c.to, c.source), c.accepted);
        EXPECT_EQ(names(), c.order);
        EXPECT_EQ(document->store()->getSecurityData() != stored, c.from != c.to && c.accepted);
    }
}

TEST_F(SecuritiesWindowTest, TheChooserCommandHandsBackTheNewSecurityAfterOkOnlyAndRefusesATakenName)
{
    cv::BookWindow *w = openBook();
    const struct {
        bool ok;
        const char *name;
        bool added;
    } cases[] = {{true, "New One", true}, {false, "Other", false}, {true, "Hoshizora", false}};
    for (const auto &c : cases) {
        cv::SecurityChooserModel source;
        source.setDocument(document, 0);
        const cv::ChooserItem last = source.objects().back();
        auto command = std::dynamic_pointer_cast<cv::CommandRow>(last.node());
        ASSERT_TRUE(command);
        std::vector<cv::SecurityPtr> picked;
        EXPECT_FALSE(command->runWithDelegate([&](const cv::ChooserItem &item) { picked.push_back(item.security()); }));
        ASSERT_TRUE(w->securityWindow() && w->securityWindow()->isVisible());
        auto *sheet = w->securityWindow()->findChild<cv::SecuritySheet *>();
        ASSERT_TRUE(sheet);
        sheet->nameField()->setText(QString::fromUtf8(c.name));
        const size_t alertsBefore = alerts.asked.size();
        if (c.ok)
            sheet->okPushed();
        else
            sheet->cancelPushed();
        QApplication::processEvents();
        ASSERT_EQ(picked.size(), c.added ? 1u : 0u) << c.name;
        if (c.added) {
            EXPECT_EQ(picked[0]->name(), QStringLiteral("New One"));
            EXPECT_GT(picked[0]->ident(), 0);
            EXPECT_EQ(document->findSecurity(picked[0]->ident()), picked[0]);
        }
        EXPECT_EQ(document->securityList().size(), 3u) << c.name;
        EXPECT_EQ(alerts.asked.size() - alertsBefore, c.ok && !c.added ? 1u : 0u) << "ERR group name";
        EXPECT_FALSE(w->securityWindow()->isVisible());
    }
    // A book from outside whose greatest ident stands at the limit: said before the sheet, nothing handed back.
    trust->setIdent(2147483647);
    cv::SecurityChooserModel source;
    source.setDocument(document, 0);
    auto command = std::dynamic_pointer_cast<cv::CommandRow>(source.objects().back().node());
    ASSERT_TRUE(command);
    const size_t alertsBefore = alerts.asked.size(),
                 sheets = w->securityWindow()->findChildren<cv::SecuritySheet *>().size();
    int handed = 0;
    command->runWithDelegate([&](const cv::ChooserItem &item) { handed += item.security() ? 1 : 0; });
    EXPECT_EQ(w->securityWindow()->findChildren<cv::SecuritySheet *>().size(), sheets);
    EXPECT_EQ(alerts.asked.size() - alertsBefore, 1u);
    EXPECT_EQ(handed, 0);
    EXPECT_EQ(document->securityList().size(), 3u);
}

TEST_F(SecuritiesWindowTest, TheHoldingSheetStoresTheOpeningHoldingAndCommitsTheTree)
{
    cv::BookWindow *w = openBook();
    const cv::NodePtr account = document->findAccount(kInvestB);
    cv::NodePtr holding;
    for (int i = 0; i < account->countChild(); ++i)
        if (account->childAt(i)->kind() == cv::NodeKind::Holding) holding = account->childAt(i);
    ASSERT_TRUE(holding);
    const QByteArray stored = document->store()->getAccountData();
    cv::OpeningHoldingSheet *sheet = w->editHolding(holding);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->editButton()->isEnabled());
    sheet->cell(cv::OpeningHoldingSheet::DateCell)->setText(QStringLiteral("2009/01/10"));
    sheet->cell(cv::OpeningHoldingSheet::UnitsCell)->setText(QStringLiteral("50"));
    sheet->cell(cv::OpeningHoldingSheet::UnitPriceCell)->setText(QStringLiteral("1,100"));
    sheet->okPushed();
    EXPECT_EQ(document->tradingAccount(kInvestB, stock->ident(), QDate(2009, 3, 1)), 150);
    EXPECT_EQ(document->securityPrice(stock, QDate(2009, 1, 20)), 1100);
    EXPECT_NE(document->store()->getAccountData(), stored);
}

using SecuritiesWindowShots = InLanguages<SecuritiesWindowTest>;

TEST_P(SecuritiesWindowShots, RendersTheWindowAndPrintsTheList)
{
    cv::SecuritiesWindow *bw = securityWindow(openBook());
    addSecurity(QStringLiteral("Kumo Robotics"), cv::SecurityKind::Stock, 0, QStringLiteral("KMRB"))->setCurrency(2);
    document->commitSecurityList();
    bw->resize(820, 260);
    bw->selectRow(0);
    QApplication::processEvents();
    EXPECT_TRUE(cvtest::saveScreenshot(*bw, language(), QStringLiteral("securities-window")));
    const QString pdf = cvtest::screenshotPath(QStringLiteral("securities-list.pdf"), language());
    QFile::remove(pdf);
    bw->printSecurityList(cv::PrintRunner::Mode::Pdf, pdf);
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, SecuritiesWindowShots, ::testing::Values("ja", "en"));

} // namespace
