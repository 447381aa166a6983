// Dated backups of document files and the backup-folder test.
#include "document/Book.h"
#include "document/BookPrivate.h"
#include "document/BookBackup.h"
#include "document/Preference.h"
#include "document/store/DocumentContainer.h"
#include "platform/SupportFolders.h"
#include "platform/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include <sys/stat.h>

namespace cv {

namespace {

QString g_folder;
QString g_oldSupportFolder;
std::function<QDate()> g_clock;
std::function<int()> g_countSource;

// The same folder, also through links; a folder that does not exist compares
// by its cleaned absolute path.
QString comparablePath(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to)) return false;
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        const bool ok = entry.isDir() ? copyFolder(entry.filePath(), target) : QFile::copy(entry.filePath(), target);
        if (!ok) return false;
    }
    return true;
}

// Copies through a temporary file renamed over the target at the end, so a
// failed copy leaves an earlier backup of the same name as it was.
bool copyReplacing(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) return false;
    cv::ReplacingFile out(to);
    if (!out.open()) return false;
    // The copy is as private as the book.
    struct stat st {};
    const mode_t mode = ::fstat(in.handle(), &st) == 0 ? (st.st_mode & 0777) : (S_IRUSR | S_IWUSR);
    if (!out.setMode(mode)) qCWarning(lcDocument) << "backup mode not set:" << to;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0 || !out.write(buffer.constData(), size_t(n))) return false;
    }
    return out.commit();
}

} // namespace

namespace backup {

QString folderPath()
{
    return g_folder.isEmpty() ? SupportPath(QStringLiteral("Corvane Backup")) : g_folder;
}

QString oldSupportFolderPath()
{
    if (!g_oldSupportFolder.isEmpty()) return g_oldSupportFolder;
#ifdef Q_OS_MACOS
    return QDir::homePath() + QStringLiteral("/Library/Application Support/Kavri");
#else
    // The backups of earlier builds come along once, as from any older support folder.
    return PreviousSupportPath();
#endif
}

void setFolders(const QString &folder, const QString &oldSupportFolder)
{
    g_folder = folder;
    g_oldSupportFolder = oldSupportFolder;
}

void setClock(std::function<QDate()> clock)
{
    g_clock = std::move(clock);
}

QDate today()
{
    return g_clock ? g_clock() : QDate::currentDate();
}

void setCountSource(std::function<int()> source)
{
    g_countSource = std::move(source);
}

int count()
{
    return g_countSource ? g_countSource() : Preference::fromUserDefaults().backupCount();
}

QString stem(const QString &base, const QString &extension)
{
    // ".yy-mm-dd." and the extension.
    return cv::ReplacingFile::fittedName(base, 255 - 10 - extension.toUtf8().size());
}

QString fileName(const QString &base, const QDate &date, const QString &extension)
{
    return stem(base, extension) + QLatin1Char('.') + date.toString(QStringLiteral("yy-MM-dd")) + QLatin1Char('.') +
           extension;
}

bool isBackupOf(const QString &name, const QString &base, const QString &extension)
{
    static const QRegularExpression middle(QStringLiteral("^[0-9]*-[0-9]*-[0-9]*$"));
    const QString tail = QLatin1Char('.') + extension;
    if (!name.endsWith(tail)) return false;
    const QString rest = name.left(name.size() - tail.size());
    const qsizetype dot = rest.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    return rest.left(dot) == stem(base, extension) && middle.match(rest.mid(dot + 1)).hasMatch();
}

} // namespace backup

QString PrepareBackupFolder()
{
    const QString folder = backup::folderPath();
    if (QFileInfo(folder).isDir()) return folder;
    const QString oldSupport = backup::oldSupportFolderPath();
    const QString old = oldSupport + QStringLiteral("/Corvane Backup");
    if (!oldSupport.isEmpty() && QFileInfo(old).isDir()) {
        if (copyFolder(old, folder)) {
            qCInfo(lcDocument).noquote() << QStringLiteral("copied old backup items %1 to %2").arg(old, folder);
            return folder;
        }
        qCWarning(lcDocument) << "failed copying old backup items";
    }
    // Not through the alerting folder maker: a backup that cannot be made is
    // told once a run, by the save that wanted it.
    if (QDir().mkpath(folder)) return folder;
    qCWarning(lcDocument) << "the backup folder cannot be made:" << folder;
    return QString();
}

bool Book::manageBackup(const QString &path)
{
    const int keep = std::min(cv::backup::count(), cv::backup::kMaxBackups);
    // No backups wanted: nothing is copied and nothing deleted.
    if (keep <= 0) return true;
    const QString folder = cv::PrepareBackupFolder();
    if (folder.isEmpty()) return false;

    const QFileInfo document(path);
    const QString base = document.completeBaseName();
    const QString extension = document.suffix();
    const QString name = cv::backup::fileName(base, cv::backup::today(), extension);
    // What a copy that was stopped left behind, of any day's backup of this book.
    cv::ReplacingFile::removeLeftovers(
        folder, [&](const QString &target) { return cv::backup::isBackupOf(target, base, extension); });
    if (!copyReplacing(path, folder + QLatin1Char('/') + name)) {
        qCWarning(lcDocument) << "backup of" << path << "to" << folder << "failed";
        return false;
    }

    QDir dir(folder);
    QStringList dated;
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (cv::backup::isBackupOf(entry, base, extension)) dated.push_back(entry);
    }
    std::sort(dated.begin(), dated.end(), [](const QString &a, const QString &b) { return a.compare(b) > 0; });
    for (qsizetype i = keep; i < dated.size(); ++i) {
        if (!dir.remove(dated[i])) qCWarning(lcDocument) << "cannot remove old backup" << dated[i];
    }
    return true;
}

bool Book::isBackupFile(const QString &path) const
{
    return comparablePath(QFileInfo(path).absolutePath()) == comparablePath(cv::backup::folderPath());
}

} // namespace cv
