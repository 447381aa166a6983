// OFX 1.x: a header of "NAME:VALUE" lines, then SGML tags whose values run
// to the end of the line; closing tags of values are optional. Files without
// the header are known by their <OFX> root.

#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include <QRegularExpression>
#include <QStringDecoder>

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

// How values are decoded: an encoding the header names (CHARSET, ENCODING,
// or an XML declaration's encoding over an SGML body) that is not UTF-8 wins,
// since banks re-encode a file and change one line of a header; a lone
// UTF-8 is strict; a Windows-1252 one, or none, reads valid UTF-8 as UTF-8.
struct Ofx1Charset {
    TextEncoding encoding = TextEncoding::Utf8;
    bool windows1252Fallback = true;
};

Ofx1Charset charsetOf(QByteArrayView header)
{
    static const QRegularExpression xmlEncoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QRegularExpressionMatch m = xmlEncoding.match(QString::fromLatin1(header));
    const std::optional<TextEncoding> declared[] = {
        encodingForName(QString::fromLatin1(headerValue(header, "CHARSET:"))),
        encodingForName(QString::fromLatin1(headerValue(header, "ENCODING:"))),
        m.hasMatch() ? encodingForName(m.captured(1)) : std::nullopt,
    };
    bool utf8 = false, windows1252 = false;
    for (const std::optional<TextEncoding> &encoding : declared) {
        if (encoding == TextEncoding::ShiftJis || encoding == TextEncoding::EucJp) return {*encoding, false};
        utf8 |= encoding == TextEncoding::Utf8;
        windows1252 |= encoding == TextEncoding::Windows1252;
    }
    return {TextEncoding::Utf8, windows1252 || !utf8};
}

class Ofx1Values {
public:
    explicit Ofx1Values(Ofx1Charset charset) : m_charset(charset), m_declared(charset.encoding) {}
    // Invalid UTF-8 is Windows-1252 where the header allows it, else it keeps
    // what decodes and marks the rest, so an id or memo is never lost.
    QString text(QByteArrayView bytes)
    {
        if (m_charset.encoding != TextEncoding::Utf8) return m_declared.decode(bytes).trimmed();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString s = utf8.decode(bytes);
        if (utf8.hasError() && m_charset.windows1252Fallback) s = m_cp1252.decode(bytes);
        return s.trimmed();
    }

private:
    Ofx1Charset m_charset;
    TextDecoder m_declared;                          // the header's encoding
    TextDecoder m_cp1252{TextEncoding::Windows1252}; // for values that are no UTF-8
};

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

    Ofx1Values values(charsetOf(header));
    const qsizetype size = body.size();
    const char *bytes = body.data();
    bool inTransaction = false;
    std::optional<QDate> date;
    double amount = 0;
    QString memo;
    bool hasMemo = false;
    auto valueAt = [&](qsizetype pos) {
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
                date.reset();
                amount = 0;
                memo.clear();
                hasMemo = false;
            } else if (tag == "<ACCTID>") {
                read.accounts.append(values.text(valueAt(pos)));
            }
            continue;
        }
        if (tag == "<DTPOSTED>") {
            date = parseOfxDate(valueAt(pos));
        } else if (tag == "<TRNAMT>") {
            amount = parseOfxAmount(valueAt(pos)).value_or(0);
        } else if (tag == "<NAME>") {
            memo = values.text(valueAt(pos));
            hasMemo = true;
        } else if (tag == "<MEMO>") {
            if (!hasMemo) memo = values.text(valueAt(pos));
            hasMemo = true;
        } else if (tag == "</STMTTRN>") {
            inTransaction = false;
            if (!date || amount == 0) continue;
            auto row = std::make_shared<Entry>();
            row->setDate(*date);
            row->setMemo(memo);
            row->setAccount(-int(read.accounts.size()));
            if (amount > 0) {
                row->setKind(cv::EntryKind::Income);
                row->setAmount(amount);
            } else {
                row->setKind(cv::EntryKind::Expense);
                row->setAmount(-amount);
                row->setFlags(PendingOutgoing);
            }
            read.rows.push_back(std::move(row));
        }
    }
    return read;
}

} // namespace cv
