#pragma once
// The document fuzzers' start-up: the application object, the model classes
// and a private working folder, in memory when the machine has /dev/shm:
// every input makes a new working database.

#include "document/store/WorkingFolder.h"
#include "model/ModelArchiveClasses.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QTemporaryDir>

namespace fuzzwork {

inline QTemporaryDir &folder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/corvane-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/corvane-fuzz-XXXXXX"));
    return dir;
}

inline void setUp(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    cv::registerModelArchiveClasses();
    cv::work::setWorkFolder(folder().filePath(QStringLiteral("Work")));
    // Refused input logs why; at fuzzing speed that is only noise.
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false\nqt.*=false"));
}

} // namespace fuzzwork
