// OFX 1.x: a header of "NAME:VALUE" lines, then SGML tags whose values run
// to the end of the line; closing tags of values are optional.

#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include <QStringDecoder>

#include <cstring>

namespace cv {

namespace {

// A body shorter than this holds no statement worth reading.
constexpr qsizetype kMinimumBody = 100;

bool isControl(char c)
{
    return uchar(c) < 0x20;
}

// Whether the header (the text before the first tag) says CHARSET:1252.
bool headerSays1252(QByteArrayView body)
{
    const qsizetype end = body.indexOf('<');
    const QByteArrayView header = end < 0 ? body : body.first(end);
    const qsizetype at = header.indexOf("CHARSET:");
    if (at < 0) return false;
    qsizetype stop = at + 8;
    while (stop < header.size() && !isControl(header[stop])) ++stop;
    return header.sliced(at + 8, stop - at - 8).trimmed() == "1252";
}

class Ofx1Values {
public:
    explicit Ofx1Values(bool windows1252) : m_windows1252(windows1252) {}
    // Invalid UTF-8 is Windows-1252 when the header says so, else it keeps
    // what decodes and marks the rest, so an id or memo is never lost.
    QString text(QByteArrayView bytes)
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString s = utf8.decode(bytes);
        if (utf8.hasError() && m_windows1252) s = m_cp1252.decode(bytes);
        return s.trimmed();
    }

private:
    bool m_windows1252;                               // the header's CHARSET:1252
    TextDecoder m_cp1252{TextEncoding::Windows1252};  // for values that are no UTF-8
};

} // namespace

StatementRead readOfx1(QByteArrayView data)
{
    StatementRead read;
    const qsizetype first = data.indexOf('O');
    if (first < 0 || data.size() - first < 10 || data.sliced(first, 10) != "OFXHEADER:") return read;
    read.status = StatementRead::Status::Read;
    const QByteArrayView body = data.sliced(first + 10);
    if (body.size() < kMinimumBody) return read;

    Ofx1Values values(headerSays1252(body));
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
        if (close >= size) break;   // no tag can end after this
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
            auto row = std::make_shared<CV4Actual>();
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
