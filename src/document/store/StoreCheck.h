#pragma once
// SQLite's integrity_check of a working copy on a thread of its own, over its own
// read-only connection, so that a damaged store is found without making the
// open any slower. The check never holds up a write. Where the book keeps a
// log of its writes beside the store, the check reads the store as it was and
// no write stops it. Otherwise the book's connection, finding the store held,
// has it step aside (`writerYield`) and it begins again once the book has been
// left alone a while. Destroying it stops a check under way.

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

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

    // Waits for the check to end and answers it; the check no longer waits
    // for the book to be left alone.
    const Answer &answer();
    // As `answer` waits, but for at most `wait`: whether the answer is in.
    bool finishWithin(std::chrono::milliseconds wait);

    // For the busy handler of the book's own connection: ends the check's
    // read of the store if one is under way and answers whether it did within
    // a frame (the write can then go on at once). Safe to call once the check
    // is gone.
    std::function<bool()> writerYield() const;

    // Whether a book may have its checks read the store as it was.
    static bool snapshotsAllowed();

    // Tests: while `hold` answers true and no write asks it to step aside,
    // each check holds a read of the store just before its own read begins,
    // as a long one would (none: no hold); `snapshots` false keeps every
    // check on the store as it is.
    static void setGateForTests(std::function<bool()> hold, bool snapshots = true);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared; // what the check's thread and the writers share
    Answer m_answer;
    std::thread m_thread;
};

} // namespace cv
