// The one-pass rebuild of the balance cache must give exactly what the
// category-by-category reads give: the same rows, the same series, bit for bit.

#include "document/BookTestSupport.h"

#include "document/store/SQLDatabase3.h"

#include <random>

namespace {

class CacheRebuildTest : public DocumentTest {};

// Every point of every series, in a form gtest can compare and print.
std::map<const void *, std::vector<std::tuple<int, double, double>>> snapshot(const cv::BalanceCache &cache)
{
    std::map<const void *, std::vector<std::tuple<int, double, double>>> out;
    for (const auto &[key, entry] : cache.storage()) {
        if (!entry.series) continue;
        auto &points = out[key];
        for (const auto &p : entry.series->daily()) points.emplace_back(p.key, p.value, p.accumulatedValue);
        points.emplace_back(-1, 0, 0); // daily and monthly apart
        for (const auto &p : entry.series->monthly()) points.emplace_back(p.key, p.value, 0);
    }
    return out;
}

} // namespace

TEST_F(CacheRebuildTest, OnePassReadsTheRowsOfEachCategoryFinder)
{
    cv::BookStore *store = doc->store();
    std::mt19937 random(3);
    for (int i = 0; i < 200; ++i) {
        const int category = 2000 + int(random() % 5);
        auto e = makeEntry(int(random() % 3), day(2010, 1, 1).addDays(int(random() % 400)),
                           double(random() % 100000) / 100.0, category, 10 + int(random() % 3),
                           random() % 2 ? int(random() % 4) : 0);
        e->setConverted(random() % 3 ? 0 : 12.34);
        ASSERT_TRUE(store->putEntry(e));
    }
    // What a damaged file may hold in the category column: none of these is
    // found by an ident, so none may turn up as category 0 or 7.
    ASSERT_TRUE(store->database()->performQuery(
        QStringLiteral("INSERT INTO ActualTable VALUES(NULL,1,3,NULL,10,0,5.0,0,0,''); "
                       "INSERT INTO ActualTable VALUES(NULL,1,3,'x',10,0,5.0,0,0,''); "
                       "INSERT INTO ActualTable VALUES(NULL,1,3,7.5,10,0,5.0,0,0,''); "
                       "INSERT INTO ActualTable VALUES(NULL,1,3,4294967303,10,0,5.0,0,0,''); "
                       "INSERT INTO ActualTable VALUES(NULL,1,3,0,10,0,'12.5',0,0,''); "
                       // Idents spread far apart group through a map rather than an array.
                       "INSERT INTO ActualTable VALUES(NULL,1,3,2000000000,10,0,1.0,0,0,'');")));

    const auto rows = store->readCacheRows();
    ASSERT_TRUE(rows);
    for (int category : {0, 7, 2000, 2001, 2002, 2003, 2004, 2005, 2000000000}) {
        for (cv::EntryKind kind : {cv::EntryKind::Income, cv::EntryKind::Expense, cv::EntryKind::Transfer}) {
            const auto records = store->findEntriesByCategory(category, kind);
            ASSERT_TRUE(records);
            const auto fast = rows->rowsForCategory(category);
            ASSERT_EQ(fast.size(), records->size()) << category;
            for (size_t i = 0; i < fast.size(); ++i) {
                const cv::Entry &r = *(*records)[i];
                EXPECT_EQ(store->makeDate(fast[i].day), r.date());
                EXPECT_EQ(fast[i].account, r.account());
                EXPECT_EQ(fast[i].destination, r.destination());
                EXPECT_EQ(fast[i].amount, r.amount());
                EXPECT_EQ(fast[i].converted, r.converted());
            }
        }
    }
    EXPECT_EQ(rows->rowsForCategory(0).size(), 1u);
    EXPECT_EQ(rows->rowsForCategory(0)[0].amount, 12.5);
    EXPECT_EQ(rows->size(), 202u);
}

TEST_F(CacheRebuildTest, OnePassRebuildEqualsTheCategoryByCategoryOne)
{
    addCurrency(1, QStringLiteral("JPY"), 1.0, 0);
    addCurrency(2, QStringLiteral("USD"), 100.0, 2);
    for (int m = 1; m <= 12; ++m) {
        ASSERT_TRUE(samplebook::putRate(*doc, 2, day(2010, m, 1), 90.0 + m * 1.37));
    }
    const auto assets = doc->accountTrees()->asset();
    addAccount(assets, 10, 30, 10000);
    addAccount(assets, 11, 31, 500000);
    addAccount(assets, 12, 31, 1000.00, 2);
    addAccount(doc->accountTrees()->debt(), 13, 40, 0);
    addAccount(assets, 14, 32, 0, 2); // investment: its cash part takes the amounts
    doc->settings()->setFiscalDayOfMonth(24);
    const auto food = addCategory(doc->categoryTrees()->expense(), 2100, 20);
    addCategory(food, 2101);
    addCategory(food, 2102);
    addCategory(doc->categoryTrees()->expense(), 2103);
    addCategory(doc->categoryTrees()->income(), 2200);
    addCategory(doc->categoryTrees()->income(), 2201);
    doc->createCache();

    // Entries in no particular date order, as years of late entries leave them.
    std::mt19937 random(11);
    // Many entries on few days, so that the busy series sum by key; the last
    // ones also fall on days before and after all others.
    const int accounts[] = {10, 11, 12, 13, 14};
    for (int i = 0; i < 1200; ++i) {
        const QDate date = day(2010, 1, 1).addDays(i < 1190 ? int(random() % 365) : int(random() % 565) - 100);
        const double amount = random() % 50 ? double(random() % 1000000) / 100.0 : 0.0;
        const int account = accounts[random() % 5];
        switch (random() % 4) {
        case 0: doc->updateIncome(makeEntry(0, date, amount, 2200 + int(random() % 2), account), nullptr); break;
        case 1: doc->updateExpense(makeEntry(1, date, amount, 2101 + int(random() % 3), account), nullptr); break;
        case 2:
            // Unassigned loan payments, and entries of an account deleted since.
            ASSERT_TRUE(doc->store()->putEntry(makeEntry(1, date, amount,
                                                         random() % 2 ? cv::CategoryTrees::LoanUnspecified : 2103,
                                                         random() % 4 ? account : 99)));
            break;
        default: {
            int to = accounts[random() % 5];
            if (to == account) to = account == 10 ? 11 : 10;
            transfer(date, amount, account, to, random() % 2 ? 0 : amount / 93.0);
        }
        }
    }

    doc->createCache();
    const auto onePass = snapshot(doc->cache());
    ASSERT_FALSE(onePass.empty());

    // The same rebuild through the finders, one category at a time.
    cv::BookTestAccess::clearCache(*doc);
    cv::BookTestAccess::rebuildThroughFinders(*doc, assets);
    doc->accumulateAccount();
    EXPECT_EQ(snapshot(doc->cache()), onePass);
}
