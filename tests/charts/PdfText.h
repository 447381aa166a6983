#pragma once
// Prints read back with poppler's tools (poppler-utils, from scripts/install-deps.sh).

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace cvtest {

inline QString runTool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(30000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// The text of a PDF on one line, as a reader searching it gets it.
inline QString pdfText(const QString &file)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")}).simplified();
}

// Without pdftotext a test that reads prints skips; under CI=true that is a failure.
inline bool pdfTextMissing()
{
    const bool missing = QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    if (missing && qEnvironmentVariable("CI") == QLatin1String("true"))
        ADD_FAILURE() << "pdftotext is missing: scripts/install-deps.sh installs poppler-utils";
    return missing;
}

} // namespace cvtest
