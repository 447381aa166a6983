// Balances and valuation of a small household book built through the write path.

#include "document/BookTestSupport.h"

#include "document/store/SQLDatabase3.h"
#include "model/Summary.h"

#include <cmath>
#include <map>

namespace {

class BookTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        jpy = addCurrency(1, QStringLiteral("JPY"), 1.0, 0);
        usd = addCurrency(2, QStringLiteral("USD"), 100.0, 2);
        ASSERT_TRUE(samplebook::putRate(*doc, 2, day(2009, 6, 1), 95.0));

        const auto assets = doc->accountTrees()->asset();
        wallet = addAccount(assets, 10, 30, 10000);
        bank = addAccount(assets, 1000, 31, 500000);
        card = addAccount(doc->accountTrees()->debt(), 1001, 40, 0);
        usdBank = addAccount(assets, 1002, 31, 1000.00, 2);
        invest = addAccount(assets, 1003, 32, 200000);
        salary = addCategory(doc->categoryTrees()->income(), 1004);
        food = addCategory(doc->categoryTrees()->expense(), 1005);
        s = addSecurity(QStringLiteral("S"), 1);
        doc->createCache();

        doc->updateIncome(makeEntry(0, day(2009, 6, 25), 300000, 1004, 1000), nullptr);
        doc->updateExpense(makeEntry(1, day(2009, 6, 10), 1000, 1005, 10), nullptr);
        doc->updateExpense(makeEntry(1, day(2009, 6, 12), 5000, 1005, 1001), nullptr);
        usdFood = makeEntry(1, day(2009, 6, 15), 10.00, 1005, 1002);
        doc->updateExpense(usdFood, nullptr);
        toUsd = transfer(day(2009, 6, 20), 95000, 1000, 1002);
        transfer(day(2009, 6, 27), 5000, 1000, 1001);
        std::set<cv::SecurityPtr> securities;
        doc->applyTrade(makeTrade(cv::TradeKind::Buy, day(2009, 6, 5), 1003, 1, 100, 1000, 500), invest, {}, securities,
                        true);
        doc->applyTrade(makeTrade(cv::TradeKind::Sale, day(2009, 6, 26), 1003, 1, 50, 1200, 300), invest, {},
                        securities, true);
        doc->applySecurities(securities);
        doc->accumulateAccount();
    }

    double june(const cv::NodePtr &node) { return doc->summaryForCategoryMonths(node, day(2009, 6, 1), 1); }

    cv::CurrencyPtr jpy, usd;
    cv::NodePtr wallet, bank, card, usdBank, invest, salary, food;
    cv::SecurityPtr s;
    cv::EntryPtr usdFood, toUsd;
};

} // namespace

TEST_F(BookTest, MonthEndBalancesAndTotals)
{
    const QDate end = day(2009, 6, 30);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(wallet, end), 9000);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, end), 700000);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(card, end), 0);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(usdBank, end), 1990.00);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(usdBank, end), 189050);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest->childAt(0), end), 159200);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest->childAt(1), end), 60000);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(invest->childAt(1), end), 50);
    EXPECT_DOUBLE_EQ(doc->tradingAccount(1003, 1, end), 50);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest, end), 219200);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(doc->accountTrees()->asset(), end), 1117250);

    EXPECT_DOUBLE_EQ(june(food), 6950);
    EXPECT_DOUBLE_EQ(june(doc->categoryTrees()->expense()), 6950);
    EXPECT_DOUBLE_EQ(june(salary), 300000);
    EXPECT_DOUBLE_EQ(june(doc->autoCashIn()), 360000);
    EXPECT_DOUBLE_EQ(june(doc->autoCashOut()), 107750);
    EXPECT_DOUBLE_EQ(doc->summaryForCategoryDays(food, day(2009, 6, 10), 3), 6000);
    EXPECT_DOUBLE_EQ(doc->valueForCategory(food, day(2009, 6, 12)), 5000);
}

TEST_F(BookTest, RatesAndPricesBeforeTheirFirstDate)
{
    EXPECT_DOUBLE_EQ(doc->currencyRate(usd, day(2009, 5, 31)), 100.0);
    EXPECT_DOUBLE_EQ(doc->currencyRate(usd, day(2009, 6, 1)), 95.0);
    EXPECT_DOUBLE_EQ(doc->securityPrice(s, day(2009, 6, 4)), 0);
    EXPECT_DOUBLE_EQ(doc->securityPrice(s, day(2009, 6, 25)), 1000);
    EXPECT_DOUBLE_EQ(doc->securityPrice(s, day(2009, 7, 1)), 1200);
    // Valued in dollars: yen divided by the dollar's rate of the day.
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2009, 6, 30), usd), 700000 / 95.0);
    // An account is worth nothing before it starts.
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2008, 12, 31)), 0);
}

TEST_F(BookTest, DeletingAnEntryAndAConvertedTransfer)
{
    doc->updateExpense(nullptr, usdFood);
    doc->accumulateAccount();
    EXPECT_DOUBLE_EQ(june(food), 6000);
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(usdBank, day(2009, 6, 30)), 2000.00);
    EXPECT_DOUBLE_EQ(june(doc->autoCashOut()), 106800);

    auto changed = toUsd->clone();
    changed->setConverted(990);
    doc->updateTransfer(changed, toUsd);
    doc->accumulateAccount();
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(usdBank, day(2009, 6, 30)), 1990.00);

    // What the window shows is what the file holds.
    doc->createCache();
    EXPECT_DOUBLE_EQ(doc->rawValueForAccount(usdBank, day(2009, 6, 30)), 1990.00);
    EXPECT_DOUBLE_EQ(june(doc->autoCashOut()), 106800);
}

TEST_F(BookTest, RangeAndSummaries)
{
    double hi = 0, lo = 0;
    ASSERT_TRUE(cv::BookTestAccess::valueRangeForAccount(*doc, bank, &hi, &lo, day(2009, 6, 1), day(2009, 6, 30)));
    EXPECT_DOUBLE_EQ(hi, 705000);
    EXPECT_DOUBLE_EQ(lo, 405000);
    EXPECT_FALSE(cv::BookTestAccess::valueRangeForAccount(*doc, bank, &hi, &lo, day(2008, 1, 1), day(2008, 2, 1)));

    // A summary of debts alone is positive.
    auto summary = std::make_shared<cv::Node>();
    summary->setKind(cv::NodeKind::AccountSummary);
    auto record = std::make_shared<cv::Summary>();
    auto unit = std::make_shared<cv::SummaryMember>();
    unit->setRefID(1001);
    record->subtractedNodes().push_back(unit);
    summary->setExtra(record);
    doc->accountTrees()->summary()->appendChild(summary);
    doc->updateExpense(makeEntry(1, day(2009, 6, 28), 700, 1005, 1001), nullptr);
    doc->accumulateAccount();
    EXPECT_DOUBLE_EQ(doc->valueForAccount(summary, day(2009, 6, 30)), 700);

    auto categories = std::make_shared<cv::Node>();
    categories->setKind(cv::NodeKind::CategorySummary);
    auto lists = std::make_shared<cv::Summary>();
    auto plus = std::make_shared<cv::SummaryMember>();
    plus->setRefID(1004);
    auto minus = std::make_shared<cv::SummaryMember>();
    minus->setRefID(1005);
    lists->addedNodes().push_back(plus);
    lists->subtractedNodes().push_back(minus);
    categories->setExtra(lists);
    EXPECT_DOUBLE_EQ(doc->summaryForCategoryMonths(categories, day(2009, 6, 1), 1), 300000 - 7650);
}

// Money in a second currency: transfers, conversions, and a security priced in dollars.
TEST_F(BookTest, ForeignTransfersAndCommission)
{
    auto usd2 = addAccount(doc->accountTrees()->asset(), 1010, 31, 0, 2);
    doc->accumulateAccount();
    auto within = transfer(day(2009, 6, 29), 100, 1002, 1010);
    double c = 0, d = 0;
    doc->getTransferValues(*within, &c, &d);
    EXPECT_DOUBLE_EQ(c, 100);
    EXPECT_DOUBLE_EQ(d, 9500);
    auto back = makeEntry(2, day(2009, 6, 29), 50, 10, 1010, 1000);
    back->setConverted(4800);
    doc->getTransferValues(*back, &c, &d);
    EXPECT_DOUBLE_EQ(c, 4800);
    EXPECT_DOUBLE_EQ(d, 4800); // the yen side given is the yen value

    // A dollar security in a yen account: amount and commission both arrive in yen.
    auto u = addSecurity(QStringLiteral("U"), 2);
    const double outBefore = june(doc->autoCashOut());
    std::set<cv::SecurityPtr> securities;
    doc->applyTrade(makeTrade(cv::TradeKind::Buy, day(2009, 6, 29), 1003, u->ident(), 10, 20, 1), invest, {},
                    securities, false);
    doc->accumulateAccount();
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest->childAt(0), day(2009, 6, 30)), 159200 - 201 * 95.0);
    EXPECT_DOUBLE_EQ(june(doc->autoCashOut()) - outBefore, 201 * 95.0);
}

// Rates that are not positive never reach a balance.
TEST_F(BookTest, UnusableRatesAreIgnored)
{
    ASSERT_TRUE(samplebook::putRate(*doc, 2, day(2009, 6, 10), 0));
    usd->setRate(-5);
    doc->createCache();
    EXPECT_DOUBLE_EQ(doc->currencyRate(usd, day(2009, 6, 10)), 95.0);
    EXPECT_DOUBLE_EQ(doc->currencyRate(usd, day(2009, 5, 1)), 1.0);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2009, 5, 1), usd), 500000);
    EXPECT_TRUE(std::isfinite(doc->valueForAccount(doc->accountTrees()->asset(), day(2009, 6, 30))));
}

// The four transfer items move each side by its kind; a transfer into the
// dollar account arrives as its converted amount; that account is valued at
// the rate of the day, before, between and after dated rates.
TEST_F(BookTest, TransferItemsAndDatedRates)
{
    auto loan = addAccount(doc->accountTrees()->debt(), 1011, 40, 0);
    for (const auto &[date, rate] : {std::pair{day(2009, 7, 10), 90.0}, std::pair{day(2009, 8, 10), 110.0}}) {
        ASSERT_TRUE(samplebook::putRate(*doc, 2, date, rate));
    }
    doc->createCache();

    const struct {
        cv::NodePtr from, to;
        double amount, converted;
        int item;
        double fromDelta, toDelta; // raw, in each account's own currency
    } rows[] = {
        {wallet, bank, 100, 0, cv::CategoryTrees::Asset2Asset, -100, 100},
        {bank, card, 200, 0, cv::CategoryTrees::Asset2Debt, -200, -200}, // paying the card
        {card, bank, 300, 0, cv::CategoryTrees::Debt2Asset, 300, 300},   // a cash advance
        {card, loan, 400, 0, cv::CategoryTrees::Debt2Debt, 400, -400},
        {bank, usdBank, 9000, 100, cv::CategoryTrees::Asset2Asset, -9000, 100},
    };
    const QDate when = day(2009, 7, 1);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        const double fromBefore = doc->rawValueForAccount(row.from, when);
        const double toBefore = doc->rawValueForAccount(row.to, when);
        const auto entry = transfer(when, row.amount, row.from->ident(), row.to->ident(), row.converted);
        EXPECT_EQ(entry->category(), row.item);
        EXPECT_DOUBLE_EQ(doc->rawValueForAccount(row.from, when) - fromBefore, row.fromDelta);
        EXPECT_DOUBLE_EQ(doc->rawValueForAccount(row.to, when) - toBefore, row.toDelta);
    }

    // 1,000.00 opening, -10.00 food, +1,000.00 on 20 June, +100.00 on 1 July.
    const struct {
        QDate date;
        double yen;
    } values[] = {
        {day(2009, 5, 31), 1000.00 * 100}, // before the first rate: the currency's own
        {day(2009, 7, 5), 2090.00 * 95},
        {day(2009, 7, 10), 2090.00 * 90},
        {day(2009, 9, 1), 2090.00 * 110},
    };
    for (const auto &v : values)
        EXPECT_DOUBLE_EQ(doc->valueForAccount(usdBank, v.date), v.yen) << v.date.toString(Qt::ISODate).toStdString();
}

// Edits beside the entries: what they leave in the balances, the store and the mark.
TEST_F(BookTest, HoldingsCategoriesAndGroupings)
{
    const QDate end = day(2009, 6, 30);
    // A removed holding takes its trades out of the cash part and the book.
    cv::BookTestAccess::cleanupItem(*doc, invest->childAt(1));
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest, end), 200000);
    EXPECT_TRUE(doc->store()->findTradeByAccount(1003, s->ident())->empty());
    doc->createCache();
    EXPECT_DOUBLE_EQ(doc->valueForAccount(invest, end), 200000);

    // A changed grouping reaches the store.
    auto grouped = usdFood->clone();
    grouped->setGroup(3);
    doc->updateExpense(grouped, usdFood);
    EXPECT_EQ(doc->store()
                  ->database()
                  ->performQuery(QStringLiteral("SELECT grouping FROM ActualTable WHERE id=%1;").arg(usdFood->ident()))
                  ->rowAtIndex(0)
                  .intForColumnAtIndex(0),
              3);

    // An entry before its account starts counts there, the opening balance not yet.
    doc->updateExpense(makeEntry(1, day(2008, 12, 20), 1000, 1005, 1000), nullptr);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2008, 12, 31)), -1000);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(bank, day(2009, 1, 1)), 500000 - 1000);

    // Deleting a category with entries is an edit of the book.
    doc->updateChangeCount(cv::BookChanges::ChangeCleared);
    ASSERT_FALSE(doc->isDocumentEdited());
    cv::BookTestAccess::cleanupItem(*doc, food);
    EXPECT_TRUE(doc->isDocumentEdited());
    EXPECT_DOUBLE_EQ(doc->valueForAccount(wallet, end), 10000);
}
