// The document file, the working copy and the day numbers.
#include "document/CV4DataModel.h"

#include "document/CV4DocumentChanges.h"
#include "document/SQLDatabase3.h"
#include "document/WorkingFolder.h"
#include "platform/CV4Alert.h"
#include "platform/DateIntegers.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QFile>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <unistd.h>
#include <zlib.h>

namespace {

constexpr char kMagic[8] = {'K', 'A', 'V', 'R', 'I', 'C', 'V', '4'};
constexpr int kChunk = 8192;

gzFile openGzip(const QString &path, const char *mode)
{
    return gzopen(QFile::encodeName(path).constData(), mode);
}

} // namespace

CV4DataModel::CV4DataModel(CV4DocumentChanges *document)
    : m_document(document), m_workingPath(cv::work::newWorkingPath())
{
    m_database = std::make_unique<SQLDatabase3>(m_workingPath);
}

CV4DataModel::~CV4DataModel()
{
    close();
    m_database.reset();
    removeWorkingFile();
}

void CV4DataModel::removeWorkingFile()
{
    if (m_workingPath.isEmpty()) return;
    QFile::remove(m_workingPath);
    QFile::remove(m_workingPath + QStringLiteral("-journal"));
}

void CV4DataModel::close()
{
    if (m_database) m_database->close();
    m_isOpen = false;
}

void CV4DataModel::setChanged(bool changed)
{
    if (m_document)
        m_document->updateChangeCount(changed ? CV4DocumentChanges::ChangeDone : CV4DocumentChanges::ChangeCleared);
}

int CV4DataModel::getRefDays(const QDate &date) const
{
    return cv::dates::dayNumber(date);
}

QDate CV4DataModel::makeDate(int days) const
{
    return cv::dates::fromDayNumber(days);
}

// ---------------------------------------------------------------- opening

bool CV4DataModel::openDatabase()
{
    if (!m_database->open()) return false;
    // The working copy is never recovered after a crash (the next run deletes
    // it), so waiting for the disk on every edit would buy nothing.
    m_database->performQuery(QStringLiteral("PRAGMA synchronous=OFF;"));
    // Replaced rows (an old password row among them) must not live on in freed pages.
    m_database->performQuery(QStringLiteral("PRAGMA secure_delete=ON;"));
    return true;
}

bool CV4DataModel::open(const QString &path, bool *upgraded)
{
    if (upgraded) *upgraded = false;
    if (path.isEmpty() || m_workingPath.isEmpty()) return false;
    close();
    gzFile in = openGzip(path, "rb");
    if (!in) return false;
    if (!expand(in)) {
        removeWorkingFile();
        return false;
    }
    const SQLDatabase3::SetupResult kind = m_database->setup();
    if (kind == SQLDatabase3::SetupResult::Unusable || !openDatabase()) {
        m_database->close();
        removeWorkingFile();
        return false;
    }
    if (upgraded) *upgraded = kind == SQLDatabase3::SetupResult::Upgraded;
    m_isOpen = true;
    setChanged(false);
    return true;
}

// Writes the working copy from the stream after the magic, and closes the
// stream. A stream that breaks off counts as a failure: zlib reports a
// premature end only through gzerror and gzclose, not through gzread.
bool CV4DataModel::expand(void *stream)
{
    gzFile in = static_cast<gzFile>(stream);
    char magic[sizeof kMagic];
    if (gzread(in, magic, sizeof magic) != int(sizeof magic) || memcmp(magic, kMagic, sizeof magic) != 0) {
        gzclose(in);
        return false;
    }
    QFile out(m_workingPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        gzclose(in);
        return false;
    }
    bool ok = true;
    std::vector<char> buffer(kChunk);
    for (;;) {
        const int n = gzread(in, buffer.data(), kChunk);
        if (n == 0) break;
        if (n < 0 || out.write(buffer.data(), n) != n) {
            ok = false;
            break;
        }
    }
    int error = Z_OK;
    gzerror(in, &error);
    if (error != Z_OK) ok = false;
    if (gzclose(in) != Z_OK) ok = false;
    if (!out.flush()) ok = false;
    out.close();
    if (!ok) qCWarning(lcDocument) << "the document file is damaged or cut short";
    return ok;
}

// ---------------------------------------------------------------- saving

bool CV4DataModel::save(const QString &path)
{
    if (!m_database || !m_database->isOpen()) return false;
    m_database->close();
    const bool written = path.isNull() || writeContainer(path);
    if (reopen()) {
        if (written) setChanged(false);
        return written;
    }
    if (!written || path.isNull()) {
        // Nothing safe to rebuild from; the working file itself is intact.
        m_isOpen = false;
        return false;
    }

    CV4Alert::warn(cv::localizedString(QStringLiteral("Database Open Failed. Recreate from the saved archive.")));
    // The old working file stays until the next run's clean-up.
    m_workingPath = cv::work::newWorkingPath();
    m_database = std::make_unique<SQLDatabase3>(m_workingPath);
    gzFile in = openGzip(path, "rb");
    const bool rebuilt = in && expand(in) && openDatabase();
    m_isOpen = rebuilt;
    setChanged(false);
    return true;
}

bool CV4DataModel::reopen()
{
    for (int retry = 1; retry <= 3; ++retry) {
        if (openDatabase()) return true;
        qCWarning(lcDocument, "databse reopen, retry = %d", retry);
        QThread::sleep(1);
    }
    return false;
}

// The new file is written beside the target and renamed over it only when it
// is complete and on disk, so a failed save never touches the old document.
bool CV4DataModel::writeContainer(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDocument) << "cannot create" << path << file.errorString();
        return false;
    }
    const int fd = ::dup(file.handle());
    gzFile out = fd < 0 ? nullptr : gzdopen(fd, "wb");
    if (!out) {
        if (fd >= 0) ::close(fd);
        file.cancelWriting();
        return false;
    }

    QString failure;
    auto zlibFailure = [&] {
        int code = Z_OK;
        const char *text = gzerror(out, &code);
        return code == Z_ERRNO ? QString::fromLocal8Bit(strerror(errno)) : QString::fromLatin1(text);
    };
    if (gzwrite(out, kMagic, sizeof kMagic) != int(sizeof kMagic)) failure = zlibFailure();
    QFile in(m_workingPath);
    if (failure.isEmpty() && !in.open(QIODevice::ReadOnly)) failure = in.errorString();
    std::vector<char> buffer(kChunk);
    while (failure.isEmpty()) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n == 0) break;
        if (n < 0)
            failure = in.errorString();
        else if (gzwrite(out, buffer.data(), unsigned(n)) != int(n))
            failure = zlibFailure();
    }
    // The final close writes what zlib still holds; it can fail like any write.
    errno = 0;
    if (gzclose(out) != Z_OK && failure.isEmpty())
        failure = errno ? QString::fromLocal8Bit(strerror(errno)) : QStringLiteral("compression failed");
    if (failure.isEmpty() && !file.commit()) failure = file.errorString();
    if (!failure.isEmpty()) {
        qCWarning(lcDocument) << "saving failed:" << path << failure;
        file.cancelWriting();
        return false;
    }
    return true;
}
