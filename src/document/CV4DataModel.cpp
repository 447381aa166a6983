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

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include <libdeflate.h>
#include <zlib.h>

namespace {

constexpr char kMagic[8] = {'K', 'A', 'V', 'R', 'I', 'C', 'V', '4'};
// Large enough that reading and writing the working copy costs few calls.
constexpr int kChunk = 1 << 18;
constexpr int kCompressionLevel = 6;

gzFile openGzip(const QString &path, const char *mode)
{
    gzFile file = gzopen(QFile::encodeName(path).constData(), mode);
    if (file) gzbuffer(file, 1 << 17);
    return file;
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
    forgetWeekCounts();
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
    // A copy of a private book must not be readable by others.
    QFile::setPermissions(m_workingPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
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
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
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
// The whole working copy is compressed in one call: libdeflate at level 6
// writes the same standard gzip stream as zlib's at half the time or less.
bool CV4DataModel::writeContainer(const QString &path)
{
    QString failure;
    QFile in(m_workingPath);
    if (!in.open(QIODevice::ReadOnly)) failure = in.errorString();
    const qint64 size = failure.isEmpty() ? in.size() : 0;
    if (failure.isEmpty() && (size < 0 || quint64(size) > std::numeric_limits<size_t>::max() - sizeof kMagic))
        failure = QStringLiteral("the working copy is too large");

    std::unique_ptr<char[]> plain;
    size_t plainSize = 0;
    if (failure.isEmpty()) {
        plainSize = sizeof kMagic + size_t(size);
        plain.reset(new (std::nothrow) char[plainSize]);
        if (!plain) failure = QStringLiteral("out of memory");
    }
    if (failure.isEmpty()) {
        memcpy(plain.get(), kMagic, sizeof kMagic);
        qint64 done = 0;
        while (done < size) {
            const qint64 n = in.read(plain.get() + sizeof kMagic + done, size - done);
            if (n <= 0) {
                failure = n < 0 ? in.errorString() : QStringLiteral("the working copy changed while saving");
                break;
            }
            done += n;
        }
    }
    in.close();

    std::unique_ptr<char[]> packed;
    size_t packedSize = 0;
    if (failure.isEmpty()) {
        libdeflate_compressor *compressor = libdeflate_alloc_compressor(kCompressionLevel);
        if (!compressor) {
            failure = QStringLiteral("out of memory");
        } else {
            const size_t bound = libdeflate_gzip_compress_bound(compressor, plainSize);
            packed.reset(new (std::nothrow) char[bound]);
            if (!packed)
                failure = QStringLiteral("out of memory");
            else
                packedSize = libdeflate_gzip_compress(compressor, plain.get(), plainSize, packed.get(), bound);
            libdeflate_free_compressor(compressor);
            if (failure.isEmpty() && packedSize == 0) failure = QStringLiteral("compression failed");
        }
    }
    plain.reset();

    QSaveFile file(path);
    if (failure.isEmpty() && !file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDocument) << "cannot create" << path << file.errorString();
        return false;
    }
    if (failure.isEmpty() && file.write(packed.get(), qint64(packedSize)) != qint64(packedSize))
        failure = file.errorString();
    packed.reset();
    if (failure.isEmpty() && !file.commit()) failure = file.errorString();
    if (!failure.isEmpty()) {
        qCWarning(lcDocument) << "saving failed:" << path << failure;
        file.cancelWriting();
        return false;
    }
    return true;
}
