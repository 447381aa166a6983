#include "document/store/SQLDatabase3.h"

#include "document/store/SQLite2Reader.h"
#include "platform/Alert.h"
#include "platform/Localization.h"
#include "platform/Logging.h"
#include "platform/NumberText.h"

#include <QFile>
#include <QStringDecoder>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cerrno>
#include <cstring>
#include <limits>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

SQLValue SQLValue::fixed(double value, int decimals)
{
    // Room for the 309 integer digits of the largest double and the decimals.
    char buf[400];
    if (decimals >= 0 && decimals <= 60) {
        const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
        if (res.ec == std::errc()) return SQLValue(QByteArray(buf, res.ptr - buf));
    }
    return text(cv::formatFixed(value, decimals));
}

struct SQLRow::Data {
    // Column names first, then the values row after row, all in one buffer
    // (an allocation per cell cost more than the query); a length of -1 is NULL.
    struct Cell {
        qsizetype start = 0;
        qsizetype length = -1;
    };
    QByteArray bytes;
    std::vector<Cell> cells;
    int rows = 0;
    int columns = 0;

    void append(const char *data, qsizetype length)
    {
        cells.push_back({bytes.size(), length});
        bytes.append(data, length);
    }
    void appendNull() { cells.push_back({bytes.size(), -1}); }
    std::optional<QByteArrayView> view(size_t index) const
    {
        const Cell &c = cells[index];
        if (c.length < 0) return std::nullopt;
        return QByteArrayView(bytes.constData() + c.start, c.length);
    }
};

QString decodeStoredText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) return QString::fromLatin1(bytes);
    return text;
}

namespace {

template <class T> T parseInteger(const char *p, const char *end)
{
    while (p < end && *p == ' ') ++p;
    if (p < end && *p == '+') ++p;
    T value = 0;
    auto [ptr, ec] = std::from_chars(p, end, value);
    if (ec == std::errc()) {
        // A real in an integer column ("12.0", "1e3") reads by its value;
        // one outside the range is 0, not its leading digits.
        if (ptr < end && (*ptr == '.' || *ptr == 'e' || *ptr == 'E')) {
            double d = 0;
            if (std::from_chars(p, end, d).ec == std::errc())
                return d >= double(std::numeric_limits<T>::min()) && d <= double(std::numeric_limits<T>::max()) ? T(d)
                                                                                                                : 0;
        }
        return value;
    }
    double d = 0;
    if (std::from_chars(p, end, d).ec == std::errc() && d >= double(std::numeric_limits<T>::min()) &&
        d <= double(std::numeric_limits<T>::max()))
        return T(d);
    return 0;
}

template <class T> T parseInteger(const std::optional<QByteArrayView> &cell)
{
    if (!cell || cell->isEmpty()) return 0;
    return parseInteger<T>(cell->data(), cell->data() + cell->size());
}

double parseDouble(const char *p, const char *end)
{
    while (p < end && *p == ' ') ++p;
    if (p < end && *p == '+') ++p;
    double value = 0;
    if (std::from_chars(p, end, value).ec != std::errc()) return 0;
    return value;
}

// The typed reads answer what the text of the value would parse to, so the
// streamed and the tabled reads agree. The column's value is read through
// once; the connection is used by one thread only, which is all an
// unprotected value asks.
template <class T> T typedInteger(sqlite3_stmt *stmt, int index, int columns)
{
    if (index < 0 || index >= columns) return 0;
    sqlite3_value *value = sqlite3_column_value(stmt, index);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_value_int64(value);
        return v >= std::numeric_limits<T>::min() && v <= std::numeric_limits<T>::max() ? T(v) : 0;
    }
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(value);
        return d >= double(std::numeric_limits<T>::min()) && d <= double(std::numeric_limits<T>::max()) ? T(d) : 0;
    }
    case SQLITE_NULL: return 0;
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return p ? parseInteger<T>(p, p + sqlite3_value_bytes(value)) : 0;
    }
    }
}

} // namespace

// ---------------------------------------------------------------- SQLRow

std::optional<QByteArrayView> SQLRow::cell(int index) const
{
    if (!valid() || index < 0 || index >= m_data->columns) return std::nullopt;
    return m_data->view(size_t(m_row + 1) * size_t(m_data->columns) + size_t(index));
}

bool SQLRow::valid() const
{
    return m_data && m_data->columns > 0 && m_row >= 0 && m_row < m_data->rows;
}

int SQLRow::columnCount() const
{
    return m_data ? m_data->columns : 0;
}

QString SQLRow::stringForColumnAtIndex(int index) const
{
    const auto c = cell(index);
    return c ? decodeStoredText(*c) : QString();
}

QByteArrayView SQLRow::stringForColumnAtIndexNoCopy(int index) const
{
    return cell(index).value_or(QByteArrayView());
}

QString SQLRow::stringForColumn(QByteArrayView name) const
{
    if (!valid()) return QString();
    for (int i = 0; i < m_data->columns; ++i) {
        if (m_data->view(size_t(i)).value_or(QByteArrayView()) == name) return stringForColumnAtIndex(i);
    }
    return QString();
}

QString SQLRow::nameOfColumnAtIndex(int index) const
{
    if (!valid() || index < 0 || index >= m_data->columns) return QString();
    return decodeStoredText(m_data->view(size_t(index)).value_or(QByteArrayView()));
}

int SQLRow::intForColumnAtIndex(int index) const
{
    return parseInteger<int>(cell(index));
}

qint64 SQLRow::int64ForColumnAtIndex(int index) const
{
    return parseInteger<qint64>(cell(index));
}

double SQLRow::doubleForColumnAtIndex(int index) const
{
    const auto c = cell(index);
    if (!c || c->isEmpty()) return 0;
    return parseDouble(c->data(), c->data() + c->size());
}

QString SQLRow::description() const
{
    QStringList values;
    for (int i = 0; i < columnCount(); ++i) values << stringForColumnAtIndex(i);
    return values.join(QStringLiteral(" | "));
}

// ---------------------------------------------------------------- SQLCursor

int SQLCursor::intForColumnAtIndex(int index) const
{
    return typedInteger<int>(m_statement, index, m_columns);
}

qint64 SQLCursor::int64ForColumnAtIndex(int index) const
{
    return typedInteger<qint64>(m_statement, index, m_columns);
}

double SQLCursor::doubleForColumnAtIndex(int index) const
{
    if (index < 0 || index >= m_columns) return 0;
    sqlite3_value *value = sqlite3_column_value(m_statement, index);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_value_double(value);
    case SQLITE_NULL: return 0;
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return p ? parseDouble(p, p + sqlite3_value_bytes(value)) : 0;
    }
    }
}

std::optional<int> SQLCursor::exactIntForColumnAtIndex(int index) const
{
    if (index < 0 || index >= m_columns) return std::nullopt;
    sqlite3_value *value = sqlite3_column_value(m_statement, index);
    if (sqlite3_value_type(value) != SQLITE_INTEGER) return std::nullopt;
    const sqlite3_int64 v = sqlite3_value_int64(value);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return std::nullopt;
    return int(v);
}

double SQLCursor::rowDoubleForColumnAtIndex(int index) const
{
    if (index < 0 || index >= m_columns) return 0;
    sqlite3_value *value = sqlite3_column_value(m_statement, index);
    if (sqlite3_value_type(value) != SQLITE_FLOAT) return doubleForColumnAtIndex(index);
    // A value whose shortest form has at most fifteen digits comes back
    // unchanged from its fifteen-digit text; printing that text is the cost
    // this read exists to avoid.
    const double v = sqlite3_value_double(value);
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, v);
    if (error == std::errc()) {
        int digits = 0;
        int zeros = 0; // trailing zeros of the digits seen so far
        bool leading = true;
        for (const char *p = text; p < end && *p != 'e'; ++p) {
            if (*p < '0' || *p > '9') continue;
            if (*p == '0' && leading) continue;
            leading = false;
            ++digits;
            zeros = *p == '0' ? zeros + 1 : 0;
        }
        if (digits - zeros <= 15) return v;
    }
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, index));
    return p ? parseDouble(p, p + sqlite3_column_bytes(m_statement, index)) : 0;
}

QString SQLCursor::stringForColumnAtIndex(int index) const
{
    if (index < 0 || index >= m_columns) return QString();
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, index));
    if (!p) return QString();
    return decodeStoredText(QByteArrayView(p, sqlite3_column_bytes(m_statement, index)));
}

// ---------------------------------------------------------------- SQLResult

SQLResult::SQLResult() : m_data(std::make_shared<SQLRow::Data>()) {}

int SQLResult::rowCount() const
{
    return m_data->rows;
}

int SQLResult::columnCount() const
{
    return m_data->columns;
}

SQLRow SQLResult::rowAtIndex(int index) const
{
    if (index < 0 || index >= m_data->rows) return SQLRow();
    return SQLRow(m_data, index);
}

// ---------------------------------------------------------------- SQLDatabase3

SQLDatabase3::SQLDatabase3(const QString &path) : m_path(path) {}

SQLDatabase3::~SQLDatabase3()
{
    close();
}

bool SQLDatabase3::open()
{
    return openConnection(false);
}

bool SQLDatabase3::openConnection(bool withoutLogIndex)
{
    if (m_database) return true;
    if (m_path.isEmpty()) return false;
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(m_path);
    // One connection per document, used from the main thread only: the
    // library's per-call locking would cost on every column read.
    int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        qCWarning(lcDocument, "Database3 open failed: %d", rc);
        sqlite3_close(db);
        return false;
    }
    m_database = db;
    // sqlite3_open is lazy: read the schema now so that a file that is no
    // database fails here and not at the first statement.
    if (!configureConnection(withoutLogIndex) || !performQuery(QStringLiteral("SELECT count(*) FROM sqlite_master;"))) {
        qCWarning(lcDocument, "Database3 open failed: %d", sqlite3_errcode(m_database));
        sqlite3_close(m_database);
        m_database = nullptr;
        return false;
    }
    if (!m_connectionSetup.isEmpty()) performQuery(m_connectionSetup);
    qCDebug(lcDocument) << "opened v3 database:" << m_path << "to db object:" << static_cast<void *>(m_database);
    return true;
}

namespace {

std::atomic<bool> g_foldRefusedForTests{false};
std::atomic<std::chrono::milliseconds> g_busyWait{std::chrono::seconds(10)};

// Runs a journal_mode pragma: SQLITE_OK when the store answers `wanted`.
int journalMode(sqlite3 *db, const char *sql, const char *wanted)
{
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(statement);
    const bool done =
        rc == SQLITE_ROW && std::strcmp(wanted, reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))) == 0;
    sqlite3_finalize(statement);
    return done ? SQLITE_OK : rc == SQLITE_ROW ? SQLITE_ERROR : rc;
}

} // namespace

bool SQLDatabase3::configureConnection(bool withoutLogIndex)
{
    // The document file comes from outside: no schema-defined code runs with
    // the program's trust.
    sqlite3_db_config(m_database, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_database, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_database, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(m_database, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(m_database, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_busy_handler(m_database, &SQLDatabase3::busyWait, this);
    // Holding the file alone from the first read, SQLite keeps a log's index
    // in its own memory, never in the file beside that a folder may refuse.
    if (withoutLogIndex) sqlite3_exec(m_database, "PRAGMA locking_mode=EXCLUSIVE;", nullptr, nullptr, nullptr);
    // The working copy is packed as one file on save: no WAL side files.
    const int rc = journalMode(m_database, "PRAGMA journal_mode=DELETE;", "delete");
    if (!withoutLogIndex) return true;
    // Let go at the next read.
    sqlite3_exec(m_database, "PRAGMA locking_mode=NORMAL;", nullptr, nullptr, nullptr);
    return rc == SQLITE_OK;
}

bool SQLDatabase3::setSnapshotReads(bool on)
{
    if (!m_database) return false;
    if (!on) return leaveLog();
    if (journalMode(m_database, "PRAGMA journal_mode=WAL;", "wal") != SQLITE_OK) return false;
    // The log's index is laid out now, while the open has the room, not by the
    // first reader beside; a write finds a folder that cannot keep it (a mount
    // that refuses shared maps, a name taken beside the store), where a read
    // alone may not.
    if (sqlite3_exec(m_database, "BEGIN IMMEDIATE; SELECT count(*) FROM sqlite_master; COMMIT;", nullptr, nullptr,
                     nullptr) == SQLITE_OK)
        return true;
    qCWarning(lcDocument) << "the store's log cannot be kept beside" << m_path << sqlite3_errmsg(m_database);
    if (!sqlite3_get_autocommit(m_database)) sqlite3_exec(m_database, "ROLLBACK;", nullptr, nullptr, nullptr);
    leaveLog();
    return false;
}

bool SQLDatabase3::leaveLog()
{
    if (g_foldRefusedForTests) return false;
    // Leaving the log rewrites the file's header, through a journal held in
    // memory: a full disk fails the save that follows, in its own words. It
    // needs the store to itself, and SQLite asks no busy handler for that:
    // another reader is waited for as a write waits.
    int rc = SQLITE_OK;
    for (int tries = 0;; ++tries) {
        rc = journalMode(m_database, "PRAGMA journal_mode=MEMORY;", "memory");
        if (rc == SQLITE_OK) return journalMode(m_database, "PRAGMA journal_mode=DELETE;", "delete") == SQLITE_OK;
        if (tries == 0) m_busySince = std::chrono::steady_clock::now();
        if ((rc & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() - m_busySince >= std::chrono::seconds(10))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(tries + 1, 10)));
    }
    // A full disk or another reader: the log stays, whole, for a later try.
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_FULL || m_transactionDepth > 0) return false;
    // The log's index cannot be used here: the connection is made again
    // holding the file alone, which folds the log without that index.
    qCWarning(lcDocument) << "leaving the store's log without its index:" << m_path << sqlite3_errstr(rc);
    close();
    if (openConnection(true)) return true;
    openConnection(false);
    return false;
}

bool SQLDatabase3::copyTo(const QString &path, int *notMade)
{
    if (notMade) *notMade = 0;
    if (!m_database) return false;
    // The copy is the whole store: a file of this program's own making,
    // private as the working copy, made before SQLite opens it, so a link or
    // a file put at its name is never written through.
    const QByteArray name = QFile::encodeName(path);
    const int flags = O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(name.constData(), flags, 0600);
    // Our own name and pid: a stopped save's that had the same pid. What may
    // not be removed (another's, in a sticky folder) stands in the way.
    if (fd < 0 && errno == EEXIST) {
        if (::unlink(name.constData()) == 0)
            fd = ::open(name.constData(), flags, 0600);
        else
            errno = EEXIST;
    }
    struct stat made {};
    if (fd < 0 || ::fchmod(fd, 0600) != 0 || ::fstat(fd, &made) != 0) {
        const int error = errno;
        qCWarning(lcDocument) << "the store's copy could not be made at" << path << strerror(error);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(name.constData());
        }
        if (notMade) *notMade = error;
        return false;
    }
    const auto ours = [&] {
        struct stat now {};
        return ::lstat(name.constData(), &now) == 0 && now.st_dev == made.st_dev && now.st_ino == made.st_ino;
    };
    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(name.constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX, nullptr);
    ::close(fd);
    // Another file put in its place meanwhile (a folder others may write) is not written.
    if (rc == SQLITE_OK && !ours()) {
        qCWarning(lcDocument) << "the store's copy was replaced before it was written:" << path;
        if (notMade) *notMade = EEXIST;
        sqlite3_close(copy);
        return false;
    }
    // A copy that fails is removed whole: no journal of its own.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(copy, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", m_database, "main");
        rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(copy);
        if (backup && sqlite3_backup_finish(backup) != SQLITE_OK && rc == SQLITE_DONE) rc = sqlite3_errcode(copy);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) qCWarning(lcDocument) << "the store could not be copied to" << path << sqlite3_errstr(rc);
    if (sqlite3_close(copy) != SQLITE_OK && rc == SQLITE_OK) rc = SQLITE_IOERR;
    if (rc == SQLITE_OK && ours() && setRollbackHeader(path)) return true;
    if (ours()) ::unlink(name.constData());
    return false;
}

namespace {

constexpr qint64 kVersionBytes = 18; // the header's write and read versions: 1 rollback, 2 log

} // namespace

bool SQLDatabase3::headerSaysLog(const QString &path)
{
    QFile file(path);
    char versions[2] = {};
    return file.open(QIODevice::ReadOnly) && file.seek(kVersionBytes) && file.read(versions, 2) == 2 &&
           (versions[0] == 2 || versions[1] == 2);
}

bool SQLDatabase3::setRollbackHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    const QByteArray header = file.read(20);
    if (header.size() < 20 || !header.startsWith(QByteArray("SQLite format 3\0", 16))) return false;
    if (header[18] != 2 && header[19] != 2) return true;
    return file.seek(kVersionBytes) && file.write("\1\1", 2) == 2 && file.flush();
}

void SQLDatabase3::setFoldRefusedForTests(bool refused)
{
    g_foldRefusedForTests = refused;
}

void SQLDatabase3::setBusyWaitForTests(std::chrono::milliseconds wait)
{
    g_busyWait = wait;
}

int SQLDatabase3::busyWait(void *self, int tries)
{
    auto *db = static_cast<SQLDatabase3 *>(self);
    const auto now = std::chrono::steady_clock::now();
    if (tries == 0) db->m_busySince = now;
    // The store check reads beside this connection: it steps aside, so an
    // edit never waits for it.
    if (db->m_busyYield && db->m_busyYield()) return 1;
    if (now - db->m_busySince >= g_busyWait.load()) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(tries + 1, 10)));
    return 1;
}

void SQLDatabase3::close()
{
    if (!m_database) return;
    if (m_transactionDepth > 0) {
        m_transactionDepth = 1;
        commitTransaction();
    }
    finalizeStatements();
    qCDebug(lcDocument) << "closing database:" << static_cast<void *>(m_database);
    sqlite3_close_v2(m_database);
    m_database = nullptr;
}

SQLResultPtr SQLDatabase3::performQuery(const QString &sql, const QStringList &texts)
{
    if (!m_database) return nullptr;
    const QByteArray text = sql.toUtf8();
    const char *tail = text.constData();
    const char *end = tail + text.size();
    SQLResultPtr result(new SQLResult);
    SQLRow::Data &data = *result->m_data;
    int nextText = 0;
    int rc = SQLITE_OK;

    auto fail = [&](int code) {
        qCWarning(lcDocument).noquote() << "could not getTable for query:" << sql << ", result:" << code
                                        << sqlite3_errmsg(m_database);
        return SQLResultPtr();
    };

    while (tail < end) {
        sqlite3_stmt *stmt = nullptr;
        const char *next = nullptr;
        rc = sqlite3_prepare_v2(m_database, tail, int(end - tail), &stmt, &next);
        if (rc != SQLITE_OK) return fail(rc);
        tail = next;
        if (!stmt) continue; // blank text or a lone ";"
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(stmt, sqlite3_finalize);
        if (m_transactionDepth > 0 && refusesWrite(stmt, sql)) return nullptr;

        const int params = sqlite3_bind_parameter_count(stmt);
        for (int p = 1; p <= params; ++p) {
            if (nextText >= texts.size()) return fail(SQLITE_RANGE);
            const QByteArray value = texts.at(nextText++).toUtf8();
            rc = sqlite3_bind_text(stmt, p, value.constData(), int(value.size()), SQLITE_TRANSIENT);
            if (rc != SQLITE_OK) return fail(rc);
        }

        const int columns = sqlite3_column_count(stmt);
        bool named = columns == 0 || data.columns > 0;
        if (columns > 0 && data.columns > 0 && columns != data.columns) return fail(SQLITE_ERROR);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!named) {
                data.columns = columns;
                for (int c = 0; c < columns; ++c) {
                    const char *name = sqlite3_column_name(stmt, c);
                    data.append(name, name ? qsizetype(std::strlen(name)) : 0);
                }
                named = true;
            }
            for (int c = 0; c < columns; ++c) {
                // The text SQLite would print for an integer ("%lld"), without its printf.
                if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                    char digits[24];
                    const auto end = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(stmt, c)).ptr;
                    data.append(digits, end - digits);
                    continue;
                }
                const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                if (bytes)
                    data.append(bytes, sqlite3_column_bytes(stmt, c));
                else
                    data.appendNull();
            }
            ++data.rows;
        }
        if (rc != SQLITE_DONE) {
            noteFailedWrite(stmt, rc);
            return fail(rc);
        }
    }
    return result;
}

sqlite3_stmt *SQLDatabase3::cachedStatement(const QString &sql)
{
    // Every caller binds all the parameters again: no clearing of the last ones.
    if (sqlite3_stmt *stmt = m_statements.value(sql)) {
        sqlite3_reset(stmt);
        return stmt;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    const int rc =
        sqlite3_prepare_v3(m_database, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK || !stmt) {
        qCWarning(lcDocument).noquote() << "could not prepare query:" << sql << ", result:" << rc
                                        << sqlite3_errmsg(m_database);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    // One statement only: a second one in the text would silently not run.
    for (const char *p = tail; p && *p; ++p) {
        if (*p != ' ' && *p != ';' && *p != '\n' && *p != '\t' && *p != '\r') {
            qCWarning(lcDocument).noquote() << "more than one statement in streamed query:" << sql;
            sqlite3_finalize(stmt);
            return nullptr;
        }
    }
    m_statements.insert(sql, stmt);
    return stmt;
}

void SQLDatabase3::finalizeStatements()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements)) sqlite3_finalize(stmt);
    m_statements.clear();
}

bool SQLDatabase3::forEachRow(const QString &sql, const std::function<void(const SQLCursor &)> &visit,
                              const QStringList &texts)
{
    if (!m_database) return false;
    sqlite3_stmt *stmt = cachedStatement(sql);
    if (!stmt || (m_transactionDepth > 0 && refusesWrite(stmt, sql))) return false;
    // Reset on every way out, so the kept statement holds no read lock.
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> reset(stmt, sqlite3_reset);
    auto fail = [&](int code) {
        qCWarning(lcDocument).noquote() << "could not step query:" << sql << ", result:" << code
                                        << sqlite3_errmsg(m_database);
        noteFailedWrite(stmt, code);
        return false;
    };
    const int params = sqlite3_bind_parameter_count(stmt);
    if (params > texts.size()) return fail(SQLITE_RANGE);
    for (int p = 1; p <= params; ++p) {
        const QByteArray value = texts.at(p - 1).toUtf8();
        const int rc = sqlite3_bind_text(stmt, p, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK) return fail(rc);
    }
    const SQLCursor cursor(stmt, sqlite3_column_count(stmt));
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) visit(cursor);
    if (rc != SQLITE_DONE) return fail(rc);
    return true;
}

SQLCursor SQLDatabase3::cursorOf(sqlite3_stmt *statement)
{
    return SQLCursor(statement, statement ? sqlite3_column_count(statement) : 0);
}

bool SQLDatabase3::stepFailed(const QString &sql, int code) const
{
    qCWarning(lcDocument).noquote() << "could not step query:" << sql << ", result:" << code
                                    << (m_database ? sqlite3_errmsg(m_database) : "closed");
    return false;
}

bool SQLDatabase3::execute(const QString &sql, std::span<const SQLValue> values)
{
    if (!m_database) return false;
    sqlite3_stmt *stmt = cachedStatement(sql);
    if (!stmt || (m_transactionDepth > 0 && refusesWrite(stmt, sql))) return false;
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> reset(stmt, sqlite3_reset);
    auto fail = [&](int code) {
        qCWarning(lcDocument).noquote() << "could not run statement:" << sql << ", result:" << code
                                        << sqlite3_errmsg(m_database);
        noteFailedWrite(stmt, code);
        return false;
    };
    if (sqlite3_bind_parameter_count(stmt) != int(values.size())) return fail(SQLITE_RANGE);
    for (int p = 1; p <= int(values.size()); ++p) {
        const SQLValue &value = values[size_t(p - 1)];
        const int rc = value.m_isText ? sqlite3_bind_text(stmt, p, value.m_text.constData(), int(value.m_text.size()),
                                                          SQLITE_TRANSIENT)
                                      : sqlite3_bind_int64(stmt, p, value.m_integer);
        if (rc != SQLITE_OK) return fail(rc);
    }
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) return fail(rc);
    return true;
}

qint64 SQLDatabase3::lastRowInserted() const
{
    return m_database ? sqlite3_last_insert_rowid(m_database) : 0;
}

qint64 SQLDatabase3::changes() const
{
    return m_database ? sqlite3_changes64(m_database) : 0;
}

bool SQLDatabase3::beginTransaction()
{
    if (!m_database) return false;
    if (m_transactionDepth++ > 0) return true;
    m_transactionFailed = false;
    // Without a transaction each write would commit on its own: the edit
    // then writes nothing and ends failed.
    if (!performQuery(QStringLiteral("BEGIN TRANSACTION;"))) m_transactionFailed = true;
    return true;
}

bool SQLDatabase3::commitTransaction()
{
    if (!m_database || m_transactionDepth == 0) return false;
    if (--m_transactionDepth > 0) return true;
    // SQLite ends a transaction by itself on some failures (a full disk, an
    // I/O error, no memory): nothing is left to commit or roll back then.
    if (sqlite3_get_autocommit(m_database)) {
        if (!m_transactionFailed) qCWarning(lcDocument) << "the transaction had ended before its commit";
        return false;
    }
    if (!m_transactionFailed) {
        if (performQuery(QStringLiteral("COMMIT;"))) return true;
        noteFailure(sqlite3_errcode(m_database));
    }
    if (!sqlite3_get_autocommit(m_database)) performQuery(QStringLiteral("ROLLBACK;"));
    return false;
}

bool SQLDatabase3::refusesWrite(sqlite3_stmt *statement, const QString &sql)
{
    // Once the transaction failed a write would stay though the edit is
    // rolled back: where SQLite ended the transaction, it would commit on
    // its own.
    if (sqlite3_stmt_readonly(statement)) return false;
    if (m_transactionFailed) return true; // the failure that set it was logged
    if (!sqlite3_get_autocommit(m_database)) return false;
    qCWarning(lcDocument).noquote() << "the transaction ended by itself; writes are refused until it ends, from:" << sql;
    m_transactionFailed = true;
    return true;
}

void SQLDatabase3::noteFailedWrite(sqlite3_stmt *statement, int code)
{
    const bool write = !sqlite3_stmt_readonly(statement);
    if (write || m_transactionDepth > 0) noteFailure(code);
    if (m_transactionDepth > 0 && (write || sqlite3_get_autocommit(m_database))) m_transactionFailed = true;
}

void SQLDatabase3::noteFailure(int code)
{
    if (m_firstFailure == SQLITE_OK) m_firstFailure = code & 0xff;
}

void SQLDatabase3::rollbackTransaction()
{
    if (m_transactionDepth == 0) return;
    m_transactionFailed = true;
    commitTransaction();
}

namespace {

// The statements a dump may hold. The schema texts come from the old file:
// nothing else (ATTACH, PRAGMA, VACUUM INTO) may reach the new database.
bool isDumpStatement(const char *sql)
{
    for (;;) {
        while (*sql == ' ' || *sql == '\t' || *sql == '\n' || *sql == '\r' || *sql == '\f' || *sql == '\v') ++sql;
        if (sql[0] == '-' && sql[1] == '-') {
            while (*sql && *sql != '\n') ++sql;
        } else if (sql[0] == '/' && sql[1] == '*') {
            const char *end = strstr(sql + 2, "*/");
            sql = end ? end + 2 : sql + strlen(sql);
        } else {
            break;
        }
    }
    for (const char *word : {"BEGIN", "COMMIT", "CREATE", "INSERT"}) {
        const size_t n = strlen(word);
        if (sqlite3_strnicmp(sql, word, int(n)) == 0 && !isalnum(uchar(sql[n])) && sql[n] != '_') return true;
    }
    return false;
}

int denyOutsideAccess(void *, int action, const char *, const char *, const char *, const char *)
{
    return action == SQLITE_ATTACH || action == SQLITE_DETACH || action == SQLITE_PRAGMA ? SQLITE_DENY : SQLITE_OK;
}

// Executes a dump into a new database at `path`, all of it or nothing.
bool loadDump(const QString &path, const QByteArray &dump)
{
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        qCWarning(lcDocument) << "upgrade: could not create" << path << sqlite3_errmsg(db);
        sqlite3_close(db);
        return false;
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    // A copy made now is thrown away when anything fails.
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
    sqlite3_set_authorizer(db, denyOutsideAccess, nullptr);

    bool ok = true;
    const char *at = dump.constData();
    while (ok && *at) {
        sqlite3_stmt *statement = nullptr;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, at, -1, &statement, &tail) != SQLITE_OK) {
            qCWarning(lcDocument, "upgrade: statement failed: %s", sqlite3_errmsg(db));
            ok = false;
        } else if (statement && !isDumpStatement(sqlite3_sql(statement))) {
            qCWarning(lcDocument, "upgrade: the old schema holds a statement that is not allowed");
            ok = false;
        } else if (statement) {
            while (sqlite3_step(statement) == SQLITE_ROW) {}
            if (sqlite3_reset(statement) != SQLITE_OK) {
                qCWarning(lcDocument, "upgrade: statement failed: %s", sqlite3_errmsg(db));
                ok = false;
            }
        }
        sqlite3_finalize(statement);
        if (tail == at) break;
        at = tail;
    }
    // The dump is one transaction; one left open means it never committed.
    if (ok && !sqlite3_get_autocommit(db)) ok = false;
    if (!ok) sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    if (sqlite3_close(db) != SQLITE_OK) ok = false;
    if (!ok) QFile::remove(path);
    return ok;
}

void upgradeAlert(const char *messageKey)
{
    Alert::alert(cv::localizedString(QStringLiteral("UpgradeAlertTitle")), cv::localizedString(messageKey));
}

} // namespace

SQLDatabase3::SetupResult SQLDatabase3::setup()
{
    static const char header[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return SetupResult::Unusable;
    const QByteArray start = file.read(16);
    file.close();
    if (start == QByteArray(header, 16)) return SetupResult::Current;
    if (start.isEmpty()) {
        upgradeAlert("CrashedDataLoadMessage");
        return SetupResult::Current;
    }
    upgradeAlert("UpgradeAlertMessage");

    // Everything happens on the working copy; the document file is only read.
    const QString v2Path = m_path + QStringLiteral(".v2");
    if (QFile::exists(v2Path) && !QFile::remove(v2Path)) qCWarning(lcDocument, "failed removing v2Path");
    if (!QFile::rename(m_path, v2Path)) {
        qCWarning(lcDocument) << "failed moving" << m_path << "to v2Path";
        upgradeAlert("UpgradeAlertFailed");
        return SetupResult::Unusable;
    }
    QFile old(v2Path);
    std::optional<QByteArray> dump;
    QString why;
    if (old.open(QIODevice::ReadOnly)) {
        cv::SQLite2Reader reader(old.readAll());
        old.close();
        dump = reader.dump();
        why = reader.error();
    } else {
        why = old.errorString();
    }
    if (!dump) {
        // A damaged old book is never upgraded with rows silently missing;
        // the working copy goes back as it was.
        qCWarning(lcDocument) << "could not read old database for upgrading:" << v2Path << why;
        if (!QFile::rename(v2Path, m_path)) QFile::remove(v2Path);
        upgradeAlert("UpgradeAlertDamaged");
        return SetupResult::Unusable;
    }
    if (!QFile::remove(v2Path)) qCWarning(lcDocument, "after upgrade, failed removing v2Path");

    const QString dumpPath = v2Path + QStringLiteral(".db3Temp");
    QFile dumpFile(dumpPath);
    if (!dumpFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || dumpFile.write(*dump) != dump->size())
        qCWarning(lcDocument) << "upgrade: could not write" << dumpPath;
    dumpFile.close();
    if (!loadDump(m_path, *dump)) {
        upgradeAlert("UpgradeAlertFailed");
        return SetupResult::Unusable;
    }
    QFile::remove(dumpPath);
    return SetupResult::Upgraded;
}

// ---------------------------------------------------------------- SQLTransaction

SQLTransaction::SQLTransaction(SQLDatabase3 *db) : m_db(db)
{
    m_active = m_db && m_db->beginTransaction();
}

SQLTransaction::~SQLTransaction()
{
    if (m_active) m_db->commitTransaction();
}

void SQLTransaction::rollback()
{
    if (!m_active) return;
    m_active = false;
    m_db->rollbackTransaction();
}

} // namespace cv
