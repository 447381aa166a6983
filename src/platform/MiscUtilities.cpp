#include "platform/MiscUtilities.h"

#include "platform/Alert.h"
#include "platform/DateIntegers.h"
#include "platform/Localization.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace cv {

QDate MiscUtilities::startOfToday()
{
    return QDate::currentDate();
}

int MiscUtilities::dateToInt(const QDate &date)
{
    return cv::dates::archiveDate(date);
}

QDate MiscUtilities::intToDate(int value)
{
    return cv::dates::fromArchiveDate(value);
}

QString SupportPath(const QString &component)
{
    // The program's name once: "Corvane", not "Corvane/Corvane".
    static const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Corvane");
    if (component.isEmpty()) return folder;
    return folder + QLatin1Char('/') + component;
}

QString PreviousSupportPath(const QString &component)
{
    static const QString folder = [] {
        const QString previous = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        return previous == SupportPath() ? QString() : previous;
    }();
    if (folder.isEmpty() || component.isEmpty()) return folder;
    return folder + QLatin1Char('/') + component;
}

namespace {

QString expandTilde(const QString &path)
{
    if (path == QLatin1String("~")) return QDir::homePath();
    if (path.startsWith(QLatin1String("~/"))) return QDir::homePath() + path.mid(1);
    return path;
}

// Makes one folder whose parent exists; another process making it first is fine.
bool makeOneFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    if (info.exists()) {
        Alert::warn(localizedString(QStringLiteral("Directory creation failed (file with same name exists): ")) +
                    QDir::toNativeSeparators(folder));
        return false;
    }
    if (QDir().mkdir(folder) || QFileInfo(folder).isDir()) return true;
    Alert::warn(localizedString(QStringLiteral("Directory creation failed: ")) + QDir::toNativeSeparators(folder));
    return false;
}

} // namespace

bool CreateDirectoryRecursivelyAtPath(const QString &path)
{
    if (path.isEmpty()) {
        Alert::warn(localizedString(QStringLiteral("Directory creation failed: ")));
        return false;
    }
    const QString target = QDir::cleanPath(QFileInfo(expandTilde(path)).absoluteFilePath());
    if (QFileInfo(target).isDir()) return true;

    // One folder at a time, so the user learns which one stood in the way.
    for (qsizetype slash = target.indexOf(QLatin1Char('/'), 1); slash > 0;
         slash = target.indexOf(QLatin1Char('/'), slash + 1)) {
        const QString parent = target.left(slash);
        if (parent.endsWith(QLatin1Char(':'))) continue; // a drive, not a folder
        if (!makeOneFolder(parent)) return false;
    }
    return makeOneFolder(target);
}

void QuietLog(const QString &format, const QVariantList &args)
{
    const QByteArray line = (formatString(format, args) + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

QString stringWithoutTrailingZeroes(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) return text;
    if (text.size() - point - 1 == 2 && text.at(point + 1) != QLatin1Char('0')) return text;
    qsizetype end = text.size();
    while (end > point + 1 && text.at(end - 1) == QLatin1Char('0')) --end;
    if (end == point + 1) --end;
    return text.left(end);
}

} // namespace cv
