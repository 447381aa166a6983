// Trade, price and exchange-rate statements.
#include "document/store/StoreTestSupport.h"

namespace {

using TradeTest = StoreTest;

QList<int> idents(const std::optional<cv::BookStore::TradeList> &list)
{
    QList<int> out;
    if (list)
        for (const auto &t : *list) out << t->ident();
    return out;
}

TEST_F(TradeTest, InsertUpdateAndReadBack)
{
    auto t = trade(0, QDate(2008, 3, 5), 3001, 5);
    t->setTransfer(3002);
    t->setCount(1.2345678);
    t->setUnitPrice(1000.5);
    t->setCommission(12.346);
    t->setMemo(QStringLiteral("O'Brien's fund"));
    ASSERT_TRUE(store->putTrade(t));
    EXPECT_EQ(t->ident(), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM TradeTable;")),
              QStringList({"1 | 3001 | 5 | 0 | 3002 | 2620 | 1.234568 | 1000.5 | 12.35 | O'Brien's fund"}));
    EXPECT_EQ(changes.done(), 1);

    // Only changed columns are written; a trade's kind is one of them.
    ASSERT_TRUE(store->database()->performQuery(QStringLiteral("UPDATE TradeTable SET brand=77;")));
    auto changed = t->clone();
    changed->setIdent(t->ident());
    changed->setKind(cv::TradeKind::Sale);
    changed->setMemo(QStringLiteral("it's sold"));
    ASSERT_TRUE(store->putTrade(changed, t));
    auto found = store->findTradeByAccount(3002, 77);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    const cv::Trade &back = *found->front();
    EXPECT_EQ(back.kind(), 1);
    EXPECT_EQ(back.security(), 77);
    EXPECT_EQ(back.account(), 3001);
    EXPECT_EQ(back.transfer(), 3002);
    EXPECT_EQ(back.date(), QDate(2008, 3, 5));
    EXPECT_EQ(back.count(), 1.234568);
    EXPECT_EQ(back.unitPrice(), 1000.5);
    EXPECT_EQ(back.commission(), 12.35);
    EXPECT_EQ(back.memo(), QStringLiteral("it's sold"));
    EXPECT_EQ(idents(store->findTradeBySourceAccount(3002, 77)), QList<int>());

    // A given ident replaces that row.
    auto replacement = trade(2, QDate(2008, 3, 6));
    replacement->setIdent(1);
    ASSERT_TRUE(store->putTrade(replacement));
    EXPECT_EQ(rows(QStringLiteral("SELECT id, kind FROM TradeTable;")), QStringList({"1 | 2"}));

    // An update of a trade that is no longer stored fails.
    ASSERT_TRUE(store->removeTrade(replacement));
    changes.reset();
    auto gone = replacement->clone();
    gone->setIdent(replacement->ident());
    gone->setCount(3);
    EXPECT_FALSE(store->putTrade(gone, replacement));
    EXPECT_EQ(changes.done(), 0);
}

TEST_F(TradeTest, FindByPeriodAccountSecurityAndKinds)
{
    // Kinds 0, 1, 2, 30 and 31 on consecutive days from 2008-03-04.
    QDate day(2008, 3, 4);
    for (cv::TradeKind kind : {cv::TradeKind::Buy, cv::TradeKind::Sale, cv::TradeKind::TransferUnits,
                               cv::TradeKind::CashIn, cv::TradeKind::Reinvestment}) {
        auto t = trade(kind, day, kind == cv::TradeKind::TransferUnits ? 3002 : 3001,
                       kind == cv::TradeKind::Reinvestment ? 6 : 5);
        if (kind == cv::TradeKind::TransferUnits) t->setTransfer(3001);
        ASSERT_TRUE(store->putTrade(t));
        day = day.addDays(1);
    }
    auto t = trade(0, QDate(2008, 3, 4), 3009, 5);
    ASSERT_TRUE(store->putTrade(t)); // ident 6, same day as ident 1

    const quint32 mask = (1u << 0) | (1u << 1) | (1u << 30);
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), -1, -1, mask)), QList<int>({1, 6, 2, 4}));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), -1, -1, 1u << 31)), QList<int>({5}));
    // A to-date alone includes that day and nothing after it.
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(2008, 3, 5), -1, -1, 0)), QList<int>({1, 6, 2}));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(2008, 3, 7), QDate(), -1, -1, 0)), QList<int>({4, 5}));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(2008, 3, 5), QDate(2008, 3, 6), -1, -1, 0)), QList<int>({2, 3}));
    // No dates, any account, security and kind: every trade, by date then id.
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), -1, -1, 0)), QList<int>({1, 6, 2, 3, 4, 5}));
    // The account matches as account or as settlement account.
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), 3001, -1, 0)), QList<int>({1, 2, 3, 4, 5}));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), 3001, 6, 0)), QList<int>({5}));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(2008, 3, 1), QDate(2008, 3, 31), 3002, 5, 1u << 2)), QList<int>({3}));
}

TEST_F(TradeTest, Removals)
{
    auto a = trade(0, QDate(2008, 3, 4), 3001, 5);
    auto b = trade(2, QDate(2008, 3, 4), 3002, 5);
    b->setTransfer(3001);
    auto c = trade(0, QDate(2008, 3, 4), 3001, 6);
    auto d = trade(0, QDate(2008, 3, 4), 3003, 7);
    for (const auto &t : {a, b, c, d}) ASSERT_TRUE(store->putTrade(t));
    changes.reset();

    ASSERT_TRUE(store->removeTrade(d));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), -1, -1, 0)), QList<int>({1, 2, 3}));
    ASSERT_TRUE(store->removeTradeByAccount(3001, 5));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), -1, -1, 0)), QList<int>({3}));
    ASSERT_TRUE(store->removeTradeForSecurity(6));
    EXPECT_EQ(idents(store->findTradeFrom(QDate(), QDate(), -1, -1, 0)), QList<int>());
    EXPECT_EQ(changes.done(), 3);
}

TEST_F(TradeTest, PricesAndRates)
{
    ASSERT_TRUE(store->putPrice(price(5, QDate(2008, 3, 5), 100)));
    ASSERT_TRUE(store->putPrice(price(5, QDate(2008, 3, 5), 120.1234567)));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM PriceTable;")), QStringList({"5 | 2620 | 120.123457"}));
    ASSERT_TRUE(store->putPrice(price(5, QDate(2008, 1, 2), 90)));
    ASSERT_TRUE(store->putPrice(price(6, QDate(2008, 1, 1), 1)));

    auto list = store->getPriceListForSecurity(5);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0]->security(), 5);
    EXPECT_EQ((*list)[0]->date(), QDate(2008, 1, 2));
    EXPECT_EQ((*list)[0]->price(), 90.0);
    EXPECT_EQ((*list)[1]->price(), 120.123457);
    EXPECT_EQ(changes.done(), 4);

    // Removing one price is an edit like any other.
    changes.reset();
    ASSERT_TRUE(store->removePrice(price(5, QDate(2008, 1, 2), 0)));
    EXPECT_EQ(changes.done(), 1);
    EXPECT_EQ(store->getPriceListForSecurity(5)->size(), 1u);
    ASSERT_TRUE(store->removePriceForSecurity(5));
    EXPECT_TRUE(store->getPriceListForSecurity(5)->empty());
    EXPECT_EQ(store->getPriceListForSecurity(6)->size(), 1u);

    // Rates live in their own table.
    changes.reset();
    ASSERT_TRUE(store->putExchangeRate(price(2, QDate(2008, 3, 5), 105.5)));
    ASSERT_TRUE(store->putExchangeRate(price(2, QDate(2008, 3, 6), 106)));
    EXPECT_TRUE(store->getPriceListForSecurity(2)->empty());
    ASSERT_EQ(store->getRateListForCurrency(2)->size(), 2u);
    ASSERT_TRUE(store->removeExchangeRate(price(2, QDate(2008, 3, 5), 0)));
    EXPECT_EQ(changes.done(), 3);
    EXPECT_EQ(store->getRateListForCurrency(2)->front()->price(), 106.0);
    ASSERT_TRUE(store->removeRatesOfCurrency(2));
    EXPECT_TRUE(store->getRateListForCurrency(2)->empty());
}

} // namespace
