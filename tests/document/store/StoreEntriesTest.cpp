// Entry statements and the search over entries and trades.
#include "document/store/StoreTestSupport.h"

#include <cmath>

namespace {

using StoreEntriesTest = StoreTest;

QList<double> amounts(const std::optional<cv::BookStore::EntryList> &list)
{
    QList<double> out;
    if (list)
        for (const auto &e : *list) out << e->amount();
    return out;
}

QStringList memos(const std::optional<cv::BookStore::EntryList> &list)
{
    QStringList out;
    if (list)
        for (const auto &e : *list) out << e->memo();
    return out;
}

TEST_F(StoreEntriesTest, InsertGivesNewIdentsOrReplacesAGivenOne)
{
    auto a = entry(1, QDate(2008, 3, 5), 100);
    ASSERT_TRUE(store->putExpense(a));
    EXPECT_EQ(a->ident(), 1);
    auto b = entry(0, QDate(2008, 3, 5), 200);
    b->setDestination(2002);
    ASSERT_TRUE(store->putIncome(b));
    EXPECT_EQ(b->ident(), 2);
    EXPECT_EQ(b->destination(), 0);

    auto c = entry(1, QDate(2008, 4, 1), 300);
    c->setIdent(57);
    ASSERT_TRUE(store->putExpense(c));
    EXPECT_EQ(c->ident(), 57);
    auto d = entry(1, QDate(2008, 4, 2), 400);
    d->setIdent(57);
    ASSERT_TRUE(store->putExpense(d));
    EXPECT_EQ(rows(QStringLiteral("SELECT id, kind, value FROM ActualTable ORDER BY id;")),
              QStringList({"1 | 1 | 100.0", "2 | 0 | 200.0", "57 | 1 | 400.0"}));
    EXPECT_EQ(changes.done(), 4);

    // A failed insert keeps the ident at -1 and says so.
    ASSERT_TRUE(store->database()->performQuery(QStringLiteral("DROP TABLE ActualTable;")));
    changes.reset();
    auto e = entry(1, QDate(2008, 3, 5), 1);
    EXPECT_FALSE(store->putExpense(e));
    EXPECT_EQ(e->ident(), -1);
    EXPECT_EQ(changes.done(), 0);
}

// A damaged file whose last row id leaves no ident for the next row: the
// insert fails and leaves no row that no record could reach.
TEST_F(StoreEntriesTest, InsertWithoutAnIdentLeftFailsCleanly)
{
    for (const char *last : {"2147483647", "-1"}) {
        SCOPED_TRACE(last);
        ASSERT_TRUE(
            store->database()->performQuery(QStringLiteral("DELETE FROM ActualTable; DELETE FROM TradeTable;")));
        ASSERT_TRUE(store->database()->performQuery(
            QStringLiteral("INSERT INTO ActualTable VALUES(%1,1,0,1001,2001,0,1.0,0,0,'');"
                           "INSERT INTO TradeTable VALUES(%1,3001,5,0,0,0,1.0,1.0,0,'');")
                .arg(QLatin1String(last))));
        changes.reset();
        auto e = entry(1, QDate(2008, 3, 5), 2);
        EXPECT_FALSE(store->putExpense(e));
        EXPECT_EQ(e->ident(), -1);
        auto t = trade(0, QDate(2008, 3, 5));
        EXPECT_FALSE(store->putTrade(t));
        EXPECT_EQ(t->ident(), -1);
        EXPECT_EQ(changes.done(), 0);
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM ActualTable;")), QStringList({"1"}));
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM TradeTable;")), QStringList({"1"}));
    }
}

TEST_F(StoreEntriesTest, MemosAndAmountsRoundTripThroughSaveAndReopen)
{
    const QString quoted = QStringLiteral("Bob's 'best' & <co>");
    const QString control = QStringLiteral("line one") + QChar(0) + QStringLiteral("\nline two \u65e5\u672c");
    auto a = entry(1, QDate(2008, 3, 5), 1234.5, 1001, 2001, quoted);
    auto b = entry(1, QDate(2008, 3, 6), 0.1 + 0.2, 1001, 2001, control);
    ASSERT_TRUE(store->putExpense(a));
    ASSERT_TRUE(store->putExpense(b));
    const QString file = path(QStringLiteral("memo.cvv2"));
    ASSERT_TRUE(store->save(file));

    cv::BookStore reopened;
    ASSERT_TRUE(reopened.open(file));
    auto found = reopened.findEntriesFrom(QDate(), QDate(), 1001);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 2u);
    EXPECT_EQ((*found)[0]->memo(), quoted);
    EXPECT_EQ((*found)[0]->amount(), 1234.5);
    EXPECT_EQ((*found)[0]->date(), QDate(2008, 3, 5));
    EXPECT_EQ((*found)[0]->ident(), a->ident());
    EXPECT_EQ((*found)[1]->memo(), control);
    EXPECT_EQ((*found)[1]->amount(), 0.3); // stored with two decimals
}

TEST_F(StoreEntriesTest, UpdateWritesOnlyWhatChanged)
{
    auto a = entry(1, QDate(2008, 3, 5), 1234.5, 1001, 2001, QStringLiteral("Bob's 'best' & <co>"));
    a->setGroup(3);
    ASSERT_TRUE(store->putExpense(a));
    // Change the stored row behind the store's back: only the columns the
    // update names may be written.
    ASSERT_TRUE(store->database()->performQuery(
        QStringLiteral("UPDATE ActualTable SET account=9999, kind=7, memo='elsewhere' WHERE id=%1;").arg(a->ident())));
    const QStringList before = rows(QStringLiteral("SELECT * FROM ActualTable;"));

    auto changed = a->clone();
    changed->setIdent(a->ident());
    changed->setAmount(99);
    ASSERT_TRUE(store->putEntry(changed, a));
    QStringList expected = before;
    expected[0].replace(QStringLiteral("| 1234.5 |"), QStringLiteral("| 99.0 |"));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM ActualTable;")), expected);

    // The date is always written, the kind never; a changed memo is bound.
    auto moved = changed->clone();
    moved->setIdent(a->ident());
    moved->setDate(QDate(2008, 3, 6));
    moved->setKind(cv::EntryKind::Income);
    moved->setMemo(QStringLiteral("it's new"));
    ASSERT_TRUE(store->putEntry(moved, changed));
    EXPECT_EQ(rows(QStringLiteral("SELECT kind, date, account, memo FROM ActualTable;")),
              QStringList({"7 | 2621 | 9999 | it's new"}));

    // An update of a row that is no longer there stores nothing: it must not
    // pass for a stored edit.
    ASSERT_TRUE(store->removeEntry(moved));
    changes.reset();
    auto gone = moved->clone();
    gone->setIdent(moved->ident());
    gone->setAmount(5);
    EXPECT_FALSE(store->putEntry(gone, moved));
    EXPECT_EQ(changes.done(), 0);
}

TEST_F(StoreEntriesTest, FindersByDateCategoryAndKind)
{
    auto t = entry(2, QDate(2008, 3, 5), 500, 10, 2001);
    t->setDestination(2002);
    t->setConverted(4.25);
    ASSERT_TRUE(store->putEntry(t));
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 7), 70, 1001)));
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 1), 10, 1001)));
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 1), 11, 1001)));
    ASSERT_TRUE(store->putIncome(entry(0, QDate(2008, 2, 1), 20, 1002)));

    EXPECT_EQ(amounts(store->findEntriesFrom(QDate(2008, 3, 1), QDate(2008, 3, 5), 1001)), QList<double>({10, 11}));
    EXPECT_EQ(amounts(store->findEntriesFrom(QDate(2008, 1, 1), QDate(2008, 12, 31), QList<int>{1001, 1002})),
              QList<double>({20, 10, 11, 70}));
    // Only a from date: no date condition at all.
    EXPECT_EQ(amounts(store->findEntriesFrom(QDate(2008, 3, 6), QDate(), 1001)), QList<double>({10, 11, 70}));
    EXPECT_FALSE(store->findEntriesFrom(QDate(), QDate(), 0));
    EXPECT_FALSE(store->findEntriesFrom(QDate(), QDate(), QList<int>()));
    EXPECT_EQ(amounts(store->findEntriesByDate(QDate(2008, 3, 1))), QList<double>({10, 11}));

    // Fast records: the kind only with a destination; no ident, memo or grouping.
    auto fast = store->findTransferByCategory(10);
    ASSERT_TRUE(fast);
    ASSERT_EQ(fast->size(), 1u);
    const cv::Entry &f = *fast->front();
    EXPECT_EQ(f.ident(), -1);
    EXPECT_EQ(f.kind(), 2);
    EXPECT_EQ(f.category(), 10);
    EXPECT_EQ(f.account(), 2001);
    EXPECT_EQ(f.destination(), 2002);
    EXPECT_EQ(f.converted(), 4.25);
    EXPECT_EQ(f.date(), QDate(2008, 3, 5));
    auto expenses = store->findExpenseByCategory(1001);
    ASSERT_TRUE(expenses);
    ASSERT_EQ(expenses->size(), 3u);
    EXPECT_EQ(expenses->front()->kind(), 0);
}

TEST_F(StoreEntriesTest, BulkMovesAndDeletesLeaveTheMarkToTheCaller)
{
    auto a = entry(1, QDate(2008, 3, 5), 1, 1001, 2001);
    auto b = entry(2, QDate(2008, 3, 5), 2, 10, 2002);
    b->setDestination(2001);
    ASSERT_TRUE(store->putEntry(a));
    ASSERT_TRUE(store->putEntry(b));
    ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 5), 3, 1003, 2003)));
    changes.reset();

    ASSERT_TRUE(store->moveEntry(1001, 1010));
    ASSERT_TRUE(store->moveEntryGrouping(0, 4));
    EXPECT_EQ(rows(QStringLiteral("SELECT category, grouping FROM ActualTable ORDER BY id;")),
              QStringList({"1010 | 4", "10 | 4", "1003 | 4"}));
    ASSERT_TRUE(store->removeEntriesForAccount(2001));
    EXPECT_EQ(rows(QStringLiteral("SELECT value FROM ActualTable;")), QStringList({"3.0"}));
    ASSERT_TRUE(store->removeEntriesByCategory(1003));
    EXPECT_EQ(changes.done(), 0);

    auto c = entry(1, QDate(2008, 3, 5), 4);
    ASSERT_TRUE(store->putExpense(c));
    changes.reset();
    ASSERT_TRUE(store->removeExpense(c));
    EXPECT_EQ(changes.done(), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM ActualTable;")), QStringList({"0"}));
}

TEST_F(StoreEntriesTest, GroupCounts)
{
    for (int g : {1, 1, 2}) {
        auto e = entry(1, QDate(2008, 3, 5), 1);
        e->setGroup(g);
        ASSERT_TRUE(store->putExpense(e));
    }
    EXPECT_EQ(store->getDataCountForGroup({1}), 2);
    EXPECT_EQ(store->getDataCountForGroup({1, 2}), 3);
    EXPECT_EQ(store->getDataCountForGroup({}), 0);
    EXPECT_EQ(store->getDataCountForGroup({9}), 0);
}

TEST_F(StoreEntriesTest, SearchByValue)
{
    for (double v : {99.99, 100.00, 999.99, 1000.00, 1000.01})
        ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 5), v)));
    auto search = [&](QList<double> value) {
        cv::SearchConditions c;
        c.value = value;
        return amounts(store->findEntry(c));
    };
    EXPECT_EQ(search({100, 1000}), QList<double>({100.00, 999.99}));
    EXPECT_EQ(search({1000}), QList<double>({1000.00}));
    EXPECT_EQ(search({-INFINITY, 1000}), QList<double>({99.99, 100.00, 999.99}));
    EXPECT_EQ(search({1000, INFINITY}), QList<double>({1000.00, 1000.01}));
    // Both ends open, or no condition at all: nothing is searched for.
    EXPECT_EQ(search({-INFINITY, INFINITY}), QList<double>());
    EXPECT_EQ(search({}), QList<double>());
}

TEST_F(StoreEntriesTest, SearchByMemo)
{
    for (const char *m : {"Coffee", "coffee beans", "Tea", "100% juice", "it's"})
        ASSERT_TRUE(store->putExpense(entry(1, QDate(2008, 3, 5), 1, 1001, 2001, QString::fromUtf8(m))));
    auto search = [&](QStringList memo, bool all = false) {
        cv::SearchConditions c;
        c.memo = memo;
        c.memoAnd = all;
        return memos(store->findEntry(c));
    };
    EXPECT_EQ(search({"coffee"}), QStringList({"Coffee", "coffee beans"}));
    EXPECT_EQ(search({"coffee", "beans"}, true), QStringList({"coffee beans"}));
    EXPECT_EQ(search({"coffee", "beans"}, false), QStringList({"Coffee", "coffee beans"}));
    EXPECT_EQ(search({"c_ffee"}), QStringList({"Coffee", "coffee beans"}));
    EXPECT_EQ(search({"0%"}), QStringList({"100% juice"}));
    EXPECT_EQ(search({"t's"}), QStringList({"it's"}));
    EXPECT_EQ(search({"') OR 1=1 --"}), QStringList());
}

TEST_F(StoreEntriesTest, SearchCombinesEveryCondition)
{
    auto add = [&](int kind, const QDate &d, double v, int category, int account, int destination, int group) {
        auto e = entry(kind, d, v, category, account);
        e->setDestination(destination);
        e->setGroup(group);
        ASSERT_TRUE(store->putEntry(e));
    };
    add(1, QDate(2008, 3, 5), 1, 1001, 2001, 0, 0);
    add(2, QDate(2008, 3, 6), 2, 10, 2002, 2001, 0);
    add(1, QDate(2008, 3, 7), 3, 1002, 2003, 0, 5);
    add(1, QDate(2008, 4, 1), 4, 1001, 2001, 0, 5);
    add(0, QDate(2008, 3, 4), 5, 1003, 2004, 0, 6);

    cv::SearchConditions c;
    c.date = {QDate(2008, 3, 1), QDate(2008, 3, 31)};
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({5, 1, 2, 3}));
    c.account = {2001};
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({1, 2}));
    c.account = {2001, 2003};
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({1, 2, 3}));
    c.category = {1001, 1002};
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({1, 3}));
    c.group = {5};
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({3}));
    c.group = {5, 6};
    c.account.clear();
    c.category.clear();
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({5, 3}));
    c.date = {QDate(2008, 4, 1)};
    EXPECT_EQ(amounts(store->findEntry(c)), QList<double>({4}));
}

TEST_F(StoreEntriesTest, SearchOverEntriesAndTrades)
{
    auto e1 = entry(1, QDate(2008, 3, 5), 1, 1001, 3001);
    auto e2 = entry(1, QDate(2008, 3, 7), 2, 1001, 2001);
    ASSERT_TRUE(store->putExpense(e1));
    ASSERT_TRUE(store->putExpense(e2));
    auto t1 = trade(0, QDate(2008, 3, 5), 3001);
    auto t2 = trade(1, QDate(2008, 3, 1), 3002);
    t2->setTransfer(3001);
    auto t3 = trade(0, QDate(2008, 4, 1), 3001);
    auto t4 = trade(0, QDate(2008, 3, 2), 3005);
    for (const auto &t : {t1, t2, t3, t4}) ASSERT_TRUE(store->putTrade(t));

    auto kinds = [](const std::vector<cv::SearchRecord> &records) {
        QStringList out;
        for (const auto &r : records)
            out << (r.entry ? QStringLiteral("e%1").arg(r.entry->amount())
                            : QStringLiteral("t%1").arg(r.trade->ident()));
        return out;
    };

    cv::SearchConditions c;
    c.date = {QDate(2008, 3, 1), QDate(2008, 3, 31)};
    c.tradeAccount = {3001};
    // Only trade accounts: the trades of those accounts, no entries.
    EXPECT_EQ(kinds(store->findAccounts(c)), QStringList({"t2", "t1"}));
    // Accounts too: entries and trades by date, entries first on one date.
    c.account = {3001};
    EXPECT_EQ(kinds(store->findAccounts(c)), QStringList({"t2", "e1", "t1"}));
    // Without trade accounts, only entries.
    c.tradeAccount.clear();
    EXPECT_EQ(kinds(store->findAccounts(c)), QStringList({"e1"}));
    // A period alone finds both.
    c.account.clear();
    EXPECT_EQ(kinds(store->findAccounts(c)), QStringList({"t2", "t4", "e1", "t1", "e2"}));
    // Trades have no grouping: a grouping condition finds none of them.
    c.group = {0};
    EXPECT_EQ(kinds(store->findAccounts(c)), QStringList({"e1", "e2"}));
    // Nothing to search for finds nothing.
    EXPECT_TRUE(store->findAccounts(cv::SearchConditions()).empty());
}

} // namespace
