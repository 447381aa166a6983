// OFX 1.x: a header of "NAME:VALUE" lines, then SGML tags whose values run
// to the end of the line; closing tags of values are optional. Files without
// the header are known by their <OFX> root.

#include "import/EncodingGuess.h"
#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include <QRegularExpression>
#include <cctype>
#include <cstring>

namespace cv {

namespace {

// A body shorter than this holds no statement worth reading.
constexpr qsizetype kMinimumBody = 100;
// Headers are a few hundred bytes; beyond this nothing declares an encoding.
constexpr qsizetype kHeaderScan = 4096;

bool isControl(char c)
{
    return uchar(c) < 0x20;
}

// A header line's value ("CHARSET:932" gives "932"); empty when missing.
QByteArrayView headerValue(QByteArrayView header, QByteArrayView key)
{
    const qsizetype at = header.indexOf(key);
    if (at < 0) return {};
    qsizetype stop = at + key.size();
    while (stop < header.size() && !isControl(header[stop])) ++stop;
    return header.sliced(at + key.size(), stop - at - key.size()).trimmed();
}

// The encoding the header names (CHARSET, ENCODING or an XML declaration's
// encoding over an SGML body): a Japanese name wins over the others, since
// banks re-encode a file and change one line of a header; a Windows-1252
// name over a UTF-8 one, which then reads valid UTF-8 as UTF-8 and the rest
// as Windows-1252; none when the header names none it knows. ENCODING:USASCII
// names no character set (CHARSET does).
struct Declared {
    std::optional<TextEncoding> label;
    bool namesUtf8 = false;
};

Declared declaredEncoding(QByteArrayView header)
{
    static const QRegularExpression xmlEncoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QRegularExpressionMatch m = xmlEncoding.match(QString::fromLatin1(header));
    std::optional<TextEncoding> encoding = encodingForName(QString::fromLatin1(headerValue(header, "ENCODING:")));
    if (encoding == TextEncoding::Windows1252) encoding.reset();
    const std::optional<TextEncoding> declared[] = {
        encodingForName(QString::fromLatin1(headerValue(header, "CHARSET:"))),
        encoding,
        m.hasMatch() ? encodingForName(m.captured(1)) : std::nullopt,
    };
    Declared result;
    for (const std::optional<TextEncoding> &named : declared) {
        result.namesUtf8 |= named == TextEncoding::Utf8;
        if (named == TextEncoding::ShiftJis || named == TextEncoding::EucJp) {
            result.label = named;
            return result;
        }
        if (named && result.label != TextEncoding::Windows1252) result.label = named;
    }
    return result;
}

// The value's first byte: blanks between a tag and its value are no part of it.
qsizetype skipBlanks(const char *bytes, qsizetype pos, qsizetype size)
{
    while (pos < size && (bytes[pos] == ' ' || bytes[pos] == '\t' || bytes[pos] == '\r' || bytes[pos] == '\n')) ++pos;
    return pos;
}

QString currencyCode(QByteArrayView value)
{
    qsizetype length = 0;
    while (length < value.size() && std::isalpha(uchar(value[length]))) ++length;
    return QString::fromLatin1(value.first(length)).toUpper();
}

} // namespace

StatementRead readOfx1(QByteArrayView data)
{
    StatementRead read;
    QByteArrayView body, header;
    const qsizetype first = data.indexOf('O');
    if (first >= 0 && data.sliced(first).startsWith("OFXHEADER:")) {
        body = data.sliced(first + 10);
        const qsizetype tag = body.indexOf('<');
        header = tag < 0 ? body : body.first(tag);
    } else if (const qsizetype root = data.indexOf("<OFX>"); root >= 0) {
        // No header, or an XML declaration over unclosed elements: the root
        // makes it a statement, whatever precedes it.
        body = data.sliced(root);
        header = data.first(root);
    } else {
        return read;
    }
    read.status = StatementRead::Status::Read;
    if (body.size() < kMinimumBody) return read;
    header = header.first(std::min<qsizetype>(header.size(), kHeaderScan));

    // ISO-2022-JP escapes with control bytes, which end a value: read as
    // UTF-8 before the values are split.
    const std::optional<QByteArray> unescaped = utf8FromIso2022Jp(body);
    if (unescaped) body = *unescaped;
    const Declared declared = declaredEncoding(header);
    const EncodingChoice choice = chooseEncoding(body, unescaped ? TextEncoding::Utf8 : declared.label);
    // A header naming UTF-8 and Windows-1252 is followed when UTF-8 is read.
    const bool utf8Named =
        choice.encoding == TextEncoding::Utf8 && declared.namesUtf8 && declared.label == TextEncoding::Windows1252;
    if (choice.labelIgnored && !utf8Named) read.labelOverruled = choice.encoding;
    TextDecoder decoder(choice.encoding);
    auto text = [&](QByteArrayView value) { return decoder.decode(value).trimmed(); };
    // A value beyond ASCII is read as text, so that a blank of its encoding
    // (a no-break space) around it is a blank, as in OFX 2.
    auto parsed = [&](QByteArrayView value, auto parse) {
        if (asciiPrefix(value) == value.size()) return parse(value);
        const QString decoded = text(value);
        return parse(QStringView(decoded));
    };
    const qsizetype size = body.size();
    const char *bytes = body.data();
    bool inTransaction = false;
    int place = 0; // of the open transaction, from 1
    std::optional<QDate> date;
    QByteArrayView dateText;
    std::optional<double> amount;
    QString memo;
    bool hasMemo = false;
    QString currency;
    auto valueAt = [&](qsizetype pos) {
        pos = skipBlanks(bytes, pos, size);
        qsizetype end = pos;
        while (end < size && bytes[end] != '<' && !isControl(bytes[end])) ++end;
        return QByteArrayView(bytes + pos, end - pos);
    };

    qsizetype pos = 0;
    while (pos < size) {
        const void *lt = std::memchr(bytes + pos, '<', size_t(size - pos));
        if (!lt) break;
        const qsizetype open = static_cast<const char *>(lt) - bytes;
        qsizetype close = open + 1;
        while (close < size && bytes[close] != '>' && !isControl(bytes[close])) ++close;
        if (close >= size) break; // no tag can end after this
        if (bytes[close] != '>') {
            pos = close + 1;
            continue;
        }
        const QByteArrayView tag(bytes + open, close - open + 1);
        pos = close + 1;
        if (!inTransaction) {
            if (tag == "<STMTTRN>") {
                inTransaction = true;
                ++place;
                date.reset();
                dateText = {};
                amount.reset();
                memo.clear();
                hasMemo = false;
            } else if (tag == "<ACCTID>") {
                read.accounts.append(text(valueAt(pos)));
            } else if (tag == "<CURDEF>") {
                currency = currencyCode(valueAt(pos));
            }
            continue;
        }
        if (tag == "<DTPOSTED>") {
            dateText = valueAt(pos);
            date = parsed(dateText, [](auto v) { return parseOfxDate(v); });
        } else if (tag == "<TRNAMT>") {
            amount = parsed(valueAt(pos), [](auto v) { return parseOfxAmount(v); });
        } else if (tag == "<NAME>") {
            memo = text(valueAt(pos));
            hasMemo = true;
        } else if (tag == "<MEMO>") {
            if (!hasMemo) memo = text(valueAt(pos));
            hasMemo = true;
        } else if (tag == "</STMTTRN>") {
            inTransaction = false;
            if (!date || !amount || *amount == 0) {
                read.unread.push_back({place, text(dateText), memo});
                continue;
            }
            auto row = std::make_shared<Entry>();
            row->setDate(*date);
            row->setMemo(memo);
            row->setAccount(-int(read.accounts.size()));
            if (*amount > 0) {
                row->setKind(cv::EntryKind::Income);
                row->setAmount(*amount);
            } else {
                row->setKind(cv::EntryKind::Expense);
                row->setAmount(-*amount);
                row->setFlags(PendingOutgoing);
            }
            read.rows.push_back(std::move(row));
            read.currencies.append(currency);
        }
    }
    return read;
}

} // namespace cv
