#include "document/store/SQLDatabase3.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <bit>
#include <cmath>
#include <random>

namespace {

class SQLDatabase3Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        db = std::make_unique<cv::SQLDatabase3>(tmp.filePath(QStringLiteral("db")));
        ASSERT_TRUE(db->open());
        ASSERT_TRUE(db->performQuery(QStringLiteral("CREATE TABLE t ( id INTEGER PRIMARY KEY, memo TEXT );")));
    }
    QTemporaryDir tmp;
    std::unique_ptr<cv::SQLDatabase3> db;
};

TEST_F(SQLDatabase3Test, ResultsOfEveryKindOfStatement)
{
    // A statement without rows still answers a result.
    auto none = db->performQuery(QStringLiteral("UPDATE t SET memo='x' WHERE id=1;"));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->rowCount(), 0);

    // Insert and read back the new row id in one text.
    auto inserted = db->performQuery(QStringLiteral("INSERT INTO t VALUES(NULL, ?); SELECT last_insert_rowid();"),
                                     {QStringLiteral("first")});
    ASSERT_TRUE(inserted);
    ASSERT_EQ(inserted->rowCount(), 1);
    EXPECT_EQ(inserted->rowAtIndex(0).intForColumnAtIndex(0), 1);
    EXPECT_EQ(db->lastRowInserted(), 1);

    // Parameters are bound in order across the statements of one text.
    auto two = db->performQuery(QStringLiteral("INSERT INTO t VALUES(7, ?); INSERT INTO t VALUES(8, ?);"
                                               "SELECT memo FROM t WHERE id>=7 ORDER BY id;"),
                                {QStringLiteral("seven"), QStringLiteral("eight")});
    ASSERT_TRUE(two);
    ASSERT_EQ(two->rowCount(), 2);
    EXPECT_EQ(two->rowAtIndex(1).stringForColumnAtIndex(0), QStringLiteral("eight"));
    EXPECT_EQ(two->rowAtIndex(1).nameOfColumnAtIndex(0), QStringLiteral("memo"));
    EXPECT_EQ(two->rowAtIndex(1).stringForColumn("memo"), QStringLiteral("eight"));
    EXPECT_TRUE(two->rowAtIndex(1).stringForColumn("nope").isNull());

    // Rows outside the result and columns outside the row.
    EXPECT_FALSE(two->rowAtIndex(2).valid());
    EXPECT_FALSE(two->rowAtIndex(-1).valid());
    EXPECT_TRUE(two->rowAtIndex(0).stringForColumnAtIndex(1).isNull());
    EXPECT_EQ(two->rowAtIndex(0).intForColumnAtIndex(5), 0);
}

TEST_F(SQLDatabase3Test, TextsSurviveQuotesNulsAndOtherEncodings)
{
    const QString tricky = QStringLiteral("Bob's 'best' ; DROP TABLE t; --") + QChar(0) + QStringLiteral("\nafter");
    ASSERT_TRUE(db->performQuery(QStringLiteral("INSERT INTO t VALUES(1, ?);"), {tricky}));
    auto back = db->performQuery(QStringLiteral("SELECT memo FROM t;"));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->rowCount(), 1);
    EXPECT_EQ(back->rowAtIndex(0).stringForColumnAtIndex(0), tricky);
    // A row kept after its result is gone still reads its own data.
    const cv::SQLRow kept = back->rowAtIndex(0);
    back.reset();
    EXPECT_EQ(kept.stringForColumnAtIndex(0), tricky);

    // Text that is not UTF-8 reads as Latin-1; NULL as no text and 0.
    ASSERT_TRUE(db->performQuery(QStringLiteral("INSERT INTO t VALUES(2, CAST(x'41E942' AS TEXT));"
                                                "INSERT INTO t VALUES(3, NULL);")));
    auto r = db->performQuery(QStringLiteral("SELECT memo FROM t WHERE id > 1 ORDER BY id;"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rowAtIndex(0).stringForColumnAtIndex(0), QString::fromLatin1("A\xe9"
                                                                              "B"));
    EXPECT_TRUE(r->rowAtIndex(1).stringForColumnAtIndex(0).isNull());
    EXPECT_EQ(r->rowAtIndex(1).doubleForColumnAtIndex(0), 0.0);
}

TEST_F(SQLDatabase3Test, FailuresAnswerNoResult)
{
    EXPECT_FALSE(db->performQuery(QStringLiteral("SELECT * FROM missing;")));
    // Too few texts for the parameters.
    EXPECT_FALSE(db->performQuery(QStringLiteral("INSERT INTO t VALUES(1, ?);")));
    // Statements of one text with different column counts.
    EXPECT_FALSE(db->performQuery(QStringLiteral("SELECT 1; SELECT 1, 2;")));
    // A failing statement stops the text: the SELECT after it does not run.
    EXPECT_FALSE(db->performQuery(QStringLiteral("INSERT INTO missing VALUES(1); SELECT last_insert_rowid();")));

    db->close();
    EXPECT_FALSE(db->isOpen());
    EXPECT_FALSE(db->performQuery(QStringLiteral("SELECT 1;")));
    EXPECT_TRUE(db->open());
    EXPECT_TRUE(db->open()); // already open
}

// The streamed typed read answers what the table's text answers, for every
// kind of value a damaged file may hold in a number column.
TEST_F(SQLDatabase3Test, StreamedReadsAgreeWithTheTable)
{
    const QString select = QStringLiteral("SELECT v, v, v, v FROM n ORDER BY rowid;");
    ASSERT_TRUE(db->performQuery(QStringLiteral(
        "CREATE TABLE n ( v ); INSERT INTO n VALUES (42), (-7), (12.75), (-0.5), (1e20), (4294967303), (NULL), "
        "('  +15'), ('12abc'), ('3.5e2'), ('abc'), (''), (X'3132'), (1234.56), ('\xe6\x97\xa5');")));
    const auto table = db->performQuery(select);
    ASSERT_TRUE(table);
    int r = 0;
    for (int pass = 0; pass < 2; ++pass) { // the second pass reuses the kept statement
        r = 0;
        ASSERT_TRUE(db->forEachRow(select, [&](const cv::SQLCursor &row) {
            const cv::SQLRow expected = table->rowAtIndex(r++);
            EXPECT_EQ(row.intForColumnAtIndex(0), expected.intForColumnAtIndex(0)) << r;
            EXPECT_EQ(row.int64ForColumnAtIndex(1), expected.int64ForColumnAtIndex(1)) << r;
            EXPECT_EQ(row.doubleForColumnAtIndex(2), expected.doubleForColumnAtIndex(2)) << r;
            EXPECT_EQ(row.stringForColumnAtIndex(3), expected.stringForColumnAtIndex(3)) << r;
            EXPECT_EQ(row.intForColumnAtIndex(4), 0); // outside the row
        }));
        EXPECT_EQ(r, table->rowCount());
    }

    // Bound texts, and failures: a bad statement, a missing parameter, two statements.
    r = 0;
    EXPECT_TRUE(db->forEachRow(QStringLiteral("SELECT v FROM n WHERE v = ?;"), [&](const cv::SQLCursor &) { ++r; },
                               {QStringLiteral("abc")}));
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(db->forEachRow(QStringLiteral("SELECT nothing FROM n;"), [](const cv::SQLCursor &) {}));
    EXPECT_FALSE(db->forEachRow(QStringLiteral("SELECT v FROM n WHERE v = ?;"), [](const cv::SQLCursor &) {}));
    EXPECT_FALSE(db->forEachRow(QStringLiteral("SELECT 1; DELETE FROM n;"), [](const cv::SQLCursor &) {}));
    EXPECT_EQ(db->performQuery(QStringLiteral("SELECT count(*) FROM n;"))->rowAtIndex(0).intForColumnAtIndex(0), 15);
    // A kept statement does not hold the database: it can be written and closed.
    EXPECT_TRUE(db->performQuery(QStringLiteral("DELETE FROM n;")));
    db->close();
    EXPECT_FALSE(db->forEachRow(select, [](const cv::SQLCursor &) {}));
}

// The streamed read that stands in for the table's text must give the same
// bits for every real: a value of sixteen or seventeen digits reads back
// from its fifteen-digit text, anything shorter unchanged.
TEST_F(SQLDatabase3Test, StreamedRowDoublesMatchTheTableBitForBit)
{
    ASSERT_TRUE(db->performQuery(QStringLiteral("CREATE TABLE r ( v FLOAT );")));
    // clang-format off
    std::vector<double> values = {0.0, -0.0, 0.1 + 0.2, 1234.56, -98765.43, 1e-300, 5e-324, 1.7976931348623157e308,
                                  123456789012345.0, 1234567890123456.0, 12345678901234567.0, 9007199254740993.0,
                                  0.30000000000000004, 2.2250738585072014e-308, 1e15, 1e16, 100.0 / 3.0};
    // clang-format on
    std::mt19937_64 random(11);
    for (int i = 0; i < 6000; ++i) {
        const double scale = std::pow(10.0, int(random() % 40) - 12);
        values.push_back(double(random() % 2000000001) / 100.0 - 1e7);          // amounts in cents
        values.push_back(std::ldexp(double(random() >> 11), -53) * scale);      // full precision
        values.push_back(std::round(double(random() % 100000000) / 7.0) / 1e4); // four places
    }
    for (size_t first = 0; first < values.size(); first += 500) {
        QStringList rows;
        for (size_t i = first; i < std::min(values.size(), first + 500); ++i)
            rows << QStringLiteral("(%1)").arg(QString::number(values[i], 'g', 17));
        ASSERT_TRUE(db->performQuery(QStringLiteral("INSERT INTO r VALUES %1;").arg(rows.join(QLatin1Char(',')))));
    }
    ASSERT_TRUE(db->performQuery(QStringLiteral("INSERT INTO r VALUES (7), (NULL), ('2.5x'), ('');")));
    const QString select = QStringLiteral("SELECT v FROM r ORDER BY rowid;");
    const auto table = db->performQuery(select);
    ASSERT_TRUE(table);
    int r = 0;
    int shortened = 0;
    ASSERT_TRUE(db->forEachRow(select, [&](const cv::SQLCursor &row) {
        const double expected = table->rowAtIndex(r++).doubleForColumnAtIndex(0);
        const double read = row.rowDoubleForColumnAtIndex(0);
        EXPECT_EQ(std::bit_cast<quint64>(read), std::bit_cast<quint64>(expected)) << r << " " << read;
        if (read != row.doubleForColumnAtIndex(0)) ++shortened;
    }));
    EXPECT_EQ(r, table->rowCount());
    EXPECT_GT(shortened, 1000); // the full-precision values did go through their text
}

TEST_F(SQLDatabase3Test, TransactionsNestAndRollBack)
{
    ASSERT_TRUE(db->beginTransaction());
    ASSERT_TRUE(db->beginTransaction());
    db->performQuery(QStringLiteral("INSERT INTO t VALUES(1, 'a');"));
    EXPECT_TRUE(db->commitTransaction());
    EXPECT_EQ(db->transactionDepth(), 1);
    EXPECT_TRUE(db->commitTransaction());
    {
        cv::SQLTransaction t(db.get());
        db->performQuery(QStringLiteral("INSERT INTO t VALUES(2, 'b');"));
        t.rollback();
    }
    // A BEGIN that fails (here SQLite's own transaction stands) still counts: nothing is written in
    // it, and its end answers false.
    ASSERT_TRUE(db->performQuery(QStringLiteral("BEGIN;")));
    EXPECT_TRUE(db->beginTransaction());
    EXPECT_FALSE(db->performQuery(QStringLiteral("INSERT INTO t VALUES(4, 'd');")));
    EXPECT_TRUE(db->performQuery(QStringLiteral("SELECT count(*) FROM t;"))) << "reads still answer";
    EXPECT_FALSE(db->commitTransaction());
    // A transaction left open is committed on close, not lost.
    db->beginTransaction();
    db->performQuery(QStringLiteral("INSERT INTO t VALUES(3, 'c');"));
    db->close();
    ASSERT_TRUE(db->open());
    auto r = db->performQuery(QStringLiteral("SELECT group_concat(id) FROM t;"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rowAtIndex(0).stringForColumnAtIndex(0), QStringLiteral("1,3"));
}

TEST(SQLDatabase3File, SetupClassifiesAndOpenRejectsNonDatabases)
{
    QTemporaryDir tmp;
    const QString good = tmp.filePath(QStringLiteral("good"));
    {
        cv::SQLDatabase3 db(good);
        ASSERT_TRUE(db.open());
        db.performQuery(QStringLiteral("CREATE TABLE x (a);"));
    }
    EXPECT_EQ(cv::SQLDatabase3(good).setup(), cv::SQLDatabase3::SetupResult::Current);

    const QString junk = tmp.filePath(QStringLiteral("junk"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'z'));
    f.close();
    cv::SQLDatabase3 db(junk);
    EXPECT_EQ(db.setup(), cv::SQLDatabase3::SetupResult::Unusable);
    EXPECT_FALSE(db.open());
    EXPECT_FALSE(db.isOpen());

    EXPECT_EQ(cv::SQLDatabase3(tmp.filePath(QStringLiteral("missing"))).setup(),
              cv::SQLDatabase3::SetupResult::Unusable);
}

// A document file comes from outside: whatever its schema carries must not run.
TEST(SQLDatabase3File, HostileSchemaDoesNotRun)
{
    QTemporaryDir tmp;
    const QString file = tmp.filePath(QStringLiteral("hostile"));
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "PRAGMA journal_mode=WAL;"
                           "CREATE TABLE a (x); CREATE TABLE b (y); INSERT INTO b VALUES (1);"
                           "CREATE TRIGGER wipe AFTER INSERT ON a BEGIN DELETE FROM b; END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    cv::SQLDatabase3 db(file);
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.performQuery(QStringLiteral("INSERT INTO a VALUES (1);")));
    auto count = db.performQuery(QStringLiteral("SELECT count(*) FROM b;"));
    ASSERT_TRUE(count);
    EXPECT_EQ(count->rowAtIndex(0).intForColumnAtIndex(0), 1);
    auto mode = db.performQuery(QStringLiteral("PRAGMA journal_mode;"));
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->rowAtIndex(0).stringForColumnAtIndex(0), QStringLiteral("delete"));
}

} // namespace
