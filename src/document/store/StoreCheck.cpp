#include "document/store/StoreCheck.h"

#include "platform/Logging.h"

#include <QFile>

#include <sqlite3.h>

namespace cv {

namespace {

// The first complaints are enough to tell damage from a sound store.
constexpr int kMaxLines = 10;
// The program's own connection may hold the store for a write a moment.
constexpr int kBusyWaitMs = 10000;

std::mutex g_gateGuard;
std::function<void()> g_gate;

} // namespace

void StoreCheck::setGateForTests(std::function<void()> gate)
{
    std::lock_guard lock(g_gateGuard);
    g_gate = std::move(gate);
}

StoreCheck::StoreCheck(const QString &databasePath, std::function<void()> done)
{
    std::function<void()> gate;
    {
        std::lock_guard lock(g_gateGuard);
        gate = g_gate;
    }
    m_thread = std::thread([this, databasePath, done = std::move(done), gate = std::move(gate)] {
        if (gate) gate();
        Answer answer = run(databasePath, this);
        {
            std::lock_guard lock(m_guard);
            m_answer = std::move(answer);
        }
        if (done) done();
    });
}

StoreCheck::~StoreCheck()
{
    {
        std::lock_guard lock(m_guard);
        m_stopping = true;
        if (m_running) sqlite3_interrupt(m_running);
    }
    if (m_thread.joinable()) m_thread.join();
}

const StoreCheck::Answer &StoreCheck::answer()
{
    if (m_thread.joinable()) m_thread.join();
    return m_answer;
}

StoreCheck::Answer StoreCheck::run(const QString &databasePath, StoreCheck *owner)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        qCWarning(lcDocument) << "store check cannot open" << databasePath;
        sqlite3_close(db);
        return std::nullopt;
    }
    sqlite3_busy_timeout(db, kBusyWaitMs);
    // The file came from outside: its schema runs nothing with our trust.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    if (owner) {
        // A book closed before its check began: an interrupt now would reach no statement.
        std::lock_guard lock(owner->m_guard);
        if (owner->m_stopping) {
            sqlite3_close(db);
            return std::nullopt;
        }
        owner->m_running = db;
    }
    QStringList lines;
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check(10);", -1, &statement, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW && lines.size() < kMaxLines)
            lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    }
    // A store too damaged for the check to read is damaged all the same.
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) lines << QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    if (owner) {
        std::lock_guard lock(owner->m_guard);
        owner->m_running = nullptr;
    }
    sqlite3_close(db);
    if (lines.isEmpty()) {
        if (primary != SQLITE_DONE && primary != SQLITE_INTERRUPT)
            qCWarning(lcDocument) << "store check did not run:" << sqlite3_errstr(rc);
        return std::nullopt;
    }
    return lines;
}

} // namespace cv
