#include "document/xml/XMLEntryLines.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <cstring>

namespace cv::xml {

namespace {

bool startsWith(const char *p, const char *end, const char *literal)
{
    const size_t n = std::strlen(literal);
    return size_t(end - p) >= n && std::memcmp(p, literal, n) == 0;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "-?[0-9]{1,9}", as intAttr reads it.
bool readInt(const char *p, const char *end, int &out)
{
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    if (end - p < 1 || end - p > 9) return false;
    int v = 0;
    for (; p < end; ++p) {
        if (!isDigit(*p)) return false;
        v = v * 10 + (*p - '0');
    }
    out = negative ? -v : v;
    return true;
}

// Up to `most` digits, at least one.
bool readDigits(const char *&p, const char *end, int most, int &out)
{
    const char *from = p;
    out = 0;
    while (p < end && isDigit(*p) && p - from < most) out = out * 10 + (*p++ - '0');
    return p > from && (p == end || !isDigit(*p));
}

// "y.m.d" of a valid day, as dateAttr reads it.
bool readDate(const char *p, const char *end, QDate &out)
{
    int y = 0, m = 0, d = 0;
    if (!readDigits(p, end, 4, y) || p == end || *p++ != '.') return false;
    if (!readDigits(p, end, 2, m) || p == end || *p++ != '.') return false;
    if (!readDigits(p, end, 2, d) || p != end) return false;
    out = QDate(y, m, d);
    return out.isValid();
}

// "-?[0-9]{1,15}(.[0-9]{1,15})?" of a normal number or zero: parseDecimal
// reads these with the same from_chars.
bool readDecimal(const char *p, const char *end, double &out)
{
    const char *q = p;
    if (q < end && *q == '-') ++q;
    const char *digits = q;
    while (q < end && isDigit(*q)) ++q;
    if (q == digits || q - digits > 15) return false;
    if (q < end && *q == '.') {
        const char *fraction = ++q;
        while (q < end && isDigit(*q)) ++q;
        if (q == fraction || q - fraction > 15) return false;
    }
    if (q != end) return false;
    const auto [stop, ec] = std::from_chars(p, end, out);
    return ec == std::errc() && stop == end && (std::isnormal(out) || out == 0);
}

// The length of the UTF-8 sequence at p of a character from U+00A0 on,
// neither a surrogate nor U+FFFE/U+FFFF; 0 for anything else.
int characterLength(const unsigned char *p, const unsigned char *end)
{
    const auto cont = [&](int i) { return p + i < end && (p[i] & 0xC0) == 0x80; };
    const unsigned c = p[0];
    if (c == 0xC2) return cont(1) && p[1] >= 0xA0 ? 2 : 0;
    if (c >= 0xC3 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2)) return 0;
        if (c == 0xE0 && p[1] < 0xA0) return 0;
        if (c == 0xED && p[1] >= 0xA0) return 0;
        if (c == 0xEF && p[1] == 0xBF && p[2] >= 0xBE) return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if (c == 0xF0 && p[1] < 0x90) return 0;
        if (c == 0xF4 && p[1] >= 0x90) return 0;
        return 4;
    }
    return 0;
}

// The note's text as the general reader reports it: printable ASCII, the
// five predefined entities and characters from U+00A0 on; anything else
// (other references, controls, "]]>") is left to it.
bool readNote(const char *p, const char *end, QString &out)
{
    QByteArray text;
    bool plain = true; // ASCII without references: the bytes are the text
    for (const char *q = p; q < end;) {
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c == '&') {
            static const std::pair<const char *, char> entities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
            bool known = false;
            for (const auto &[name, ch] : entities) {
                if (startsWith(q, end, name)) {
                    if (plain) text = QByteArray(p, q - p);
                    plain = false;
                    text += ch;
                    q += std::strlen(name);
                    known = true;
                    break;
                }
            }
            if (!known) return false;
            continue;
        }
        int n = 1;
        if (c >= 0x80) {
            n = characterLength(reinterpret_cast<const unsigned char *>(q),
                                reinterpret_cast<const unsigned char *>(end));
            if (n == 0) return false;
            if (plain) text = QByteArray(p, q - p);
            plain = false;
        } else if (c < 0x20 || c == 0x7F || c == '<' || (c == ']' && startsWith(q, end, "]]>"))) {
            if (c != '\t') return false;
        }
        if (!plain) text.append(q, n);
        q += n;
    }
    if (p == end) {
        out = QString();
    } else {
        out = plain ? QString::fromLatin1(p, end - p) : QString::fromUtf8(text);
    }
    return true;
}

const char *skipSpaces(const char *p, const char *end)
{
    while (p < end && *p == ' ') ++p;
    return p;
}

} // namespace

EntryScan scanEntryLines(QByteArrayView text, EntryLine &out)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    const char *lineEnd = static_cast<const char *>(std::memchr(begin, '\n', size_t(end - begin)));
    const char *p = skipSpaces(begin, lineEnd ? lineEnd : end);
    if (!startsWith(p, end, "<actual ")) return EntryScan::Other;
    if (!lineEnd) return EntryScan::Incomplete;
    p += 7;

    out = EntryLine();
    enum Seen : unsigned {
        Kind = 1,
        Category = 2,
        Account = 4,
        Date = 8,
        Value = 16,
        Transfer = 32,
        Group = 64,
        Converted = 128
    };
    unsigned seen = 0;
    while (p < lineEnd && *p == ' ') {
        const char *name = ++p;
        while (p < lineEnd && *p >= 'a' && *p <= 'z') ++p;
        const qsizetype nameSize = p - name;
        if (!startsWith(p, lineEnd, "=\"")) return EntryScan::Other;
        const char *value = p + 2;
        const char *valueEnd = static_cast<const char *>(std::memchr(value, '"', size_t(lineEnd - value)));
        if (!valueEnd) return EntryScan::Other;
        p = valueEnd + 1;
        const auto is = [&](const char *known) {
            return nameSize == qsizetype(std::strlen(known)) && std::memcmp(name, known, size_t(nameSize)) == 0;
        };
        Entry &e = out.entry;
        unsigned flag = 0;
        bool ok = false;
        int number = 0;
        double amount = 0;
        QDate date;
        if (is("kind"))
            flag = Kind, ok = readInt(value, valueEnd, number), e.setKind(cv::EntryKind(number));
        else if (is("category"))
            flag = Category, ok = readInt(value, valueEnd, number), e.setCategory(number);
        else if (is("account"))
            flag = Account, ok = readInt(value, valueEnd, number), e.setAccount(number);
        else if (is("transfer"))
            flag = Transfer, ok = readInt(value, valueEnd, number), e.setDestination(number);
        else if (is("group"))
            flag = Group, ok = readInt(value, valueEnd, number), e.setGroup(number);
        else if (is("date"))
            flag = Date, ok = readDate(value, valueEnd, date), e.setDate(date);
        else if (is("value"))
            flag = Value, ok = readDecimal(value, valueEnd, amount), e.setAmount(amount);
        else if (is("converted"))
            flag = Converted, ok = readDecimal(value, valueEnd, amount), e.setConverted(amount);
        if (!ok || (seen & flag)) return EntryScan::Other;
        seen |= flag;
    }
    if (!(seen & Date)) return EntryScan::Other;
    if (lineEnd - p == 2 && startsWith(p, lineEnd, "/>")) {
        out.length = lineEnd + 1 - begin;
        out.lines = 1;
        return EntryScan::Entry;
    }
    if (lineEnd - p != 1 || *p != '>') return EntryScan::Other;

    // The note, then the end of the entry, each on a line of its own.
    const char *noteLine = lineEnd + 1;
    const char *noteEnd = static_cast<const char *>(std::memchr(noteLine, '\n', size_t(end - noteLine)));
    if (!noteEnd) return EntryScan::Incomplete;
    p = skipSpaces(noteLine, noteEnd);
    if (!startsWith(p, noteEnd, "<note>") || noteEnd - p < 13 || std::memcmp(noteEnd - 7, "</note>", 7) != 0)
        return EntryScan::Other;
    QString note;
    if (!readNote(p + 6, noteEnd - 7, note)) return EntryScan::Other;
    out.entry.setMemo(note);
    const char *closeLine = noteEnd + 1;
    const char *closeEnd = static_cast<const char *>(std::memchr(closeLine, '\n', size_t(end - closeLine)));
    if (!closeEnd) return EntryScan::Incomplete;
    p = skipSpaces(closeLine, closeEnd);
    if (closeEnd - p != 9 || std::memcmp(p, "</actual>", 9) != 0) return EntryScan::Other;
    out.length = closeEnd + 1 - begin;
    out.lines = 3;
    return EntryScan::Entry;
}

bool isUtf8Declared(QByteArrayView start)
{
    if (start.startsWith("\xEF\xBB\xBF")) start = start.sliced(3);
    if (!start.startsWith("<?xml")) return start.startsWith("<") && !start.startsWith("<?");
    const qsizetype close = start.indexOf("?>");
    if (close < 0) return false;
    const QByteArrayView declaration = start.first(close);
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0) return true;
    QByteArrayView rest = declaration.sliced(at + 8).trimmed();
    if (!rest.startsWith('=')) return false;
    rest = rest.sliced(1).trimmed();
    if (rest.isEmpty() || (rest[0] != '"' && rest[0] != '\'')) return false;
    const qsizetype end = rest.sliced(1).indexOf(rest[0]);
    return end >= 0 && rest.sliced(1, end).compare("utf-8", Qt::CaseInsensitive) == 0;
}

void MarkupState::advance(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    for (; p < end && m_state != Unknown; ++p) {
        const char c = *p;
        switch (m_state) {
        case Text:
            if (c != '<') break;
            if (startsWith(p, end, "<!--")) {
                m_state = Comment;
                p += 3;
            } else if (startsWith(p, end, "<![CDATA[")) {
                m_state = Section;
                p += 8;
            } else if (startsWith(p, end, "<?")) {
                m_state = Instruction;
                ++p;
            } else if (startsWith(p, end, "<!") || p + 1 == end) {
                m_state = Unknown; // a document type, or markup cut apart
            } else {
                m_state = Tag;
                m_endTag = p[1] == '/';
                m_last = 0;
            }
            break;
        case Tag:
            if (c == '"' || c == '\'') {
                m_state = Quoted;
                m_quote = c;
            } else if (c == '>') {
                m_state = Text;
                if (m_endTag)
                    --m_depth;
                else if (m_last != '/')
                    ++m_depth;
            }
            m_last = c;
            break;
        case Quoted:
            if (c == m_quote) {
                m_state = Tag;
                m_last = c;
            }
            break;
        case Comment:
            if (startsWith(p, end, "-->")) {
                m_state = Text;
                p += 2;
            }
            break;
        case Section:
            if (startsWith(p, end, "]]>")) {
                m_state = Text;
                p += 2;
            }
            break;
        case Instruction:
            if (startsWith(p, end, "?>")) {
                m_state = Text;
                ++p;
            }
            break;
        case Unknown: break;
        }
    }
}

} // namespace cv::xml
