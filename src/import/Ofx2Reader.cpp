// OFX 2: the statement as XML. Only the elements below matter; every other
// element is passed over with its text.

#include "import/EncodingGuess.h"
#include "import/PendingRows.h"
#include "import/StatementReaders.h"
#include "import/StatementValues.h"
#include "import/TextDecoder.h"

#include "model/CategoryTrees.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>

namespace cv {

namespace {

// Deeper nesting than any statement has is taken as hostile.
constexpr int kMaxDepth = 256;
// The wallet, the partner of a DEP that takes money out.
constexpr int kWallet = 10;

enum Code {
    Other = 0,
    BankFrom = 102,
    BankId = 103,
    Transaction = 105,
    TransactionType = 106,
    Posted = 107,
    Amount = 108,
    Name = 109,
    CardFrom = 112,
    AccountId = 113,
    InvestmentFrom = 114,
    Currency = 115,
};

Code codeOf(QByteArrayView name)
{
    // By length first: every element of the file comes through here.
    // clang-format off
    static const std::pair<QByteArrayView, Code> codes[] = {
        {"NAME", Name},        {"BANKID", BankId},           {"TRNAMT", Amount},      {"ACCTID", AccountId},
        {"CURDEF", Currency},  {"STMTTRN", Transaction},     {"TRNTYPE", TransactionType},
        {"DTPOSTED", Posted},  {"CCACCTFROM", CardFrom},     {"INVACCTFROM", InvestmentFrom},
        {"BANKACCTFROM", BankFrom},
    };
    // clang-format on
    for (const auto &[n, c] : codes) {
        if (n.size() > name.size()) break;
        if (n.size() == name.size() && std::memcmp(n.data(), name.data(), size_t(n.size())) == 0) return c;
    }
    return Other;
}

bool collectsText(Code code)
{
    return code == BankId || code == TransactionType || code == Posted || code == Amount || code == Name ||
           code == AccountId || code == Currency;
}

bool startsWith(QByteArrayView bytes, const char *mark, qsizetype length)
{
    return bytes.size() >= length && QByteArrayView(bytes.data(), length) == QByteArrayView(mark, length);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAccountBlock(Code code)
{
    return code == BankFrom || code == CardFrom || code == InvestmentFrom;
}

// Whether some element's value runs on into another tag, as in OFX 1.x
// ("<CODE>0<SEVERITY>INFO"); well-formed XML, whole or cut off, never does.
bool hasUnclosedValue(QByteArrayView data)
{
    for (qsizetype open = data.indexOf('<'); open >= 0;) {
        const qsizetype close = data.indexOf('>', open);
        const qsizetype next = close < 0 ? -1 : data.indexOf('<', close);
        if (next < 0 || data.indexOf('>', next) < 0) return false;
        QByteArrayView tag = data.sliced(open + 1, close - open - 1);
        if (const qsizetype blank = tag.indexOf(' '); blank >= 0) tag = tag.first(blank);
        const bool start = !tag.isEmpty() && tag[0] != '/' && tag[0] != '?' && tag[0] != '!' && !tag.endsWith('/');
        if (start && !data.sliced(close + 1, next - close - 1).trimmed().isEmpty()) {
            const QByteArrayView after = data.sliced(next);
            const bool closes = after.startsWith("</") && after.sliced(2).startsWith(tag) &&
                                after.sliced(2 + tag.size()).startsWith(">");
            if (!closes) return true;
        }
        open = next;
    }
    return false;
}

// The document as UTF-8 from its declaration on: UTF-16 by its mark; else
// the declared encoding (UTF-8 when none is declared) unless the bytes
// overrule it (chooseEncoding); the mark and blanks before the declaration
// go. `utf8` is empty when the declaration names an encoding the toolkit
// does not know: the parser then reads `raw` and refuses what it cannot
// read. None when the file does not begin as XML.
struct XmlText {
    QByteArray utf8;
    QByteArrayView raw;
    std::optional<TextEncoding> labelOverruled;
};

std::optional<XmlText> xmlText(QByteArrayView data)
{
    XmlText xml;
    QString text;
    if (startsWith(data, "\xFF\xFE", 2) || startsWith(data, "\xFE\xFF", 2)) {
        text = decodeText(data, TextEncoding::Utf8);
    } else {
        if (startsWith(data, "\xEF\xBB\xBF", 3)) data = data.sliced(3);
        qsizetype start = 0;
        while (start < data.size() && isBlank(data[start])) ++start;
        data = data.sliced(start);
        if (!data.startsWith("<?xml") && !data.startsWith("<?OFX")) return std::nullopt;
        // Older exporters end the file with 0x1A or pad it with NULs.
        while (!data.isEmpty() && uchar(data.back()) <= 0x20) data.chop(1);
        const qsizetype end = data.indexOf("?>");
        const QString declaration =
            QString::fromLatin1(data.first(end < 0 ? std::min<qsizetype>(data.size(), 200) : end));
        static const QRegularExpression encodingAttribute(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
        const QRegularExpressionMatch m = encodingAttribute.match(declaration);
        const std::optional<TextEncoding> label =
            m.hasMatch() ? encodingForName(m.captured(1)) : std::optional(TextEncoding::Utf8);
        xml.raw = data;
        if (!label) return xml;
        const EncodingChoice choice = chooseEncoding(data, label);
        if (choice.labelIgnored) xml.labelOverruled = choice.encoding;
        if (choice.encoding == TextEncoding::Utf8 && choice.clean) {
            xml.utf8 = QByteArray::fromRawData(data.data(), data.size()); // no copy of a large file
            return xml;
        }
        text = decodeText(data, choice.encoding);
    }
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace()) ++start;
    text.remove(0, start);
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 0x20) --end;
    text.truncate(end);
    if (!text.startsWith(QLatin1String("<?xml")) && !text.startsWith(QLatin1String("<?OFX"))) return std::nullopt;
    xml.utf8 = text.toUtf8();
    return xml;
}

// An entity nobody declared stands for its own name.
class NameForUndeclaredEntity : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString &name) override { return name; }
};

// What a transaction's row does not keep of how it was written: the text
// of a date that did not read, and whether its amount failed to read.
struct RowNote {
    QString date;
    bool amountUnread = false;
};

// The statement built from the elements that matter, whichever parser reads
// them; `notes` runs alongside its rows.
class Ofx2Builder {
public:
    Ofx2Builder(StatementRead &read, std::vector<RowNote> &notes) : m_read(read), m_notes(notes) {}

    // False when nested deeper than any statement is.
    bool start(QByteArrayView name)
    {
        if (m_open.size() >= size_t(kMaxDepth)) return false;
        m_sawOfx |= name.size() == 3 && name == "OFX";
        const Code code = codeOf(name);
        if (code == Transaction) {
            auto row = std::make_shared<Entry>();
            row->setAccount(-int(m_read.accounts.size()));
            m_read.rows.push_back(std::move(row));
            m_read.currencies.append(m_currency);
            m_notes.emplace_back();
            m_deposit = false;
            ++m_transactions;
        }
        if (isAccountBlock(code)) ++m_accountBlocks;
        if (collectsText(code)) {
            if (m_collecting == m_collected.size()) m_collected.emplace_back();
            m_collected[m_collecting++] = {};
        }
        m_open.push_back(code);
        return true;
    }
    bool collecting() const { return !m_open.empty() && collectsText(m_open.back()); }
    // A `lasting` piece stays valid until the element ends (the plain
    // reader's file); any other is copied.
    void text(QByteArrayView utf8, bool lasting = true) { m_collected[m_collecting - 1].add(utf8, lasting); }
    void end();
    bool sawOfx() const { return m_sawOfx; }

private:
    StatementRead &m_read;
    std::vector<RowNote> &m_notes;
    std::vector<Code> m_open; // the codes of the open elements
    // The UTF-8 text of an open text-collecting element: most values come
    // in one piece, kept as a view of it; more pieces are joined in a copy.
    struct Collected {
        QByteArrayView view;
        QByteArray joined;
        bool isJoined = false;
        void add(QByteArrayView piece, bool lasting)
        {
            if (!isJoined && view.isEmpty() && lasting) {
                view = piece;
                return;
            }
            if (!isJoined) joined = view.toByteArray();
            isJoined = true;
            joined += piece;
            view = joined;
        }
    };
    std::vector<Collected> m_collected; // of the open text-collecting elements, innermost last
    size_t m_collecting = 0;            // how many of them are open
    int m_accountBlocks = 0;            // open BANKACCTFROM, CCACCTFROM or INVACCTFROM elements
    int m_transactions = 0;             // open STMTTRN elements
    bool m_deposit = false;             // the current transaction's TRNTYPE is DEP
    bool m_sawOfx = false;
    QString m_currency; // the CURDEF of the statement being read
};

// A value read from its bytes, or as text when it holds more than ASCII (a
// full-width blank around a number is still a blank).
template <class Parse> auto parsed(QByteArrayView bytes, Parse parse)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) return parse(bytes.trimmed());
    const QString text = QString::fromUtf8(bytes).trimmed();
    return parse(QStringView(text));
}

void Ofx2Builder::end()
{
    if (m_open.empty()) return;
    const Code code = m_open.back();
    m_open.pop_back();
    if (isAccountBlock(code)) --m_accountBlocks;
    if (code == Transaction) --m_transactions;
    if (!collectsText(code)) return;
    const QByteArrayView bytes = m_collected[--m_collecting].view;
    const QByteArrayView value = bytes.trimmed();
    // Values belong to a transaction only while it is open: a balance list's
    // NAME after the last one is no memo.
    Entry *row = m_transactions == 0 || m_read.rows.empty() ? nullptr : m_read.rows.back().get();
    switch (code) {
    case BankId:
    case AccountId:
        if (m_accountBlocks > 0) m_read.accounts.append(QString::fromUtf8(bytes).trimmed());
        break;
    case TransactionType:
        if (row) m_deposit = value == "DEP";
        break;
    case Posted:
        if (!row) break;
        row->setDate(parsed(bytes, [](auto text) { return parseOfxDate(text); }).value_or(QDate()));
        if (!row->date().isValid()) m_notes.back().date = QString::fromUtf8(bytes).trimmed();
        break;
    case Amount: {
        if (!row) break;
        const std::optional<double> amount = parsed(bytes, [](auto text) { return parseOfxAmount(text); });
        m_notes.back().amountUnread = !amount;
        if (!amount) break;
        if (const double v = *amount; v >= 0) {
            row->setKind(cv::EntryKind::Income);
            row->setAmount(v);
        } else if (m_deposit) {
            row->setKind(cv::EntryKind::Transfer);
            row->setAmount(-v);
            row->setDestination(kWallet);
            row->setCategory(CategoryTrees::Asset2Asset);
        } else {
            row->setKind(cv::EntryKind::Expense);
            row->setAmount(-v);
        }
        break;
    }
    case Name:
        if (row) row->setMemo(QString::fromUtf8(bytes).trimmed());
        break;
    case Currency: m_currency = QString::fromUtf8(bytes).trimmed().toUpper(); break;
    default: break;
    }
}

bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; // a prefix is the toolkit's
}

bool isNameByte(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

const char *findText(const char *from, const char *end, QByteArrayView what)
{
    const qsizetype at = QByteArrayView(from, end - from).indexOf(what);
    return at < 0 ? nullptr : from + at;
}

// Characters XML allows, as the toolkit's parser checks them: no control
// character but tab and line ends, neither U+FFFE nor U+FFFF.
bool xmlCharacters(QByteArrayView bytes, bool high)
{
    for (char c : bytes)
        if (uchar(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    return !high || (!bytes.contains("\xEF\xBF\xBE") && !bytes.contains("\xEF\xBF\xBF"));
}

// The declaration as the plain reader takes it; any other form is for the
// toolkit's parser to judge.
bool plainDeclaration(QByteArrayView declaration)
{
    static const QRegularExpression form(
        QStringLiteral("^<\\?xml[ \t\r\n]+version[ \t\r\n]*=[ \t\r\n]*([\"'])1\\.0\\1"
                       "([ \t\r\n]+encoding[ \t\r\n]*=[ \t\r\n]*([\"'])[A-Za-z][A-Za-z0-9._-]*\\3)?"
                       "([ \t\r\n]+standalone[ \t\r\n]*=[ \t\r\n]*([\"'])(yes|no)\\5)?[ \t\r\n]*\\?>$"));
    return form.match(QString::fromLatin1(declaration)).hasMatch();
}

// A character reference's character as UTF-8 ("&#12354;", "&#x3042;"),
// `length` set to the reference's; empty for one that names no character
// XML allows, or is written in a form the toolkit's parser is to judge.
QByteArray referencedCharacter(QByteArrayView text, qsizetype &length)
{
    const bool hex = text.startsWith("&#x");
    const qsizetype first = hex ? 3 : 2;
    char32_t code = 0;
    qsizetype i = first;
    for (; i < text.size() && i - first < 8; ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0) break;
        code = code * (hex ? 16 : 10) + char32_t(digit);
    }
    if (i == first || i >= text.size() || text[i] != ';') return {};
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
    if (!allowed) return {};
    length = i + 1;
    return QString::fromUcs4(&code, 1).toUtf8();
}

// Text between tags: the five predefined entities and character references
// read, everything else plain. False for what only the toolkit's parser
// judges: another entity, a control character, "]]>", or a CR in a value
// (the parser makes CR LF one LF).
bool addText(QByteArrayView text, Ofx2Builder &builder)
{
    // One pass finds what needs a closer look; most text has none of it.
    bool entity = false, bracket = false, cr = false, high = false;
    for (char c : text) {
        if (uchar(c) >= 0x20) {
            entity |= c == '&';
            bracket |= c == ']';
            high |= uchar(c) >= 0x80;
        } else if (c == '\r') {
            cr = true;
        } else if (c != '\t' && c != '\n') {
            return false;
        }
    }
    const bool collecting = builder.collecting();
    if ((bracket && text.contains("]]>")) || (collecting && cr) || (high && !xmlCharacters(text, true))) return false;
    if (!entity) {
        if (collecting) builder.text(text);
        return true;
    }
    static const std::pair<QByteArrayView, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (qsizetype amp = text.indexOf('&'); amp >= 0; amp = text.indexOf('&')) {
        const QByteArrayView rest = text.sliced(amp);
        if (rest.startsWith("&#")) {
            qsizetype length = 0;
            const QByteArray character = referencedCharacter(rest, length);
            if (character.isEmpty()) return false;
            if (collecting) {
                builder.text(text.first(amp));
                builder.text(character, false);
            }
            text = rest.sliced(length);
            continue;
        }
        const auto *found = std::find_if(std::begin(entities), std::end(entities),
                                         [&](const auto &e) { return rest.startsWith(e.first); });
        if (found == std::end(entities)) return false;
        if (collecting) {
            builder.text(text.first(amp));
            builder.text(QByteArrayView(&found->second, 1));
        }
        text = rest.sliced(found->first.size());
    }
    if (collecting) builder.text(text);
    return true;
}

// A plain statement read without the toolkit's parser: elements without
// attributes, text, comments, CDATA and processing instructions over valid
// UTF-8. False for anything else, a DOCTYPE or a flaw included: the
// toolkit's parser then reads the file and judges it.
bool readPlainXml(QByteArrayView data, Ofx2Builder &builder)
{
    const char *p = data.data();
    const char *const end = p + data.size();
    std::vector<QByteArrayView> names; // the open elements
    bool rooted = false;
    while (p < end) {
        const char *lt = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
        const QByteArrayView text(p, (lt ? lt : end) - p);
        if (names.empty() ? !std::all_of(text.begin(), text.end(), isBlank) : !addText(text, builder)) return false;
        if (!lt) break;
        p = lt + 1;
        if (p >= end) return false;
        if (*p == '?') {
            const bool declaration = end - p >= 4 && QByteArrayView(p + 1, 3).compare("xml", Qt::CaseInsensitive) == 0;
            // An ASCII target, then a blank or the end: other targets are the toolkit's to judge.
            const char *target = p + 1;
            while (target < end && isNameByte(*target)) ++target;
            const char *close = findText(p, end, "?>");
            if (!close || target == p + 1 || !isNameStart(p[1]) || (target != close && !isBlank(*target)) ||
                !xmlCharacters(QByteArrayView(p, close - p), true))
                return false;
            if (declaration && (lt != data.data() || !plainDeclaration(QByteArrayView(lt, close + 2 - lt))))
                return false;
            p = close + 2;
            continue;
        }
        if (*p == '!') {
            const QByteArrayView rest(p, end - p);
            if (rest.startsWith("!--")) {
                const char *dashes = findText(p + 3, end, "--");
                if (!dashes || dashes + 2 >= end || dashes[2] != '>' ||
                    !xmlCharacters(QByteArrayView(p + 3, dashes - p - 3), true))
                    return false;
                p = dashes + 3;
            } else if (rest.startsWith("![CDATA[") && !names.empty()) {
                const char *close = findText(p + 8, end, "]]>");
                const QByteArrayView cdata(p + 8, close ? close - p - 8 : 0);
                if (!close || !xmlCharacters(cdata, true) || (builder.collecting() && cdata.contains('\r')))
                    return false;
                if (builder.collecting()) builder.text(cdata);
                p = close + 3;
            } else {
                return false;
            }
            continue;
        }
        if (*p == '/') { // the innermost open element's end, its name compared whole
            if (names.empty()) return false;
            const QByteArrayView open = names.back();
            ++p;
            if (end - p <= open.size() || std::memcmp(p, open.data(), size_t(open.size())) != 0) return false;
            p += open.size();
            while (p < end && isBlank(*p)) ++p;
            if (p >= end || *p != '>') return false;
            names.pop_back();
            builder.end();
            ++p;
            continue;
        }
        const char *nameStart = p;
        while (p < end && isNameByte(*p)) ++p;
        if (p == nameStart || !isNameStart(*nameStart)) return false;
        const QByteArrayView name(nameStart, p - nameStart);
        while (p < end && isBlank(*p)) ++p;
        if (p >= end) return false;
        const bool empty = *p == '/';
        if (empty && ++p >= end) return false;
        if (*p != '>' || (names.empty() && rooted) || !builder.start(name)) return false;
        ++p;
        rooted = true;
        empty ? builder.end() : names.push_back(name);
    }
    return rooted && names.empty();
}

// The toolkit's parser over the document; its error, NoError when it read
// the whole document.
QXmlStreamReader::Error readXml(const XmlText &text, Ofx2Builder &builder)
{
    QXmlStreamReader xml;
    NameForUndeclaredEntity entities;
    xml.setEntityResolver(&entities);
    if (text.utf8.isEmpty())
        xml.addData(text.raw.toByteArray());
    else // as text: the declaration's encoding is no longer the bytes'
        xml.addData(QString::fromUtf8(text.utf8));
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!builder.start(xml.name().toUtf8())) xml.raiseError(QStringLiteral("nested too deep"));
            break;
        case QXmlStreamReader::Characters:
            if (builder.collecting()) builder.text(xml.text().toUtf8(), false);
            break;
        case QXmlStreamReader::EndElement: builder.end(); break;
        default: break;
        }
    }
    return xml.error();
}

} // namespace

bool looksLikeOfx2(QByteArrayView data)
{
    return xmlText(data.first(std::min<qsizetype>(data.size(), 4096))).has_value();
}

namespace {

// The plain reader over the whole text: false when the toolkit's parser must judge it.
bool readPlainly(const XmlText &text, Ofx2Builder &builder)
{
    return !text.utf8.isEmpty() && readPlainXml(text.utf8, builder) && builder.sawOfx();
}

// `prematureEnd`: the toolkit's parser met the end inside an element.
StatementRead readOfx2(QByteArrayView data, bool plainFirst, bool *prematureEnd = nullptr)
{
    const std::optional<XmlText> text = xmlText(data);
    if (!text) return {};
    StatementRead read;
    std::vector<RowNote> notes;
    bool sawOfx = false;
    if (plainFirst) {
        Ofx2Builder plain(read, notes);
        sawOfx = readPlainly(*text, plain);
    }
    if (!sawOfx) {
        read = StatementRead();
        notes.clear();
        Ofx2Builder builder(read, notes);
        if (const QXmlStreamReader::Error error = readXml(*text, builder); error != QXmlStreamReader::NoError) {
            if (prematureEnd) *prematureEnd = error == QXmlStreamReader::PrematureEndOfDocumentError;
            read = StatementRead();
            read.status = StatementRead::Status::Damaged;
            return read;
        }
        if (!builder.sawOfx()) return {};
    }
    read.labelOverruled = text->labelOverruled;
    // A transaction whose date or amount did not read gives no row and is
    // named (its currency goes with it).
    size_t kept = 0;
    for (size_t i = 0; i < read.rows.size(); ++i) {
        const QDate date = read.rows[i]->date();
        if (!date.isValid() || notes[i].amountUnread) {
            read.unread.push_back(
                {int(i) + 1, date.isValid() ? date.toString(u"yyyyMMdd") : notes[i].date, read.rows[i]->memo()});
            continue;
        }
        if (kept != i) {
            read.currencies[qsizetype(kept)] = read.currencies[qsizetype(i)];
            read.rows[kept] = std::move(read.rows[i]);
        }
        ++kept;
    }
    read.rows.resize(kept);
    read.currencies.resize(qsizetype(kept));
    for (const EntryPtr &row : read.rows)
        if (row->kind() == cv::EntryKind::Expense) row->setFlags(PendingOutgoing);
    read.status = StatementRead::Status::Read;
    return read;
}

// Whether the file runs to the root's end: only blanks, control bytes (an
// end-of-file mark) and comments follow "</OFX>", which SGML lets be written
// in any case.
bool endsWithRoot(QByteArrayView data)
{
    for (;;) {
        while (!data.isEmpty() && uchar(data.back()) <= 0x20) data.chop(1);
        if (!data.endsWith("-->")) break;
        const qsizetype comment = data.lastIndexOf("<!--");
        if (comment < 0) return false;
        data = data.first(comment);
    }
    return data.size() >= 6 && data.last(6).compare("</OFX>", Qt::CaseInsensitive) == 0;
}

} // namespace

StatementRead readOfx2(QByteArrayView data)
{
    return readOfx2(data, true);
}

StatementRead readOfx2ByToolkit(QByteArrayView data)
{
    return readOfx2(data, false);
}

bool readsOfx2Plainly(QByteArrayView data)
{
    const std::optional<XmlText> text = xmlText(data);
    StatementRead read;
    std::vector<RowNote> notes;
    Ofx2Builder plain(read, notes);
    return text && readPlainly(*text, plain);
}

StatementRead readStatement(QByteArrayView data)
{
    if (!looksLikeOfx2(data)) return readOfx1(data);
    bool prematureEnd = false;
    StatementRead xml = readOfx2(data, true, &prematureEnd);
    // Only a whole body of unclosed elements goes on to the lenient reader:
    // a cut-off or broken XML file read that way would lose rows without a
    // word.
    if (xml.status == StatementRead::Status::Read || prematureEnd || !endsWithRoot(data) || !hasUnclosedValue(data))
        return xml;
    StatementRead sgml = readOfx1(data);
    return sgml.status == StatementRead::Status::Read ? sgml : xml;
}

} // namespace cv
