#include "document/store/DocumentContainer.h"

#include "document/store/WorkingFolder.h"
#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <libdeflate.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zlib.h>

namespace cv {

namespace {

constexpr char kMagic[8] = {'K', 'A', 'V', 'R', 'I', 'C', 'V', '4'};
// Large enough that reading and writing the working copy costs few calls.
constexpr int kChunk = 1 << 18;

gzFile openGzip(const QString &path, const char *mode)
{
    gzFile file = gzopen(QFile::encodeName(path).constData(), mode);
    if (file) gzbuffer(file, 1 << 17);
    return file;
}

// The largest store this program is built to keep is some hundred megabytes
// (a million entries): four gigabytes leaves room for books far beyond that.
constexpr qint64 kMostStoreBytes = qint64(4) << 30;
// The upgrade reads an older store whole into memory and writes it out again.
constexpr qint64 kMostOldStoreBytes = qint64(256) << 20;
constexpr int kStoreHeaderBytes = 100;

std::atomic<qint64> g_expansionBoundForTests{0};
std::atomic<qint64> g_freeSpaceForTests{-1};

quint32 bigEndian32(const unsigned char *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// The store's size as its header states it, where the header keeps one
// (page size times page count, while the count's version matches the
// change counter, as SQLite itself reads it).
std::optional<qint64> statedStoreSize(const unsigned char *header, int size)
{
    static constexpr char kSQLite3[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                          'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    if (size < kStoreHeaderBytes || memcmp(header, kSQLite3, sizeof kSQLite3) != 0) return std::nullopt;
    const quint32 field = quint32(header[16]) << 8 | header[17];
    const quint32 pageSize = field == 1 ? 65536 : field;
    const quint32 pages = bigEndian32(header + 28);
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0 || pages == 0 ||
        bigEndian32(header + 24) != bigEndian32(header + 92))
        return std::nullopt;
    return qint64(pageSize) * pages;
}

// What this user may still write in `folder`; none when the disk does not say.
std::optional<qint64> freeSpace(const QString &folder)
{
    if (const qint64 forTests = g_freeSpaceForTests; forTests >= 0) return forTests;
    struct statvfs disk {};
    if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0) return std::nullopt;
    return qint64(std::min<unsigned long long>((unsigned long long)disk.f_bavail * disk.f_frsize,
                                               (unsigned long long)std::numeric_limits<qint64>::max()));
}

qint64 twice(qint64 bytes)
{
    return bytes > std::numeric_limits<qint64>::max() / 2 ? std::numeric_limits<qint64>::max() : 2 * bytes;
}

// A store and a margin for its journal and its growth: a rollback journal
// keeps only the pages an edit changes, and an edit that meets a full disk
// is rolled back whole, so the margin need not be the store again.
qint64 roomFor(qint64 store)
{
    const qint64 margin = DocumentContainer::marginFor(store);
    return store > std::numeric_limits<qint64>::max() - margin ? std::numeric_limits<qint64>::max() : store + margin;
}

// The folder the user knows on the working copy's disk: the book's own when
// it shares that disk, else the program's data folder (never the working
// folder inside it, which nobody looks for).
QString roomFolder(const QString &bookPath, const QString &workingFolder)
{
    const QString book = QFileInfo(bookPath).absolutePath();
    struct stat bookDisk {
    }, workingDisk{};
    if (!bookPath.isEmpty() && ::stat(QFile::encodeName(book).constData(), &bookDisk) == 0 &&
        ::stat(QFile::encodeName(workingFolder).constData(), &workingDisk) == 0 &&
        bookDisk.st_dev == workingDisk.st_dev)
        return QDir::toNativeSeparators(book);
    return QDir::toNativeSeparators(QFileInfo(cv::work::workFolder()).absolutePath());
}

QString shownSize(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

// The user's words for a save that failed in `folder`, by the system's error.
QString saveFailureWords(int error, const QString &folder, const QString &failure)
{
    const QString where = QDir::toNativeSeparators(folder);
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return cv::formatString(cv::localizedString(QStringLiteral("Save-Failed-No-Room")), {where});
    case EROFS: return cv::formatString(cv::localizedString(QStringLiteral("Save-Refused-Folder")), {where});
    case EACCES:
    case EPERM:
        return cv::formatString(cv::localizedString(QStringLiteral("Save-Failed-Not-Permitted")),
                                {where, systemText(error)});
    default: return cv::formatString(cv::localizedString(QStringLiteral("Save-Failed-System")), {failure});
    }
}

bool writeAllTo(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

// A stream that breaks off counts as a failure: zlib reports a premature end
// only through gzerror and gzclose, not through gzread. A store whose header
// states its size is read to that size and no further: what follows it is no
// part of the book.
DocumentContainer::Expanded expandStream(gzFile in, const QString &path, const QString &workingPath, QString *why)
{
    using Expanded = DocumentContainer::Expanded;
    const auto damaged = [&](const QString &what) {
        qCWarning(lcDocument).noquote() << "the document file" << path << "is damaged:" << what;
        if (why) *why = cv::localizedString(QStringLiteral("Open-Damaged"));
        return Expanded::Damaged;
    };
    char magic[sizeof kMagic];
    if (gzread(in, magic, sizeof magic) != int(sizeof magic) || memcmp(magic, kMagic, sizeof magic) != 0) {
        gzclose(in);
        return damaged(QStringLiteral("it is no book"));
    }
    const QString folder = QFileInfo(workingPath).absolutePath();
    const QByteArray working = QFile::encodeName(workingPath);
    const int out = ::open(working.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        gzclose(in);
        qCWarning(lcDocument) << "cannot open" << path << "its working copy cannot be made:" << systemText(error);
        if (why)
            *why = cv::formatString(cv::localizedString(QStringLiteral("Open-Working-Copy-Failed")),
                                    {QDir::toNativeSeparators(folder), systemText(error)});
        return Expanded::Unreadable;
    }
    std::vector<char> buffer(kChunk);
    int n = gzread(in, buffer.data(), kStoreHeaderBytes);
    const std::optional<qint64> stated =
        statedStoreSize(reinterpret_cast<const unsigned char *>(buffer.data()), std::max(n, 0));
    const bool current = n >= 16 && memcmp(buffer.data(), "SQLite format 3", 16) == 0;
    const qint64 most = g_expansionBoundForTests ? qint64(g_expansionBoundForTests)
                        : current                ? kMostStoreBytes
                                                 : kMostOldStoreBytes;
    const std::optional<qint64> free = freeSpace(folder);
    // A store of unknown size may turn out far larger than the disk holds:
    // it takes at most half the free space, and its margin on top.
    const qint64 wanted = stated ? *stated : std::min(most, free ? *free / 2 : most);
    const auto unstatedRoom = [](qint64 bytes) { return std::max(twice(bytes), roomFor(bytes)); };
    QString broken;
    qint64 needed = 0; // above zero: refused for want of room
    if (stated && *stated > most)
        broken = QStringLiteral("its store states %1 bytes, more than a book holds (%2)").arg(*stated).arg(most);
    else if (stated && free && roomFor(*stated) > *free)
        needed = roomFor(*stated);
    int writeError = 0;
    qint64 written = 0;
    while (broken.isEmpty() && needed == 0 && n > 0) {
        const qint64 take = std::min<qint64>(n, wanted - written);
        if (!writeAllTo(out, buffer.data(), take)) {
            writeError = errno;
            if (writeError == ENOSPC || writeError == EDQUOT || writeError == EFBIG)
                needed = stated ? roomFor(*stated) : unstatedRoom(written + take);
            break;
        }
        written += take;
        if (written == wanted) break;
        n = gzread(in, buffer.data(), unsigned(std::min<qint64>(kChunk, wanted - written)));
    }
    // Without a stated size, the bound reached with more to come is a bomb
    // when no book is that large, else a book the disk has no room for: the
    // rest is counted, not written, so that the refusal names what it needs
    // (at least twice the free space, past that).
    if (broken.isEmpty() && needed == 0 && writeError == 0 && !stated && written == wanted &&
        gzread(in, buffer.data(), 1) > 0) {
        const qint64 counted = free ? std::min(most, *free) : most;
        qint64 total = written + 1;
        int more = 0;
        while (total <= counted &&
               (more = gzread(in, buffer.data(), unsigned(std::min<qint64>(kChunk, counted - total + 1)))) > 0)
            total += more;
        if (total > most)
            broken = QStringLiteral("it expands beyond %1 bytes").arg(most);
        else if (more < 0)
            broken = QStringLiteral("its stream is broken");
        else
            needed = unstatedRoom(total);
    }
    if (broken.isEmpty() && needed == 0 && writeError == 0 && !stated && free && roomFor(written) > *free)
        needed = roomFor(written);
    const bool stopped = !broken.isEmpty() || needed > 0 || writeError != 0;
    if (!stopped && stated && written < *stated) broken = QStringLiteral("its store is cut short");
    int error = Z_OK;
    gzerror(in, &error);
    if (!stopped && broken.isEmpty() && (n < 0 || error != Z_OK)) broken = QStringLiteral("its stream is broken");
    if (gzclose(in) != Z_OK && !stopped && broken.isEmpty()) broken = QStringLiteral("its stream is cut short");
    if (::close(out) != 0 && !stopped && broken.isEmpty()) writeError = errno;
    if (broken.isEmpty() && needed == 0 && writeError == 0) return Expanded::Done;
    ::unlink(working.constData());
    if (needed > 0) {
        qCWarning(lcDocument) << "cannot open" << path << "its store and journal need" << needed << "bytes in" << folder
                              << "which has" << free.value_or(0) << "free";
        if (why)
            *why = cv::formatString(cv::localizedString(QStringLiteral("Open-No-Room")),
                                    {roomFolder(path, folder), shownSize(needed), shownSize(free.value_or(0))});
        return Expanded::NoRoom;
    }
    if (writeError != 0) {
        qCWarning(lcDocument) << "cannot open" << path
                              << "its working copy cannot be written:" << systemText(writeError);
        if (why)
            *why = cv::formatString(cv::localizedString(QStringLiteral("Open-Working-Copy-Failed")),
                                    {QDir::toNativeSeparators(folder), systemText(writeError)});
        return Expanded::Unreadable;
    }
    return damaged(broken);
}

// The working copy is packed on every core as one gzip member, the way pigz
// does it: the copy is cut into pieces, each piece deflated raw with the
// 32 KiB before it as its dictionary and ended on a byte boundary, so the
// pieces join into one deflate stream; their checksums join by crc32_combine.
// The pieces are written in order as they come, so the file is written while
// the rest is still compressing and only a few pieces are held at a time.
class Packer {
public:
    Packer(int fd, size_t fileSize)
        : m_fd(fd), m_plainSize(sizeof kMagic + fileSize), m_pieces((m_plainSize + kPiece - 1) / kPiece)
    {
    }

    // Writes the whole member into `out` with at most `cores` threads; false
    // with `failure` set otherwise.
    bool run(ReplacingFile &out, int cores, QString &failure)
    {
        const size_t workers = std::min<size_t>({size_t(std::max(cores, 1)), kMostWorkers, m_pieces.size()});
        m_ahead = 4 * workers;
        std::vector<std::thread> threads;
        try {
            for (size_t i = 0; i < workers; ++i) threads.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
            // Fewer workers only slow the save down; none at all fails it below.
        }
        if (threads.empty()) fail(QStringLiteral("the packing threads cannot start"));

        static constexpr char header[10] = {'\x1f', '\x8b', 8, 0, 0, 0, 0, 0, 0, 3};
        bool ok = threads.empty() ? false : out.write(header, sizeof header);
        uLong crc = crc32(0, nullptr, 0);
        for (size_t k = 0; ok && k < m_pieces.size(); ++k) {
            Piece piece;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_pieces[k].done || m_stop; });
                if (!m_pieces[k].done) break;
                piece = std::move(m_pieces[k]);
                m_written = k + 1;
            }
            m_changed.notify_all();
            ok = out.write(piece.packed.data(), piece.packed.size());
            crc = crc32_combine(crc, piece.crc, z_off_t(piece.plainSize));
        }
        if (!ok) fail(out.errorString());
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
            failure = m_failure;
        }
        m_changed.notify_all();
        for (std::thread &t : threads) t.join();
        if (!failure.isEmpty()) return false;

        unsigned char trailer[8];
        for (int i = 0; i < 4; ++i) {
            trailer[i] = static_cast<unsigned char>(crc >> (8 * i));
            trailer[4 + i] = static_cast<unsigned char>(quint64(m_plainSize) >> (8 * i)); // the size mod 2^32
        }
        if (!out.write(trailer, sizeof trailer)) {
            failure = out.errorString();
            return false;
        }
        return true;
    }

private:
    // Small enough to spread a small book over every core; the dictionary
    // keeps the file within 0.1 % of what larger pieces give.
    static constexpr size_t kPiece = size_t(1) << 18;
    static constexpr size_t kWindow = size_t(1) << 15;
    static constexpr size_t kMostWorkers = 8;

    struct Piece {
        std::vector<unsigned char> packed;
        uLong crc = 0;
        size_t plainSize = 0;
        bool done = false;
    };

    void fail(const QString &why)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_failure.isEmpty()) m_failure = why;
            m_stop = true;
        }
        m_changed.notify_all();
    }

    void work()
    {
        z_stream z{};
        if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            fail(QStringLiteral("out of memory"));
            return;
        }
        std::vector<unsigned char> input;
        try {
            for (;;) {
                const size_t k = m_next.fetch_add(1);
                if (k >= m_pieces.size()) break;
                {
                    // Never run far ahead of the file, so memory stays a few pieces.
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [&] { return m_stop || k < m_written + m_ahead; });
                    if (m_stop) break;
                }
                Piece piece;
                const QString why = pack(k, z, input, piece);
                if (!why.isEmpty()) {
                    fail(why);
                    break;
                }
                {
                    std::lock_guard lock(m_mutex);
                    m_pieces[k] = std::move(piece);
                    m_pieces[k].done = true;
                }
                m_changed.notify_all();
            }
        } catch (const std::bad_alloc &) {
            fail(QStringLiteral("out of memory"));
        }
        deflateEnd(&z);
    }

    // Deflates piece `k`; an empty answer is success.
    QString pack(size_t k, z_stream &z, std::vector<unsigned char> &input, Piece &piece)
    {
        const size_t begin = k * kPiece;
        const size_t end = std::min(begin + kPiece, m_plainSize);
        const size_t from = k == 0 ? 0 : begin - std::min(begin, kWindow);
        input.resize(end - from);
        const QString why = readPlain(from, end, input.data());
        if (!why.isEmpty()) return why;

        const size_t dictionary = begin - from;
        if (deflateReset(&z) != Z_OK ||
            (dictionary > 0 && deflateSetDictionary(&z, input.data(), uInt(dictionary)) != Z_OK))
            return QStringLiteral("compression failed");
        piece.plainSize = end - begin;
        piece.crc = crc32(crc32(0, nullptr, 0), input.data() + dictionary, uInt(piece.plainSize));

        const bool last = end == m_plainSize;
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        z.next_in = input.data() + dictionary;
        z.avail_in = uInt(piece.plainSize);
        piece.packed.resize(deflateBound(&z, uLong(piece.plainSize)) + 16);
        size_t used = 0;
        for (;;) {
            if (used == piece.packed.size()) piece.packed.resize(2 * piece.packed.size());
            z.next_out = piece.packed.data() + used;
            z.avail_out = uInt(piece.packed.size() - used);
            const int rc = deflate(&z, flush);
            used = piece.packed.size() - z.avail_out;
            if (rc == Z_STREAM_END || (!last && rc == Z_OK && z.avail_out > 0)) break;
            if ((rc != Z_OK && rc != Z_BUF_ERROR) || (rc == Z_BUF_ERROR && z.avail_out > 0))
                return QStringLiteral("compression failed");
        }
        piece.packed.resize(used);
        return {};
    }

    // The plain bytes [from, end): the magic, then the working copy.
    QString readPlain(size_t from, size_t end, unsigned char *to) const
    {
        while (from < end && from < sizeof kMagic) *to++ = static_cast<unsigned char>(kMagic[from++]);
        while (from < end) {
            const ssize_t n = ::pread(m_fd, to, end - from, off_t(from - sizeof kMagic));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return QString::fromLocal8Bit(strerror(errno));
            if (n == 0) return QStringLiteral("the working copy changed while saving");
            to += n;
            from += size_t(n);
        }
        return {};
    }

    const int m_fd;
    const size_t m_plainSize;
    std::vector<Piece> m_pieces;
    std::atomic<size_t> m_next{0};
    size_t m_ahead = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_written = 0;
    bool m_stop = false;
    QString m_failure;
};

// Threads of other programs running right now, as the kernel counts them.
std::optional<int> runningElsewhere()
{
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return std::nullopt;
    for (QByteArray line; !(line = stat.readLine()).isEmpty();) {
        if (!line.startsWith("procs_running ")) continue;
        bool ok = false;
        const int running = line.mid(14).trimmed().toInt(&ok);
        return ok ? std::optional<int>(std::max(0, running - 1)) : std::nullopt;
    }
    return std::nullopt;
}

// The cores this process may run on (a laptop under taskset or a container
// has fewer than the machine) that other programs leave free: cores they keep
// busy only slow the pieces down.
std::atomic<int> g_coresForTests{0};

int availableCores()
{
    if (const int cores = g_coresForTests) return cores;
    cpu_set_t set;
    CPU_ZERO(&set);
    int cores =
        ::sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : int(std::thread::hardware_concurrency());
    cores = std::max(1, cores);
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    if (const std::optional<int> busy = runningElsewhere(); busy && online > 0)
        cores = std::clamp(int(online) - *busy, 1, cores);
    return cores;
}

// On one or two cores a single libdeflate call costs less than the pieces do
// in all, and its file is smaller; from three cores on the pieces win.
constexpr int kMostCoresForOneCall = 2;

// The magic and the working copy as one run of memory, the copy mapped right
// behind the magic rather than read, so the whole book is never copied.
class PlainImage {
public:
    PlainImage(int fd, size_t fileSize) : m_fileSize(fileSize)
    {
        const size_t page = size_t(::sysconf(_SC_PAGESIZE));
        m_length = page + fileSize;
        void *base = ::mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) return;
        m_base = static_cast<unsigned char *>(base);
        unsigned char *copy = m_base + page;
        memcpy(copy - sizeof kMagic, kMagic, sizeof kMagic);
        if (fileSize > 0 && ::mmap(copy, fileSize, PROT_READ, MAP_PRIVATE | MAP_FIXED, fd, 0) == MAP_FAILED &&
            !readInto(fd, copy)) {
            ::munmap(m_base, m_length);
            m_base = nullptr;
            return;
        }
        if (fileSize > 0) ::madvise(copy, fileSize, MADV_SEQUENTIAL);
    }
    ~PlainImage()
    {
        if (m_base) ::munmap(m_base, m_length);
    }
    PlainImage(const PlainImage &) = delete;
    PlainImage &operator=(const PlainImage &) = delete;

    const unsigned char *data() const { return m_base ? m_base + (m_length - m_fileSize) - sizeof kMagic : nullptr; }
    size_t size() const { return sizeof kMagic + m_fileSize; }

private:
    // Where the file cannot be mapped, it is read into the anonymous pages.
    bool readInto(int fd, unsigned char *to) const
    {
        for (size_t done = 0; done < m_fileSize;) {
            const ssize_t n = ::pread(fd, to + done, m_fileSize - done, off_t(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += size_t(n);
        }
        return true;
    }

    const size_t m_fileSize;
    size_t m_length = 0;
    unsigned char *m_base = nullptr;
};

// The whole member in one libdeflate call at level 6.
bool packInOneCall(int fd, size_t fileSize, ReplacingFile &out, QString &failure)
{
    const PlainImage plain(fd, fileSize);
    if (!plain.data()) {
        failure = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(6), &libdeflate_free_compressor);
    if (!compressor) {
        failure = QStringLiteral("out of memory");
        return false;
    }
    const size_t bound = libdeflate_gzip_compress_bound(compressor.get(), plain.size());
    // Left uninitialised: only the packed part's pages are ever touched.
    std::unique_ptr<unsigned char[]> packed(new (std::nothrow) unsigned char[bound]);
    if (!packed) {
        failure = QStringLiteral("out of memory");
        return false;
    }
    const size_t n = libdeflate_gzip_compress(compressor.get(), plain.data(), plain.size(), packed.get(), bound);
    if (n == 0) {
        failure = QStringLiteral("compression failed");
        return false;
    }
    if (!out.write(packed.get(), n)) {
        failure = out.errorString();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- temporaries

std::atomic<bool> g_unnamedTemporaries{true};

const QString kSaving = QStringLiteral(".saving-");

// Room for the name's other parts within the 255 bytes a file name may take.
constexpr qsizetype kMostStemBytes = 255 - 1 - 8 - 64 - 1 - 10;

QString hostPart()
{
    static const QString host = [] {
        QString name = QSysInfo::machineHostName().left(64);
        for (QChar &c : name)
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_') c = u'_';
        return name.isEmpty() ? QStringLiteral("host") : name;
    }();
    return host;
}

// The target's name, cut to what leaves room for the rest.
QString stemOf(const QString &name)
{
    return ReplacingFile::cutName(name, kMostStemBytes);
}

QString temporaryName(const QString &targetName)
{
    return QLatin1Char('.') + stemOf(targetName) + kSaving + hostPart() + QLatin1Char('-') +
           QString::number(::getpid());
}

struct Leftover {
    QString stem;
    QString host;
    pid_t pid = 0;
};

std::optional<Leftover> parseTemporary(const QString &name)
{
    if (!name.startsWith(QLatin1Char('.'))) return std::nullopt;
    const qsizetype saving = name.lastIndexOf(kSaving);
    const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
    if (saving <= 1 || dash < saving + kSaving.size()) return std::nullopt;
    bool ok = false;
    const qlonglong pid = name.mid(dash + 1).toLongLong(&ok);
    if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return std::nullopt;
    return Leftover{name.mid(1, saving - 1), name.mid(saving + kSaving.size(), dash - saving - kSaving.size()),
                    pid_t(pid)};
}

} // namespace

QString ReplacingFile::cutName(const QString &name, qsizetype bytes)
{
    QString stem = name;
    while (stem.toUtf8().size() > bytes) stem.chop(stem.back().isLowSurrogate() ? 2 : 1);
    return stem;
}

QString ReplacingFile::fittedName(const QString &name, qsizetype bytes)
{
    if (name.toUtf8().size() <= bytes) return name;
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    return cutName(name, bytes - 9) + QLatin1Char('~') + QString::fromLatin1(digest);
}

namespace {

bool runs(pid_t pid)
{
    return pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM;
}

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

bool writable(const QString &path, int how)
{
    return ::faccessat(AT_FDCWD, nativePath(path).constData(), how, AT_EACCESS) == 0 || errno == ENOENT;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

ReplacingFile::Refusal ReplacingFile::refusalFor(const QString &path)
{
    const QFileInfo info(path);
    struct stat st {};
    const bool exists = ::lstat(nativePath(info.absoluteFilePath()).constData(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode)) return Refusal::NotAFile;
        // The rename needs only the folder: the file's own mode must refuse it.
        if (!writable(info.absoluteFilePath(), W_OK))
            return errno == EROFS ? Refusal::FolderReadOnly : Refusal::ReadOnly;
        // Root passes the check above whatever the mode says.
        if ((st.st_mode & 0222) == 0) return Refusal::ReadOnly;
    }
    if (!writable(info.absolutePath(), W_OK | X_OK)) return Refusal::FolderReadOnly;
    // A sticky folder lets only the file's or the folder's owner (or root) rename over it.
    struct stat folder {};
    const uid_t self = ::geteuid();
    if (exists && self != 0 && st.st_uid != self && ::stat(nativePath(info.absolutePath()).constData(), &folder) == 0 &&
        (folder.st_mode & S_ISVTX) && folder.st_uid != self)
        return Refusal::OthersFile;
    return Refusal::None;
}

QString ReplacingFile::resolvedPath(const QString &path)
{
    const QFileInfo info(path);
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty()) return canonical;
    // A link whose file is not there yet, or a new file in a folder reached through links.
    if (info.isSymLink()) return QFileInfo(info.symLinkTarget()).absoluteFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

QString ReplacingFile::scratchPathFor(const QString &path)
{
    const QFileInfo target(path);
    return target.absolutePath() + QLatin1Char('/') +
           temporaryName(cutName(target.fileName(), kMostStemBytes - 5) + QStringLiteral(".copy"));
}

ReplacingFile::ReplacingFile(const QString &path)
{
    m_target = QFileInfo(path).absoluteFilePath();
    const QFileInfo target(m_target);
    m_temporary = target.absolutePath() + QLatin1Char('/') + temporaryName(target.fileName());
}

ReplacingFile::~ReplacingFile()
{
    cancel();
}

bool ReplacingFile::fail(const char *what)
{
    m_errno = errno;
    m_error = QStringLiteral("%1: %2").arg(QLatin1String(what), systemText(m_errno));
    return false;
}

bool ReplacingFile::open()
{
    cancel();
    m_error.clear();
    m_errno = 0;
    const QByteArray folder = nativePath(QFileInfo(m_target).absolutePath());
    switch (refusalFor(m_target)) {
    case Refusal::None: break;
    case Refusal::NotAFile:
        m_error = QStringLiteral("not a regular file: a link or other is in its place");
        return false;
    case Refusal::ReadOnly: m_error = QStringLiteral("the file is read-only"); return false;
    case Refusal::FolderReadOnly: m_error = QStringLiteral("the folder takes no new file"); return false;
    case Refusal::OthersFile:
        m_error = QStringLiteral("another user's file in a folder that lets only its owner replace it");
        return false;
    }
    struct stat old {};
    const bool replaces = ::lstat(nativePath(m_target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    m_replacedMode.reset();
    if (replaces) m_replacedMode = unsigned(old.st_mode & 07777);
    // Before the temporary has a name, a kill leaves nothing behind.
    if (g_unnamedTemporaries && ::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        m_named = false;
    }
    if (m_fd < 0) {
        const QByteArray name = nativePath(m_temporary);
        m_fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
        // Our own name and pid: a dead process's that had the same pid.
        if (m_fd < 0 && errno == EEXIST && ::unlink(name.constData()) == 0)
            m_fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd < 0) return fail("cannot create the file");
        m_named = true;
    }
    if (replaces && ::fchmod(m_fd, old.st_mode & 0777) != 0)
        qCWarning(lcDocument) << "the file's mode is not kept:" << m_target;
    return true;
}

bool ReplacingFile::setMode(unsigned mode)
{
    if (m_fd < 0) return false;
    if (m_replacedMode) mode &= *m_replacedMode;
    return ::fchmod(m_fd, mode_t(mode)) == 0 || fail("cannot set the file's mode");
}

bool ReplacingFile::write(const void *data, size_t size)
{
    if (m_fd < 0) {
        if (m_error.isEmpty()) m_error = QStringLiteral("the file is not open");
        return false;
    }
    const char *from = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, from, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail("writing failed");
        from += n;
        size -= size_t(n);
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (m_fd < 0) return write(nullptr, 0);
    if (::fdatasync(m_fd) != 0) {
        fail("writing to disk failed");
        cancel();
        return false;
    }
    const QByteArray name = nativePath(m_temporary);
    if (!m_named) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        int linked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == EEXIST && ::unlink(name.constData()) == 0)
            linked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
        if (linked != 0) {
            fail("cannot name the file");
            cancel();
            return false;
        }
        m_named = true;
    }
    if (::close(std::exchange(m_fd, -1)) != 0 || ::rename(name.constData(), nativePath(m_target).constData()) != 0) {
        fail("cannot replace the file");
        ::unlink(name.constData());
        m_named = false;
        return false;
    }
    m_named = false;
    syncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

void ReplacingFile::cancel()
{
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
    if (m_named) ::unlink(nativePath(m_temporary).constData());
    m_named = false;
}

std::optional<QString> ReplacingFile::stoppedTemporary(const QString &name)
{
    const std::optional<Leftover> leftover = parseTemporary(name);
    // Another host's pids say nothing about its processes.
    if (!leftover || leftover->host != hostPart() || runs(leftover->pid)) return std::nullopt;
    return leftover->stem;
}

void ReplacingFile::removeLeftovers(const QString &folder, const std::function<bool(const QString &)> &whose)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        const std::optional<QString> stem = stoppedTemporary(name);
        if (!stem || !whose(*stem)) continue;
        if (::unlink(nativePath(dir.filePath(name)).constData()) == 0)
            qCInfo(lcDocument) << "removed what a stopped save left:" << dir.filePath(name);
    }
}

void ReplacingFile::setUnnamedTemporaries(bool allowed)
{
    g_unnamedTemporaries = allowed;
}

DocumentContainer::Expanded DocumentContainer::expand(const QString &path, const QString &workingPath, QString *why)
{
    gzFile in = openGzip(path, "rb");
    if (!in) {
        if (why) *why = cv::formatString(cv::localizedString(QStringLiteral("Open-Unreadable")), {systemText(errno)});
        return Expanded::Unreadable;
    }
    return expandStream(in, path, workingPath, why);
}

QString DocumentContainer::noRoomToCompact(const QString &workingPath, const QString &bookPath)
{
    const QString folder = QFileInfo(workingPath).absolutePath();
    const qint64 needed = twice(QFileInfo(workingPath).size());
    const std::optional<qint64> free = freeSpace(folder);
    if (!free || needed <= *free) return QString();
    qCWarning(lcDocument) << "not compacted: it may need" << needed << "bytes in" << folder << "which has" << *free
                          << "free";
    return cv::formatString(cv::localizedString(QStringLiteral("Compact-No-Room")),
                            {roomFolder(bookPath, folder), shownSize(needed), shownSize(*free)});
}

qint64 DocumentContainer::marginFor(qint64 store)
{
    return std::max<qint64>(store / 8, qint64(4) << 20);
}

QString DocumentContainer::workingDiskFolder(const QString &workingPath, const QString &bookPath)
{
    return roomFolder(bookPath, QFileInfo(workingPath).absolutePath());
}

void DocumentContainer::setExpansionBoundForTests(qint64 bytes)
{
    g_expansionBoundForTests = std::max<qint64>(bytes, 0);
}

void DocumentContainer::setFreeSpaceForTests(qint64 bytes)
{
    g_freeSpaceForTests = std::max<qint64>(bytes, -1);
}

void DocumentContainer::setCoresForTests(int cores)
{
    g_coresForTests = std::max(cores, 0);
}

// The new file is written beside the target and renamed over it only when it
// is complete and on disk, so a failed save never touches the old document.
bool DocumentContainer::write(const QString &workingPath, const QString &path, std::optional<unsigned> mode,
                              QString *why)
{
    const auto failed = [&](const QString &failure, int error) {
        qCWarning(lcDocument) << "saving failed:" << path << failure;
        if (why) *why = saveFailureWords(error, QFileInfo(path).absolutePath(), failure);
        return false;
    };
    QFile in(workingPath);
    if (!in.open(QIODevice::ReadOnly)) return failed(in.errorString(), 0);
    ReplacingFile file(path);
    if (!file.open() || (mode && !file.setMode(*mode))) return failed(file.errorString(), file.error());
    QString failure;
    const size_t size = size_t(std::max<qint64>(in.size(), 0));
    const int cores = availableCores();
    const bool packed = cores <= kMostCoresForOneCall ? packInOneCall(in.handle(), size, file, failure)
                                                      : Packer(in.handle(), size).run(file, cores, failure);
    if (packed && !file.commit()) failure = file.errorString();
    if (failure.isEmpty()) return true;
    file.cancel();
    return failed(failure, file.error());
}

} // namespace cv
