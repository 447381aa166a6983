#pragma once
// A thin layer over the SQLite 3 C API: one connection, whole-table results,
// and a streamed typed read for bulk work. Statements are texts; text values
// travel as bound parameters ("?"), so a quote or a NUL in a memo can neither
// break nor truncate a statement.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <QHash>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace cv {

class SQLResult;

// Stored text as the reads answer it: UTF-8, or Latin-1 where the bytes are not
// UTF-8, so nothing is dropped.
QString decodeStoredText(QByteArrayView bytes);

// One row of a result. Cheap to copy; it keeps its result's data alive.
class SQLRow {
public:
    SQLRow() = default;

    bool valid() const;
    int columnCount() const;

    // The value decoded as UTF-8 (bytes that are not UTF-8 decode as Latin-1,
    // so nothing is dropped). A null QString for an index outside the row or a
    // SQL NULL.
    QString stringForColumnAtIndex(int index) const;
    // The raw bytes, without decoding; valid while the row or its result lives.
    QByteArrayView stringForColumnAtIndexNoCopy(int index) const;
    QString stringForColumn(QByteArrayView name) const;
    QString nameOfColumnAtIndex(int index) const;

    // Numbers read from the value's text; 0 for NULL, a missing column or text
    // that does not begin with a number.
    int intForColumnAtIndex(int index) const;
    qint64 int64ForColumnAtIndex(int index) const;
    double doubleForColumnAtIndex(int index) const;

    // The values joined by " | ".
    QString description() const;

private:
    friend class SQLResult;
    friend class SQLDatabase3;
    struct Data;
    SQLRow(std::shared_ptr<const Data> data, int row) : m_data(std::move(data)), m_row(row) {}
    std::optional<QByteArrayView> cell(int index) const;

    std::shared_ptr<const Data> m_data; // the result's table, shared by its rows
    int m_row = -1;                     // index into it; -1: an invalid row
};

// The whole result table of one statement text: column names, then the values
// row after row. It owns its strings.
class SQLResult {
public:
    int rowCount() const;
    int columnCount() const;
    // An invalid row for an index outside 0 .. rowCount() - 1.
    SQLRow rowAtIndex(int index) const;

private:
    friend class SQLDatabase3;
    SQLResult();
    std::shared_ptr<SQLRow::Data> m_data; // the table, shared with the rows handed out
};

using SQLResultPtr = std::unique_ptr<SQLResult>;

// The current row of a streamed statement, read in the stored types: no value
// is printed to text and parsed back. Valid only inside the visit.
class SQLCursor {
public:
    int columnCount() const { return m_columns; }
    // As SQLRow answers them: 0 for NULL, a missing column, text that does
    // not begin with a number, or a number outside the type's range.
    int intForColumnAtIndex(int index) const;
    qint64 int64ForColumnAtIndex(int index) const;
    double doubleForColumnAtIndex(int index) const;
    // The value when the column holds an integer within int's range, else
    // none: what "column=<integer>" can find.
    std::optional<int> exactIntForColumnAtIndex(int index) const;
    // Exactly as SQLRow answers it: a real read back from its 15-digit text,
    // which drops what lies beyond the fifteenth digit.
    double rowDoubleForColumnAtIndex(int index) const;
    // Decoded as SQLRow decodes it; a null QString for NULL.
    QString stringForColumnAtIndex(int index) const;

private:
    friend class SQLDatabase3;
    SQLCursor(sqlite3_stmt *statement, int columns) : m_statement(statement), m_columns(columns) {}
    sqlite3_stmt *m_statement; // the statement being stepped; the database owns it
    int m_columns;             // its column count
};

// A value for a "?" parameter of a kept statement: an integer or a text
// (bound as UTF-8). A real travels as its stored text under "CAST(? AS REAL)",
// so SQLite reads the same digits it would read from a literal.
class SQLValue {
public:
    static SQLValue integer(qint64 value) { return SQLValue(value); }
    static SQLValue text(const QString &value) { return SQLValue(value.toUtf8()); }
    // The text cv::formatFixed(value, decimals) gives, made without a QString.
    static SQLValue fixed(double value, int decimals);

private:
    friend class SQLDatabase3;
    explicit SQLValue(qint64 value) : m_integer(value), m_isText(false) {}
    explicit SQLValue(QByteArray utf8) : m_text(std::move(utf8)), m_isText(true) {}
    qint64 m_integer = 0; // the integer, unless a text
    QByteArray m_text;    // the text as UTF-8
    bool m_isText;        // which of the two is bound
};

class SQLDatabase3 {
public:
    explicit SQLDatabase3(const QString &path = QString());
    ~SQLDatabase3();
    SQLDatabase3(const SQLDatabase3 &) = delete;
    SQLDatabase3 &operator=(const SQLDatabase3 &) = delete;

    const QString &path() const { return m_path; }
    bool isOpen() const { return m_database != nullptr; }

    // Opens (creating the file when missing); true when already open. The file
    // is treated as untrusted: defensive mode, no trusted schema, no triggers
    // or views, rollback journal (WAL only through `setSnapshotReads`).
    bool open();
    // Commits a transaction left open, then closes.
    void close();

    // Asked first whenever another connection holds the store this one must
    // write: answers true once it made that reader let go, and the write goes
    // on at once. Anything else holding the store is waited for up to 10 s.
    // Kept across close and open.
    void setBusyYield(std::function<bool()> yield) { m_busyYield = std::move(yield); }

    // While on, the store's writes go to a log beside the file (WAL), so a
    // reader on another connection reads the store as its read began and no
    // write waits for it. The file alone holds the store only once it is off
    // again: turning it off folds the log into the file. Where the folder
    // cannot keep the log's index, turning it on answers false with the store
    // back on its rollback journal. Answers whether the store is now as asked.
    bool setSnapshotReads(bool on);
    // Statements run on every connection opened (settings SQLite keeps per
    // connection); set before `open`.
    void setConnectionSetup(const QString &sql) { m_connectionSetup = sql; }
    // Copies the store as this connection reads it, log included, into a new
    // database file at `path` in rollback form, readable by its owner alone;
    // false (the copy removed) when it cannot be written. `notMade` gets the
    // system's error where the file itself could not be made (0 otherwise).
    bool copyTo(const QString &path, int *notMade = nullptr);

    // Whether the header of the database file at `path` says its writes go
    // to a log beside it.
    static bool headerSaysLog(const QString &path);
    // Sets that header back to the rollback journal; only for a file that
    // no connection holds and that has no log beside it.
    static bool setRollbackHeader(const QString &path);

    // Tests: while on, every fold of the log fails, leaving log and store as
    // they are.
    static void setFoldRefusedForTests(bool refused);
    // Tests: how long a statement waits for a store another connection holds
    // (10 s otherwise).
    static void setBusyWaitForTests(std::chrono::milliseconds wait);

    // Runs every statement of the text in turn, binding `texts` to the "?"
    // parameters in order across the statements. The result holds the rows of
    // the statements that return rows. Null when closed or when a statement
    // fails (logged; the statements before it have run).
    SQLResultPtr performQuery(const QString &sql, const QStringList &texts = {});

    // Runs one statement and hands each row to `visit` as it is stepped,
    // without building a table. The statement is prepared once and kept for
    // the next call with the same text. False when closed or when the
    // statement fails (logged; rows already visited stay visited).
    bool forEachRow(const QString &sql, const std::function<void(const SQLCursor &)> &visit,
                    const QStringList &texts = {});

    // Runs one statement that returns no rows with `values` bound to its "?"
    // parameters in order. The statement is prepared once and kept for the
    // next call with the same text (bulk writes would otherwise compile one
    // statement per row). False when closed, when the values do not match the
    // parameters or when the statement fails (logged).
    bool execute(const QString &sql, std::span<const SQLValue> values);

    // For scans whose per-row cost matters (SQLSteps.h): the kept statement of
    // the text, reset and ready to step (null when closed or it does not
    // prepare, logged), a cursor over it, and the log line of a failed step.
    sqlite3_stmt *keptStatement(const QString &sql) { return m_database ? cachedStatement(sql) : nullptr; }
    static SQLCursor cursorOf(sqlite3_stmt *statement);
    bool stepFailed(const QString &sql, int code) const;

    qint64 lastRowInserted() const;
    // Rows written by the last INSERT, UPDATE or DELETE.
    qint64 changes() const;

    // Nested transactions count; only the outermost begins and commits. A
    // transaction is all or nothing: once a write in it fails, a BEGIN fails,
    // a level is rolled back or SQLite ends it by itself (a full disk, an I/O
    // error), every further write is refused until the outermost end, which
    // rolls back and answers false. Reads still answer. `beginTransaction`
    // answers false only when closed (nothing begun); a failed BEGIN still
    // counts, so every begin is ended.
    bool beginTransaction();
    bool commitTransaction();
    void rollbackTransaction();
    int transactionDepth() const { return m_transactionDepth; }
    // The primary result code of the first write (a COMMIT among them) that
    // failed since the last clear; SQLITE_OK when none did. It names the
    // cause to the user: SQLITE_FULL, SQLITE_BUSY.
    int firstFailure() const { return m_firstFailure; }
    void clearFailure() { m_firstFailure = 0; }

    // Looks at the file at the path before it is opened and turns an SQLite 2
    // database of the previous format into an SQLite 3 one at the same path,
    // all rows or none. The user is told through Alert.
    enum class SetupResult {
        Current,  // an SQLite 3 database (or an empty file): nothing to do
        Upgraded, // an old database, turned into the current format
        Unusable, // unreadable, damaged or not upgraded: the document cannot be opened
    };
    SetupResult setup();

private:
    bool openConnection(bool withoutLogIndex);
    bool configureConnection(bool withoutLogIndex);
    bool leaveLog();
    static int busyWait(void *self, int tries);
    sqlite3_stmt *cachedStatement(const QString &sql);
    bool refusesWrite(sqlite3_stmt *statement, const QString &sql);
    void noteFailedWrite(sqlite3_stmt *statement, int code);
    void noteFailure(int code);
    void finalizeStatements();

    sqlite3 *m_database = nullptr;                     // the connection, owned; null while closed
    QHash<QString, sqlite3_stmt *> m_statements;       // kept statements by their text, owned; finalized on close
    QString m_path;                                    // the database file
    QString m_connectionSetup;                         // run on every connection opened
    int m_transactionDepth = 0;                        // nested transactions open; the outermost is SQLite's
    bool m_transactionFailed = false;                  // writes refused; the outermost end rolls back
    int m_firstFailure = 0;                            // the first failed write's primary result code
    std::function<bool()> m_busyYield;                 // makes a reader of the store let go; may be empty
    std::chrono::steady_clock::time_point m_busySince; // when the present wait for the store began
};

// Begins a transaction and commits it when it goes out of scope (rolls back
// when rollback() was called). Bulk work runs inside one.
class SQLTransaction {
public:
    explicit SQLTransaction(SQLDatabase3 *db);
    ~SQLTransaction();
    SQLTransaction(const SQLTransaction &) = delete;
    SQLTransaction &operator=(const SQLTransaction &) = delete;
    void rollback();

private:
    SQLDatabase3 *m_db;    // not owned; outlives the transaction
    bool m_active = false; // begun and not yet ended
};

} // namespace cv
