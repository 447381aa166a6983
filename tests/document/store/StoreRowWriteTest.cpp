// Rows written through the kept statements hold exactly what the statement
// texts with the numbers printed in used to store: same values to the bit,
// same stored types.
#include "document/store/StoreTestSupport.h"

#include "platform/NumberText.h"

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace {

class RowWriteTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        literal = std::make_unique<cv::BookStore>(&literalChanges);
        ASSERT_TRUE(literal->create());
    }
    void TearDown() override
    {
        literal.reset();
        StoreTest::TearDown();
    }

    // The statements as they were, values printed into the text.
    bool literalEntry(const cv::Entry &e)
    {
        const QString head = e.ident() < 0
                                 ? QStringLiteral("INSERT INTO ActualTable VALUES(NULL,")
                                 : QStringLiteral("INSERT OR REPLACE INTO ActualTable VALUES(%1,").arg(e.ident());
        const QString sql = head +
                            QStringLiteral("%1,%2,%3,%4,%5,")
                                .arg(cv::raw(e.kind()))
                                .arg(literal->getRefDays(e.date()))
                                .arg(e.category())
                                .arg(e.account())
                                .arg(e.destination()) +
                            cv::formatFixed(e.amount(), 2) + QLatin1Char(',') + cv::formatFixed(e.converted(), 2) +
                            QStringLiteral(",%1,?);").arg(e.group());
        return literal->database()->performQuery(sql, {e.memo()}) != nullptr;
    }
    bool literalTrade(const cv::Trade &t)
    {
        const QString head = t.ident() < 0
                                 ? QStringLiteral("INSERT INTO TradeTable VALUES(NULL,")
                                 : QStringLiteral("INSERT OR REPLACE INTO TradeTable VALUES(%1,").arg(t.ident());
        const QString sql = head +
                            QStringLiteral("%1,%2,%3,%4,%5,")
                                .arg(t.account())
                                .arg(t.security())
                                .arg(cv::raw(t.kind()))
                                .arg(t.transfer())
                                .arg(literal->getRefDays(t.date())) +
                            cv::formatFixed(t.count(), 6) + QLatin1Char(',') + cv::formatFixed(t.unitPrice(), 6) +
                            QLatin1Char(',') + cv::formatFixed(t.commission(), 2) + QStringLiteral(", ?);");
        return literal->database()->performQuery(sql, {t.memo()}) != nullptr;
    }
    bool literalRate(const cv::DatedPrice &p, const char *table)
    {
        const QString sql = QStringLiteral("INSERT OR REPLACE INTO %1 VALUES(%2,%3,")
                                .arg(QLatin1String(table))
                                .arg(p.security())
                                .arg(literal->getRefDays(p.date())) +
                            cv::formatFixed(p.price(), 6) + QStringLiteral(");");
        return literal->database()->performQuery(sql) != nullptr;
    }

    // Every column of every row as its quoted value, stored type and bytes.
    static std::vector<std::string> dump(const cv::BookStore &s, const QString &table, const QStringList &columns)
    {
        QStringList parts;
        for (const QString &c : columns) parts << QStringLiteral("quote(%1),typeof(%1),hex(%1)").arg(c);
        std::vector<std::string> out;
        for (const QString &row :
             rowsOf(s, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid;").arg(parts.join(u','), table)))
            out.push_back(row.toStdString());
        return out;
    }
    // The reals to the bit (a quoted value does not tell 0.0 from -0.0).
    static std::vector<quint64> realBits(const cv::BookStore &s, const QString &table, const QStringList &columns)
    {
        std::vector<quint64> bits;
        const bool ok =
            s.database()->forEachRow(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid;").arg(columns.join(u','), table),
                                     [&](const cv::SQLCursor &row) {
                                         for (int c = 0; c < row.columnCount(); ++c)
                                             bits.push_back(std::bit_cast<quint64>(row.doubleForColumnAtIndex(c)));
                                     });
        EXPECT_TRUE(ok);
        return bits;
    }
    void expectSameTable(const QString &table, const QStringList &columns, const QStringList &reals)
    {
        const std::vector<std::string> expected = dump(*literal, table, columns);
        ASSERT_FALSE(expected.empty());
        EXPECT_NE(expected.front(), "<failed>");
        EXPECT_EQ(dump(*store, table, columns), expected) << qPrintable(table);
        EXPECT_EQ(realBits(*store, table, reals), realBits(*literal, table, reals)) << qPrintable(table);
    }

    ChangeRecorder literalChanges;
    std::unique_ptr<cv::BookStore> literal;
};

// Amounts at the edges of the rounding and of the range, and a spread of
// random magnitudes so that the reading of the digits is compared too.
std::vector<double> amountSamples()
{
    // clang-format off
    std::vector<double> v = {0.0, -0.0, 0.004, -0.004, 0.005, 0.015, 1.005, -1.005, 2.675, 0.1 + 0.2,
                             123456789.123456789, -987654321.987654321, 1e15 + 0.3, 9007199254740993.0,
                             1e20, -1e20, 1e300, -1e300, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(), 1e-7, 0.1234565, 98765.4321098765, 3000.0,
                             // Six-decimal texts that SQLite reads one bit away from the nearest double.
                             -5.513849, 0.023016, 2.592862, 38757839.763882};
    // clang-format on
    std::mt19937_64 random(20240607);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 22);
    for (int i = 0; i < 3000; ++i) v.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    return v;
}

// clang-format off
const QStringList kMemos = {QString(), QStringLiteral(""), QStringLiteral("it's \"quoted\" 'twice''"),
                            QString::fromUtf16(u"a\0b", 3), QStringLiteral("コンビニ 弁当 ¥500"), QStringLiteral("🍣\\%_\n\t"),
                            QStringLiteral("NULL"), QStringLiteral("1.50")};
// clang-format on

TEST_F(RowWriteTest, EntriesTradesPricesAndRatesStoreWhatTheLiteralStatementsStored)
{
    const std::vector<double> amounts = amountSamples();
    const int ints[] = {0, 1, -1, 42, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};
    const QDate dates[] = {QDate(2008, 3, 5), QDate(1900, 1, 1), QDate(2099, 12, 31), QDate()};
    cv::SQLTransaction storeTransaction(store->database());
    cv::SQLTransaction literalTransaction(literal->database());
    for (size_t i = 0; i < amounts.size(); ++i) {
        auto e = entry(int(i % 3), dates[i % 4], amounts[i], ints[i % 6], ints[(i + 1) % 6],
                       kMemos[int(i % size_t(kMemos.size()))]);
        e->setConverted(amounts[amounts.size() - 1 - i]);
        e->setDestination(ints[(i + 2) % 6]);
        e->setGroup(ints[(i + 3) % 6]);
        // Some rows come with their ident, some replace an earlier row.
        if (i % 7 == 0) e->setIdent(int(100000 + i % 50));
        auto copy = std::make_shared<cv::Entry>(*e);
        ASSERT_TRUE(literalEntry(*copy)) << i;
        ASSERT_TRUE(store->putEntry(e)) << i;

        auto t = trade(int(i % 4), dates[i % 4], ints[i % 6], ints[(i + 4) % 6]);
        t->setTransfer(ints[(i + 5) % 6]);
        t->setCount(amounts[i] / 7);
        t->setUnitPrice(amounts[(i * 13) % amounts.size()]);
        t->setCommission(amounts[(i * 31) % amounts.size()]);
        t->setMemo(kMemos[int((i + 3) % size_t(kMemos.size()))]);
        if (i % 11 == 0) t->setIdent(int(200000 + i % 40));
        ASSERT_TRUE(literalTrade(*t)) << i;
        ASSERT_TRUE(store->putTrade(t)) << i;

        // Rates and prices replace one another on a key.
        auto p = price(int(i % 9), QDate(2020, 1, 1).addDays(qint64(i % 200)), amounts[i] / 3);
        ASSERT_TRUE(literalRate(*p, "PriceTable"));
        ASSERT_TRUE(store->putPrice(p));
        p->setPrice(amounts[(i * 7) % amounts.size()]);
        ASSERT_TRUE(literalRate(*p, "ExchangeTable"));
        ASSERT_TRUE(store->putExchangeRate(p));
    }

    expectSameTable(
        QStringLiteral("ActualTable"),
        {"id", "kind", "date", "category", "account", "destination", "value", "converted", "grouping", "memo"},
        {"value", "converted"});
    expectSameTable(QStringLiteral("TradeTable"),
                    {"id", "account", "brand", "kind", "trans", "date", "count", "value", "cost", "memo"},
                    {"count", "value", "cost"});
    expectSameTable(QStringLiteral("PriceTable"), {"brand", "date", "value"}, {"value"});
    expectSameTable(QStringLiteral("ExchangeTable"), {"brand", "date", "value"}, {"value"});
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM ActualTable;")),
              rowsOf(*literal, QStringLiteral("SELECT count(*) FROM ActualTable;")));
}

// A column without a numeric type (a file made elsewhere) keeps a real as a
// real, as the printed number did, not the bound text.
TEST_F(RowWriteTest, ColumnsWithoutNumericTypeStoreTheSameTypes)
{
    for (cv::BookStore *s : {store.get(), literal.get()}) {
        ASSERT_TRUE(s->database()->performQuery(QStringLiteral("DROP TABLE ActualTable; DROP TABLE PriceTable;")));
        ASSERT_TRUE(s->database()->performQuery(QStringLiteral(
            "CREATE TABLE ActualTable (id INTEGER PRIMARY KEY, kind, date, category, account, destination, value, "
            "converted TEXT, grouping BLOB, memo NUMERIC);"
            "CREATE TABLE PriceTable (brand, date, value, PRIMARY KEY(brand, date));")));
    }
    for (double amount : {12.5, -0.004, 1e20, 7.0}) {
        auto e = entry(1, QDate(2010, 5, 6), amount, 1001, 2001, QStringLiteral("12"));
        e->setConverted(amount);
        ASSERT_TRUE(literalEntry(*e));
        ASSERT_TRUE(store->putEntry(e));
        auto p = price(3, QDate(2010, 5, 6), amount);
        ASSERT_TRUE(literalRate(*p, "PriceTable"));
        ASSERT_TRUE(store->putPrice(p));
    }
    expectSameTable(
        QStringLiteral("ActualTable"),
        {"id", "kind", "date", "category", "account", "destination", "value", "converted", "grouping", "memo"},
        {"value"});
    expectSameTable(QStringLiteral("PriceTable"), {"brand", "date", "value"}, {"value"});
}

// A number that is no number has no stored text; the printed statement
// failed on it, and the write still fails rather than store something else.
TEST_F(RowWriteTest, NonFiniteNumbersAreRefused)
{
    for (double bad : {std::nan(""), double(INFINITY), -double(INFINITY)}) {
        auto e = entry(1, QDate(2010, 5, 6), 1);
        e->setConverted(bad);
        EXPECT_FALSE(literalEntry(*e));
        EXPECT_FALSE(store->putEntry(e));
        EXPECT_EQ(e->ident(), -1);
        auto t = trade(1, QDate(2010, 5, 6));
        t->setUnitPrice(bad);
        EXPECT_FALSE(literalTrade(*t));
        EXPECT_FALSE(store->putTrade(t));
        auto p = price(1, QDate(2010, 5, 6), bad);
        EXPECT_FALSE(literalRate(*p, "PriceTable"));
        EXPECT_FALSE(store->putPrice(p));
        EXPECT_FALSE(store->putExchangeRate(p));
    }
    EXPECT_EQ(changes.done(), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT (SELECT count(*) FROM ActualTable) + (SELECT count(*) FROM TradeTable) + "
                                  "(SELECT count(*) FROM PriceTable) + (SELECT count(*) FROM ExchangeTable);")),
              QStringList{"0"});
}

// Saving closes and reopens the connection: the kept statements go with the
// old one and are made again for the new.
TEST_F(RowWriteTest, WritesGoOnAfterASaveReopens)
{
    const QString file = path(QStringLiteral("book.cvv2"));
    for (int round = 0; round < 3; ++round) {
        auto e = entry(1, QDate(2011, 1, 1 + round), 10.25 + round);
        ASSERT_TRUE(store->putEntry(e));
        EXPECT_EQ(e->ident(), round + 1);
        ASSERT_TRUE(store->putTrade(trade(1, QDate(2011, 1, 1 + round))));
        ASSERT_TRUE(store->putPrice(price(5, QDate(2011, 1, 1 + round), 99.5)));
        ASSERT_TRUE(store->putExchangeRate(price(2, QDate(2011, 1, 1 + round), 150.125)));
        ASSERT_TRUE(store->save(file));
    }
    cv::BookStore reopened(nullptr);
    ASSERT_TRUE(reopened.open(file));
    EXPECT_EQ(rowsOf(reopened, QStringLiteral("SELECT id, value FROM ActualTable ORDER BY id;")),
              QStringList({"1 | 10.25", "2 | 11.25", "3 | 12.25"}));
    EXPECT_EQ(rowsOf(reopened, QStringLiteral("SELECT (SELECT count(*) FROM TradeTable), (SELECT count(*) FROM "
                                              "PriceTable), (SELECT count(*) FROM ExchangeTable);")),
              QStringList{"3 | 3 | 3"});
}

} // namespace
