// The trade panel under the fingers: a buy, a sale and a dividend typed and
// committed reach the trade table, the price table and the cash part; the
// amount kinds, the currency rule, the choosers and the calculator.
#include "panels/entry/TradeTestSupport.h"

#include "panels/dialogs/TradeDialog.h"
#include "controls/AccountChooserModel.h"
#include "controls/CommandRow.h"
#include "model/EditFlags.h"
#include "platform/DateFormat.h"
#include "platform/ScriptedAlertPresenter.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

class TradePanelTest : public TradeBookTest {
protected:
    std::unique_ptr<cv::TradePanel> open() { return openTrades(*doc, invest, kFeb1, kFeb28); }
    double cash(const QDate &date) const { return doc->rawValueForAccount(invest->childAt(0), date); }
    double cashIn() const { return doc->summaryForCategoryMonths(doc->autoCashIn(), kFeb1, 1); }
    double cashOut() const { return doc->summaryForCategoryMonths(doc->autoCashOut(), kFeb1, 1); }
};

TEST_F(TradePanelTest, ABuyASaleAndADividendReachTheTradesPricesAndTheCashPart)
{
    struct Case {
        const char *what;
        QDate date;
        cv::TradeKind kind;
        const char *count; // typed, or empty
        const char *price; // typed unit price, or empty
        const char *total; // typed total, or empty
        const char *commission;
        QStringList shown; // count, unit price, total, commission, units held
        double storedCount, storedPrice;
        double cashChange, cashInChange, cashOutChange;
    };
    // clang-format off
    const Case cases[] = {
        {"buy", QDate(2009, 2, 2), cv::TradeKind::Buy, "100", "1234", "", "525",
         {"100", "1,234", "123,400", "525", "100"}, 100, 1234, -123925, 0, 123925},
        {"sale", QDate(2009, 2, 10), cv::TradeKind::Sale, "50", "1500", "", "525",
         {"50", "1,500", "75,000", "525", "50"}, 50, 1500, 74475, 75000, 525},
        {"dividend", QDate(2009, 2, 20), cv::TradeKind::Dividend, "", "", "5000", "500",
         {"", "", "5,000", "500", "50"}, 1, 5000, 4500, 5000, 500},
    };
    // clang-format on
    for (const Case &c : cases) {
        const double cashBefore = cash(c.date);
        const double inBefore = cashIn();
        const double outBefore = cashOut();
        const size_t storedBefore = storedTrades(*doc).size();
        auto panel = open();
        const int row = panel->numberOfRows(panel->tableView()) - 1;
        type(*panel, cv::TradePanel::DateColumn, row, cv::formatProgramDate(c.date));
        pickSecurity(*panel, row, kStock);
        pickKind(*panel, row, c.kind);
        if (*c.count) type(*panel, cv::TradePanel::CountColumn, row, QString::fromLatin1(c.count));
        if (*c.price) type(*panel, cv::TradePanel::UnitPriceColumn, row, QString::fromLatin1(c.price));
        if (*c.total) type(*panel, cv::TradePanel::TotalColumn, row, QString::fromLatin1(c.total));
        type(*panel, cv::TradePanel::CommissionColumn, row, QString::fromLatin1(c.commission));
        // clang-format off
        const QStringList shown = {cellText(*panel, cv::TradePanel::CountColumn, row),
                                   cellText(*panel, cv::TradePanel::UnitPriceColumn, row),
                                   cellText(*panel, cv::TradePanel::TotalColumn, row),
                                   cellText(*panel, cv::TradePanel::CommissionColumn, row),
                                   cellText(*panel, cv::TradePanel::HoldingColumn, row)};
        // clang-format on
        EXPECT_EQ(shown, c.shown) << c.what;
        EXPECT_EQ(panel->firstUnfinishedColumnForRow(row), -1) << c.what;

        EXPECT_EQ(panel->commitPanel(), 1) << c.what;
        const auto trades = storedTrades(*doc);
        ASSERT_EQ(trades.size(), storedBefore + 1) << c.what;
        const auto stored =
            std::find_if(trades.begin(), trades.end(), [&](const cv::TradePtr &t) { return t->date() == c.date; });
        ASSERT_NE(stored, trades.end()) << c.what;
        EXPECT_EQ((*stored)->kind(), c.kind) << c.what;
        EXPECT_EQ((*stored)->security(), kStock) << c.what;
        EXPECT_DOUBLE_EQ((*stored)->count(), c.storedCount) << c.what;
        EXPECT_DOUBLE_EQ((*stored)->unitPrice(), c.storedPrice) << c.what;
        EXPECT_DOUBLE_EQ((*stored)->commission(), QString::fromLatin1(c.commission).toDouble()) << c.what;
        EXPECT_DOUBLE_EQ(cash(c.date) - cashBefore, c.cashChange) << c.what;
        EXPECT_DOUBLE_EQ(cashIn() - inBefore, c.cashInChange) << c.what;
        EXPECT_DOUBLE_EQ(cashOut() - outBefore, c.cashOutChange) << c.what;
    }
    // Buys and sales record their price for the day; a dividend does not.
    const auto prices = doc->store()->getPriceListForSecurity(kStock).value_or(cv::BookStore::PriceList{});
    ASSERT_EQ(prices.size(), 2u);
    EXPECT_EQ(prices[0]->date(), QDate(2009, 2, 2));
    EXPECT_DOUBLE_EQ(prices[0]->price(), 1234);
    EXPECT_EQ(prices[1]->date(), QDate(2009, 2, 10));
    // The account got its holding, and the rows show what it held each day.
    EXPECT_DOUBLE_EQ(doc->tradingAccount(kInvest, kStock, kFeb28), 50);
    auto panel = open();
    EXPECT_EQ(cellText(*panel, cv::TradePanel::HoldingColumn, 0), QStringLiteral("100"));
    EXPECT_EQ(cellText(*panel, cv::TradePanel::HoldingColumn, 1), QStringLiteral("50"));
    // A rebuild from the store gives the balances the edits kept.
    const double kept = cash(kFeb28);
    doc->createCache();
    EXPECT_DOUBLE_EQ(cash(kFeb28), kept);
}

TEST_F(TradePanelTest, AmountKindsStoreTheirUnitsAndANewBuyWithoutUnitsIsNeverStored)
{
    struct Case {
        const char *what;
        cv::TradeKind kind;
        double storedCount;
        bool stored;
    };
    const Case cases[] = {
        {"dividend", cv::TradeKind::Dividend, 1, true},
        {"other income", cv::TradeKind::OtherIncome, 0, true},
        {"buy without units", cv::TradeKind::Buy, 0, false},
    };
    for (const Case &c : cases) {
        const size_t before = storedTrades(*doc).size();
        auto panel = open();
        const int row = panel->numberOfRows(panel->tableView()) - 1;
        pickSecurity(*panel, row, kStock);
        pickKind(*panel, row, c.kind);
        if (c.kind == cv::TradeKind::Buy)
            type(*panel, cv::TradePanel::UnitPriceColumn, row, QStringLiteral("1000"));
        else
            type(*panel, cv::TradePanel::TotalColumn, row, QStringLiteral("5000"));
        EXPECT_EQ(cellText(*panel, cv::TradePanel::CountColumn, row), QString()) << c.what;
        panel->closeMaximizedPanel();
        panel->commitPanel();
        const auto trades = storedTrades(*doc);
        ASSERT_EQ(trades.size(), before + (c.stored ? 1 : 0)) << c.what;
        if (!c.stored) continue;
        EXPECT_DOUBLE_EQ(trades.back()->count(), c.storedCount) << c.what;
        EXPECT_DOUBLE_EQ(trades.back()->unitPrice(), 5000) << c.what;
    }
}

TEST_F(TradePanelTest, ASecurityOfAnotherCurrencyIsRefusedWithTheWarning)
{
    ScriptedAlertPresenter alerts;
    auto panel = open();
    pickSecurity(*panel, 0, kStock);
    pickSecurity(*panel, 0, kDollarStock);
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(alerts.asked[0].title, cv::localizedString(QStringLiteral("TradeCurrencyWarningTitle")));
    EXPECT_EQ(alerts.asked[0].message, cv::localizedString(QStringLiteral("TradeCurrencyWarningText")));
    EXPECT_EQ(panel->tradeForRow(0)->security(), kStock);
    EXPECT_EQ(cellText(*panel, cv::TradePanel::SecurityColumn, 0), QStringLiteral("Toyo Motors"));

    // A stored row that mixes currencies keeps its other cells closed.
    panel->tradeForRow(0)->setSecurity(kDollarStock);
    EXPECT_EQ(panel->verifyEditableColumn(panel->tableView()->columnWithIdentifier(cv::TradePanel::CountColumn), 0,
                                          cv::Movement::Click),
              panel->tableView()->columnWithIdentifier(cv::TradePanel::SecurityColumn));
    EXPECT_EQ(alerts.asked.size(), 2u);
}

TEST_F(TradePanelTest, TabSkipsTheCellsAKindDoesNotUseAndAnIncompleteRowIsNotLeft)
{
    // clang-format off
    const struct {
        cv::TradeKind kind;
        QList<int> path;  // the cells Tab visits from the units or the total
    } cases[] = {
        {cv::TradeKind::Buy, {cv::TradePanel::UnitPriceColumn, cv::TradePanel::CommissionColumn,
                         cv::TradePanel::MemoColumn, cv::TradePanel::CountColumn}},
        {cv::TradeKind::Dividend, {cv::TradePanel::CommissionColumn, cv::TradePanel::MemoColumn,
                              cv::TradePanel::TotalColumn}},
    };
    // clang-format on
    auto panel = open();
    cv::EditingTable *table = panel->tableView();
    for (const auto &c : cases) {
        pickSecurity(*panel, 0, kStock);
        pickKind(*panel, 0, c.kind);
        const int first = c.kind == cv::TradeKind::Buy ? cv::TradePanel::CountColumn : cv::TradePanel::TotalColumn;
        table->editColumn(table->columnWithIdentifier(first), 0, nullptr, true);
        QList<int> visited;
        for (int step = 0; step < c.path.size(); ++step) {
            QTest::keyClick(cv::GetPopupFieldEditor(), Qt::Key_Tab);
            visited << table->cidOfColumn(table->editedColumn());
        }
        EXPECT_EQ(visited, c.path) << cv::raw(c.kind);
        EXPECT_EQ(panel->numberOfRows(table), 1) << cv::raw(c.kind);
        table->forceEndFieldEditing(false);
    }
}

TEST_F(TradePanelTest, UnitsMoveOnlyToAnotherInvestmentAccountOfTheSameCurrency)
{
    addInvestAccount(*doc, 1103, QStringLiteral("Dollar Broker"))->setCurrency(2);
    doc->findAccount(kInvest2)->setCurrency(0); // no currency: the book's own
    cv::NodePtr made;
    cv::AccountChooserModel::setNewAccountAction([&made](cv::Book &book, cv::CommandRow &, cv::NodeKind kind) {
        made = addInvestAccount(book, 1104, QStringLiteral("New"));
        EXPECT_EQ(kind, cv::NodeKind::Investment);
        return cv::ChooserItem::fromNode(made);
    });
    auto panel = open();
    pickSecurity(*panel, 0, kStock);
    pickKind(*panel, 0, cv::TradeKind::TransferUnits);
    type(*panel, cv::TradePanel::CountColumn, 0, QStringLiteral("10"));
    EXPECT_EQ(panel->firstUnfinishedColumnForRow(0), cv::TradePanel::TotalColumn);
    EXPECT_EQ(cvtest::page::Entries(panel.get()).chooserOf(cv::TradePanel::TotalColumn, 0),
              (QStringList{QStringLiteral("NISA"), cv::localizedString(QStringLiteral("CreateNewAccount"))}));

    // The command row makes an account, and the made account is the pick.
    cv::AccountChooserModel source;
    source.setDocument(doc.get(), 4, true);
    source.appendNewAccountCommand(cv::NodeKind::Investment);
    panel->endTransferAccountPopup(source.objects().back().command()->runWithDelegate({}));
    ASSERT_TRUE(made);
    EXPECT_EQ(panel->tradeForRow(0)->transfer(), 1104);
    EXPECT_EQ(cellText(*panel, cv::TradePanel::TotalColumn, 0), QStringLiteral("New"));
    EXPECT_EQ(panel->firstUnfinishedColumnForRow(0), -1);
    cv::AccountChooserModel::setNewAccountAction({});

    EXPECT_EQ(panel->commitPanel(), 1);
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1104, kStock, kFeb28), 10);
}

TEST_F(TradePanelTest, TheSecurityChooserOffersTheVisibleSecuritiesInOrderAndTheNewSecurityRow)
{
    doc->findSecurity(kTrust)->setVisible(false);
    auto panel = open();
    EXPECT_EQ(cvtest::page::Entries(panel.get()).chooserOf(cv::TradePanel::SecurityColumn, 0),
              (QStringList{"Toyo Motors", "JGB 10", "Acme", cv::localizedString(QStringLiteral("CreateNewBrand"))}));
}

TEST_F(TradePanelTest, TheOperationChooserOffersTheOperationsOfTheRowsSecurityKind)
{
    const struct {
        int security;
        QList<int> kinds;
    } cases[] = {
        {kStock, {0, 1, 10, 13, 14, 16, 17, 2, 18, 19, 20, 21, 5, 6}},
        {kTrust, {0, 1, 2, 12, 30, 31, 5, 6}},
        {kBond, {0, 1, 2, 30, 11, 31, 18, 19, 20, 21, 5, 6}},
    };
    auto panel = open();
    for (const auto &c : cases) {
        pickSecurity(*panel, 0, c.security);
        QStringList expected;
        for (int kind : c.kinds) expected << cv::Trade::operationNameForKey(cv::TradeKind(kind));
        EXPECT_EQ(cvtest::page::Entries(panel.get()).chooserOf(cv::TradePanel::KindColumn, 0), expected) << c.security;
    }
}

TEST_F(TradePanelTest, UnitsFromTheKeyboardAndTheCalculatorAreWholeForStocksOnly)
{
    struct Case {
        const char *what;
        int security;
        bool calculator;
        double count;
        const char *shown;
    };
    const Case cases[] = {
        {"stock typed", kStock, false, 10, "10"},
        {"stock from the calculator", kStock, true, 10, "10"},
        {"trust typed", kTrust, false, 10.5, "10.50"},
        {"trust from the calculator", kTrust, true, 10.5, "10.50"},
    };
    auto panel = open();
    for (const Case &c : cases) {
        const int row = panel->numberOfRows(panel->tableView()) - 1;
        pickSecurity(*panel, row, c.security);
        if (c.calculator) {
            panel->tableView()->editColumn(panel->tableView()->columnWithIdentifier(cv::TradePanel::CountColumn), row,
                                           nullptr, true);
            panel->performInputValue(QStringLiteral("10.5"));
        } else {
            type(*panel, cv::TradePanel::CountColumn, row, QStringLiteral("10.5"));
        }
        EXPECT_DOUBLE_EQ(panel->tradeForRow(row)->count(), c.count) << c.what;
        EXPECT_EQ(cellText(*panel, cv::TradePanel::CountColumn, row), QLatin1String(c.shown)) << c.what;
        panel->addItem();
    }
    // A trust row that becomes a stock loses its fraction of a unit.
    const int row = panel->numberOfRows(panel->tableView()) - 2;
    pickSecurity(*panel, row, kStock);
    EXPECT_DOUBLE_EQ(panel->tradeForRow(row)->count(), 10);
}

TEST_F(TradePanelTest, RevertAndDeletionInPlaceAndTheHoldingPanel)
{
    storeTrade(*doc, kInvest, cv::TradeKind::Buy, kTrust, QDate(2009, 2, 5), 3.25, 10000.5);
    storeTrade(*doc, kInvest, cv::TradeKind::Buy, kStock, QDate(2009, 2, 5), 100, 10000.5);

    auto panel = open();
    ASSERT_EQ(panel->numberOfRows(panel->tableView()), 3);
    type(*panel, cv::TradePanel::CountColumn, 0, QStringLiteral("4"));
    EXPECT_EQ(panel->tradeForRow(0)->flags(), cv::EditChanged);
    panel->tableView()->QTableView::selectRow(0);
    panel->revertSelected();
    EXPECT_EQ(panel->tradeForRow(0)->flags(), 0);
    EXPECT_DOUBLE_EQ(panel->tradeForRow(0)->count(), 3.25);
    EXPECT_EQ(cellText(*panel, cv::TradePanel::CountColumn, 0), QStringLiteral("3.25"));

    panel->toggleRowDeletedFlag(1);
    EXPECT_EQ(panel->numberOfRows(panel->tableView()), 3); // stays, shown in red
    panel->commitPanel();
    ASSERT_EQ(storedTrades(*doc).size(), 1u);
    EXPECT_EQ(storedTrades(*doc)[0]->security(), kTrust);

    // A holding lists its own security's trades and new rows take it.
    cv::NodePtr holding;
    for (const cv::NodePtr &child : invest->children())
        if (child->kind() == cv::NodeKind::Holding && doc->findSecurity(kTrust) &&
            dynamic_cast<cv::SecurityExtra *>(child->extra().get())->security() == kTrust)
            holding = child;
    ASSERT_TRUE(holding);
    auto held = openTrades(*doc, holding, kFeb1, kFeb28);
    ASSERT_EQ(held->numberOfRows(held->tableView()), 2);
    EXPECT_EQ(held->tradeForRow(1)->security(), kTrust);
    EXPECT_EQ(held->titleField()->text(), QStringLiteral("Global Fund (Broker)"));
}

// Renders a month of trades (a buy, a sale, a dividend, a split and a trust
// bought in fractions of a unit), the trade dialog and the filter, in
// Japanese and English for people to look at.
class TradePanelScreenshot : public ::testing::TestWithParam<const char *> {};

TEST_P(TradePanelScreenshot, ShowsABuyASaleADividendAndASplit)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeTradeBook();
    ASSERT_TRUE(doc);
    const cv::NodePtr invest = doc->findAccount(kInvest);
    const struct {
        int day;
        cv::TradeKind kind;
        int security;
        double count, price, commission;
        const char *memo;
    } rows[] = {
        {2, cv::TradeKind::Buy, kStock, 100, 1234, 525, ""},
        {5, cv::TradeKind::Buy, kTrust, 1234.56789, 10234.5, 0, "NISA"},
        {10, cv::TradeKind::Sale, kStock, 50, 1500, 525, ""},
        {20, cv::TradeKind::Dividend, kStock, 1, 5000, 500, ""},
        {25, cv::TradeKind::Split, kStock, 50, 0, 0, "1:2"},
    };
    for (const auto &r : rows)
        storeTrade(*doc, kInvest, r.kind, r.security, QDate(2009, 2, r.day), r.count, r.price, r.commission,
                   QString::fromUtf8(r.memo));
    auto panel = openTrades(*doc, invest, kFeb1, kFeb28);
    panel->move(40, 40);
    // Wide, the memo takes the room: the units held stay beside the trade.
    panel->resize(1600, 300);
    panel->show();
    QApplication::processEvents();
    const cv::EditingTable *table = panel->tableView();
    const int held = table->columnWithIdentifier(cv::TradePanel::HoldingColumn);
    EXPECT_EQ(table->columnWidth(held), table->tableColumn(held)->width());
    EXPECT_GT(table->columnWidth(table->columnWithIdentifier(cv::TradePanel::MemoColumn)), 500);
    panel->resize(1060, 300);
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(panel->grab(), language, QStringLiteral("trade-panel")));

    // The sale in the trade dialog, and the filter with buy and sale ticked.
    cv::TradeDialog dialog(doc.get(), panel->tradeForRow(2));
    dialog.adjustSize();
    EXPECT_TRUE(saveScreenshot(dialog.grab(), language, QStringLiteral("trade-dialog")));
    cv::TradeFilterDialog filter(kFeb1, kFeb28);
    filter.typeCheckbox()->setChecked(true);
    filter.kindBox(cv::TradeKind::Buy)->setChecked(true);
    filter.kindBox(cv::TradeKind::Sale)->setChecked(true);
    filter.adjustSize();
    EXPECT_TRUE(saveScreenshot(filter.grab(), language, QStringLiteral("trade-filter")));
    doc->undoStack()->clear();
}

INSTANTIATE_TEST_SUITE_P(Languages, TradePanelScreenshot, ::testing::Values("ja", "en"));

} // namespace
