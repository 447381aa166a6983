#pragma once
// What the import benchmarks share: their synthetic files, written once into
// a temporary folder that lasts the whole run, and their main.

#include "platform/Localization.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace cv::bench {

// The path of a file of that name holding the bytes.
inline QString temporaryFile(const QString &name, const QByteArray &bytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

// Runs what `add` registers in an offscreen application speaking English.
inline int run(int argc, char **argv, void (*add)())
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cv::setLanguageOverride(QStringLiteral("en"));
    add();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace cv::bench
