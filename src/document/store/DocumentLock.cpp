#include "document/store/DocumentLock.h"

#include "document/store/DocumentContainer.h"
#include "platform/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>

#include <cerrno>
#include <vector>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

// A lock file is a few dozen bytes; anything larger is not one.
constexpr qint64 kMaxLockBytes = 4096;

QString userName()
{
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QByteArray lockText(const DocumentLock::Holder &holder)
{
    return (holder.user + QLatin1Char('\n') + holder.host + QLatin1Char('\n') + QString::number(holder.pid) +
            QLatin1Char('\n'))
        .toUtf8();
}

QByteArray lockText()
{
    return lockText({userName(), QSysInfo::machineHostName(), qint64(::getpid())});
}

bool isOwn(const DocumentLock::Holder &holder)
{
    return holder.host == QSysInfo::machineHostName() && holder.pid == qint64(::getpid());
}

bool isLive(const DocumentLock::Holder &holder)
{
    // Another host's process cannot be asked: its lock counts as live.
    if (holder.host != QSysInfo::machineHostName()) return true;
    return ::kill(pid_t(holder.pid), 0) == 0 || errno == EPERM;
}

enum class Place {
    Empty,   // no lock
    Own,     // our user's lock file: ours to rewrite
    Other,   // another user's lock file: read, never replaced
    Blocked, // anything else, never read nor replaced
};

struct LockFile {
    Place place = Place::Empty;
    std::vector<DocumentLock::Holder> holders; // the newest first
};

std::vector<DocumentLock::Holder> parseHolders(const QByteArray &text)
{
    std::vector<DocumentLock::Holder> holders;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 2 < lines.size(); i += 3) {
        bool ok = false;
        DocumentLock::Holder holder{lines[i], lines[i + 1], lines[i + 2].toLongLong(&ok)};
        if (!ok || holder.pid <= 0) break;
        holders.push_back(holder);
    }
    return holders;
}

// Never follows a link and never waits: a pipe or device planted under the
// lock's name is not opened for reading, a file is read to its bound only.
LockFile readLock(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    if (::lstat(name.constData(), &seen) != 0) return {errno == ENOENT ? Place::Empty : Place::Blocked, {}};
    if (!S_ISREG(seen.st_mode) || seen.st_size > kMaxLockBytes) return {Place::Blocked, {}};
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {errno == ENOENT ? Place::Empty : Place::Blocked, {}};
    struct stat st {};
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == seen.st_dev && st.st_ino == seen.st_ino;
    QByteArray text(kMaxLockBytes + 1, Qt::Uninitialized);
    qsizetype size = 0;
    while (regular && size < text.size()) {
        const ssize_t n = ::read(fd, text.data() + size, size_t(text.size() - size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            regular = n == 0;
            break;
        }
        size += n;
    }
    ::close(fd);
    if (!regular || size > kMaxLockBytes) return {Place::Blocked, {}};
    text.truncate(size);
    return {st.st_uid == ::geteuid() ? Place::Own : Place::Other, parseHolders(text)};
}

bool writeAll(int fd, const QByteArray &text)
{
    for (qsizetype done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// A fresh file of our own under a name no one else chose, renamed over the
// lock: a link planted at the lock's name is replaced, never written through.
bool replaceLock(const QString &path, const QByteArray &text)
{
    const QByteArray target = QFile::encodeName(path);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const QByteArray temp = target + '-' + QByteArray::number(qint64(::getpid())) + '-' +
                                QByteArray::number(QRandomGenerator::global()->generate(), 16);
        // Readable by the others who share the folder: they are the ones to warn.
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written = writeAll(fd, text);
        if (::close(fd) == 0 && written && ::rename(temp.constData(), target.constData()) == 0) return true;
        ::unlink(temp.constData());
        return false;
    }
    return false;
}

QByteArray otherLiveHolders(const std::vector<DocumentLock::Holder> &holders)
{
    QByteArray text;
    for (const DocumentLock::Holder &h : holders) {
        if (isOwn(h) || !isLive(h)) continue;
        text += lockText(h);
    }
    return text;
}

} // namespace

QString DocumentLock::lockPathFor(const QString &document)
{
    // Room for ".lock" and a rewrite's "-<pid>-<hex>" in a name of 255 bytes.
    const QFileInfo info(document);
    return info.absolutePath() + QStringLiteral("/.") + ReplacingFile::fittedName(info.fileName(), 255 - 1 - 5 - 20) +
           QStringLiteral(".lock");
}

// The rewrite's own first line names its writer: a pid in the name alone
// would not tell this host's processes from another's.
bool DocumentLock::isStoppedRewrite(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype lock = name.lastIndexOf(QStringLiteral(".lock-"));
    if (!name.startsWith(QLatin1Char('.')) || lock <= 1) return false;
    const QStringList parts = name.mid(lock + 6).split(QLatin1Char('-'));
    bool ok = false;
    const qint64 pid = parts.size() == 2 ? parts[0].toLongLong(&ok) : 0;
    if (!ok || pid <= 0) return false;
    const LockFile rewrite = readLock(path);
    if (rewrite.place != Place::Own || rewrite.holders.empty()) return false;
    const Holder &writer = rewrite.holders.front();
    return writer.pid == pid && writer.host == QSysInfo::machineHostName() && !isOwn(writer) && !isLive(writer);
}

std::optional<DocumentLock::Holder> DocumentLock::liveHolder(const QString &document)
{
    for (const Holder &holder : readLock(lockPathFor(document)).holders)
        if (!isOwn(holder) && isLive(holder)) return holder;
    return std::nullopt;
}

// Holders that opened anyway stay named after ours, so that whoever closes
// first leaves the others' warning in place.
DocumentLock::DocumentLock(const QString &document) : m_document(document), m_path(lockPathFor(document))
{
    const LockFile current = readLock(m_path);
    m_blocked = current.place == Place::Other || current.place == Place::Blocked;
    if (!m_blocked) m_held = replaceLock(m_path, lockText() + otherLiveHolders(current.holders));
    // A folder we cannot write to holds no lock; the book still opens.
    if (!m_held)
        qCWarning(lcDocument) << "the book is open without a lock:" << document
                              << (m_blocked ? "its place holds what is not ours" : "the folder takes no file");
}

DocumentLock::~DocumentLock()
{
    if (!m_held) return;
    const LockFile current = readLock(m_path);
    if (current.place != Place::Own) return;
    if (std::none_of(current.holders.begin(), current.holders.end(), isOwn)) return;
    const QByteArray others = otherLiveHolders(current.holders);
    if (others.isEmpty() || !replaceLock(m_path, others)) ::unlink(QFile::encodeName(m_path).constData());
}

} // namespace cv
