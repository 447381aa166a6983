#include "document/DocumentContainer.h"

#include "platform/Logging.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

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

// A stream that breaks off counts as a failure: zlib reports a premature end
// only through gzerror and gzclose, not through gzread.
bool expandStream(gzFile in, const QString &workingPath)
{
    char magic[sizeof kMagic];
    if (gzread(in, magic, sizeof magic) != int(sizeof magic) || memcmp(magic, kMagic, sizeof magic) != 0) {
        gzclose(in);
        return false;
    }
    QFile out(workingPath);
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

    // Writes the whole member into `out`; false with `failure` set otherwise.
    bool run(QIODevice &out, QString &failure)
    {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const size_t workers = std::min<size_t>({cores, kMostWorkers, m_pieces.size()});
        m_ahead = 4 * workers;
        std::vector<std::thread> threads;
        try {
            for (size_t i = 0; i < workers; ++i) threads.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
            // Fewer workers only slow the save down; none at all fails it below.
        }
        if (threads.empty()) fail(QStringLiteral("the packing threads cannot start"));

        static constexpr char header[10] = {'\x1f', '\x8b', 8, 0, 0, 0, 0, 0, 0, 3};
        bool ok = threads.empty() ? false : out.write(header, sizeof header) == qint64(sizeof header);
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
            ok = out.write(reinterpret_cast<const char *>(piece.packed.data()), qint64(piece.packed.size()))
                == qint64(piece.packed.size());
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
            trailer[4 + i] = static_cast<unsigned char>(quint64(m_plainSize) >> (8 * i));   // the size mod 2^32
        }
        if (out.write(reinterpret_cast<const char *>(trailer), sizeof trailer) != qint64(sizeof trailer)) {
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
        if (deflateReset(&z) != Z_OK
            || (dictionary > 0 && deflateSetDictionary(&z, input.data(), uInt(dictionary)) != Z_OK))
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

} // namespace

DocumentContainer::Expanded DocumentContainer::expand(const QString &path, const QString &workingPath)
{
    gzFile in = openGzip(path, "rb");
    if (!in) return Expanded::Unreadable;
    return expandStream(in, workingPath) ? Expanded::Done : Expanded::Damaged;
}

// The new file is written beside the target and renamed over it only when it
// is complete and on disk, so a failed save never touches the old document.
bool DocumentContainer::write(const QString &workingPath, const QString &path)
{
    QFile in(workingPath);
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcDocument) << "saving failed:" << path << in.errorString();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDocument) << "cannot create" << path << file.errorString();
        return false;
    }
    QString failure;
    Packer packer(in.handle(), size_t(std::max<qint64>(in.size(), 0)));
    if (packer.run(file, failure) && !file.commit()) failure = file.errorString();
    if (!failure.isEmpty()) {
        qCWarning(lcDocument) << "saving failed:" << path << failure;
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace cv
