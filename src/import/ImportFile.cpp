#include "import/ImportFile.h"

#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

void alertAbout(const char *key, const QString &path, QObject *window)
{
    Alert::alert(localizedString("Import-Alert-Title"),
                 formatString(localizedString(key), {QFileInfo(QDir::cleanPath(path)).fileName()}), window);
}

} // namespace

ImportFile readImportFile(const QString &path, qint64 limit)
{
    ImportFile result;
    // Never blocks: a FIFO or device opens at once and is refused by its type
    // before a byte is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.status = errno == ENXIO ? ImportFileStatus::NotAFile : ImportFileStatus::CannotOpen;
        return result;
    }
    struct stat info {};
    const bool stated = ::fstat(fd, &info) == 0;
    if (!stated || !S_ISREG(info.st_mode)) {
        result.status = stated ? ImportFileStatus::NotAFile : ImportFileStatus::CannotOpen;
        ::close(fd);
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return result;
    }
    // The size is asked of the open file, and the read stops at the limit,
    // so a file that grows meanwhile is still refused.
    if (info.st_size > limit) {
        result.status = ImportFileStatus::TooLarge;
        return result;
    }
    result.data = file.read(limit + 1);
    if (result.data.size() > limit) {
        result.data.clear();
        result.status = ImportFileStatus::TooLarge;
        return result;
    }
    result.status = file.error() == QFileDevice::NoError ? ImportFileStatus::Read : ImportFileStatus::CannotOpen;
    if (result.status != ImportFileStatus::Read) result.data.clear();
    return result;
}

void alertImportFile(ImportFileStatus status, const QString &path, QObject *window)
{
    switch (status) {
    case ImportFileStatus::Read: return;
    case ImportFileStatus::CannotOpen: alertAbout("Import-Cannot-Open", path, window); return;
    case ImportFileStatus::TooLarge: alertAbout("Import-Too-Large", path, window); return;
    case ImportFileStatus::NotAFile: alertAbout("Import-Not-A-File", path, window); return;
    }
}

void alertNotRecognised(const QString &path, QObject *window)
{
    alertAbout("Import-Not-Recognised", path, window);
}

void alertDamaged(const QString &path, QObject *window)
{
    alertAbout("Import-Damaged", path, window);
}

} // namespace cv
