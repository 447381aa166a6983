#include "platform/BinaryPlistWriter.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace cv {

namespace {

// Bytes for an unsigned value: 1, 2, 4 or 8, as every reader accepts.
unsigned bytesFor(std::uint64_t v)
{
    if (v < (1ull << 8)) return 1;
    if (v < (1ull << 16)) return 2;
    if (v < (1ull << 32)) return 4;
    return 8;
}

unsigned log2Of(unsigned bytes)
{
    return bytes == 1 ? 0 : bytes == 2 ? 1 : bytes == 4 ? 2 : 3;
}

void appendBE(QByteArray &out, std::uint64_t v, unsigned bytes)
{
    for (int shift = int(bytes - 1) * 8; shift >= 0; shift -= 8) out.append(char((v >> shift) & 0xff));
}

// Marker with a count in the low nibble, or 0xF and the count as an integer.
void appendMarker(QByteArray &out, std::uint8_t high, std::uint64_t count)
{
    if (count < 15) {
        out.append(char(high | count));
        return;
    }
    out.append(char(high | 0x0F));
    const unsigned b = bytesFor(count);
    out.append(char(0x10 | log2Of(b)));
    appendBE(out, count, b);
}

} // namespace

BinaryPlistWriter::Ref BinaryPlistWriter::add(Object o)
{
    m_objects.push_back(std::move(o));
    return Ref(m_objects.size() - 1);
}

BinaryPlistWriter::Ref BinaryPlistWriter::string(const QString &s)
{
    auto it = m_strings.constFind(s);
    if (it != m_strings.constEnd()) return *it;
    // Readers cut strings at U+0000 and refuse broken UTF-16, which would
    // make the whole list unreadable: drop the one, replace the other.
    QString text;
    text.reserve(s.size());
    bool ascii = true;
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s.at(i).unicode();
        if (c == 0) continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s.at(i + 1).unicode())) {
            text.append(s.at(i)).append(s.at(i + 1));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            text.append(QChar(QChar::ReplacementCharacter));
        } else {
            text.append(QChar(c));
        }
        if (c >= 0x80) ascii = false;
    }
    Object o;
    if (ascii) {
        o.type = Type::Ascii;
        o.bytes = text.toLatin1();
    } else {
        o.type = Type::Utf16;
        o.bytes.resize(text.size() * 2);
        qToBigEndian<char16_t>(text.utf16(), text.size(), o.bytes.data());
    }
    Ref r = add(std::move(o));
    m_strings.insert(s, r);
    return r;
}

BinaryPlistWriter::Ref BinaryPlistWriter::integer(std::int64_t value)
{
    auto it = m_ints.find(value);
    if (it != m_ints.end()) return it->second;
    Ref r = add(Object{Type::Int, std::uint64_t(value), {}, {}, {}});
    m_ints.emplace(value, r);
    return r;
}

BinaryPlistWriter::Ref BinaryPlistWriter::real(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    auto it = m_reals.find(bits);
    if (it != m_reals.end()) return it->second;
    Ref r = add(Object{Type::Real, bits, {}, {}, {}});
    m_reals.emplace(bits, r);
    return r;
}

BinaryPlistWriter::Ref BinaryPlistWriter::boolean(bool value)
{
    Ref &r = m_bools[value ? 1 : 0];
    if (r == ~Ref(0)) r = add(Object{Type::Bool, value ? 1u : 0u, {}, {}, {}});
    return r;
}

BinaryPlistWriter::Ref BinaryPlistWriter::data(const QByteArray &bytes)
{
    return add(Object{Type::Data, 0, bytes, {}, {}});
}

BinaryPlistWriter::Ref BinaryPlistWriter::uid(std::uint64_t value)
{
    auto it = m_uids.find(value);
    if (it != m_uids.end()) return it->second;
    Ref r = add(Object{Type::Uid, value, {}, {}, {}});
    m_uids.emplace(value, r);
    return r;
}

BinaryPlistWriter::Ref BinaryPlistWriter::array()
{
    return add(Object{Type::Array, 0, {}, {}, {}});
}

BinaryPlistWriter::Ref BinaryPlistWriter::dictionary()
{
    return add(Object{Type::Dict, 0, {}, {}, {}});
}

void BinaryPlistWriter::append(Ref array, Ref item)
{
    m_objects[array].refs.push_back(item);
}

void BinaryPlistWriter::insert(Ref dictionary, Ref key, Ref value)
{
    auto &pairs = m_objects[dictionary].pairs;
    // Equal key strings are one object, so a repeated key has the same ref.
    if (pairs.size() <= 16) {
        for (auto &p : pairs) {
            if (p.first == key) {
                p.second = value;
                return;
            }
        }
    }
    pairs.emplace_back(key, value);
}

QByteArray BinaryPlistWriter::write(Ref top) const
{
    const std::uint64_t count = m_objects.size();
    const unsigned refSize = bytesFor(count ? count - 1 : 0);
    std::vector<std::uint64_t> offsets;
    offsets.reserve(count);
    QByteArray out("bplist00");
    std::vector<std::pair<Ref, Ref>> unique;
    std::unordered_set<Ref> seen;
    for (const Object &o : m_objects) {
        offsets.push_back(std::uint64_t(out.size()));
        switch (o.type) {
        case Type::Bool: out.append(char(o.number ? 0x09 : 0x08)); break;
        case Type::Int: {
            // Negative numbers take eight bytes, which readers take as signed.
            const unsigned b = std::int64_t(o.number) < 0 ? 8 : bytesFor(o.number);
            out.append(char(0x10 | log2Of(b)));
            appendBE(out, o.number, b);
            break;
        }
        case Type::Real:
            out.append(char(0x23));
            appendBE(out, o.number, 8);
            break;
        case Type::Data:
            appendMarker(out, 0x40, std::uint64_t(o.bytes.size()));
            out.append(o.bytes);
            break;
        case Type::Ascii:
            appendMarker(out, 0x50, std::uint64_t(o.bytes.size()));
            out.append(o.bytes);
            break;
        case Type::Utf16:
            appendMarker(out, 0x60, std::uint64_t(o.bytes.size() / 2));
            out.append(o.bytes);
            break;
        case Type::Uid: {
            const unsigned b = bytesFor(o.number);
            out.append(char(0x80 | (b - 1)));
            appendBE(out, o.number, b);
            break;
        }
        case Type::Array:
            appendMarker(out, 0xA0, o.refs.size());
            for (Ref r : o.refs) appendBE(out, r, refSize);
            break;
        case Type::Dict: {
            // Large dictionaries were not checked for repeated keys on insert.
            const std::vector<std::pair<Ref, Ref>> *pairs = &o.pairs;
            if (o.pairs.size() > 16) {
                unique.clear();
                seen.clear();
                for (auto it = o.pairs.rbegin(); it != o.pairs.rend(); ++it)
                    if (seen.insert(it->first).second) unique.push_back(*it);
                std::reverse(unique.begin(), unique.end());
                pairs = &unique;
            }
            appendMarker(out, 0xD0, pairs->size());
            for (const auto &p : *pairs) appendBE(out, p.first, refSize);
            for (const auto &p : *pairs) appendBE(out, p.second, refSize);
            break;
        }
        }
    }
    const std::uint64_t tableStart = std::uint64_t(out.size());
    const unsigned offsetSize = bytesFor(tableStart);
    for (std::uint64_t off : offsets) appendBE(out, off, offsetSize);
    out.append(QByteArray(6, '\0'));
    out.append(char(offsetSize));
    out.append(char(refSize));
    appendBE(out, count, 8);
    appendBE(out, top, 8);
    appendBE(out, tableStart, 8);
    return out;
}

} // namespace cv
