#include "document/store/SQLite2TestSupport.h"
#include "document/store/SQLite2TestWriter.h"

#include "platform/ScriptedAlertPresenter.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/SQLite2Reader.h"
#include "platform/Localization.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sqlite3.h>

using sqlite2test::fixture;
using Result = cv::SQLDatabase3::SetupResult;

namespace {

// Every row of every table, each value as its storage type and bytes.
std::vector<std::string> contents(sqlite3 *db)
{
    std::vector<std::string> out;
    std::vector<std::string> tables;
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "SELECT name, type, sql FROM sqlite_master ORDER BY rowid", -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto *name = reinterpret_cast<const char *>(sqlite3_column_text(s, 0));
        const auto *sql = reinterpret_cast<const char *>(sqlite3_column_text(s, 2));
        out.push_back(std::string("schema ") + name + " " + (sql ? sql : "NULL"));
        if (std::string(reinterpret_cast<const char *>(sqlite3_column_text(s, 1))) == "table") tables.push_back(name);
    }
    sqlite3_finalize(s);
    for (const std::string &t : tables) {
        const std::string sql = "SELECT rowid, * FROM \"" + t + "\" ORDER BY rowid";
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::string row = t;
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                const int type = sqlite3_column_type(s, c);
                row += " | " + std::to_string(type) + ":";
                if (type != SQLITE_NULL)
                    row.append(static_cast<const char *>(sqlite3_column_blob(s, c)),
                               size_t(sqlite3_column_bytes(s, c)));
            }
            out.push_back(row);
        }
        sqlite3_finalize(s);
    }
    return out;
}

class SQLite2Upgrade : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::setLanguageOverride(QStringLiteral("en"));
        path = tmp.filePath(QStringLiteral("work-0"));
    }
    void writeWorkingCopy(const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QStringList messages() const
    {
        QStringList m;
        for (const cv::AlertRequest &r : alerts.asked) m << r.message;
        return m;
    }
    static QString text(const char *key) { return cv::localizedString(QString::fromLatin1(key)); }

    QTemporaryDir tmp;
    QString path;
    ScriptedAlertPresenter alerts;
};

} // namespace

TEST_F(SQLite2Upgrade, EachFixtureBecomesAnSQLite3DatabaseWithTheSameRows)
{
    for (const char *name : {"small", "odd", "big"}) {
        SCOPED_TRACE(name);
        alerts.asked.clear();
        writeWorkingCopy(fixture(name));
        cv::SQLDatabase3 db(path);
        ASSERT_EQ(db.setup(), Result::Upgraded);
        EXPECT_EQ(messages(), QStringList{text("UpgradeAlertMessage")});
        // Only the new database is left in the working folder.
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("work-0")});

        // The shell's own dump, executed into a fresh database, is the reference.
        sqlite3 *expected = nullptr;
        sqlite3 *actual = nullptr;
        ASSERT_EQ(sqlite3_open(":memory:", &expected), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(expected, fixture(name, true).constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &actual, SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        const std::vector<std::string> want = contents(expected);
        EXPECT_GT(want.size(), 15u);
        EXPECT_EQ(contents(actual), want);
        sqlite3_close(expected);
        sqlite3_close(actual);

        // The next open finds the current format.
        alerts.asked.clear();
        EXPECT_EQ(cv::SQLDatabase3(path).setup(), Result::Current);
        EXPECT_TRUE(alerts.asked.empty());
    }
}

TEST_F(SQLite2Upgrade, KeepsTheStoredTypesAndTextsOfTheOldRows)
{
    writeWorkingCopy(fixture("small"));
    cv::SQLDatabase3 db(path);
    ASSERT_EQ(db.setup(), Result::Upgraded);
    ASSERT_TRUE(db.open());
    struct Case {
        const char *query;
        const char *value; // nullptr: NULL
        int type;
    };
    const Case cases[] = {
        {"SELECT memo FROM ActualTable WHERE id = -5", "negative rowid", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 2147483647", "largest rowid", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 2", nullptr, SQLITE_NULL},
        {"SELECT memo FROM ActualTable WHERE id = 3", "", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 4", "it's a 'quoted' memo", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 6", "0x10", SQLITE_TEXT},
        // A FLOAT column gives the new library's affinity a say, as it would
        // have had loading the old shell's dump.
        {"SELECT value FROM ActualTable WHERE id = 7", "1.0", SQLITE_FLOAT},
        {"SELECT converted FROM ActualTable WHERE id = 9", "-", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 7", " 12", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 8", "食費（スーパー）", SQLITE_TEXT},
        {"SELECT memo FROM ActualTable WHERE id = 10", "line1\nline2", SQLITE_TEXT},
        {"SELECT value FROM ActualTable WHERE id = 6", "100000.0", SQLITE_FLOAT},
        {"SELECT value FROM ActualTable WHERE id = 1", "1200.0", SQLITE_FLOAT},
        {"SELECT brand FROM PriceTable WHERE value = 1520.0 AND brand IS NULL", nullptr, SQLITE_NULL},
        {"SELECT data FROM LoanTable WHERE id = -1", "7", SQLITE_TEXT},
        {"SELECT data FROM LoanTable WHERE id = 15", "'", SQLITE_TEXT},
        {"SELECT data FROM LoanTable WHERE id = 16", "a''b", SQLITE_TEXT},
        {"SELECT count(*) FROM ActualTable", "12", SQLITE_INTEGER},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.query);
        cv::SQLResultPtr r = db.performQuery(QString::fromUtf8(c.query));
        ASSERT_TRUE(r);
        ASSERT_EQ(r->rowCount(), 1);
        const cv::SQLRow row = r->rowAtIndex(0);
        if (c.value) {
            EXPECT_EQ(row.stringForColumnAtIndex(0), QString::fromUtf8(c.value));
        } else {
            EXPECT_TRUE(row.stringForColumnAtIndex(0).isNull());
        }
        cv::SQLResultPtr t = db.performQuery(QString::fromUtf8(c.query).replace(
            QRegularExpression(QStringLiteral("^SELECT (\\S+)")), QStringLiteral("SELECT typeof(\\1)")));
        ASSERT_TRUE(t);
        const char *names[] = {"", "integer", "real", "text", "blob", "null"};
        EXPECT_EQ(t->rowAtIndex(0).stringForColumnAtIndex(0), QLatin1String(names[c.type]));
    }
}

TEST_F(SQLite2Upgrade, ReadsBothByteOrdersAndRecordsOfEveryOffsetWidth)
{
    const QByteArray huge(70000, 'x');
    std::vector<sqlite2test::Row> rows;
    for (int i = 0; i < 400; ++i)
        rows.push_back(
            {i * 3 - 600, {std::nullopt, QByteArray::number(i), i % 50 == 0 ? huge : QByteArray(i % 300, 'm')}});
    const std::vector<sqlite2test::Object> objects{
        {"table", "t", QByteArray("CREATE TABLE t ( id INTEGER PRIMARY KEY, n INTEGER, memo TEXT )"), rows},
        {"index", "t_n", QByteArray("CREATE INDEX t_n ON t ( n )"), {}},
    };
    QByteArray dumps[2];
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        const QByteArray file = sqlite2test::Writer(bigEndian).write(objects);
        cv::SQLite2Reader reader(file);
        const std::optional<QByteArray> dump = reader.dump();
        ASSERT_TRUE(dump) << reader.error().toStdString();
        dumps[bigEndian] = *dump;
        writeWorkingCopy(file);
        cv::SQLDatabase3 db(path);
        ASSERT_EQ(db.setup(), Result::Upgraded);
        ASSERT_TRUE(db.open());
        cv::SQLResultPtr r =
            db.performQuery(QStringLiteral("SELECT count(*), sum(length(memo)), min(id), max(id) FROM t"));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->rowAtIndex(0).description(), QStringLiteral("400 | %1 | -600 | 597").arg(8 * 70000 + [] {
            int s = 0;
            for (int i = 0; i < 400; ++i)
                if (i % 50) s += i % 300;
            return s;
        }()));
    }
    EXPECT_EQ(dumps[0], dumps[1]);
}

TEST_F(SQLite2Upgrade, RefusesWhatItCannotUpgradeCompletelyAndSaysWhy)
{
    QByteArray damaged = fixture("small");
    damaged[2 * 1024 + 4] = char(0x04); // the schema root's first cell moved into the page header
    damaged[2 * 1024 + 5] = char(0x00);
    QByteArray header = fixture("small").left(1024 * 3);
    struct Case {
        const char *what;
        QByteArray file;
        Result result;
        const char *alert; // nullptr: none
        bool upgradeMessage;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"current format", QByteArray("SQLite format 3", 16) + QByteArray(4080, '\0'), Result::Current, nullptr, false},
        {"empty working copy", QByteArray(), Result::Current, "CrashedDataLoadMessage", false},
        {"damaged old database", damaged, Result::Unusable, "UpgradeAlertDamaged", true},
        {"truncated old database", header, Result::Unusable, "UpgradeAlertDamaged", true},
        {"neither format", QByteArray("hello"), Result::Unusable, "UpgradeAlertDamaged", true},
        {"schema that attaches a file",
         sqlite2test::Writer().write({{"table", "t",
                                       QByteArray("CREATE TABLE t ( a ); ATTACH 'elsewhere.db' AS x; CREATE TABLE "
                                                  "x.t ( a )"),
                                       {}}}),
         Result::Unusable, "UpgradeAlertFailed", true},
        {"schema the new library rejects",
         sqlite2test::Writer().write({{"table", "t", QByteArray("CREATE TABLE t ( a, a )"), {}}}), Result::Unusable,
         "UpgradeAlertFailed", true},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        alerts.asked.clear();
        QDir(tmp.path()).removeRecursively();
        QDir().mkpath(tmp.path());
        writeWorkingCopy(c.file);
        EXPECT_EQ(cv::SQLDatabase3(path).setup(), c.result);
        QStringList want;
        if (c.upgradeMessage) want << text("UpgradeAlertMessage");
        if (c.alert) want << text(c.alert);
        EXPECT_EQ(messages(), want);
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".v2")));
        EXPECT_FALSE(QFile::exists(tmp.filePath(QStringLiteral("elsewhere.db"))));
        // A file it could not read stays as it was; a failed load leaves nothing.
        if (c.result == Result::Unusable && QByteArrayView(c.alert) == "UpgradeAlertDamaged") {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), c.file);
        } else if (c.result == Result::Unusable) {
            EXPECT_FALSE(QFile::exists(path));
        }
    }
}
