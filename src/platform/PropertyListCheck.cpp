#include "platform/PropertyListCheck.h"

#include <QXmlStreamReader>

#include <cstdint>
#include <cstring>
#include <vector>

namespace cv {

namespace {

using u8 = std::uint8_t;
using u64 = std::uint64_t;

// ---------------------------------------------------------------------------
// Binary form

constexpr u64 kTrailerSize = 32;
// Cost of one parsed node, in bytes, on top of its payload. The budget for a
// whole list is a multiple of its size: real lists share only small scalars,
// so their expansion stays well inside it.
constexpr u64 kNodeCost = 16;
constexpr u64 kCostPerInputByte = 32;
constexpr u64 kCostAllowance = u64(1) << 20;

enum class Kind : u8 { Unparsed, Scalar, String, Array, Dict };

struct Object {
    Kind kind = Kind::Unparsed;
    u64 refStart = 0; // first reference (arrays, dictionaries)
    u64 refCount = 0; // references; a dictionary has keys then values
    u64 payload = 0;  // bytes the parsed node holds
};

u64 readBE(const u8 *p, unsigned n)
{
    u64 v = 0;
    for (unsigned i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

bool isPow2Size(u64 n)
{
    return n == 1 || n == 2 || n == 4 || n == 8;
}
// libplist writes offsets and references of three bytes as well.
bool isRefSize(u64 n)
{
    return isPow2Size(n) || n == 3;
}

class BinaryCheck {
public:
    BinaryCheck(const u8 *data, u64 size, const PropertyListLimits &limits)
        : m_data(data), m_size(size), m_limits(limits)
    {
    }

    bool run()
    {
        if (m_size < 8 + kTrailerSize || std::memcmp(m_data, "bplist00", 8) != 0) return false;
        const u8 *t = m_data + m_size - kTrailerSize;
        m_offsetSize = t[6];
        m_refSize = t[7];
        const u64 count = readBE(t + 8, 8);
        const u64 top = readBE(t + 16, 8);
        m_tableStart = readBE(t + 24, 8);
        if (!isRefSize(m_offsetSize) || !isRefSize(m_refSize)) return false;
        const u64 end = m_size - kTrailerSize;
        if (m_tableStart < 8 || m_tableStart >= end) return false;
        if (count == 0 || count > (end - m_tableStart) / m_offsetSize) return false;
        if (top >= count) return false;
        // A reference that cannot name every object could not be written by
        // a sound writer, and libplist would read it as a truncated number.
        if (m_refSize < 8 && (count - 1) >> (8 * m_refSize) != 0) return false;
        m_count = count;
        m_objects.assign(count, Object{});
        m_budget = m_size * kCostPerInputByte + kCostAllowance;
        return walk(top);
    }

private:
    const u8 *m_data;
    u64 m_size;
    const PropertyListLimits &m_limits;
    unsigned m_offsetSize = 0;
    unsigned m_refSize = 0;
    u64 m_tableStart = 0;
    u64 m_count = 0;
    u64 m_budget = 0;
    std::vector<Object> m_objects;

    // Bytes [pos, pos + n) lie inside the object area.
    bool inObjects(u64 pos, u64 n) const { return pos <= m_tableStart && n <= m_tableStart - pos; }

    u64 ref(const Object &o, u64 i) const { return readBE(m_data + o.refStart + i * m_refSize, m_refSize); }

    // The element count of a marker whose low nibble is 0xF is an integer
    // object that follows; pos is moved past it.
    bool length(u8 info, u64 &pos, u64 &n) const
    {
        if (info != 0xF) {
            n = info;
            return true;
        }
        if (!inObjects(pos, 1)) return false;
        const u8 m = m_data[pos++];
        if ((m & 0xF0) != 0x10 || (m & 0x0F) > 3) return false;
        const unsigned bytes = 1u << (m & 0x0F);
        if (!inObjects(pos, bytes)) return false;
        n = readBE(m_data + pos, bytes);
        pos += bytes;
        return true;
    }

    static bool validUtf16(const u8 *p, u64 units)
    {
        for (u64 i = 0; i < units; ++i) {
            const unsigned c = (unsigned(p[2 * i]) << 8) | p[2 * i + 1];
            if (c == 0) return false;
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (i + 1 >= units) return false;
                const unsigned lo = (unsigned(p[2 * i + 2]) << 8) | p[2 * i + 3];
                if (lo < 0xDC00 || lo > 0xDFFF) return false;
                ++i;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                return false;
            }
        }
        return true;
    }

    bool parse(u64 index)
    {
        Object &o = m_objects[index];
        if (o.kind != Kind::Unparsed) return true;
        const u64 off = readBE(m_data + m_tableStart + index * m_offsetSize, m_offsetSize);
        if (off < 8 || !inObjects(off, 1)) return false;
        u64 pos = off + 1;
        const u8 marker = m_data[off];
        const u8 info = marker & 0x0F;
        u64 n = 0;
        switch (marker >> 4) {
        case 0x0: // only false and true
            if (marker != 0x08 && marker != 0x09) return false;
            o.kind = Kind::Scalar;
            return true;
        case 0x1: { // integer of 1, 2, 4, 8 or 16 bytes
            if (info > 4) return false;
            const u64 bytes = u64(1) << info;
            if (!inObjects(pos, bytes)) return false;
            if (bytes == 16) {
                // Only what fits a signed 64-bit number: the high half is the
                // sign extension of the low half.
                const u64 high = readBE(m_data + pos, 8);
                const u64 low = readBE(m_data + pos + 8, 8);
                if (high != ((low >> 63) ? ~u64(0) : 0)) return false;
            }
            o.kind = Kind::Scalar;
            return true;
        }
        case 0x2: // real of 4 or 8 bytes
            if (info != 2 && info != 3) return false;
            if (!inObjects(pos, u64(1) << info)) return false;
            o.kind = Kind::Scalar;
            return true;
        case 0x3: // date
            if (marker != 0x33 || !inObjects(pos, 8)) return false;
            o.kind = Kind::Scalar;
            return true;
        case 0x4: // data
            if (!length(info, pos, n) || !inObjects(pos, n)) return false;
            o.kind = Kind::Scalar;
            o.payload = n;
            return true;
        case 0x5: // ASCII string: seven-bit, no NUL
            if (!length(info, pos, n) || !inObjects(pos, n)) return false;
            for (u64 i = 0; i < n; ++i)
                if (m_data[pos + i] == 0 || m_data[pos + i] >= 0x80) return false;
            o.kind = Kind::String;
            o.payload = n + 1;
            return true;
        case 0x6: // UTF-16 string, big-endian, whole surrogate pairs only
            if (!length(info, pos, n) || n > m_tableStart / 2 || !inObjects(pos, 2 * n)) return false;
            if (!validUtf16(m_data + pos, n)) return false;
            o.kind = Kind::String;
            o.payload = 3 * n + 1;
            return true;
        case 0x8: // UID of 1, 2, 4 or 8 bytes
            if (!isPow2Size(u64(info) + 1) || !inObjects(pos, u64(info) + 1)) return false;
            o.kind = Kind::Scalar;
            return true;
        case 0xA:   // array
        case 0xD: { // dictionary
            if (!length(info, pos, n)) return false;
            const u64 refs = (marker >> 4) == 0xD ? 2 : 1;
            if (n > m_tableStart / m_refSize / refs) return false;
            if (!inObjects(pos, n * refs * m_refSize)) return false;
            o.kind = refs == 2 ? Kind::Dict : Kind::Array;
            o.refStart = pos;
            o.refCount = n * refs;
            for (u64 i = 0; i < o.refCount; ++i)
                if (ref(o, i) >= m_count) return false;
            return true;
        }
        default: // sets and unknown markers
            return false;
        }
    }

    struct Frame {
        u64 index;
        u64 next = 0;   // next reference to visit
        u64 height = 1; // levels at and below this object seen so far
        u64 cost = 0;
    };

    // Depth-first walk from the top object: no cycles, no deeper than the
    // limit, and the cost of the list as libplist would expand it (a shared
    // object counts at every reference) within the budget.
    bool walk(u64 top)
    {
        enum : u8 { White, Grey, Black };
        std::vector<u8> colour(m_count, White);
        std::vector<u64> height(m_count, 0), cost(m_count, 0);
        std::vector<Frame> stack;
        auto enter = [&](u64 index) {
            if (stack.size() >= u64(m_limits.maxDepth)) return false;
            if (!parse(index)) return false;
            colour[index] = Grey;
            stack.push_back(Frame{index, 0, 1, kNodeCost + m_objects[index].payload});
            return true;
        };
        if (!enter(top)) return false;
        while (!stack.empty()) {
            Frame &f = stack.back();
            const Object &o = m_objects[f.index];
            if (f.next < o.refCount) {
                const bool isKey = o.kind == Kind::Dict && f.next < o.refCount / 2;
                const u64 child = ref(o, f.next++);
                if (colour[child] == Grey) return false;
                if (colour[child] == White) {
                    if (!enter(child)) return false;
                    if (isKey && m_objects[child].kind != Kind::String) return false;
                    continue;
                }
                if (isKey && m_objects[child].kind != Kind::String) return false;
                f.height = std::max(f.height, height[child] + 1);
                f.cost += cost[child];
                if (f.cost > m_budget) return false;
                continue;
            }
            const Frame done = f;
            stack.pop_back();
            colour[done.index] = Black;
            height[done.index] = done.height;
            cost[done.index] = done.cost;
            if (done.height > u64(m_limits.maxDepth)) return false;
            if (!stack.empty()) {
                Frame &parent = stack.back();
                parent.height = std::max(parent.height, done.height + 1);
                parent.cost += done.cost;
                if (parent.cost > m_budget) return false;
            }
        }
        return true;
    }
};

// ---------------------------------------------------------------------------
// XML form: a well-formed document no deeper than the limit; the rest is the
// parser's to judge.

bool xmlDepthWithin(QByteArrayView data, int maxDepth)
{
    QXmlStreamReader xml(QByteArray::fromRawData(data.data(), data.size()));
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maxDepth) return false;
            break;
        case QXmlStreamReader::EndElement: --depth; break;
        default: break;
        }
    }
    return !xml.hasError();
}

} // namespace

bool propertyListIsSafe(QByteArrayView data, const PropertyListLimits &limits)
{
    if (data.size() >= 6 && std::memcmp(data.data(), "bplist", 6) == 0) {
        BinaryCheck check(reinterpret_cast<const u8 *>(data.data()), u64(data.size()), limits);
        return check.run();
    }
    return xmlDepthWithin(data, limits.maxDepth);
}

} // namespace cv
