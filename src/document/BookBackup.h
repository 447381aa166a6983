#pragma once
// Dated backup copies of document files in the folder "Corvane Backup" of the
// support folder: base.yy-mm-dd.extension, one per document and day, the
// newest kept up to the preferences' backup count.

#include <QDate>
#include <QString>

#include <functional>

namespace cv {

// Makes sure the backup folder exists (copying an older program's backup
// folder once) and answers its path; a null text when it cannot be made.
QString PrepareBackupFolder();

namespace backup {

inline constexpr int kMaxBackups = 50;

// The backup folder, not created here.
QString folderPath();
// Moves the backup folder and the older program's support folder elsewhere
// (tests); empty texts return to the default places.
void setFolders(const QString &folder, const QString &oldSupportFolder = QString());
QString oldSupportFolderPath();

// Today's date for backup names; tests inject a clock (empty: the real one).
void setClock(std::function<QDate()> clock);
QDate today();

// The number of backups to keep; by default the application preferences'.
void setCountSource(std::function<int()> source);
int count();

// The part before the date: the base itself, or where the dated name would
// pass the 255 bytes a file name may take, the base cut short and marked by
// a digest of the whole base, so two long names never share their backups.
QString stem(const QString &base, const QString &extension);
// "stem.yy-mm-dd.extension".
QString fileName(const QString &base, const QDate &date, const QString &extension);
// Whether a file name is a dated backup of base.extension: after the stem, the middle part is
// digits, "-", digits, "-", digits (each run may be empty).
bool isBackupOf(const QString &name, const QString &base, const QString &extension);

} // namespace backup
} // namespace cv
