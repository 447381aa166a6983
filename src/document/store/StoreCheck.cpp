#include "document/store/StoreCheck.h"

#include "platform/Logging.h"

#include <QFile>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <sqlite3.h>

namespace cv {

namespace {

using Clock = std::chrono::steady_clock;

// The first complaints are enough to tell damage from a sound store.
constexpr int kMaxLines = 10;
// Another program may hold the store a moment; the check waits as long as the
// book would, but never for the book's own write.
constexpr auto kBusyWait = std::chrono::seconds(10);
// The longest an edit waits for the check to let go.
constexpr auto kFrame = std::chrono::milliseconds(16);
// How long the book must be left alone before a check it stopped begins again:
// a user's edits come seconds apart, and a check stopped at every one of them
// still answers at the save.
constexpr auto kQuiet = std::chrono::seconds(1);
// A statement just begun clears an interrupt made before it: asked again this often.
constexpr auto kInterruptAgain = std::chrono::milliseconds(1);

std::mutex g_gateGuard;
std::function<bool()> g_gate;
bool g_snapshots = true;

} // namespace

struct StoreCheck::Shared {
    std::mutex guard;
    std::condition_variable changed;
    sqlite3 *reading = nullptr;  // the check's connection while it may hold the store
    bool yieldAsked = false;     // a write waits: the read under way ends
    bool finishNow = false;      // the answer is waited for: no more pauses
    bool stopping = false;       // the check is no longer wanted
    bool finished = false;       // the check's thread has its answer
    Clock::time_point lastYield; // when a write last stopped the check

    Answer run(const QString &path, const std::function<bool()> &hold);
    // One try: none when it stepped aside for a write.
    std::optional<Answer> attempt(const QString &path, const std::function<bool()> &hold);
    bool mustLetGo()
    {
        std::lock_guard lock(guard);
        return yieldAsked || stopping;
    }
    // The check's own connection: a write of the book waiting on the store
    // would wait for the check in turn, so the check gives way at once.
    static int busyWait(void *self, int tries)
    {
        auto *shared = static_cast<Shared *>(self);
        if (shared->mustLetGo()) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return tries < std::chrono::milliseconds(kBusyWait).count() ? 1 : 0;
    }
};

void StoreCheck::setGateForTests(std::function<bool()> hold, bool snapshots)
{
    std::lock_guard lock(g_gateGuard);
    g_gate = std::move(hold);
    g_snapshots = snapshots;
}

bool StoreCheck::snapshotsAllowed()
{
    std::lock_guard lock(g_gateGuard);
    return g_snapshots;
}

StoreCheck::StoreCheck(const QString &databasePath, std::function<void()> done) : m_shared(std::make_shared<Shared>())
{
    m_shared->lastYield = Clock::now() - kQuiet;
    std::function<bool()> gate;
    {
        std::lock_guard lock(g_gateGuard);
        gate = g_gate;
    }
    m_thread = std::thread([this, shared = m_shared, databasePath, done = std::move(done), gate = std::move(gate)] {
        m_answer = shared->run(databasePath, gate);
        {
            std::lock_guard lock(shared->guard);
            shared->finished = true;
        }
        shared->changed.notify_all();
        if (done) done();
    });
}

StoreCheck::~StoreCheck()
{
    {
        std::unique_lock lock(m_shared->guard);
        m_shared->stopping = true;
        m_shared->changed.notify_all();
        while (!m_shared->finished) {
            if (m_shared->reading) sqlite3_interrupt(m_shared->reading);
            m_shared->changed.wait_for(lock, kInterruptAgain);
        }
    }
    if (m_thread.joinable()) m_thread.join();
}

bool StoreCheck::finishWithin(std::chrono::milliseconds wait)
{
    std::unique_lock lock(m_shared->guard);
    m_shared->finishNow = true;
    m_shared->changed.notify_all();
    return m_shared->changed.wait_for(lock, wait, [this] { return m_shared->finished; });
}

const StoreCheck::Answer &StoreCheck::answer()
{
    {
        std::lock_guard lock(m_shared->guard);
        m_shared->finishNow = true;
    }
    m_shared->changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    return m_answer;
}

std::function<bool()> StoreCheck::writerYield() const
{
    return [shared = m_shared] {
        std::unique_lock lock(shared->guard);
        if (!shared->reading) return false;
        shared->yieldAsked = true;
        shared->lastYield = Clock::now();
        shared->changed.notify_all();
        const auto deadline = Clock::now() + kFrame;
        while (shared->reading && Clock::now() < deadline) {
            sqlite3_interrupt(shared->reading);
            shared->changed.wait_for(lock, kInterruptAgain);
        }
        shared->lastYield = Clock::now();
        return !shared->reading;
    };
}

StoreCheck::Answer StoreCheck::Shared::run(const QString &path, const std::function<bool()> &hold)
{
    for (;;) {
        {
            std::unique_lock lock(guard);
            while (!stopping && !finishNow && Clock::now() < lastYield + kQuiet)
                changed.wait_until(lock, lastYield + kQuiet);
            if (stopping) return std::nullopt;
            yieldAsked = false;
        }
        if (std::optional<Answer> answer = attempt(path, hold)) return *answer;
    }
}

std::optional<StoreCheck::Answer> StoreCheck::Shared::attempt(const QString &path, const std::function<bool()> &hold)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        qCWarning(lcDocument) << "store check cannot open" << path;
        sqlite3_close(db);
        return Answer();
    }
    sqlite3_busy_handler(db, &Shared::busyWait, this);
    // The file came from outside: its schema runs nothing with our trust.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    {
        // A book closed before its check began: an interrupt now would reach no statement.
        std::lock_guard lock(guard);
        if (stopping) {
            sqlite3_close(db);
            return Answer();
        }
        reading = db;
    }
    QStringList lines;
    sqlite3_stmt *statement = nullptr;
    int rc =
        mustLetGo() ? SQLITE_INTERRUPT : sqlite3_prepare_v2(db, "PRAGMA integrity_check(10);", -1, &statement, nullptr);
    if (hold && rc == SQLITE_OK) {
        // Just before the read: the store held by a read of its schema, let go only here.
        sqlite3_stmt *schema = nullptr;
        rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master;", -1, &schema, nullptr);
        if (rc == SQLITE_OK && sqlite3_step(schema) == SQLITE_ROW) {
            while (hold()) {
                std::unique_lock lock(guard);
                if (yieldAsked || stopping) break;
                changed.wait_for(lock, std::chrono::milliseconds(2));
            }
        }
        sqlite3_finalize(schema);
    }
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW && lines.size() < kMaxLines)
            lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    }
    // A store too damaged for the check to read is damaged all the same.
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) lines << QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    bool again = false;
    {
        std::lock_guard lock(guard);
        // Closed under the guard: a writer told that the check let go finds the store free.
        reading = nullptr;
        sqlite3_close(db);
        // Stopped by a write, or kept out by one: the whole check again later.
        again = !stopping && ((primary == SQLITE_INTERRUPT && yieldAsked) || (primary == SQLITE_BUSY && !finishNow));
        if (again) lastYield = Clock::now();
    }
    changed.notify_all();
    if (again) return std::nullopt;
    // What a stopped check said so far is no answer.
    if (lines.isEmpty() || primary == SQLITE_INTERRUPT) {
        if (primary != SQLITE_DONE && primary != SQLITE_INTERRUPT)
            qCWarning(lcDocument) << "store check did not run:" << sqlite3_errstr(rc);
        return Answer();
    }
    return lines;
}

} // namespace cv
