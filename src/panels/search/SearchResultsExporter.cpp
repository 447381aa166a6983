#include "panels/search/SearchResultsExporter.h"

#include <QSaveFile>

#include <iconv.h>

#include <cerrno>

namespace cv {

namespace {

// One converter for a run of lines. Shift JIS has no shift state, so after a
// character without a form the conversion simply goes on with the next one.
class ShiftJisEncoder {
public:
    // CP932 rather than plain SHIFT_JIS: the export keeps the circled digits,
    // ～ and － that Japanese input methods give and SHIFT_JIS has no form for.
    ShiftJisEncoder() : m_cd(iconv_open("CP932", "UTF-8"))
    {
        if (m_cd == invalid()) m_cd = iconv_open("SHIFT_JIS", "UTF-8");
    }
    ~ShiftJisEncoder()
    {
        if (m_cd != invalid()) iconv_close(m_cd);
    }
    ShiftJisEncoder(const ShiftJisEncoder &) = delete;
    ShiftJisEncoder &operator=(const ShiftJisEncoder &) = delete;

    void append(QByteArray &out, const QString &text, int &unmappable)
    {
        QByteArray in = text.toUtf8();
        char *src = in.data();
        size_t srcLeft = size_t(in.size());
        while (srcLeft > 0) {
            if (m_cd == invalid()) {
                skipCharacter(out, src, srcLeft, unmappable);
                continue;
            }
            char buffer[1024];
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, qsizetype(dst - buffer));
            if (rc == size_t(-1) && errno != E2BIG) skipCharacter(out, src, srcLeft, unmappable);
        }
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    // Steps over one UTF-8 character, written as "?".
    static void skipCharacter(QByteArray &out, char *&src, size_t &srcLeft, int &unmappable)
    {
        size_t n = 1;
        while (n < srcLeft && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80) ++n;
        src += n;
        srcLeft -= n;
        out.append('?');
        ++unmappable;
    }

    iconv_t m_cd;
};

QString flattened(QString value)
{
    for (QChar &c : value)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return value;
}

QByteArray encodeWith(ShiftJisEncoder &encoder, const QStringList &values, int &unmappable)
{
    QByteArray line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) line.append('\t');
        encoder.append(line, flattened(values.at(i)), unmappable);
    }
    line.append("\r\n");
    return line;
}

} // namespace

QByteArray SearchResultsExporter::encodeLine(const QStringList &values, int *unmappable)
{
    ShiftJisEncoder encoder;
    int count = 0;
    QByteArray line = encodeWith(encoder, values, count);
    if (unmappable) *unmappable += count;
    return line;
}

SearchResultsExporter::Result SearchResultsExporter::write(const QString &path, const std::vector<QStringList> &rows)
{
    Result result;
    ShiftJisEncoder encoder;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.errorString = file.errorString();
        return result;
    }
    for (const QStringList &row : rows) {
        const QByteArray line = encodeWith(encoder, row, result.unmappable);
        if (file.write(line) != line.size()) {
            result.errorString = file.errorString();
            file.cancelWriting();
            return result;
        }
    }
    if (!file.commit()) {
        result.errorString = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace cv
