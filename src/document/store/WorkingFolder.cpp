#include "document/store/WorkingFolder.h"

#include "platform/SupportFolders.h"
#include "platform/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <memory>

namespace cv::work {
namespace {

const QString kLockSuffix = QStringLiteral(".lock");

struct WorkState {
    QString folderOverride;
    QString previousOverride;
    QString folder;   // the "Work" folder in use
    QString instance; // this instance's subfolder
    std::unique_ptr<QLockFile> lock;
    int counter = 0; // never reset in a run

    ~WorkState() { release(); }

    void release()
    {
        if (!instance.isEmpty()) QDir(instance).removeRecursively();
        instance.clear();
        lock.reset(); // unlocks and removes the lock file
        folder.clear();
    }
};

WorkState &state()
{
    static WorkState s;
    return s;
}

QString defaultWorkFolder()
{
    return cv::SupportPath(QStringLiteral("Work"));
}

std::unique_ptr<QLockFile> makeLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // A live owner's lock never goes stale by age; only a dead owner's does.
    lock->setStaleLockTime(0);
    return lock;
}

// Deletes what instances that are gone left behind. A subfolder is deleted only
// when its lock could be taken, which fails while its owner runs.
void cleanUp(const QString &folder)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (entry.isSymLink()) {
            QFile::remove(path);
        } else if (entry.isDir()) {
            auto lock = makeLock(path + kLockSuffix);
            if (!lock->tryLock(0)) continue;
            QDir(path).removeRecursively();
            lock->unlock();
        } else if (entry.fileName().endsWith(kLockSuffix)) {
            const QString guarded = path.left(path.size() - kLockSuffix.size());
            if (QFileInfo::exists(guarded)) continue; // handled with its folder
            auto lock = makeLock(path);
            if (lock->tryLock(0)) lock->unlock();
        } else {
            // Working files of earlier versions lay directly in the folder.
            QFile::remove(path);
        }
    }
}

bool prepare()
{
    WorkState &s = state();
    if (!s.instance.isEmpty()) return true;
    s.folder = s.folderOverride.isEmpty() ? defaultWorkFolder() : s.folderOverride;
    if (!cv::CreateDirectoryRecursivelyAtPath(s.folder)) return false; // the user was told
    cleanUp(s.folder);
    // Earlier builds worked elsewhere: what they left goes too, and the folder
    // once empty (an earlier build still running keeps its own).
    const QString previous =
        s.folderOverride.isEmpty() ? cv::PreviousSupportPath(QStringLiteral("Work")) : s.previousOverride;
    if (!previous.isEmpty() && previous != s.folder && QFileInfo(previous).isDir()) {
        cleanUp(previous);
        QDir().rmdir(previous);
    }
    const QString base = QStringLiteral("Instance-%1-").arg(QCoreApplication::applicationPid());
    for (int i = 0; i < 1000; ++i) {
        const QString path = s.folder + QLatin1Char('/') + base + QString::number(i);
        auto lock = makeLock(path + kLockSuffix);
        if (!lock->tryLock(0)) continue;
        // Holding the lock makes anything already there a leftover.
        if (QFileInfo::exists(path)) QDir(path).removeRecursively();
        if (!QDir().mkpath(path)) {
            qCWarning(lcDocument) << "cannot create the working folder" << path;
            return false;
        }
        // Working copies hold whole books: this user's alone.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        s.instance = path;
        s.lock = std::move(lock);
        return true;
    }
    qCWarning(lcDocument) << "no free working folder in" << s.folder;
    return false;
}

} // namespace

QString newWorkingPath()
{
    if (!prepare()) return QString();
    WorkState &s = state();
    for (;;) {
        const QString path = s.instance + QStringLiteral("/org.corvane.CVDATA-") + QString::number(s.counter++);
        if (!QFileInfo::exists(path)) return path;
    }
}

QString instanceFolder()
{
    return prepare() ? state().instance : QString();
}

void setWorkFolder(const QString &folder, const QString &previousFolder)
{
    WorkState &s = state();
    s.release();
    s.folderOverride = folder;
    s.previousOverride = previousFolder;
}

QString workFolder()
{
    const WorkState &s = state();
    if (!s.folder.isEmpty()) return s.folder;
    return s.folderOverride.isEmpty() ? defaultWorkFolder() : s.folderOverride;
}

} // namespace cv::work
