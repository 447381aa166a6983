#include "document/store/Leftovers.h"

#include "document/store/DocumentContainer.h"
#include "document/store/DocumentLock.h"
#include "platform/Logging.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QThreadPool>

#include <mutex>

#include <unistd.h>

namespace cv::leftovers {

namespace {

std::mutex g_guard;
QSet<QString> g_swept;

QThreadPool &pool()
{
    static QThreadPool *sweeps = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    return *sweeps;
}

} // namespace

void sweep(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System,
                                             QDir::Unsorted)) {
        if (!cv::ReplacingFile::stoppedTemporary(name) && !cv::DocumentLock::isStoppedRewrite(dir.filePath(name)))
            continue;
        if (::unlink(QFile::encodeName(dir.filePath(name)).constData()) == 0)
            qCInfo(lcDocument) << "removed what a stopped program left:" << dir.filePath(name);
    }
}

void sweepOnce(const QString &folder)
{
    {
        std::lock_guard lock(g_guard);
        if (g_swept.contains(folder)) return;
        g_swept.insert(folder);
    }
    pool().start([folder] { sweep(folder); });
}

void waitAndForgetForTests()
{
    pool().waitForDone();
    std::lock_guard lock(g_guard);
    g_swept.clear();
}

} // namespace cv::leftovers
