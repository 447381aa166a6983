#include "document/store/SQLite2TestSupport.h"

#include "document/store/SQLite2Reader.h"

#include "document/store/SQLite2TestWriter.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>

#include <sys/resource.h>
#include <unistd.h>

using cv::SQLite2Reader;
using sqlite2test::fixture;

TEST(SQLite2Reader, DumpsEachFixtureExactlyAsTheOldShell)
{
    for (const char *name : {"small", "odd", "big"}) {
        SCOPED_TRACE(name);
        const QByteArray db = fixture(name);
        const QByteArray expected = fixture(name, true);
        ASSERT_FALSE(db.isEmpty());
        ASSERT_FALSE(expected.isEmpty());
        SQLite2Reader reader(db);
        const std::optional<QByteArray> dump = reader.dump();
        ASSERT_TRUE(dump) << reader.error().toStdString();
        EXPECT_EQ(dump->toStdString(), expected.toStdString());
        // Every page but the header is reached by some tree (no free pages in the fixtures).
        EXPECT_EQ(reader.pagesVisited(), reader.pageCount() - 1);
    }
}

TEST(SQLite2Reader, FreePagesAreAccountedForButNeverRead)
{
    QByteArray db = fixture("small");
    QByteArray trunk(1024, '\0');
    trunk[0x04] = 1;  // one leaf listed
    trunk[0x08] = 25; // page 25, left with old text in it
    db += trunk + QByteArray(1024, 'x');
    db[52] = 24;
    db[56] = 2;
    SQLite2Reader reader(db);
    const std::optional<QByteArray> dump = reader.dump();
    ASSERT_TRUE(dump) << reader.error().toStdString();
    EXPECT_EQ(*dump, fixture("small", true));
    EXPECT_EQ(reader.pagesVisited(), reader.pageCount() - 1);
}

// Which column stands for the row id decides what every row prints.
TEST(SQLite2Reader, FindsTheRowIdColumnAsTheOldLibraryDid)
{
    struct Case {
        const char *sql;
        const char *line;
    };
    const Case cases[] = {
        {"CREATE TABLE t ( id INTEGER PRIMARY KEY, a )", "INSERT INTO t VALUES(-7,'v');"},
        {"create table t ( a, id integer primary key )", "INSERT INTO t VALUES('v',-7);"},
        {"CREATE TABLE t ( id INTEGER, a, PRIMARY KEY(id) )", "INSERT INTO t VALUES(-7,'v');"},
        {"CREATE TABLE t ( \"my id\" Integer CONSTRAINT pk PRIMARY KEY, a )", "INSERT INTO t VALUES(-7,'v');"},
        {"CREATE TABLE t ( id INT PRIMARY KEY, a )", "INSERT INTO t VALUES(NULL,'v');"},
        {"CREATE TABLE t ( id INTEGER(10) PRIMARY KEY, a )", "INSERT INTO t VALUES(NULL,'v');"},
        {"CREATE TABLE t ( id INTEGER, a, PRIMARY KEY(id, a) )", "INSERT INTO t VALUES(NULL,'v');"},
        {"CREATE TABLE t ( id, a DEFAULT 'x,y' )", "INSERT INTO t VALUES(NULL,'v');"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        const bool idFirst = !QByteArrayView(c.sql).contains("( a,");
        std::vector<sqlite2test::Value> values{std::nullopt, QByteArray("v")};
        if (!idFirst) std::swap(values[0], values[1]);
        SQLite2Reader reader(sqlite2test::Writer().write({{"table", "t", QByteArray(c.sql), {{-7, values}}}}));
        const std::optional<QByteArray> dump = reader.dump();
        ASSERT_TRUE(dump) << reader.error().toStdString();
        EXPECT_TRUE(dump->contains(QByteArray(QByteArray(c.line) + '\n'))) << dump->toStdString();
    }
}

namespace {

void put32le(QByteArray &file, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i) file[at + i] = char(v >> (8 * i));
}

QByteArray withMarkerRecord(int lastOffsetChange, int columns)
{
    QByteArray sql = "CREATE TABLE t ( id INTEGER PRIMARY KEY, a TEXT";
    for (int i = 2; i < columns; ++i) sql += ", c" + QByteArray::number(i) + " TEXT";
    sql += " )";
    QByteArray file = sqlite2test::Writer().write(
        {{"table", "t", sql, {{1, {std::nullopt, QByteArray("MARKER")}}, {2, {std::nullopt, QByteArray("x")}}}}});
    const qsizetype at = file.indexOf("MARKER");
    file[at - 1] = char(file[at - 1] + lastOffsetChange);
    return file;
}

} // namespace

// The old shell drops a damaged table's rows and still commits, and loops
// forever on a child link that points back up: both must refuse the file.
TEST(SQLite2Reader, RefusesEachKindOfDamageWhole)
{
    const QByteArray small = fixture("small");
    auto edit = [&](auto change) {
        QByteArray f = small;
        change(f);
        return f;
    };
    struct Case {
        const char *what;
        QByteArray file;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"child link back to the root", edit([](QByteArray &f) { put32le(f, 1024 + 0, 2); })},
        {"child link past the end", edit([](QByteArray &f) { put32le(f, 1024 + 0, 9999); })},
        {"freelist naming a table page", edit([](QByteArray &f) { put32le(f, 52, 3); })},
        {"freelist looping on itself",
         edit([](QByteArray &f) {
             f += QByteArray(1024, '\0');
             put32le(f, 52, 24);
             put32le(f, 56, 1);
             put32le(f, 23 * 1024, 24);
         })},
        {"cell outside its page", edit([](QByteArray &f) { f[1024 + 4] = char(0xFC); f[1024 + 5] = char(0x03); })},
        {"cell off the 4-byte grid", edit([](QByteArray &f) { f[1024 + 4] = char(f[1024 + 4] + 2); })},
        {"unknown byte order", edit([](QByteArray &f) { f[48] = 0; })},
        {"newer file format", edit([](QByteArray &f) { put32le(f, 64, 5); })},
        {"truncated", small.left(10 * 1024)},
        {"keys out of order",
         sqlite2test::Writer().write(
             {{"table", "t", QByteArray("CREATE TABLE t ( a )"), {{5, {QByteArray("x")}}, {3, {QByteArray("y")}}}}})},
        {"record offsets past its end", withMarkerRecord(+1, 2)},
        {"record offsets short of its end", withMarkerRecord(-1, 2)},
        {"record with fewer fields than the table", withMarkerRecord(0, 3)},
        {"a table whose schema text is no CREATE TABLE",
         sqlite2test::Writer().write({{"table", "t", QByteArray("CREATE VIEW t AS SELECT 1"), {}}})},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SQLite2Reader reader(c.file);
        EXPECT_FALSE(reader.dump());
        EXPECT_FALSE(reader.error().isEmpty());
    }
    // The same builder's undamaged files read.
    EXPECT_TRUE(SQLite2Reader(withMarkerRecord(0, 2)).dump());
}

// Mutated copies of the fixtures: each is read or refused, never read past,
// looped on or expanded without bound. Run under AddressSanitizer in CI.
TEST(SQLite2Reader, MutatedFilesAreReadOrRefusedWithinBoundedWork)
{
    std::mt19937 random(28);
    struct Seed {
        const char *name;
        int copies;
    };
    for (const Seed seed : {Seed{"small", 3000}, Seed{"big", 100}}) {
        SCOPED_TRACE(seed.name);
        const QByteArray original = fixture(seed.name);
        const qint64 pages = original.size() / 1024;
        int refused = 0;
        for (int n = 0; n < seed.copies; ++n) {
            QByteArray f = original;
            auto any = [&](qint64 below) { return qint64(random() % quint64(below)); };
            switch (n % 5) {
            case 0: // bit flips
                for (int i = 0, count = 1 + int(any(8)); i < count; ++i) f[any(f.size())] ^= char(1 << any(8));
                break;
            case 1: // truncation
                f.truncate(any(f.size()));
                break;
            case 2: // a page link pointing back (right child, overflow link, or a cell's left child)
                put32le(f, (1 + any(pages - 1)) * 1024 + 4 * any(256), quint32(1 + any(pages)));
                break;
            case 3: // one page over another
                f.replace(any(pages) * 1024, 1024, f.mid(any(pages) * 1024, 1024));
                break;
            default: // bytes of a header field made random
                f[(1 + any(pages - 1)) * 1024 + any(12)] = char(any(256));
                break;
            }
            SQLite2Reader reader(f);
            const std::optional<QByteArray> dump = reader.dump();
            ASSERT_LE(reader.pagesVisited(), reader.pageCount());
            if (!dump) {
                ++refused;
                continue;
            }
            ASSERT_LE(dump->size(), SQLite2Reader::dumpLimit(f.size()));
            ASSERT_TRUE(dump->startsWith("BEGIN TRANSACTION;\n") && dump->endsWith("COMMIT;\n"));
        }
        // Most damage is found; a flipped byte inside a text reads as that text.
        EXPECT_GT(refused, seed.copies / 3);
    }
}

// Memory running out while an old book is read refuses that book, and the
// program goes on (the old shell printed "Out of memory!" and exited).
TEST(SQLite2Reader, RunningOutOfMemoryRefusesTheBookAndTheProgramGoesOn)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#endif
    const QByteArray db = fixture("big");
    ASSERT_FALSE(db.isEmpty());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto readWithLittleMemory = [&db] {
        SQLite2Reader reader(db);
        // A megabyte more than the process holds now; the dump needs more.
        QFile statm(QStringLiteral("/proc/self/statm"));
        const bool opened = statm.open(QIODevice::ReadOnly);
        const rlim_t pages = opened ? statm.readAll().split(' ').value(0).toULongLong() : 0;
        const rlimit limit{pages * rlim_t(sysconf(_SC_PAGESIZE)) + (1 << 20), RLIM_INFINITY};
        if (!opened || setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(2);
        const bool refused = !reader.dump() && reader.error() == QStringLiteral("Out of memory!");
        std::_Exit(refused ? 0 : 1);
    };
    EXPECT_EXIT(readWithLittleMemory(), ::testing::ExitedWithCode(0), "");
}

TEST(SQLite2Reader, NumberTestAndTableNamesFollowTheOldShell)
{
    for (const char *number : {"12", "-3.5", "1e5", "1E+5", "1E-3", "+7", "-0.00", "999999999.99"})
        EXPECT_TRUE(SQLite2Reader::isNumber(number)) << number;
    for (const char *text : {"", "0x10", "1.", ".5", " 12", "12 ", "1e", "-", "+", "1e+", "１２"})
        EXPECT_FALSE(SQLite2Reader::isNumber(text)) << text;
    EXPECT_EQ(SQLite2Reader::quotedTableName("ActualTable"), "ActualTable");
    EXPECT_EQ(SQLite2Reader::quotedTableName("_t9"), "_t9");
    EXPECT_EQ(SQLite2Reader::quotedTableName("entry list"), "'entry list'");
    EXPECT_EQ(SQLite2Reader::quotedTableName("9lives"), "'9lives'");
    EXPECT_EQ(SQLite2Reader::quotedTableName("o'clock"), "'o''clock'");
    EXPECT_EQ(SQLite2Reader::quotedTableName("家計"), "'家計'");
}
