#include "document/DocumentLock.h"

#include "platform/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include <cerrno>
#include <vector>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace cv {

namespace {

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

// The holders a lock file names, three lines each, the newest first.
std::vector<DocumentLock::Holder> readHolders(const QString &path)
{
    std::vector<DocumentLock::Holder> holders;
    QFile file(path);
    // A lock file is a few dozen bytes; anything larger is not ours to read.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096) return holders;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 2 < lines.size(); i += 3) {
        bool ok = false;
        DocumentLock::Holder holder{lines[i], lines[i + 1], lines[i + 2].toLongLong(&ok)};
        if (!ok || holder.pid <= 0) break;
        holders.push_back(holder);
    }
    return holders;
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

// The live holders other than this process, as lock text.
QByteArray otherLiveHolders(const QString &path)
{
    QByteArray text;
    for (const DocumentLock::Holder &h : readHolders(path)) {
        if (isOwn(h) || !isLive(h)) continue;
        text += lockText(h);
    }
    return text;
}

bool writeLock(const QString &path, const QByteArray &text)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

} // namespace

QString DocumentLock::lockPathFor(const QString &document)
{
    const QFileInfo info(document);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

std::optional<DocumentLock::Holder> DocumentLock::liveHolder(const QString &document)
{
    for (const Holder &holder : readHolders(lockPathFor(document)))
        if (!isOwn(holder) && isLive(holder)) return holder;
    return std::nullopt;
}

// Holders that opened anyway stay named after ours, so that whoever closes
// first leaves the others' warning in place.
DocumentLock::DocumentLock(const QString &document)
    : m_document(document), m_path(lockPathFor(document)), m_text(lockText() + otherLiveHolders(m_path))
{
    m_held = writeLock(m_path, m_text);
    // A folder we cannot write to holds no lock; the book still opens.
    if (!m_held) qCInfo(lcDocument) << "no lock file beside" << document;
}

DocumentLock::~DocumentLock()
{
    if (!m_held) return;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const bool ours = file.read(4097) == m_text;
    file.close();
    if (!ours) return;
    const QByteArray others = otherLiveHolders(m_path);
    if (others.isEmpty() || !writeLock(m_path, others)) QFile::remove(m_path);
}

} // namespace cv
