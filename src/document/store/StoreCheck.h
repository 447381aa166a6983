#pragma once
// SQLite's integrity_check of a working copy on a thread of its own, over its own
// read-only connection, so that a damaged store is found without making the
// open any slower. Destroying it stops a check under way.

#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <optional>
#include <thread>

struct sqlite3;

namespace cv {

class StoreCheck {
public:
    // The check's answer: none when it could not run or was stopped, else its
    // lines ("ok" alone for a sound store).
    using Answer = std::optional<QStringList>;

    // `done` is called on the check's thread once it has an answer.
    StoreCheck(const QString &databasePath, std::function<void()> done);
    ~StoreCheck();
    StoreCheck(const StoreCheck &) = delete;
    StoreCheck &operator=(const StoreCheck &) = delete;

    // Waits for the check to end and answers it.
    const Answer &answer();

    // Tests: each check's thread runs `gate` before it checks (none: no wait).
    static void setGateForTests(std::function<void()> gate);

private:
    static Answer run(const QString &databasePath, StoreCheck *owner);

    std::mutex m_guard;
    sqlite3 *m_running = nullptr; // the check's connection while it runs
    bool m_stopping = false;      // the check is no longer wanted
    Answer m_answer;
    std::thread m_thread;
};

} // namespace cv
