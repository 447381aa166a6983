#include "document/BookTestSupport.h"

#include "document/InvestmentStatus.h"
#include "platform/Localization.h"

using cv::InvestmentStatus;
using Row = InvestmentStatus::Row;

namespace {

// One investment account with a stock, in JPY unless told.
class InvestmentStatusTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        cv::setLanguageOverride(QStringLiteral("en"));
        addCurrency(1, QStringLiteral("JPY"), 1, 0);
        stock = addSecurity(QStringLiteral("Stock"), 1);
    }
    void TearDown() override
    {
        cv::setLanguageOverride(QString());
        DocumentTest::TearDown();
    }

    cv::NodePtr investAccount(int ident, int currency = 1)
    {
        auto account = addAccount(doc->accountTrees()->asset(), ident, 32, 0, currency, day(2008, 1, 1));
        doc->addSecurityNodeIfNeeded(account, stock->ident());
        return account;
    }
    // The holding's opening units, unit price and commission.
    static void opening(const cv::NodePtr &account, double units, double price, double commission = 0)
    {
        auto *unit = dynamic_cast<cv::OpeningHolding *>(account->children().at(1)->extra().get());
        unit->setUnits(units);
        unit->setUnitPrice(price);
        unit->setCommission(commission);
    }
    cv::TradePtr trade(cv::TradeKind kind, const QDate &date, int account, double count, double price,
                       double commission = 0, int transfer = 0)
    {
        auto t = makeTrade(kind, date, account, stock->ident(), count, price, commission);
        t->setTransfer(transfer);
        EXPECT_TRUE(doc->store()->putTrade(t));
        return t;
    }
    void price(const cv::SecurityPtr &security, const QDate &date, double value)
    {
        ASSERT_TRUE(doc->putPrice(samplebook::priceTime(security->ident(), date, value)));
    }

    const cv::InvestmentStatusRow *accountRow(int ident) const
    {
        for (const auto &item : report->items())
            if (item->unit() && item->unit()->ident() == ident) return item.get();
        return nullptr;
    }
    QStringList texts(const Row &row) const
    {
        QStringList t = report->texts(row, false);
        return t.mid(InvestmentStatus::Units, InvestmentStatus::Gain - InvestmentStatus::Units + 1);
    }
    QStringList holdingTexts(int account) const
    {
        const cv::InvestmentStatusRow *a = accountRow(account);
        if (!a || a->holdings().empty()) return {};
        return texts(Row{InvestmentStatus::HoldingLevel, a->holdings()[0].get(), nullptr, nullptr});
    }
    std::vector<QStringList> tradeTexts(int account) const
    {
        std::vector<QStringList> out;
        const cv::InvestmentStatusRow *a = accountRow(account);
        if (!a || a->holdings().empty()) return out;
        const cv::InvestmentStatusRow *h = a->holdings()[0].get();
        for (const auto &t : h->trades()) {
            QStringList row = report->texts(Row{InvestmentStatus::TradeLevel, nullptr, t.get(), h}, false);
            out.push_back(row.mid(InvestmentStatus::Kind, 1) + row.mid(InvestmentStatus::Units, 5));
        }
        return out;
    }
    double slot(int account, int s) const
    {
        const cv::InvestmentStatusRow *a = accountRow(account);
        return a && !a->holdings().empty() ? a->holdings()[0]->value(s) : -1;
    }
    void build(const QDate &date)
    {
        report = std::make_unique<InvestmentStatus>(*doc);
        report->build(date);
    }

    cv::SecurityPtr stock;
    std::unique_ptr<InvestmentStatus> report;
};

// Columns 3-10: units, unit price, amount, commission, book cost, price,
// market value, gain.
TEST_F(InvestmentStatusTest, BuySaleAndDividendMakeTheHoldingAndItsTradeRows)
{
    investAccount(2000);
    trade(cv::TradeKind::Buy, day(2009, 1, 10), 2000, 100, 1000, 500);
    trade(cv::TradeKind::Sale, day(2009, 2, 10), 2000, 40, 1200, 300);
    trade(cv::TradeKind::Dividend, day(2009, 3, 10), 2000, 60, 10, 0);
    price(stock, day(2009, 3, 1), 1100);
    build(day(2009, 3, 31));

    EXPECT_EQ(holdingTexts(2000), (QStringList{"60", "1,005", "", "800", "60,300", "1,100", "66,000", "5,700"}));
    const std::vector<QStringList> expected{
        {cv::localizedString("trade-buy"), "100", "1,000", "100,000", "500", "100,500"},
        {cv::localizedString("trade-sales"), "40", "1,200", "48,000", "300", ""},
        {cv::localizedString("trade-dividened"), "60", "10", "600", "0", ""}};
    EXPECT_EQ(tradeTexts(2000), expected);
}

TEST_F(InvestmentStatusTest, AReturnToZeroBeforeTheDateStartsTheHoldingAfresh)
{
    auto account = investAccount(2000);
    opening(account, 50, 900);
    trade(cv::TradeKind::Sale, day(2009, 1, 5), 2000, 50, 950);
    trade(cv::TradeKind::Buy, day(2009, 2, 1), 2000, 10, 1000, 100);

    build(day(2009, 3, 31));
    EXPECT_EQ(tradeTexts(2000).size(), 1u);
    EXPECT_EQ(slot(2000, InvestmentStatus::UnitsSlot), 10);
    EXPECT_EQ(slot(2000, InvestmentStatus::BookCostSlot), 10100);

    // On the day of the sale itself the holding stays, with no unit price.
    build(day(2009, 1, 5));
    EXPECT_EQ(tradeTexts(2000).size(), 1u);
    const QStringList row = holdingTexts(2000);
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(row[0], "0");
    EXPECT_EQ(row[1], "");
}

// A transfer of units leaves the giver at its average cost and arrives at
// it; the opening commission travels with the units.
TEST_F(InvestmentStatusTest, TransferredUnitsCarryTheGiversAverageCost)
{
    struct Case {
        const char *name;
        double openingUnits, openingPrice, openingCommission;
        bool buys;
        double transferred, giverCost, receiverCost, receiverUnitPrice;
    };
    const Case cases[] = {
        {"bought", 0, 0, 0, true, 50, 1650, 550, 11},
        {"opening with commission", 100, 10, 50, false, 50, 525, 525, 10.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        auto a = investAccount(2000);
        investAccount(2001);
        opening(a, c.openingUnits, c.openingPrice, c.openingCommission);
        if (c.buys) {
            trade(cv::TradeKind::Buy, day(2009, 1, 10), 2000, 100, 10);
            trade(cv::TradeKind::Buy, day(2009, 1, 20), 2000, 100, 12);
        }
        auto move = trade(cv::TradeKind::TransferUnits, day(2009, 2, 1), 2000, c.transferred, 0, 0, 2001);
        price(stock, day(2009, 1, 1), 13);
        build(day(2009, 3, 31));

        EXPECT_DOUBLE_EQ(slot(2000, InvestmentStatus::BookCostSlot), c.giverCost);
        EXPECT_DOUBLE_EQ(slot(2001, InvestmentStatus::BookCostSlot), c.receiverCost);
        EXPECT_DOUBLE_EQ(slot(2001, InvestmentStatus::UnitsSlot), c.transferred);
        EXPECT_DOUBLE_EQ(report->transferPrice(2000, stock->ident(), move->ident()), c.receiverUnitPrice);
        const cv::InvestmentStatusRow &total = *report->items().back();
        EXPECT_DOUBLE_EQ(total.value(InvestmentStatus::BookCostSlot), c.giverCost + c.receiverCost);

        const std::vector<QStringList> in = tradeTexts(2001);
        ASSERT_EQ(in.size(), 1u);
        EXPECT_EQ(in[0][0], cv::localizedString("trade-in-transfer"));
        const std::vector<QStringList> out = tradeTexts(2000);
        EXPECT_EQ(out.back()[0], cv::localizedString("trade-out-transfer"));
        EXPECT_EQ(out.back()[5], ""); // no book cost leaves with the giver's row
        if (c.buys) {
            EXPECT_EQ(in[0][2], "11");
            EXPECT_DOUBLE_EQ(total.value(InvestmentStatus::MarketSlot), 2600);
        }
        TearDown();
    }
    SetUp();
}

TEST_F(InvestmentStatusTest, TheTotalRowSumsInTheDefaultCurrency)
{
    addCurrency(2, QStringLiteral("USD"), 100, 2);
    auto dollar = addSecurity(QStringLiteral("Dollar stock"), 2);
    auto usd = addAccount(doc->accountTrees()->asset(), 2100, 32, 0, 2, day(2008, 1, 1));
    doc->addSecurityNodeIfNeeded(usd, dollar->ident());
    auto t = makeTrade(cv::TradeKind::Buy, day(2009, 1, 10), 2100, dollar->ident(), 10, 90, 5);
    ASSERT_TRUE(doc->store()->putTrade(t));
    price(dollar, day(2009, 1, 1), 100);

    // A yen security in the dollar account counts in dollars there.
    doc->addSecurityNodeIfNeeded(usd, stock->ident());
    auto y = makeTrade(cv::TradeKind::Buy, day(2009, 1, 10), 2100, stock->ident(), 1, 10000);
    ASSERT_TRUE(doc->store()->putTrade(y));
    price(stock, day(2009, 1, 1), 10000);
    build(day(2009, 3, 31));

    const cv::InvestmentStatusRow *account = accountRow(2100);
    ASSERT_NE(account, nullptr);
    EXPECT_DOUBLE_EQ(account->value(InvestmentStatus::MarketSlot), 1000 + 100);
    const cv::InvestmentStatusRow &total = *report->items().back();
    ASSERT_TRUE(total.isTotal());
    EXPECT_DOUBLE_EQ(total.value(InvestmentStatus::MarketSlot), 110000);
    EXPECT_DOUBLE_EQ(total.value(InvestmentStatus::BookCostSlot), 100 * (905 + 100));
    EXPECT_DOUBLE_EQ(total.value(InvestmentStatus::CommissionSlot), 500);

    const QStringList row = report->texts(Row{InvestmentStatus::TotalLevel, &total, nullptr, nullptr}, false);
    EXPECT_EQ(row[InvestmentStatus::Name], cv::localizedString("Summary Column"));
    for (int column : {InvestmentStatus::Kind, InvestmentStatus::Units, InvestmentStatus::UnitPrice,
                       InvestmentStatus::Amount, InvestmentStatus::Price, InvestmentStatus::Memo})
        EXPECT_EQ(row[column], "") << column;
    EXPECT_EQ(row[InvestmentStatus::MarketValue], "110,000");
    EXPECT_EQ(row[InvestmentStatus::Gain], "9,500");
}

TEST_F(InvestmentStatusTest, NoUnitsNeverDivide)
{
    // A split of units never bought: the average has no units to spread over.
    investAccount(2000);
    trade(cv::TradeKind::Split, day(2009, 1, 10), 2000, 0, 0, 10);
    trade(cv::TradeKind::Decrease, day(2009, 1, 11), 2000, 0, 0, 5);
    build(day(2009, 3, 31));
    for (int s = 0; s < cv::InvestmentStatusRow::kSlots; ++s) EXPECT_TRUE(std::isfinite(slot(2000, s))) << s;
    EXPECT_TRUE(std::isfinite(report->items().back()->value(InvestmentStatus::BookCostSlot)));
}

TEST(InvestmentStatusFormat, SixDecimals)
{
    EXPECT_EQ(InvestmentStatus::frac6String(1234.5, false), "1,234.5");
    EXPECT_EQ(InvestmentStatus::frac6String(1234.5, true), "1,234.50");
    EXPECT_EQ(InvestmentStatus::frac6String(12, false), "12");
    EXPECT_EQ(InvestmentStatus::frac6String(12, true), "12.00");
    EXPECT_EQ(InvestmentStatus::frac6String(0.123456, true), "0.123456");
}

} // namespace
