#include "document/DocumentContainer.h"

#include "platform/Logging.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include <libdeflate.h>
#include <zlib.h>

namespace cv {

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

// The magic and the working copy in one buffer; null with `failure` set when
// the copy cannot be read whole.
std::unique_ptr<char[]> readPlain(const QString &workingPath, size_t &plainSize, QString &failure)
{
    QFile in(workingPath);
    if (!in.open(QIODevice::ReadOnly)) {
        failure = in.errorString();
        return nullptr;
    }
    const qint64 size = in.size();
    if (size < 0 || quint64(size) > std::numeric_limits<size_t>::max() - sizeof kMagic) {
        failure = QStringLiteral("the working copy is too large");
        return nullptr;
    }
    plainSize = sizeof kMagic + size_t(size);
    std::unique_ptr<char[]> plain(new (std::nothrow) char[plainSize]);
    if (!plain) {
        failure = QStringLiteral("out of memory");
        return nullptr;
    }
    memcpy(plain.get(), kMagic, sizeof kMagic);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = in.read(plain.get() + sizeof kMagic + done, size - done);
        if (n <= 0) {
            failure = n < 0 ? in.errorString() : QStringLiteral("the working copy changed while saving");
            return nullptr;
        }
        done += n;
    }
    return plain;
}

// The whole working copy is compressed in one call: libdeflate at level 6
// writes the same standard gzip stream as zlib's at half the time or less.
std::unique_ptr<char[]> compress(const char *plain, size_t plainSize, size_t &packedSize, QString &failure)
{
    libdeflate_compressor *compressor = libdeflate_alloc_compressor(kCompressionLevel);
    if (!compressor) {
        failure = QStringLiteral("out of memory");
        return nullptr;
    }
    const size_t bound = libdeflate_gzip_compress_bound(compressor, plainSize);
    std::unique_ptr<char[]> packed(new (std::nothrow) char[bound]);
    if (!packed)
        failure = QStringLiteral("out of memory");
    else
        packedSize = libdeflate_gzip_compress(compressor, plain, plainSize, packed.get(), bound);
    libdeflate_free_compressor(compressor);
    if (failure.isEmpty() && packedSize == 0) failure = QStringLiteral("compression failed");
    if (!failure.isEmpty()) return nullptr;
    return packed;
}

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
    QString failure;
    size_t plainSize = 0;
    std::unique_ptr<char[]> plain = readPlain(workingPath, plainSize, failure);
    size_t packedSize = 0;
    std::unique_ptr<char[]> packed;
    if (plain) packed = compress(plain.get(), plainSize, packedSize, failure);
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

} // namespace cv
