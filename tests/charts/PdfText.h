#pragma once
// Printed pages read back with poppler's tools (poppler-utils, installed by
// scripts/install-deps.sh). Without them the tests that read prints skip,
// except under CI=true, where a missing tool is a failure.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

namespace cvtest {

inline QString runTool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF on one line; poppler answers some CJK glyphs as Kangxi
// radicals, which compatibility normalisation maps back.
inline QString pdfText(const QString &file)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")})
        .normalized(QString::NormalizationForm_KC)
        .simplified();
}

} // namespace cvtest

// In SetUp or a test body: skips without pdftotext, fails without it in CI.
#define CVTEST_REQUIRE_PDFTOTEXT()                                                                                     \
    do {                                                                                                               \
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {                                   \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                FAIL() << "pdftotext is missing: scripts/install-deps.sh installs poppler-utils";                      \
            GTEST_SKIP() << "pdftotext is missing: scripts/install-deps.sh installs poppler-utils";                    \
        }                                                                                                              \
    } while (false)
