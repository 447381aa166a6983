#pragma once
// The advisory lock file beside an open document: who has it open (user,
// host, process), so a second program can warn before two saves overwrite
// each other. It guards nothing by itself. It names every live holder, the
// newest first; a release takes this process out, keeps the others still
// alive and removes the file when none is left.
//
// The folder may be shared with other users: the lock is only ever read as a
// small regular file, and written as a fresh file renamed into place, never
// through a link. What another user or program put in its place is left
// alone and the book goes unlocked.

#include <QString>

#include <optional>

namespace cv {

class DocumentLock {
public:
    struct Holder {
        QString user;
        QString host;
        qint64 pid = 0;
    };

    // ".<name>.lock" in the document's folder (a long name cut short).
    static QString lockPathFor(const QString &document);
    // The holder of a lock on the document that is not this process's and not
    // stale (a process of this host that is gone); none otherwise.
    static std::optional<Holder> liveHolder(const QString &document);

    // Whether the file is a rewrite of a lock that a stopped process of this
    // host left before renaming it into place.
    static bool isStoppedRewrite(const QString &path);

    // Writes this process's lock in front of the live holders already named.
    explicit DocumentLock(const QString &document);
    ~DocumentLock();
    DocumentLock(const DocumentLock &) = delete;
    DocumentLock &operator=(const DocumentLock &) = delete;

    bool isHeld() const { return m_held; }
    // The lock's place holds something not ours to replace (a link, a pipe,
    // a device, a folder, another user's file): the book is open unlocked.
    bool isBlocked() const { return m_blocked; }
    const QString &documentPath() const { return m_document; }

private:
    QString m_document; // the locked document's path
    QString m_path;     // the lock file
    bool m_held = false;
    bool m_blocked = false;
};

} // namespace cv
