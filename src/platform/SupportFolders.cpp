#include "platform/SupportFolders.h"

#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace cv {

QString SupportPath(const QString &component)
{
    // The program's name once: "Corvane", not "Corvane/Corvane".
    static const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Corvane");
    if (component.isEmpty()) return folder;
    return folder + QLatin1Char('/') + component;
}

QString PreviousSupportPath(const QString &component)
{
    static const QString folder = [] {
        const QString previous = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        return previous == SupportPath() ? QString() : previous;
    }();
    if (folder.isEmpty() || component.isEmpty()) return folder;
    return folder + QLatin1Char('/') + component;
}

namespace {

QString expandTilde(const QString &path)
{
    if (path == QLatin1String("~")) return QDir::homePath();
    if (path.startsWith(QLatin1String("~/"))) return QDir::homePath() + path.mid(1);
    return path;
}

// Makes one folder whose parent exists; another process making it first is fine.
bool makeOneFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    if (info.exists()) {
        Alert::warn(localizedString(QStringLiteral("Directory creation failed (file with same name exists): ")) +
                    QDir::toNativeSeparators(folder));
        return false;
    }
    if (QDir().mkdir(folder) || QFileInfo(folder).isDir()) return true;
    Alert::warn(localizedString(QStringLiteral("Directory creation failed: ")) + QDir::toNativeSeparators(folder));
    return false;
}

} // namespace

bool CreateDirectoryRecursivelyAtPath(const QString &path)
{
    if (path.isEmpty()) {
        Alert::warn(localizedString(QStringLiteral("Directory creation failed: ")));
        return false;
    }
    const QString target = QDir::cleanPath(QFileInfo(expandTilde(path)).absoluteFilePath());
    if (QFileInfo(target).isDir()) return true;

    // One folder at a time, so the user learns which one stood in the way.
    for (qsizetype slash = target.indexOf(QLatin1Char('/'), 1); slash > 0;
         slash = target.indexOf(QLatin1Char('/'), slash + 1)) {
        const QString parent = target.left(slash);
        if (parent.endsWith(QLatin1Char(':'))) continue; // a drive, not a folder
        if (!makeOneFolder(parent)) return false;
    }
    return makeOneFolder(target);
}

} // namespace cv
