#pragma once
// A private working folder for the document fuzzers, in memory when the
// machine has /dev/shm: every input makes a new working database.

#include "document/WorkingFolder.h"

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

inline void setUp()
{
    cv::work::setWorkFolder(folder().filePath(QStringLiteral("Work")));
    // Refused input logs why; at fuzzing speed that is only noise.
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false\nqt.*=false"));
}

} // namespace fuzzwork
