#include "import/TextDecoder.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace cv {

using namespace Qt::StringLiterals;

namespace {

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

const char *iconvName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return nullptr;
    case TextEncoding::ShiftJis: return "CP932";
    case TextEncoding::EucJp: return "EUC-JP";
    case TextEncoding::Windows1252: return "CP1252";
    }
    return nullptr;
}

bool startsWith(QByteArrayView bytes, const char *mark, qsizetype length)
{
    return bytes.size() >= length && QByteArrayView(bytes.data(), length) == QByteArrayView(mark, length);
}

} // namespace

TextDecoder::TextDecoder(TextEncoding encoding) : m_encoding(encoding)
{
    if (const char *name = iconvName(encoding)) {
        iconv_t cd = iconv_open("UTF-8", name);
        m_iconv = cd == kNoIconv ? nullptr : cd;
    }
}

TextDecoder::~TextDecoder()
{
    if (m_iconv) iconv_close(iconv_t(m_iconv));
}

QString TextDecoder::decode(QByteArrayView bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) return QString::fromUtf8(bytes.sliced(3));
    if (startsWith(bytes, "\xFF\xFE", 2)) return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.sliced(2));
    if (startsWith(bytes, "\xFE\xFF", 2)) return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.sliced(2));
    if (m_encoding == TextEncoding::Utf8 || !m_iconv) return QString::fromUtf8(bytes);
    return decodeWithIconv(bytes);
}

QString TextDecoder::decodeWithIconv(QByteArrayView bytes)
{
    iconv_t cd = iconv_t(m_iconv);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> out(size_t(bytes.size()) * 3 + 16);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *dst = out.data();
    size_t dstLeft = out.size();
    static const char replacement[] = "\xEF\xBF\xBD";
    auto room = [&](size_t need) {
        if (dstLeft >= need) return;
        const size_t used = size_t(dst - out.data());
        out.resize(out.size() * 2 + need);
        dst = out.data() + used;
        dstLeft = out.size() - used;
    };
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &dstLeft) != size_t(-1)) break;
        if (errno == E2BIG) {
            room(out.size());
            continue;
        }
        // A byte that starts no character (EILSEQ), or a character cut off
        // at the end (EINVAL): one replacement, and on after the byte.
        room(3);
        for (char c : replacement) {
            if (c == '\0') break;
            *dst++ = c;
            --dstLeft;
        }
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return QString::fromUtf8(out.data(), dst - out.data());
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    TextDecoder decoder(encoding);
    return decoder.decode(bytes);
}

std::optional<QByteArray> utf8ByMark(QByteArrayView bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) return QByteArray::fromRawData(bytes.data() + 3, bytes.size() - 3);
    if (startsWith(bytes, "\xFF\xFE", 2) || startsWith(bytes, "\xFE\xFF", 2))
        return decodeText(bytes, TextEncoding::Utf8).toUtf8();
    return std::nullopt;
}

std::optional<QByteArray> utf8FromIso2022Jp(QByteArrayView bytes)
{
    if (!bytes.contains('\x1B') || asciiPrefix(bytes) != bytes.size() ||
        (!bytes.contains("\x1B$B") && !bytes.contains("\x1B$@") && !bytes.contains("\x1B(I")))
        return std::nullopt;
    // Into CP932, whose two-byte characters are the JIS ones shifted, and
    // which holds the Windows extensions of the same rows.
    enum class Set { Ascii, Jis, Kana } set = Set::Ascii;
    const char kNoCharacter = '\xFF'; // decodes to U+FFFD, which the sheet names
    QByteArray cp932;
    cp932.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const QByteArrayView rest = bytes.sliced(i);
        if (rest.startsWith("\x1B$B") || rest.startsWith("\x1B$@")) {
            set = Set::Jis, i += 2;
        } else if (rest.startsWith("\x1B(B") || rest.startsWith("\x1B(J")) {
            set = Set::Ascii, i += 2;
        } else if (rest.startsWith("\x1B(I")) {
            set = Set::Kana, i += 2;
        } else if (const int b = uchar(bytes[i]); b < 0x21 || b == 0x7F || set == Set::Ascii) {
            cp932 += char(b); // line ends stay what they are in any set
        } else if (set == Set::Kana) {
            cp932 += b <= 0x5F ? char(b + 0x80) : kNoCharacter;
        } else if (i + 1 < bytes.size() && uchar(bytes[i + 1]) >= 0x21 && uchar(bytes[i + 1]) <= 0x7E) {
            const int trail = uchar(bytes[++i]);
            cp932 += char(((b + 1) >> 1) + (b <= 0x5E ? 0x70 : 0xB0));
            cp932 += char(trail + ((b & 1) ? (trail >= 0x60 ? 0x20 : 0x1F) : 0x7E));
        } else {
            cp932 += kNoCharacter;
        }
    }
    return decodeText(cp932, TextEncoding::ShiftJis).toUtf8();
}

qsizetype asciiPrefix(QByteArrayView bytes)
{
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < bytes.size() && uchar(bytes[i]) < 0x80) ++i;
    return i;
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = p + bytes.size();
    while (p < end) {
        p += asciiPrefix(QByteArrayView(p, end - p));
        if (p == end) break;
        const unsigned c = *p;
        // The length, and the range of the second byte that keeps the
        // sequence shortest and outside the surrogates.
        int length = 0;
        unsigned low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high) return false;
        for (int i = 2; i < length; ++i)
            if ((p[i] & 0xC0) != 0x80) return false;
        p += length;
    }
    return true;
}

std::optional<TextEncoding> encodingForName(QStringView name)
{
    const QString n = name.trimmed().toString().toLower().remove(QLatin1Char('_')).remove(QLatin1Char('-'));
    // clang-format off
    static const std::pair<QLatin1StringView, TextEncoding> names[] = {
        // CSUNICODE and UNICODE are how OFX 1.x headers say UTF-8.
        {"utf8"_L1, TextEncoding::Utf8},               {"csunicode"_L1, TextEncoding::Utf8},
        {"unicode"_L1, TextEncoding::Utf8},            {"shiftjis"_L1, TextEncoding::ShiftJis},
        {"sjis"_L1, TextEncoding::ShiftJis},           {"cp932"_L1, TextEncoding::ShiftJis},
        {"932"_L1, TextEncoding::ShiftJis},            {"windows31j"_L1, TextEncoding::ShiftJis},
        {"mskanji"_L1, TextEncoding::ShiftJis},        {"xsjis"_L1, TextEncoding::ShiftJis},
        {"ms932"_L1, TextEncoding::ShiftJis},          {"windows932"_L1, TextEncoding::ShiftJis},
        {"csshiftjis"_L1, TextEncoding::ShiftJis},     {"cswindows31j"_L1, TextEncoding::ShiftJis},
        {"eucjp"_L1, TextEncoding::EucJp},             {"xeucjp"_L1, TextEncoding::EucJp},
        {"cseucpkdfmtjapanese"_L1, TextEncoding::EucJp},
        {"windows1252"_L1, TextEncoding::Windows1252}, {"cp1252"_L1, TextEncoding::Windows1252},
        {"1252"_L1, TextEncoding::Windows1252},        {"iso88591"_L1, TextEncoding::Windows1252},
        {"88591"_L1, TextEncoding::Windows1252},       {"latin1"_L1, TextEncoding::Windows1252},
        {"usascii"_L1, TextEncoding::Windows1252},     {"ascii"_L1, TextEncoding::Windows1252},
    };
    // clang-format on
    for (const auto &[known, encoding] : names)
        if (n == known) return encoding;
    return std::nullopt;
}

} // namespace cv
