#include "document/DocumentLock.h"

#include "platform/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include <cerrno>
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

QByteArray lockText()
{
    return (userName() + QLatin1Char('\n') + QSysInfo::machineHostName() + QLatin1Char('\n') +
            QString::number(qint64(::getpid())) + QLatin1Char('\n'))
        .toUtf8();
}

std::optional<DocumentLock::Holder> readHolder(const QString &path)
{
    QFile file(path);
    // A lock file is a few dozen bytes; anything larger is not ours to read.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096) return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (lines.size() < 3) return std::nullopt;
    bool ok = false;
    DocumentLock::Holder holder{lines[0], lines[1], lines[2].toLongLong(&ok)};
    if (!ok || holder.pid <= 0) return std::nullopt;
    return holder;
}

} // namespace

QString DocumentLock::lockPathFor(const QString &document)
{
    const QFileInfo info(document);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

std::optional<DocumentLock::Holder> DocumentLock::liveHolder(const QString &document)
{
    std::optional<Holder> holder = readHolder(lockPathFor(document));
    if (!holder) return std::nullopt;
    // Another host's process cannot be asked: its lock counts as live.
    if (holder->host != QSysInfo::machineHostName()) return holder;
    if (holder->pid == qint64(::getpid())) return std::nullopt;
    if (::kill(pid_t(holder->pid), 0) == 0 || errno == EPERM) return holder;
    return std::nullopt;
}

DocumentLock::DocumentLock(const QString &document)
    : m_document(document), m_path(lockPathFor(document)), m_text(lockText())
{
    QSaveFile file(m_path);
    m_held = file.open(QIODevice::WriteOnly) && file.write(m_text) == m_text.size() && file.commit();
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
    if (ours) QFile::remove(m_path);
}

} // namespace cv
