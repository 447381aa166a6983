#include "import/ImportFile.h"

#include "platform/CV4Alert.h"
#include "platform/Localization.h"

#include <QFile>
#include <QFileInfo>

namespace cv {

namespace {

void alertAbout(const char *key, const QString &path, QObject *window)
{
    CV4Alert::alert(localizedString("Import-Alert-Title"),
                    formatString(localizedString(key), {QFileInfo(path).fileName()}), window);
}

} // namespace

ImportFile readImportFile(const QString &path, qint64 limit)
{
    ImportFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return result;
    // The size is asked of the open file, and the read stops at the limit,
    // so a file that grows meanwhile is still refused.
    if (file.size() > limit) {
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
