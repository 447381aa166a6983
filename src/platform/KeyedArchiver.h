#pragma once
// Keyed archives in the NSKeyedArchiver layout, so documents stay exchangeable
// with earlier versions of the program. Written as binary property lists;
// binary and XML property lists are read. The decoder treats its input as
// untrusted: anything malformed makes the whole archive unreadable.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace cv {

class KeyedArchiver;
class KeyedUnarchiver;

// Base of every object that archives itself under a class name.
class KeyedArchivable {
public:
    virtual ~KeyedArchivable() = default;
    // "$classname" of the object.
    virtual QString archiveClassName() const = 0;
    // "$classes": the class chain, most derived first, ending with "NSObject".
    virtual QStringList archiveClassChain() const { return {archiveClassName(), QStringLiteral("NSObject")}; }
    virtual void encodeWithCoder(KeyedArchiver &coder) const = 0;
    // Reads the fields from a blank object. Answer false (or call coder.fail())
    // when the archive is unusable; the whole archive is then unreadable.
    virtual bool initWithCoder(KeyedUnarchiver &coder) = 0;
};

using ArchivablePtr = std::shared_ptr<KeyedArchivable>;

struct ArchiveValue;
using ArchiveArray = std::vector<ArchiveValue>;
// Ordered key/value pairs; keys may be any value (strings, numbers, arrays of strings).
using ArchiveDictionary = std::vector<std::pair<ArchiveValue, ArchiveValue>>;

// NSDate: seconds since 2001-01-01 00:00:00 UTC.
struct ArchiveDate {
    double secondsSinceReferenceDate = 0;
    bool operator==(const ArchiveDate &) const = default;
    QDateTime toDateTime() const;
    static ArchiveDate fromDateTime(const QDateTime &dt);
};

// One archived value. Arrays and dictionaries are shared so that a value
// referenced twice is written once; archivable objects are shared by identity.
struct ArchiveValue {
    using Array = std::shared_ptr<ArchiveArray>;
    using Dictionary = std::shared_ptr<ArchiveDictionary>;
    std::variant<std::monostate, QString, std::int64_t, double, bool, ArchiveDate, QByteArray, Array, Dictionary,
                 ArchivablePtr>
        v;

    ArchiveValue() = default;
    ArchiveValue(const QString &s) : v(s) {}
    ArchiveValue(const char *s) : v(QString::fromUtf8(s)) {}
    ArchiveValue(int i) : v(std::int64_t(i)) {}
    ArchiveValue(std::int64_t i) : v(i) {}
    ArchiveValue(double d) : v(d) {}
    ArchiveValue(bool b) : v(b) {}
    ArchiveValue(const ArchiveDate &d) : v(d) {}
    ArchiveValue(const QByteArray &d) : v(d) {}
    ArchiveValue(ArchiveArray a) : v(std::make_shared<ArchiveArray>(std::move(a))) {}
    ArchiveValue(ArchiveDictionary d) : v(std::make_shared<ArchiveDictionary>(std::move(d))) {}
    ArchiveValue(Array a) : v(std::move(a)) {}
    ArchiveValue(Dictionary d) : v(std::move(d)) {}
    template <class T, class = std::enable_if_t<std::is_base_of_v<KeyedArchivable, T>>>
    ArchiveValue(std::shared_ptr<T> o) : v(ArchivablePtr(std::move(o)))
    {
        if (!std::get<ArchivablePtr>(v)) v = std::monostate{};
    }
    // An array of archivable objects.
    template <class T, class = std::enable_if_t<std::is_base_of_v<KeyedArchivable, T>>>
    static ArchiveValue arrayOf(const std::vector<std::shared_ptr<T>> &items)
    {
        ArchiveArray a;
        a.reserve(items.size());
        for (const auto &i : items) a.emplace_back(i);
        return ArchiveValue(std::move(a));
    }

    bool isNull() const { return std::holds_alternative<std::monostate>(v); }
    const QString *string() const { return std::get_if<QString>(&v); }
    const ArchiveArray *array() const;
    const ArchiveDictionary *dictionary() const;
    ArchivablePtr object() const;
    template <class T> std::shared_ptr<T> objectAs() const { return std::dynamic_pointer_cast<T>(object()); }
    // Numbers and booleans as integer/double (0 for anything else).
    std::int64_t toInt64() const;
    double toDouble() const;
    // Structural equality; archivable objects compare by identity.
    bool operator==(const ArchiveValue &o) const;
};

// Registry from "$classname" to a factory of a blank object. Classes register
// once (see CV_REGISTER_ARCHIVABLE); an unknown class makes an archive unreadable.
class ArchiveClassRegistry {
public:
    using Factory = std::function<ArchivablePtr()>;
    static void registerClass(const QString &className, Factory factory);
    static ArchivablePtr create(const QString &className);
    // The factory of a class, empty when it is not registered.
    static Factory factory(const QString &className);
    static bool isRegistered(const QString &className);
};

class KeyedArchiver {
public:
    // Archives the value as the root ("$top" = {"root": ...}) in binary form.
    // Empty whenever the decoder would refuse the result: a value nested
    // deeper than it reads (512 references, which no real book comes near),
    // a value that holds itself (a cycle), or an object that called fail().
    static QByteArray archivedDataWithRootObject(const ArchiveValue &root);

    // Refuses the whole archive, for an object that cannot be written so that
    // it reads back (archivedDataWithRootObject then answers empty).
    void fail();

    void encodeInt(const QString &key, std::int64_t value);
    void encodeDouble(const QString &key, double value);
    void encodeBool(const QString &key, bool value);
    // Strings, numbers, arrays, dictionaries, dates, data and archivable objects.
    // A null value writes a reference to "$null".
    void encodeObject(const QString &key, const ArchiveValue &value);

    struct Impl;
    explicit KeyedArchiver(Impl &impl) : m_d(impl) {}

private:
    Impl &m_d; // the archive being written, owned by archivedDataWithRootObject
};

class KeyedUnarchiver {
public:
    // The root object, or none when the data is not a readable keyed archive.
    static std::optional<ArchiveValue> unarchiveObjectWithData(const QByteArray &data);
    // The root as an object of class T; null when unreadable or of another class.
    template <class T> static std::shared_ptr<T> unarchiveObjectOfClass(const QByteArray &data)
    {
        auto v = unarchiveObjectWithData(data);
        return v ? v->objectAs<T>() : nullptr;
    }

    bool containsValueForKey(const QString &key) const;
    // A missing key answers 0 / 0.0 / false / null value. A present key of the
    // wrong type makes the archive unreadable and answers the same.
    std::int64_t decodeInt64ForKey(const QString &key);
    int decodeIntForKey(const QString &key) { return int(decodeInt64ForKey(key)); }
    double decodeDoubleForKey(const QString &key);
    bool decodeBoolForKey(const QString &key);
    ArchiveValue decodeObjectForKey(const QString &key);
    // Typed helpers: a present key of another type makes the archive unreadable.
    std::optional<QString> decodeStringForKey(const QString &key);
    template <class T> std::shared_ptr<T> decodeObjectOfClassForKey(const QString &key)
    {
        ArchiveValue v = decodeObjectForKey(key);
        if (v.isNull()) return nullptr;
        auto o = v.objectAs<T>();
        if (!o) fail();
        return o;
    }
    // An array whose every element is an object of class T; none when missing.
    template <class T> std::optional<std::vector<std::shared_ptr<T>>> decodeArrayOfClassForKey(const QString &key)
    {
        ArchiveValue v = decodeObjectForKey(key);
        if (v.isNull()) return std::nullopt;
        const ArchiveArray *a = v.array();
        if (!a) {
            fail();
            return std::nullopt;
        }
        std::vector<std::shared_ptr<T>> out;
        out.reserve(a->size());
        for (const auto &e : *a) {
            auto o = e.objectAs<T>();
            if (!o) {
                fail();
                return std::nullopt;
            }
            out.push_back(std::move(o));
        }
        return out;
    }

    // Marks the archive unreadable.
    void fail();
    bool failed() const;

    struct Impl;
    explicit KeyedUnarchiver(Impl &impl) : m_d(impl) {}

private:
    Impl &m_d; // the archive being read, owned by unarchiveObjectWithData
};

// Registers class T (default-constructible) under an archive class name.
// Libraries register their classes from one explicit, idempotent function
// (static initialisers in a static library would be dropped by the linker).
template <class T> void registerArchivable(const QString &className)
{
    ArchiveClassRegistry::registerClass(className, [] { return std::make_shared<T>(); });
}

} // namespace cv
