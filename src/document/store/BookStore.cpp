// The document file, the working copy and the day numbers.
#include "document/store/BookStore.h"

#include "document/BookChanges.h"
#include "document/store/DocumentContainer.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/WorkingFolder.h"
#include "platform/Alert.h"
#include "platform/DateIntegers.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <memory>

namespace cv {

BookStore::BookStore(BookChanges *document) : m_document(document), m_workingPath(cv::work::newWorkingPath())
{
    m_database = std::make_unique<SQLDatabase3>(m_workingPath);
}

BookStore::~BookStore()
{
    close();
    m_database.reset();
    removeWorkingFile();
}

void BookStore::removeWorkingFile()
{
    if (m_workingPath.isEmpty()) return;
    QFile::remove(m_workingPath);
    QFile::remove(m_workingPath + QStringLiteral("-journal"));
    QFile::remove(m_workingPath + QStringLiteral("-wal"));
    QFile::remove(m_workingPath + QStringLiteral("-shm"));
}

void BookStore::close()
{
    if (m_database) m_database->close();
    m_isOpen = false;
    forgetWeekCounts();
}

void BookStore::setChanged(bool changed)
{
    if (m_document) m_document->updateChangeCount(changed ? BookChanges::ChangeDone : BookChanges::ChangeCleared);
}

int BookStore::getRefDays(const QDate &date) const
{
    return cv::dates::dayNumber(date);
}

QDate BookStore::makeDate(int days) const
{
    return cv::dates::fromDayNumber(days);
}

// ---------------------------------------------------------------- opening

bool BookStore::openDatabase()
{
    // The working copy is never recovered after a crash (the next run deletes
    // it), so waiting for the disk on every edit would buy nothing. Replaced
    // rows (an old password row among them) must not live on in freed pages.
    m_database->setConnectionSetup(QStringLiteral("PRAGMA synchronous=OFF; PRAGMA secure_delete=ON;"));
    if (!m_database->open()) return false;
    // A copy of a private book must not be readable by others.
    QFile::setPermissions(m_workingPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

bool BookStore::open(const QString &path, bool *upgraded)
{
    if (upgraded) *upgraded = false;
    m_failure.clear();
    if (path.isEmpty() || m_workingPath.isEmpty()) return false;
    close();
    const cv::DocumentContainer::Expanded expanded = cv::DocumentContainer::expand(path, m_workingPath, &m_failure);
    if (expanded == cv::DocumentContainer::Expanded::Unreadable) return false;
    if (expanded != cv::DocumentContainer::Expanded::Done) {
        removeWorkingFile();
        return false;
    }
    // A book saved while its store kept a log says so in its header, which
    // would ask a folder that may not keep one for the log's index. A packed
    // book carries no log: the header alone goes back to the rollback journal.
    // A log lying beside a new working copy is none of this book's.
    if (SQLDatabase3::headerSaysLog(m_workingPath) && !QFileInfo::exists(m_workingPath + QStringLiteral("-wal")))
        SQLDatabase3::setRollbackHeader(m_workingPath);
    const SQLDatabase3::SetupResult kind = m_database->setup();
    if (kind == SQLDatabase3::SetupResult::Unusable || !openDatabase()) {
        m_database->close();
        removeWorkingFile();
        m_failure = cv::localizedString(QStringLiteral("Open-Damaged"));
        return false;
    }
    if (upgraded) *upgraded = kind == SQLDatabase3::SetupResult::Upgraded;
    m_isOpen = true;
    setChanged(false);
    return true;
}

// ---------------------------------------------------------------- saving

bool BookStore::save(const QString &path, std::optional<unsigned> mode)
{
    m_failure.clear();
    if (!m_database || !m_database->isOpen()) {
        m_failure = cv::localizedString(QStringLiteral("Save-Store-Closed"));
        return false;
    }
    // The file alone is packed only once it holds every stored edit.
    if (SQLDatabase3::headerSaysLog(m_workingPath) && !m_database->setSnapshotReads(false))
        return saveThroughLog(path, mode);
    m_database->close();
    const bool written = path.isNull() || cv::DocumentContainer::write(m_workingPath, path, mode, &m_failure);
    if (reopen()) {
        if (written) setChanged(false);
        return written;
    }
    if (!written || path.isNull()) {
        // Nothing safe to rebuild from; the working file itself is intact.
        m_isOpen = false;
        return false;
    }

    Alert::warn(cv::localizedString(QStringLiteral("Database Open Failed. Recreate from the saved archive.")));
    // The old working file stays until the next run's clean-up.
    m_workingPath = cv::work::newWorkingPath();
    m_database = std::make_unique<SQLDatabase3>(m_workingPath);
    const bool rebuilt =
        cv::DocumentContainer::expand(path, m_workingPath) == cv::DocumentContainer::Expanded::Done && openDatabase();
    m_isOpen = rebuilt;
    setChanged(false);
    return true;
}

// The log could not be folded into the store (its disk is full): the store as
// read through the log goes to a copy beside the file, which is packed.
bool BookStore::saveThroughLog(const QString &path, std::optional<unsigned> mode)
{
    if (!m_database->isOpen()) {
        m_failure = cv::localizedString(QStringLiteral("Save-Store-Closed"));
        return false;
    }
    const QString copy = path.isNull() ? QString() : cv::ReplacingFile::scratchPathFor(path);
    int notMade = 0;
    if (!copy.isEmpty() && m_database->copyTo(copy, &notMade)) {
        const bool written = cv::DocumentContainer::write(copy, path, mode, &m_failure);
        QFile::remove(copy);
        if (written) setChanged(false);
        return written;
    }
    qCWarning(lcDocument) << "not saved: the store's log could not be folded nor copied";
    // Something in the copy's place, or a folder that takes no file of ours: no want of room.
    if (notMade != 0 && notMade != ENOSPC && notMade != EDQUOT) {
        m_failure = cv::formatString(cv::localizedString(QStringLiteral("Save-Log-Copy-Not-Made")),
                                     {cv::DocumentContainer::workingDiskFolder(m_workingPath, path),
                                      QDir::toNativeSeparators(QFileInfo(path).absolutePath()),
                                      QString::fromLocal8Bit(strerror(notMade))});
        return false;
    }
    m_failure = cv::formatString(cv::localizedString(QStringLiteral("Save-Log-No-Room")),
                                 {cv::DocumentContainer::workingDiskFolder(m_workingPath, path)});
    return false;
}

bool BookStore::reopen()
{
    for (int retry = 1; retry <= 3; ++retry) {
        if (openDatabase()) return true;
        qCWarning(lcDocument, "database reopen, retry = %d", retry);
        QThread::sleep(1);
    }
    return false;
}

} // namespace cv
