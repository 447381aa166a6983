#pragma once
// Text of imported files to QString over iconv. Bytes that do not decode
// become U+FFFD and the decoding goes on after them, so a damaged byte never
// loses the rest of a field. A UTF-8 byte order mark means UTF-8 and a
// UTF-16 one UTF-16, whatever encoding was chosen; the mark itself is
// skipped.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace cv {

enum class TextEncoding {
    Utf8,
    ShiftJis, // read as CP932, the Windows form Japanese banks write
    EucJp,
    Windows1252,
};

// One decoder kept for many fields of the same file (iconv is opened once).
class TextDecoder {
public:
    explicit TextDecoder(TextEncoding encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder &) = delete;
    TextDecoder &operator=(const TextDecoder &) = delete;

    QString decode(QByteArrayView bytes);

private:
    QString decodeWithIconv(QByteArrayView bytes);

    TextEncoding m_encoding; // what the bytes are read as without a mark
    void *m_iconv = nullptr; // iconv descriptor to UTF-8, owned; null for UTF-8
};

QString decodeText(QByteArrayView bytes, TextEncoding encoding);

// A file's text as UTF-8 bytes when it begins with a byte order mark (UTF-8,
// UTF-16 LE or BE), the mark left out; none without a mark. Splitters that
// work on bytes need this first: UTF-16 holds a NUL in every ASCII character.
// A UTF-8 answer shares the given bytes, which must outlive it.
std::optional<QByteArray> utf8ByMark(QByteArrayView bytes);

// A 7-bit file that escapes into JIS X 0208 or half-width katakana
// (ISO-2022-JP, as some mailers and older exporters write) as UTF-8, with
// the extensions Windows writes in it (① ㈱); none for any other bytes.
// Splitters that end a value at a control byte need this first: the escapes
// are control bytes.
std::optional<QByteArray> utf8FromIso2022Jp(QByteArrayView bytes);

// Whether the bytes are well-formed UTF-8 throughout.
bool isValidUtf8(QByteArrayView bytes);
// How many of the first bytes are ASCII (statements are mostly ASCII: read
// eight bytes at a time).
qsizetype asciiPrefix(QByteArrayView bytes);

// The encoding of a declared name ("Shift_JIS", "932", "MS932", "Windows-31J",
// "EUC-JP", "8859-1", "1252", "UTF-8", "CSUNICODE", ...), case-insensitive,
// "-" and "_" ignored; none for any other.
std::optional<TextEncoding> encodingForName(QStringView name);

} // namespace cv
