#pragma once
// Reading an import file whole, behind a size guard: every reader works on
// the file's bytes in memory, so a file far beyond any statement is refused
// before it is read, and so is anything that is not a regular file.

#include <QByteArray>
#include <QString>

class QObject;

namespace cv {

inline constexpr qint64 kImportSizeLimit = 64LL * 1024 * 1024;

enum class ImportFileStatus {
    Read,
    CannotOpen,
    TooLarge,
    NotAFile, // a folder, FIFO, socket or device: never read
};

struct ImportFile {
    ImportFileStatus status = ImportFileStatus::CannotOpen;
    QByteArray data; // the whole file when read
};

ImportFile readImportFile(const QString &path, qint64 limit = kImportSizeLimit);

// Tells the user, naming the file, why it was not read; nothing for Read.
void alertImportFile(ImportFileStatus status, const QString &path, QObject *window = nullptr);

// The alert for a file that was read but holds nothing this import knows.
void alertNotRecognised(const QString &path, QObject *window = nullptr);
// The alert for a file of a known form that breaks off or is malformed.
void alertDamaged(const QString &path, QObject *window = nullptr);

} // namespace cv
