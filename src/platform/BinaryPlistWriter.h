#pragma once
// Writes binary property lists ("bplist00") in linear time. libplist's own
// writer keeps every node in a fixed-size hash table and slows down with the
// square of the node count, which a large book's archives reach.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace cv {

class BinaryPlistWriter {
public:
    using Ref = std::uint32_t;

    // Scalars of equal value are written once.
    Ref string(const QString &s);
    Ref integer(std::int64_t value);
    Ref real(double value);
    Ref boolean(bool value);
    Ref data(const QByteArray &bytes);
    Ref uid(std::uint64_t value);

    // Containers may be filled after they are made, and may hold objects
    // made later. A dictionary's keys must be strings; a key set twice keeps
    // the last value.
    Ref array();
    Ref dictionary();
    void append(Ref array, Ref item);
    void insert(Ref dictionary, Ref key, Ref value);

    // The whole list with the given object at the top.
    QByteArray write(Ref top) const;

private:
    enum class Type : std::uint8_t { Bool, Int, Real, Data, Ascii, Utf16, Uid, Array, Dict };
    struct Object {
        Type type;
        std::uint64_t number = 0;               // bool, int, uid, bits of a real
        QByteArray bytes;                       // data, ASCII or UTF-16 big-endian
        std::vector<Ref> refs;                  // array items
        std::vector<std::pair<Ref, Ref>> pairs; // dictionary entries
    };

    Ref add(Object o);

    std::vector<Object> m_objects;
    QHash<QString, Ref> m_strings;
    std::unordered_map<std::int64_t, Ref> m_ints;
    std::unordered_map<std::uint64_t, Ref> m_reals;
    std::unordered_map<std::uint64_t, Ref> m_uids;
    Ref m_bools[2] = {~Ref(0), ~Ref(0)};
};

} // namespace cv
