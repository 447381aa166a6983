#pragma once
// The advisory lock file beside an open document: who has it open (user,
// host, process), so a second program can warn before two saves overwrite
// each other. It guards nothing by itself. It names every live holder, the
// newest first; a release takes this process out and removes the file only
// when no live holder is left (a file another program rewrote since is its).

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

    // ".<name>.lock" in the document's folder.
    static QString lockPathFor(const QString &document);
    // The holder of a lock on the document that is not this process's and not
    // stale (a process of this host that is gone); none otherwise.
    static std::optional<Holder> liveHolder(const QString &document);

    // Writes this process's lock, replacing whatever is there.
    explicit DocumentLock(const QString &document);
    ~DocumentLock();
    DocumentLock(const DocumentLock &) = delete;
    DocumentLock &operator=(const DocumentLock &) = delete;

    bool isHeld() const { return m_held; }
    const QString &documentPath() const { return m_document; }

private:
    QString m_document; // the locked document's path
    QString m_path;     // the lock file
    QByteArray m_text;  // what this process wrote, to recognise it at release
    bool m_held = false;
};

} // namespace cv
