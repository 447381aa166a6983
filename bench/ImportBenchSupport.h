#pragma once
// What the import benchmarks share: their synthetic files, written once into
// a temporary folder that lasts the whole run.

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

} // namespace cv::bench
