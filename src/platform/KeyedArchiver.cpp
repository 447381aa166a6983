#include "platform/KeyedArchiver.h"

#include "platform/BinaryPlistWriter.h"
#include "platform/Logging.h"
#include "platform/PropertyListCheck.h"

#include <QHash>
#include <QMutex>
#include <QVarLengthArray>
#include <QStringDecoder>
#include <QTimeZone>

#include <plist/plist.h>

#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace cv {

namespace {

const QString kNSObject = QStringLiteral("NSObject");

// Deeper archives are refused by both sides: the decoder recurses once per
// level, and a tree that deep is not a real household book.
constexpr int kMaxDepth = 512;

// A caller's key that begins with "$" is stored with one more "$". Keys are
// short; this runs for every field read, so it stays off the heap.
using KeyBuffer = QVarLengthArray<char, 64>;
void archiveKey(const QString &key, KeyBuffer &out)
{
    out.clear();
    if (key.startsWith(u'$')) out.append('$');
    for (QChar c : key) {
        if (c.unicode() >= 0x80) {
            const QByteArray utf8 = key.toUtf8();
            out.resize(key.startsWith(u'$') ? 1 : 0);
            out.append(utf8.constData(), utf8.size());
            break;
        }
        out.append(char(c.unicode()));
    }
    out.append('\0');
}

struct PlistHolder {
    plist_t p = nullptr;
    ~PlistHolder()
    {
        if (p) plist_free(p);
    }
};

const QDateTime &referenceDate()
{
    static const QDateTime ref(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return ref;
}

} // namespace

// ---------------------------------------------------------------------------
// ArchiveDate and ArchiveValue

QDateTime ArchiveDate::toDateTime() const
{
    // Beyond about +-290,000 years the milliseconds no longer fit.
    const double ms = secondsSinceReferenceDate * 1000.0;
    if (!std::isfinite(ms) || std::fabs(ms) > 9.0e18) return {};
    return referenceDate().addMSecs(std::llround(ms));
}

ArchiveDate ArchiveDate::fromDateTime(const QDateTime &dt)
{
    if (!dt.isValid()) return {};
    return ArchiveDate{double(referenceDate().msecsTo(dt)) / 1000.0};
}

const ArchiveArray *ArchiveValue::array() const
{
    const Array *a = std::get_if<Array>(&v);
    return a ? a->get() : nullptr;
}

const ArchiveDictionary *ArchiveValue::dictionary() const
{
    const Dictionary *d = std::get_if<Dictionary>(&v);
    return d ? d->get() : nullptr;
}

ArchivablePtr ArchiveValue::object() const
{
    const ArchivablePtr *o = std::get_if<ArchivablePtr>(&v);
    return o ? *o : nullptr;
}

std::int64_t ArchiveValue::toInt64() const
{
    if (const auto *i = std::get_if<std::int64_t>(&v)) return *i;
    if (const auto *b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    if (const auto *d = std::get_if<double>(&v)) {
        if (std::isnan(*d)) return 0;
        if (*d >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
        if (*d <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
        return std::int64_t(*d);
    }
    return 0;
}

double ArchiveValue::toDouble() const
{
    if (const auto *d = std::get_if<double>(&v)) return *d;
    if (const auto *i = std::get_if<std::int64_t>(&v)) return double(*i);
    if (const auto *b = std::get_if<bool>(&v)) return *b ? 1.0 : 0.0;
    return 0;
}

bool ArchiveValue::operator==(const ArchiveValue &o) const
{
    if (v.index() != o.v.index()) return false;
    if (const auto *a = std::get_if<Array>(&v)) {
        const Array &b = std::get<Array>(o.v);
        if (*a == b) return true;
        if (!*a || !b) return false;
        return **a == *b;
    }
    if (const auto *a = std::get_if<Dictionary>(&v)) {
        const Dictionary &b = std::get<Dictionary>(o.v);
        if (*a == b) return true;
        if (!*a || !b) return false;
        const ArchiveDictionary &x = **a, &y = *b;
        if (x.size() != y.size()) return false;
        if (x == y) return true;
        // Same pairs in another order are the same dictionary.
        for (const auto &p : x) {
            bool found = false;
            for (const auto &q : y) {
                if (p.first == q.first) {
                    if (!(p.second == q.second)) return false;
                    found = true;
                    break;
                }
            }
            if (!found) return false;
        }
        return true;
    }
    return v == o.v;
}

// ---------------------------------------------------------------------------
// Class registry

namespace {
struct Registry {
    QMutex mutex;
    QHash<QString, ArchiveClassRegistry::Factory> factories;
};
Registry &registry()
{
    static Registry r;
    return r;
}
} // namespace

void ArchiveClassRegistry::registerClass(const QString &className, Factory factory)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.factories.insert(className, std::move(factory));
}

ArchiveClassRegistry::Factory ArchiveClassRegistry::factory(const QString &className)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.factories.value(className);
}

ArchivablePtr ArchiveClassRegistry::create(const QString &className)
{
    Factory f = factory(className);
    return f ? f() : nullptr;
}

bool ArchiveClassRegistry::isRegistered(const QString &className)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.factories.contains(className);
}

// ---------------------------------------------------------------------------
// Encoder

struct KeyedArchiver::Impl {
    using Ref = BinaryPlistWriter::Ref;
    static constexpr Ref kNone = ~Ref(0);

    BinaryPlistWriter w;
    // Index = UID. A UID is taken before the contents are encoded, so cycles
    // end at the reference.
    std::vector<Ref> objects;
    std::unordered_map<const void *, std::uint64_t> shared;
    // Values whose contents are being written: a reference back to one is a
    // cycle, which the decoder refuses.
    std::unordered_set<const void *> open;
    // Values made on the fly inside encodeWithCoder die before the archive is
    // done; holding them keeps their addresses from being reused by another.
    std::vector<std::shared_ptr<const void>> keepAlive;
    QHash<QString, std::uint64_t> strings;
    QHash<QString, std::uint64_t> classes;
    Ref classKey = kNone;
    Ref current = kNone;
    int depth = 0;
    bool failed = false;

    std::uint64_t add(Ref r)
    {
        objects.push_back(r);
        return objects.size() - 1;
    }

    // An object dictionary, "$class" first.
    std::uint64_t addObject(Ref &dict, const QString &name, const QStringList &chain)
    {
        dict = w.dictionary();
        w.insert(dict, classKey, w.uid(classUid(name, chain)));
        return add(dict);
    }

    std::uint64_t classUid(const QString &name, const QStringList &chain)
    {
        auto it = classes.constFind(name);
        if (it != classes.constEnd()) return *it;
        Ref cls = w.dictionary();
        Ref list = w.array();
        for (const QString &c : chain) w.append(list, w.string(c));
        w.insert(cls, w.string(QStringLiteral("$classes")), list);
        w.insert(cls, w.string(QStringLiteral("$classname")), w.string(name));
        std::uint64_t uid = add(cls);
        classes.insert(name, uid);
        return uid;
    }

    std::optional<std::uint64_t> knownUid(const void *p)
    {
        auto it = shared.find(p);
        if (it == shared.end()) return std::nullopt;
        if (open.contains(p)) failed = true;
        return it->second;
    }

    void remember(std::shared_ptr<const void> p, std::uint64_t uid)
    {
        shared.emplace(p.get(), uid);
        keepAlive.push_back(std::move(p));
    }

    void set(Ref dict, const QString &key, Ref value)
    {
        // Keys the archive uses itself begin with "$"; a caller's key that
        // does too gets one more "$", as the platform archiver does.
        w.insert(dict, w.string(key.startsWith(u'$') ? u'$' + key : key), value);
    }

    std::uint64_t encode(const ArchiveValue &value);
};

std::uint64_t KeyedArchiver::Impl::encode(const ArchiveValue &value)
{
    struct Visitor {
        Impl &d;
        std::uint64_t operator()(std::monostate) const { return 0; }
        std::uint64_t operator()(const QString &s) const
        {
            if (s.isNull()) return 0;
            auto it = d.strings.constFind(s);
            if (it != d.strings.constEnd()) return *it;
            std::uint64_t uid = d.add(d.w.string(s));
            d.strings.insert(s, uid);
            return uid;
        }
        std::uint64_t operator()(std::int64_t i) const { return d.add(d.w.integer(i)); }
        std::uint64_t operator()(double x) const { return d.add(d.w.real(x)); }
        std::uint64_t operator()(bool b) const { return d.add(d.w.boolean(b)); }
        std::uint64_t operator()(const ArchiveDate &date) const
        {
            Ref dict = kNone;
            std::uint64_t uid = d.addObject(dict, QStringLiteral("NSDate"), {QStringLiteral("NSDate"), kNSObject});
            d.w.insert(dict, d.w.string(QStringLiteral("NS.time")), d.w.real(date.secondsSinceReferenceDate));
            return uid;
        }
        std::uint64_t operator()(const QByteArray &data) const { return d.add(d.w.data(data)); }
        std::uint64_t operator()(const ArchiveValue::Array &a) const
        {
            if (!a) return 0;
            if (auto known = d.knownUid(a.get())) return *known;
            Ref dict = kNone;
            std::uint64_t uid = d.addObject(dict, QStringLiteral("NSMutableArray"),
                                            {QStringLiteral("NSMutableArray"), QStringLiteral("NSArray"), kNSObject});
            d.remember(a, uid);
            d.open.insert(a.get());
            Ref refs = d.w.array();
            d.w.insert(dict, d.w.string(QStringLiteral("NS.objects")), refs);
            for (const ArchiveValue &e : *a) d.w.append(refs, d.w.uid(d.encode(e)));
            d.open.erase(a.get());
            return uid;
        }
        std::uint64_t operator()(const ArchiveValue::Dictionary &m) const
        {
            if (!m) return 0;
            if (auto known = d.knownUid(m.get())) return *known;
            Ref dict = kNone;
            std::uint64_t uid =
                d.addObject(dict, QStringLiteral("NSMutableDictionary"),
                            {QStringLiteral("NSMutableDictionary"), QStringLiteral("NSDictionary"), kNSObject});
            d.remember(m, uid);
            d.open.insert(m.get());
            Ref keys = d.w.array();
            Ref values = d.w.array();
            d.w.insert(dict, d.w.string(QStringLiteral("NS.keys")), keys);
            d.w.insert(dict, d.w.string(QStringLiteral("NS.objects")), values);
            for (const auto &[k, v] : *m) {
                d.w.append(keys, d.w.uid(d.encode(k)));
                d.w.append(values, d.w.uid(d.encode(v)));
            }
            d.open.erase(m.get());
            return uid;
        }
        std::uint64_t operator()(const ArchivablePtr &o) const
        {
            if (!o) return 0;
            if (auto known = d.knownUid(o.get())) return *known;
            Ref dict = kNone;
            std::uint64_t uid = d.addObject(dict, o->archiveClassName(), o->archiveClassChain());
            d.remember(o, uid);
            d.open.insert(o.get());
            Ref saved = d.current;
            d.current = dict;
            KeyedArchiver coder(d);
            o->encodeWithCoder(coder);
            d.current = saved;
            d.open.erase(o.get());
            return uid;
        }
    };
    if (failed) return 0;
    // Depth counts nested references to values, as the decoder counts them,
    // so whatever is written can be read back.
    const bool null = std::visit(
        [](const auto &x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return true;
            else if constexpr (std::is_same_v<T, QString>)
                return x.isNull();
            else if constexpr (std::is_same_v<T, ArchiveValue::Array> || std::is_same_v<T, ArchiveValue::Dictionary> ||
                               std::is_same_v<T, ArchivablePtr>)
                return !x;
            else
                return false;
        },
        value.v);
    if (null) return 0;
    if (depth >= kMaxDepth) {
        failed = true;
        return 0;
    }
    ++depth;
    std::uint64_t uid = std::visit(Visitor{*this}, value.v);
    --depth;
    return uid;
}

QByteArray KeyedArchiver::archivedDataWithRootObject(const ArchiveValue &root)
{
    Impl d;
    d.classKey = d.w.string(QStringLiteral("$class"));
    d.add(d.w.string(QStringLiteral("$null")));
    std::uint64_t rootUid = d.encode(root);
    if (d.failed) {
        qCWarning(lcPlatform) << "archive not written: a cycle, a refused object or nesting deeper than" << kMaxDepth;
        return {};
    }
    BinaryPlistWriter &w = d.w;
    Impl::Ref objects = w.array();
    for (Impl::Ref r : d.objects) w.append(objects, r);
    Impl::Ref top = w.dictionary();
    w.insert(top, w.string(QStringLiteral("root")), w.uid(rootUid));
    Impl::Ref archive = w.dictionary();
    w.insert(archive, w.string(QStringLiteral("$archiver")), w.string(QStringLiteral("NSKeyedArchiver")));
    w.insert(archive, w.string(QStringLiteral("$objects")), objects);
    w.insert(archive, w.string(QStringLiteral("$top")), top);
    w.insert(archive, w.string(QStringLiteral("$version")), w.integer(100000));
    return w.write(archive);
}

void KeyedArchiver::fail()
{
    m_d.failed = true;
}

void KeyedArchiver::encodeInt(const QString &key, std::int64_t value)
{
    if (m_d.current != Impl::kNone) m_d.set(m_d.current, key, m_d.w.integer(value));
}

void KeyedArchiver::encodeDouble(const QString &key, double value)
{
    if (m_d.current != Impl::kNone) m_d.set(m_d.current, key, m_d.w.real(value));
}

void KeyedArchiver::encodeBool(const QString &key, bool value)
{
    if (m_d.current != Impl::kNone) m_d.set(m_d.current, key, m_d.w.boolean(value));
}

void KeyedArchiver::encodeObject(const QString &key, const ArchiveValue &value)
{
    if (m_d.current == Impl::kNone) return;
    Impl::Ref dict = m_d.current;
    std::uint64_t uid = m_d.encode(value);
    m_d.set(dict, key, m_d.w.uid(uid));
}

// ---------------------------------------------------------------------------
// Decoder

struct KeyedUnarchiver::Impl {
    enum class State : std::uint8_t { Pending, Decoding, Done };
    std::vector<plist_t> objects;
    std::vector<State> state;
    std::vector<ArchiveValue> values;
    QHash<std::uint64_t, QString> classNames;
    QHash<QString, ArchiveClassRegistry::Factory> factories;
    plist_t current = nullptr;
    int depth = 0;
    bool failed = false;

    ArchiveValue decode(std::uint64_t uid);
    ArchiveValue decodeContents(plist_t node);
    std::optional<QString> className(plist_t classRef);
    std::optional<ArchiveArray> uidArray(plist_t node);
    std::optional<std::uint64_t> uidOf(plist_t node);
    ArchiveValue fail()
    {
        failed = true;
        return {};
    }
};

namespace {

std::optional<QString> utf8String(const char *s, std::uint64_t length)
{
    if (!s) return std::nullopt;
    QByteArrayView bytes(s, qsizetype(length));
    // A leading U+FEFF is part of the text, not a byte-order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString out = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return out;
}

std::optional<QString> stringValue(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
    std::uint64_t length = 0;
    const char *s = plist_get_string_ptr(node, &length);
    return utf8String(s, length);
}

} // namespace

std::optional<std::uint64_t> KeyedUnarchiver::Impl::uidOf(plist_t node)
{
    if (!node) return std::nullopt;
    std::uint64_t uid = 0;
    switch (plist_get_node_type(node)) {
    case PLIST_UID: plist_get_uid_val(node, &uid); break;
    case PLIST_DICT: {
        // The XML form writes a reference as {"CF$UID": n}.
        if (plist_dict_get_size(node) != 1) return std::nullopt;
        plist_t n = plist_dict_get_item(node, "CF$UID");
        if (!n || plist_get_node_type(n) != PLIST_UINT) return std::nullopt;
        plist_get_uint_val(n, &uid);
        break;
    }
    default: return std::nullopt;
    }
    if (uid >= objects.size()) return std::nullopt;
    return uid;
}

std::optional<QString> KeyedUnarchiver::Impl::className(plist_t classRef)
{
    auto uid = uidOf(classRef);
    if (!uid) return std::nullopt;
    auto it = classNames.constFind(*uid);
    if (it != classNames.constEnd()) return *it;
    plist_t cls = objects[*uid];
    if (plist_get_node_type(cls) != PLIST_DICT) return std::nullopt;
    auto name = stringValue(plist_dict_get_item(cls, "$classname"));
    if (!name || name->isEmpty()) return std::nullopt;
    classNames.insert(*uid, *name);
    return name;
}

std::optional<ArchiveArray> KeyedUnarchiver::Impl::uidArray(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_ARRAY) return std::nullopt;
    ArchiveArray out;
    std::uint32_t n = plist_array_get_size(node);
    out.reserve(n);
    plist_array_iter it = nullptr;
    plist_array_new_iter(node, &it);
    plist_t item = nullptr;
    for (;;) {
        plist_array_next_item(node, it, &item);
        if (!item) break;
        auto uid = uidOf(item);
        if (!uid) break;
        out.push_back(decode(*uid));
        if (failed) break;
    }
    free(it);
    if (failed || out.size() != n) return std::nullopt;
    return out;
}

ArchiveValue KeyedUnarchiver::Impl::decode(std::uint64_t uid)
{
    if (failed) return {};
    if (uid == 0) return {};
    if (depth >= kMaxDepth) return fail();
    switch (state[uid]) {
    case State::Done: return values[uid];
    case State::Decoding:
        // A reference back to an object still being decoded. Our archives are
        // trees; accepting a cycle would leak the objects (shared_ptr rings)
        // and send every tree walk round forever, so the archive is refused.
        return fail();
    case State::Pending: break;
    }
    ++depth;
    state[uid] = State::Decoding;
    ArchiveValue v = decodeContents(objects[uid]);
    --depth;
    if (failed) return {};
    state[uid] = State::Done;
    values[uid] = v;
    return v;
}

ArchiveValue KeyedUnarchiver::Impl::decodeContents(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        auto s = stringValue(node);
        if (!s) return fail();
        return ArchiveValue(*s);
    }
    case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return ArchiveValue(std::int64_t(u));
    }
    case PLIST_REAL: {
        double x = 0;
        plist_get_real_val(node, &x);
        return ArchiveValue(x);
    }
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return ArchiveValue(b != 0);
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char *p = plist_get_data_ptr(node, &length);
        return ArchiveValue(QByteArray(p, qsizetype(length)));
    }
    case PLIST_DATE: {
        std::int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return ArchiveValue(ArchiveDate{double(sec) + double(usec) / 1e6});
    }
    case PLIST_DICT: break;
    default: return fail();
    }

    auto cls = className(plist_dict_get_item(node, "$class"));
    if (!cls) return fail();
    const QString &name = *cls;

    if (name == QLatin1String("NSArray") || name == QLatin1String("NSMutableArray")) {
        auto items = uidArray(plist_dict_get_item(node, "NS.objects"));
        if (!items) return fail();
        return ArchiveValue(std::move(*items));
    }
    if (name == QLatin1String("NSDictionary") || name == QLatin1String("NSMutableDictionary")) {
        auto keys = uidArray(plist_dict_get_item(node, "NS.keys"));
        if (!keys) return fail();
        auto vals = uidArray(plist_dict_get_item(node, "NS.objects"));
        if (!vals || vals->size() != keys->size()) return fail();
        ArchiveDictionary dict;
        dict.reserve(keys->size());
        for (size_t i = 0; i < keys->size(); ++i) dict.emplace_back(std::move((*keys)[i]), std::move((*vals)[i]));
        return ArchiveValue(std::move(dict));
    }
    if (name == QLatin1String("NSString") || name == QLatin1String("NSMutableString")) {
        auto s = stringValue(plist_dict_get_item(node, "NS.string"));
        if (!s) return fail();
        return ArchiveValue(*s);
    }
    if (name == QLatin1String("NSData") || name == QLatin1String("NSMutableData")) {
        plist_t data = plist_dict_get_item(node, "NS.data");
        if (!data || plist_get_node_type(data) != PLIST_DATA) return fail();
        std::uint64_t length = 0;
        const char *p = plist_get_data_ptr(data, &length);
        return ArchiveValue(QByteArray(p, qsizetype(length)));
    }
    if (name == QLatin1String("NSDate")) {
        plist_t t = plist_dict_get_item(node, "NS.time");
        double seconds = 0;
        if (t && plist_get_node_type(t) == PLIST_REAL)
            plist_get_real_val(t, &seconds);
        else if (t && plist_get_node_type(t) == PLIST_UINT) {
            std::uint64_t u = 0;
            plist_get_uint_val(t, &u);
            seconds = double(std::int64_t(u));
        } else
            return fail();
        return ArchiveValue(ArchiveDate{seconds});
    }

    auto factory = factories.find(name);
    if (factory == factories.end()) factory = factories.insert(name, ArchiveClassRegistry::factory(name));
    ArchivablePtr object = *factory ? (*factory)() : nullptr;
    if (!object) {
        qCWarning(lcPlatform) << "archive names an unknown class" << name;
        return fail();
    }
    plist_t saved = current;
    current = node;
    KeyedUnarchiver coder(*this);
    bool ok = object->initWithCoder(coder);
    current = saved;
    if (!ok) return fail();
    return ArchiveValue(std::move(object));
}

std::optional<ArchiveValue> KeyedUnarchiver::unarchiveObjectWithData(const QByteArray &data)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    if (!propertyListIsSafe(data)) return std::nullopt;
    PlistHolder root;
    plist_from_memory(data.constData(), std::uint32_t(data.size()), &root.p);
    if (!root.p || plist_get_node_type(root.p) != PLIST_DICT) return std::nullopt;

    auto archiver = stringValue(plist_dict_get_item(root.p, "$archiver"));
    if (!archiver || *archiver != QLatin1String("NSKeyedArchiver")) return std::nullopt;
    plist_t version = plist_dict_get_item(root.p, "$version");
    if (!version || plist_get_node_type(version) != PLIST_UINT) return std::nullopt;
    plist_t objects = plist_dict_get_item(root.p, "$objects");
    if (!objects || plist_get_node_type(objects) != PLIST_ARRAY) return std::nullopt;
    plist_t top = plist_dict_get_item(root.p, "$top");
    if (!top || plist_get_node_type(top) != PLIST_DICT) return std::nullopt;

    Impl d;
    std::uint32_t count = plist_array_get_size(objects);
    if (count == 0) return std::nullopt;
    d.objects.reserve(count);
    plist_array_iter it = nullptr;
    plist_array_new_iter(objects, &it);
    for (plist_t item = nullptr;;) {
        plist_array_next_item(objects, it, &item);
        if (!item) break;
        d.objects.push_back(item);
    }
    free(it);
    if (d.objects.size() != count) return std::nullopt;
    auto null = stringValue(d.objects[0]);
    if (!null || *null != QLatin1String("$null")) return std::nullopt;
    d.state.assign(count, Impl::State::Pending);
    d.values.resize(count);

    auto rootUid = d.uidOf(plist_dict_get_item(top, "root"));
    if (!rootUid) return std::nullopt;
    ArchiveValue value = d.decode(*rootUid);
    if (d.failed) return std::nullopt;
    return value;
}

// ---------------------------------------------------------------------------
// Decoding the fields of one object

namespace {
plist_t lookup(plist_t dict, const QString &key)
{
    if (!dict) return nullptr;
    KeyBuffer k;
    archiveKey(key, k);
    return plist_dict_get_item(dict, k.constData());
}
} // namespace

bool KeyedUnarchiver::containsValueForKey(const QString &key) const
{
    return lookup(m_d.current, key) != nullptr;
}

std::int64_t KeyedUnarchiver::decodeInt64ForKey(const QString &key)
{
    if (m_d.failed) return 0;
    plist_t n = lookup(m_d.current, key);
    if (!n) return 0;
    switch (plist_get_node_type(n)) {
    case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(n, &u);
        return std::int64_t(u);
    }
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(n, &b);
        return b ? 1 : 0;
    }
    case PLIST_REAL: {
        double x = 0;
        plist_get_real_val(n, &x);
        if (!std::isfinite(x) || std::fabs(x) >= 9.2233720368547758e18) break;
        return std::int64_t(x);
    }
    default: break;
    }
    fail();
    return 0;
}

double KeyedUnarchiver::decodeDoubleForKey(const QString &key)
{
    if (m_d.failed) return 0;
    plist_t n = lookup(m_d.current, key);
    if (!n) return 0;
    switch (plist_get_node_type(n)) {
    case PLIST_REAL: {
        double x = 0;
        plist_get_real_val(n, &x);
        return x;
    }
    case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(n, &u);
        return double(std::int64_t(u));
    }
    default: break;
    }
    fail();
    return 0;
}

bool KeyedUnarchiver::decodeBoolForKey(const QString &key)
{
    if (m_d.failed) return false;
    plist_t n = lookup(m_d.current, key);
    if (!n) return false;
    switch (plist_get_node_type(n)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(n, &b);
        return b != 0;
    }
    case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(n, &u);
        return u != 0;
    }
    default: break;
    }
    fail();
    return false;
}

ArchiveValue KeyedUnarchiver::decodeObjectForKey(const QString &key)
{
    if (m_d.failed) return {};
    plist_t n = lookup(m_d.current, key);
    if (!n) return {};
    auto uid = m_d.uidOf(n);
    if (!uid) return m_d.fail();
    return m_d.decode(*uid);
}

std::optional<QString> KeyedUnarchiver::decodeStringForKey(const QString &key)
{
    ArchiveValue v = decodeObjectForKey(key);
    if (v.isNull()) return std::nullopt;
    if (const QString *s = v.string()) return *s;
    fail();
    return std::nullopt;
}

void KeyedUnarchiver::fail()
{
    m_d.failed = true;
}

bool KeyedUnarchiver::failed() const
{
    return m_d.failed;
}

} // namespace cv
