#include "platform/BinaryPlistWriter.h"
#include "platform/KeyedArchiver.h"

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <QTimeZone>

#include <functional>
#include <limits>

using namespace cv;

namespace {

// A small tree node, archived the way the model's nodes are.
class TestNode : public KeyedArchivable {
public:
    int ident = 0;
    QString name;
    double amount = 0;
    bool expanded = false;
    std::vector<std::shared_ptr<TestNode>> children;
    ArchiveValue extra;
    TestNode *parent = nullptr;

    QString archiveClassName() const override { return QStringLiteral("TestNode"); }
    QStringList archiveClassChain() const override
    {
        return {QStringLiteral("TestNode"), QStringLiteral("TestBase"), QStringLiteral("NSObject")};
    }
    void encodeWithCoder(KeyedArchiver &coder) const override
    {
        coder.encodeInt(QStringLiteral("ident"), ident);
        if (!name.isEmpty()) coder.encodeObject(QStringLiteral("name"), name);
        coder.encodeDouble(QStringLiteral("amount"), amount);
        coder.encodeBool(QStringLiteral("expanded"), expanded);
        if (!children.empty()) coder.encodeObject(QStringLiteral("children"), ArchiveValue::arrayOf(children));
        if (!extra.isNull()) coder.encodeObject(QStringLiteral("extra"), extra);
    }
    bool initWithCoder(KeyedUnarchiver &coder) override
    {
        ident = coder.decodeIntForKey(QStringLiteral("ident"));
        name = coder.decodeStringForKey(QStringLiteral("name")).value_or(QString());
        amount = coder.decodeDoubleForKey(QStringLiteral("amount"));
        expanded = coder.decodeBoolForKey(QStringLiteral("expanded"));
        if (auto c = coder.decodeArrayOfClassForKey<TestNode>(QStringLiteral("children"))) children = std::move(*c);
        for (auto &c : children) c->parent = this;
        extra = coder.decodeObjectForKey(QStringLiteral("extra"));
        return !coder.failed();
    }
};
using TestNodePtr = std::shared_ptr<TestNode>;

TestNodePtr node(int ident, const QString &name = {})
{
    auto n = std::make_shared<TestNode>();
    n->ident = ident;
    n->name = name;
    return n;
}

struct Registered {
    Registered() { registerArchivable<TestNode>(QStringLiteral("TestNode")); }
};

class KeyedArchiverTest : public ::testing::Test {
protected:
    void SetUp() override { static Registered once; }

    static ArchiveValue roundTrip(const ArchiveValue &v)
    {
        QByteArray data = KeyedArchiver::archivedDataWithRootObject(v);
        EXPECT_TRUE(data.startsWith("bplist00"));
        auto back = KeyedUnarchiver::unarchiveObjectWithData(data);
        EXPECT_TRUE(back.has_value());
        return back.value_or(ArchiveValue());
    }
};

// Reads an archive with libplist itself, as another program would.
struct Plist {
    plist_t p = nullptr;
    explicit Plist(const QByteArray &data) { plist_from_bin(data.constData(), uint32_t(data.size()), &p); }
    ~Plist() { plist_free(p); }
};

QString plistString(plist_t n)
{
    if (!n || plist_get_node_type(n) != PLIST_STRING) return {};
    return QString::fromUtf8(plist_get_string_ptr(n, nullptr));
}

uint64_t plistUid(plist_t n)
{
    uint64_t v = ~0ull;
    if (n && plist_get_node_type(n) == PLIST_UID) plist_get_uid_val(n, &v);
    return v;
}

} // namespace

TEST_F(KeyedArchiverTest, ScalarsRoundTrip)
{
    const std::vector<ArchiveValue> values = {
        ArchiveValue(QStringLiteral("家計簿 2024年の記録")),
        ArchiveValue(QStringLiteral("絵文字 😀 と ASCII")),
        ArchiveValue(QStringLiteral("\uFEFF先頭の BOM")),
        ArchiveValue(QString(QLatin1String(""))),
        ArchiveValue(0),
        ArchiveValue(-1),
        ArchiveValue(std::int64_t(-1234567890123LL)),
        ArchiveValue(std::numeric_limits<std::int64_t>::min()),
        ArchiveValue(std::numeric_limits<std::int64_t>::max()),
        ArchiveValue(std::int64_t(1) << 40),
        ArchiveValue(3.25),
        ArchiveValue(-0.1),
        ArchiveValue(1e300),
        ArchiveValue(true),
        ArchiveValue(false),
        ArchiveValue(ArchiveDate{-86400.5}),
        ArchiveValue(ArchiveDate{7.5e8}),
        ArchiveValue(QByteArray("\x00\x01\xff bytes", 9)),
        ArchiveValue(QByteArray()),
    };
    for (const ArchiveValue &v : values) EXPECT_TRUE(roundTrip(v) == v) << v.v.index();

    // A null root and a null string both come back as null.
    EXPECT_TRUE(roundTrip(ArchiveValue()).isNull());
    EXPECT_TRUE(roundTrip(ArchiveValue(QString())).isNull());
    // An empty string stays a string.
    ASSERT_NE(roundTrip(ArchiveValue(QString(QLatin1String("")))).string(), nullptr);

    // Text no reader keeps as it stands still leaves a readable archive:
    // U+0000 is dropped and a lone surrogate becomes U+FFFD.
    QString odd = QStringLiteral("a") + QChar(0) + QStringLiteral("b") + QChar(0xD800) + QStringLiteral("c");
    ArchiveValue back = roundTrip(ArchiveValue(odd));
    ASSERT_NE(back.string(), nullptr);
    EXPECT_EQ(*back.string(), QStringLiteral("ab\uFFFDc"));
}

TEST_F(KeyedArchiverTest, DatesConvertToAndFromDateTime)
{
    QDateTime dt(QDate(2024, 3, 31), QTime(12, 30, 15), QTimeZone::utc());
    ArchiveDate d = ArchiveDate::fromDateTime(dt);
    EXPECT_EQ(d.toDateTime(), dt);
    EXPECT_EQ(ArchiveDate{0}.toDateTime(), QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()));
    EXPECT_FALSE(ArchiveDate{std::numeric_limits<double>::quiet_NaN()}.toDateTime().isValid());
    EXPECT_FALSE(ArchiveDate{1e300}.toDateTime().isValid());
}

TEST_F(KeyedArchiverTest, NestedCollectionsRoundTrip)
{
    ArchiveDictionary inner = {{"yen", 1}, {"usd", 150.25}, {"when", ArchiveDate{1000}}};
    ArchiveArray list = {ArchiveValue("a"), ArchiveValue(2), ArchiveValue(ArchiveArray{ArchiveValue(ArchiveArray{})}),
                         ArchiveValue(inner), ArchiveValue()};
    ArchiveDictionary outer = {
        {"list", list},
        {"empty", ArchiveDictionary{}},
        // Keys that are arrays of strings, as the learned import mappings use.
        {ArchiveArray{"スーパー", "食費"}, 21005},
        {ArchiveArray{"給与"}, 21001},
        {42, "number key"},
    };
    ArchiveValue v(outer);
    ArchiveValue back = roundTrip(v);
    EXPECT_TRUE(back == v);

    const ArchiveDictionary *d = back.dictionary();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->size(), 5u);
    const ArchiveArray *key = (*d)[2].first.array();
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->size(), 2u);
    EXPECT_EQ(*(*key)[1].string(), QStringLiteral("食費"));
    EXPECT_EQ((*d)[2].second.toInt64(), 21005);
    EXPECT_TRUE((*(*d)[0].second.array())[4].isNull());
}

TEST_F(KeyedArchiverTest, ObjectTreeRoundTrips)
{
    auto root = node(1, QStringLiteral("資産"));
    root->expanded = true;
    auto bank = node(1001, QStringLiteral("銀行"));
    bank->amount = -12345.67;
    bank->extra = ArchiveValue(ArchiveDictionary{{"date", 744000}});
    root->children = {bank, node(1002)};
    bank->children = {node(1003, QStringLiteral("普通預金"))};

    auto back = KeyedUnarchiver::unarchiveObjectOfClass<TestNode>(KeyedArchiver::archivedDataWithRootObject(root));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ident, 1);
    EXPECT_EQ(back->name, QStringLiteral("資産"));
    EXPECT_TRUE(back->expanded);
    ASSERT_EQ(back->children.size(), 2u);
    const auto &b = back->children[0];
    EXPECT_EQ(b->parent, back.get());
    EXPECT_EQ(b->ident, 1001);
    EXPECT_DOUBLE_EQ(b->amount, -12345.67);
    EXPECT_FALSE(b->expanded);
    EXPECT_EQ(b->extra.dictionary()->at(0).second.toInt64(), 744000);
    EXPECT_TRUE(back->children[1]->name.isNull());
    ASSERT_EQ(b->children.size(), 1u);
    EXPECT_EQ(b->children[0]->name, QStringLiteral("普通預金"));

    // Asking for another class answers null.
    struct Other : TestNode {};
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectOfClass<Other>(KeyedArchiver::archivedDataWithRootObject(root)));
}

TEST_F(KeyedArchiverTest, SharedValuesAreWrittenAndDecodedOnce)
{
    auto shared = node(7, QStringLiteral("shared"));
    auto arr = std::make_shared<ArchiveArray>(ArchiveArray{1, 2, 3});
    ArchiveValue root(ArchiveArray{ArchiveValue(shared), ArchiveValue(shared), ArchiveValue(arr), ArchiveValue(arr)});
    QByteArray data = KeyedArchiver::archivedDataWithRootObject(root);

    auto back = KeyedUnarchiver::unarchiveObjectWithData(data);
    ASSERT_TRUE(back);
    const ArchiveArray &a = *back->array();
    ASSERT_EQ(a.size(), 4u);
    EXPECT_TRUE(a[0].object());
    EXPECT_EQ(a[0].object(), a[1].object());
    EXPECT_EQ(std::get<ArchiveValue::Array>(a[2].v), std::get<ArchiveValue::Array>(a[3].v));

    // Written once: one dictionary of class TestNode in "$objects".
    Plist p(data);
    plist_t objects = plist_dict_get_item(p.p, "$objects");
    int nodes = 0;
    for (uint32_t i = 0; i < plist_array_get_size(objects); ++i) {
        plist_t o = plist_array_get_item(objects, i);
        if (plist_get_node_type(o) == PLIST_DICT && plist_dict_get_item(o, "ident")) ++nodes;
    }
    EXPECT_EQ(nodes, 1);
}

TEST_F(KeyedArchiverTest, CyclesAreNotWritten)
{
    // What the reader refuses is not written: an object that holds its own
    // ancestor, and an array that holds itself.
    auto a = node(1);
    auto b = node(2);
    a->children = {b};
    b->extra = ArchiveValue(a);
    QByteArray data = KeyedArchiver::archivedDataWithRootObject(a);
    b->extra = ArchiveValue(); // break the ring so the test does not leak
    EXPECT_TRUE(data.isEmpty());

    auto self = std::make_shared<ArchiveArray>();
    self->push_back(ArchiveValue(self));
    data = KeyedArchiver::archivedDataWithRootObject(ArchiveValue(self));
    self->clear();
    EXPECT_TRUE(data.isEmpty());

    // An object that refuses itself refuses the whole archive.
    class Refusing : public TestNode {
    public:
        void encodeWithCoder(KeyedArchiver &coder) const override { coder.fail(); }
    };
    a->children = {b, std::make_shared<Refusing>()};
    EXPECT_TRUE(KeyedArchiver::archivedDataWithRootObject(a).isEmpty());
}

TEST_F(KeyedArchiverTest, LayoutIsThePlatformArchiversLayout)
{
    auto root = node(5, QStringLiteral("x"));
    root->children = {node(6)};
    QByteArray data = KeyedArchiver::archivedDataWithRootObject(root);
    Plist p(data);
    ASSERT_TRUE(p.p);
    EXPECT_EQ(plistString(plist_dict_get_item(p.p, "$archiver")), QStringLiteral("NSKeyedArchiver"));
    uint64_t version = 0;
    plist_get_uint_val(plist_dict_get_item(p.p, "$version"), &version);
    EXPECT_EQ(version, 100000u);
    plist_t objects = plist_dict_get_item(p.p, "$objects");
    EXPECT_EQ(plistString(plist_array_get_item(objects, 0)), QStringLiteral("$null"));

    uint64_t rootUid = plistUid(plist_dict_get_item(plist_dict_get_item(p.p, "$top"), "root"));
    plist_t r = plist_array_get_item(objects, uint32_t(rootUid));
    ASSERT_EQ(plist_get_node_type(r), PLIST_DICT);
    uint64_t ident = 0;
    plist_get_uint_val(plist_dict_get_item(r, "ident"), &ident);
    EXPECT_EQ(ident, 5u);
    plist_t cls = plist_array_get_item(objects, uint32_t(plistUid(plist_dict_get_item(r, "$class"))));
    EXPECT_EQ(plistString(plist_dict_get_item(cls, "$classname")), QStringLiteral("TestNode"));
    plist_t chain = plist_dict_get_item(cls, "$classes");
    ASSERT_EQ(plist_array_get_size(chain), 3u);
    EXPECT_EQ(plistString(plist_array_get_item(chain, 1)), QStringLiteral("TestBase"));
    EXPECT_EQ(plistString(plist_array_get_item(chain, 2)), QStringLiteral("NSObject"));
    uint8_t expanded = 1;
    plist_get_bool_val(plist_dict_get_item(r, "expanded"), &expanded);
    EXPECT_EQ(expanded, 0);

    // Children: an NSMutableArray of references, its class shared by both nodes' class dictionary count.
    plist_t children = plist_array_get_item(objects, uint32_t(plistUid(plist_dict_get_item(r, "children"))));
    plist_t refs = plist_dict_get_item(children, "NS.objects");
    ASSERT_EQ(plist_array_get_size(refs), 1u);
    plist_t arrCls = plist_array_get_item(objects, uint32_t(plistUid(plist_dict_get_item(children, "$class"))));
    EXPECT_EQ(plistString(plist_dict_get_item(arrCls, "$classname")), QStringLiteral("NSMutableArray"));
    plist_t child = plist_array_get_item(objects, uint32_t(plistUid(plist_array_get_item(refs, 0))));
    EXPECT_EQ(plistUid(plist_dict_get_item(child, "$class")), plistUid(plist_dict_get_item(r, "$class")));
}

TEST_F(KeyedArchiverTest, MissingKeysAnswerZeroAndWrongTypesFail)
{
    // An object with no fields at all decodes to zeros.
    auto blank = std::make_shared<TestNode>();
    blank->ident = 0;
    QByteArray data = KeyedArchiver::archivedDataWithRootObject(blank);
    auto back = KeyedUnarchiver::unarchiveObjectOfClass<TestNode>(data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ident, 0);
    EXPECT_TRUE(back->name.isNull());
    EXPECT_TRUE(back->children.empty());

    // "name" holding a number instead of a string makes the archive unreadable.
    class WrongName : public TestNode {
    public:
        void encodeWithCoder(KeyedArchiver &coder) const override { coder.encodeObject(QStringLiteral("name"), 12); }
    };
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(
        KeyedArchiver::archivedDataWithRootObject(std::make_shared<WrongName>())));
    // "children" holding a string.
    class WrongChildren : public TestNode {
    public:
        void encodeWithCoder(KeyedArchiver &coder) const override
        {
            coder.encodeObject(QStringLiteral("children"), "x");
        }
    };
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(
        KeyedArchiver::archivedDataWithRootObject(std::make_shared<WrongChildren>())));
}

TEST_F(KeyedArchiverTest, UnknownClassAndGarbageAreUnreadable)
{
    class Unregistered : public TestNode {
    public:
        QString archiveClassName() const override { return QStringLiteral("NoSuchClass"); }
    };
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(
        KeyedArchiver::archivedDataWithRootObject(std::make_shared<Unregistered>())));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(QByteArray()));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData("bplist00"));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData("not a property list at all"));
}

// The XML form, as the platform archiver writes it: references are
// {"CF$UID": n}, and strings, data and arrays may come as their own classes.
static const char kXmlArchive[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>$archiver</key><string>NSKeyedArchiver</string>
	<key>$objects</key>
	<array>
		<string>$null</string>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>7</integer></dict>
			<key>ident</key><integer>-3</integer>
			<key>name</key><dict><key>CF$UID</key><integer>2</integer></dict>
			<key>amount</key><real>1.5</real>
			<key>expanded</key><true/>
			<key>children</key><dict><key>CF$UID</key><integer>3</integer></dict>
			<key>extra</key><dict><key>CF$UID</key><integer>5</integer></dict>
		</dict>
		<string>現金</string>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>8</integer></dict>
			<key>NS.objects</key><array><dict><key>CF$UID</key><integer>4</integer></dict></array>
		</dict>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>7</integer></dict>
			<key>ident</key><integer>1001</integer>
		</dict>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>9</integer></dict>
			<key>NS.keys</key><array><dict><key>CF$UID</key><integer>10</integer></dict><dict><key>CF$UID</key><integer>12</integer></dict></array>
			<key>NS.objects</key><array><dict><key>CF$UID</key><integer>6</integer></dict><dict><key>CF$UID</key><integer>13</integer></dict></array>
		</dict>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>11</integer></dict>
			<key>NS.time</key><real>86400.5</real>
		</dict>
		<dict><key>$classes</key><array><string>TestNode</string><string>NSObject</string></array><key>$classname</key><string>TestNode</string></dict>
		<dict><key>$classes</key><array><string>NSArray</string><string>NSObject</string></array><key>$classname</key><string>NSArray</string></dict>
		<dict><key>$classes</key><array><string>NSDictionary</string><string>NSObject</string></array><key>$classname</key><string>NSDictionary</string></dict>
		<string>when</string>
		<dict><key>$classes</key><array><string>NSDate</string><string>NSObject</string></array><key>$classname</key><string>NSDate</string></dict>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>14</integer></dict>
			<key>NS.string</key><string>memo</string>
		</dict>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>15</integer></dict>
			<key>NS.data</key><data>YWJj</data>
		</dict>
		<dict><key>$classes</key><array><string>NSMutableString</string><string>NSString</string><string>NSObject</string></array><key>$classname</key><string>NSMutableString</string></dict>
		<dict><key>$classes</key><array><string>NSData</string><string>NSObject</string></array><key>$classname</key><string>NSData</string></dict>
	</array>
	<key>$top</key><dict><key>root</key><dict><key>CF$UID</key><integer>1</integer></dict></dict>
	<key>$version</key><integer>100000</integer>
</dict>
</plist>
)";

TEST_F(KeyedArchiverTest, XmlFormDecodes)
{
    auto root = KeyedUnarchiver::unarchiveObjectOfClass<TestNode>(QByteArray(kXmlArchive));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->ident, -3);
    EXPECT_EQ(root->name, QStringLiteral("現金"));
    EXPECT_DOUBLE_EQ(root->amount, 1.5);
    EXPECT_TRUE(root->expanded);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(root->children[0]->ident, 1001);
    EXPECT_EQ(root->children[0]->parent, root.get());
    const ArchiveDictionary *extra = root->extra.dictionary();
    ASSERT_NE(extra, nullptr);
    ASSERT_EQ(extra->size(), 2u);
    EXPECT_TRUE((*extra)[0].first == ArchiveValue("when"));
    EXPECT_TRUE((*extra)[0].second == ArchiveValue(ArchiveDate{86400.5}));
    EXPECT_TRUE((*extra)[1].first == ArchiveValue("memo"));
    EXPECT_TRUE((*extra)[1].second == ArchiveValue(QByteArray("abc")));

    // A reference past the end of "$objects", and a key that is not UTF-8.
    QByteArray bad(kXmlArchive);
    bad.replace("<integer>13</integer>", "<integer>99</integer>");
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(bad));
    bad = QByteArray(kXmlArchive);
    bad.replace("<key>ident</key><integer>-3", "<key>id\xff\xfe</key><integer>-3");
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(bad));
}

TEST_F(KeyedArchiverTest, KeysBeginningWithDollarAreKeptApart)
{
    class DollarKeys : public TestNode {
    public:
        void encodeWithCoder(KeyedArchiver &coder) const override
        {
            coder.encodeInt(QStringLiteral("$class"), 5); // must not replace the class reference
            coder.encodeInt(QStringLiteral("ident"), 9);
        }
        bool initWithCoder(KeyedUnarchiver &coder) override
        {
            ident =
                coder.decodeIntForKey(QStringLiteral("ident")) * 100 + coder.decodeIntForKey(QStringLiteral("$class"));
            return true;
        }
    };
    registerArchivable<DollarKeys>(QStringLiteral("DollarKeys"));
    class Writer : public DollarKeys {
        QString archiveClassName() const override { return QStringLiteral("DollarKeys"); }
    };
    auto back = KeyedUnarchiver::unarchiveObjectOfClass<DollarKeys>(
        KeyedArchiver::archivedDataWithRootObject(std::make_shared<Writer>()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ident, 905);
}

TEST_F(KeyedArchiverTest, NestingIsCappedOnBothSides)
{
    auto nested = [](int levels) {
        ArchiveValue v(ArchiveArray{});
        for (int i = 1; i < levels; ++i) v = ArchiveValue(ArchiveArray{v});
        return v;
    };
    EXPECT_TRUE(roundTrip(nested(300)) == nested(300));
    // Around the deepest nesting the reader takes, whatever is written reads
    // back; deeper, nothing is written rather than an archive that could not be.
    int written = 0;
    for (int levels = 500; levels <= 520; ++levels) {
        const QByteArray data = KeyedArchiver::archivedDataWithRootObject(nested(levels));
        if (data.isEmpty()) continue;
        ++written;
        EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(data)) << levels;
    }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 21);
    EXPECT_TRUE(KeyedArchiver::archivedDataWithRootObject(nested(5000)).isEmpty());
}

namespace {

// A keyed archive whose "$objects" are given by the caller.
QByteArray keyedArchive(BinaryPlistWriter &w, BinaryPlistWriter::Ref objects, std::uint64_t root)
{
    auto top = w.dictionary();
    w.insert(top, w.string("root"), w.uid(root));
    auto archive = w.dictionary();
    w.insert(archive, w.string("$archiver"), w.string("NSKeyedArchiver"));
    w.insert(archive, w.string("$objects"), objects);
    w.insert(archive, w.string("$top"), top);
    w.insert(archive, w.string("$version"), w.integer(100000));
    return w.write(archive);
}

void setTrailerField(QByteArray &data, int field, std::uint64_t value)
{
    char *p = data.data() + data.size() - 24 + field * 8;
    for (int i = 7; i >= 0; --i, value >>= 8) p[i] = char(value & 0xff);
}

} // namespace

TEST_F(KeyedArchiverTest, MalformedArchivesAreRefused)
{
    // "$objects": the first object, an NSArray class, the array (root) holding
    // one element, and the string "x".
    using Ref = BinaryPlistWriter::Ref;
    const auto archiveOf = [](const char *first, const std::function<Ref(BinaryPlistWriter &)> &element) {
        BinaryPlistWriter w;
        auto objects = w.array();
        w.append(objects, w.string(first));
        auto cls = w.dictionary();
        w.insert(cls, w.string("$classname"), w.string("NSArray"));
        w.append(objects, cls);
        auto array = w.dictionary();
        w.insert(array, w.string("$class"), w.uid(1));
        auto refs = w.array();
        w.append(refs, element(w));
        w.insert(array, w.string("NS.objects"), refs);
        w.append(objects, array);
        w.append(objects, w.string("x"));
        return keyedArchive(w, objects, 2);
    };
    const struct {
        const char *what;
        const char *first;
        std::function<Ref(BinaryPlistWriter &)> element;
        bool readable;
    } cases[] = {
        {"a sound archive", "$null", [](BinaryPlistWriter &w) { return w.uid(3); }, true},
        {"an integer instead of a reference", "$null", [](BinaryPlistWriter &w) { return w.integer(3); }, false},
        {"a reference past the objects", "$null", [](BinaryPlistWriter &w) { return w.uid(4); }, false},
        {"an array that holds itself", "$null", [](BinaryPlistWriter &w) { return w.uid(2); }, false},
        {"a first object other than $null", "nil", [](BinaryPlistWriter &w) { return w.uid(3); }, false},
    };
    for (const auto &c : cases) {
        const auto back = KeyedUnarchiver::unarchiveObjectWithData(archiveOf(c.first, c.element));
        EXPECT_EQ(back.has_value(), c.readable) << c.what;
        if (back && c.readable) {
            EXPECT_TRUE(*back == ArchiveValue(ArchiveArray{"x"})) << c.what;
        }
    }
}

// How fast they are refused is measured in bench/; here, that they are.
TEST_F(KeyedArchiverTest, HostilePropertyListsAreRefused)
{
    {
        // Arrays nested a hundred thousand deep in the list itself.
        BinaryPlistWriter w;
        auto outer = w.array();
        auto a = outer;
        for (int i = 0; i < 100000; ++i) {
            auto b = w.array();
            w.append(a, b);
            a = b;
        }
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(w.write(outer)));
    }
    {
        // Each array holds the next one twice: 2^60 nodes once expanded.
        BinaryPlistWriter w;
        std::vector<BinaryPlistWriter::Ref> arrays;
        for (int i = 0; i < 60; ++i) arrays.push_back(w.array());
        for (int i = 0; i + 1 < 60; ++i) {
            w.append(arrays[i], arrays[i + 1]);
            w.append(arrays[i], arrays[i + 1]);
        }
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(w.write(arrays[0])));
    }
    {
        // An array that holds itself.
        BinaryPlistWriter w;
        auto a = w.array();
        w.append(a, a);
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(w.write(a)));
    }
    {
        // A chain of twenty thousand archived arrays, each in the next: far
        // deeper than a decoder without a limit could recurse.
        BinaryPlistWriter w;
        auto objects = w.array();
        w.append(objects, w.string("$null"));
        auto cls = w.dictionary();
        w.insert(cls, w.string("$classname"), w.string("NSArray"));
        w.append(objects, cls);
        const int n = 20000;
        for (int i = 0; i < n; ++i) {
            auto d = w.dictionary();
            w.insert(d, w.string("$class"), w.uid(1));
            auto refs = w.array();
            if (i + 1 < n) w.append(refs, w.uid(std::uint64_t(i) + 3));
            w.insert(d, w.string("NS.objects"), refs);
            w.append(objects, d);
        }
        QByteArray chain = keyedArchive(w, objects, 2);
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(chain));
    }
    {
        // Elements nested a million deep in the XML form.
        QByteArray xml("<?xml version=\"1.0\"?><plist version=\"1.0\">");
        xml += QByteArray("<array>").repeated(1000000) + QByteArray("</array>").repeated(1000000) + "</plist>";
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(xml));
    }
    {
        // Trailers that claim what the data cannot hold.
        const QByteArray good = KeyedArchiver::archivedDataWithRootObject(ArchiveValue(ArchiveArray{1, "two"}));
        ASSERT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(good));
        const std::uint64_t huge[] = {~0ull, 1ull << 62, 1ull << 32, 0xffffffffull, 1000000};
        for (int field = 0; field < 3; ++field) {
            for (std::uint64_t v : huge) {
                QByteArray bad = good;
                setTrailerField(bad, field, v);
                EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(bad)) << field << " " << v;
            }
        }
        QByteArray bad = good;
        bad[bad.size() - 26] = 9; // offset size
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(bad));
        bad = good;
        bad[bad.size() - 25] = 0; // reference size
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(bad));
    }
}

// Thousands of deterministic mutations of real archives: none may crash, hang
// or leak (the sanitizer build checks the last).
TEST_F(KeyedArchiverTest, MutatedArchivesNeverCrash)
{
    auto root = node(1, QStringLiteral("資産"));
    root->children = {node(1001, QStringLiteral("銀行")), node(1002, QStringLiteral("現金"))};
    root->children[0]->extra = ArchiveValue(ArchiveDictionary{
        {ArchiveArray{"スーパー", "食費"}, 21005}, {"date", ArchiveDate{1e8}}, {"bytes", QByteArray("\x01\x02", 2)}});
    root->children[1]->children = {node(-5), node(1003)};
    root->children[1]->extra = ArchiveValue(root->children[0]); // shared
    const QList<QByteArray> seeds = {
        KeyedArchiver::archivedDataWithRootObject(root),
        KeyedArchiver::archivedDataWithRootObject(ArchiveValue(ArchiveArray{-1, 2.5, true, "x", ArchiveArray{}})),
        QByteArray(kXmlArchive),
    };
    for (const QByteArray &s : seeds) ASSERT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(s));

    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    int decoded = 0, refused = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray data = seeds[round % seeds.size()];
        const bool xml = data.startsWith("<?xml");
        const int mutations = 1 + int(next() % 4);
        for (int m = 0; m < mutations && !data.isEmpty(); ++m) {
            const qsizetype at = qsizetype(next() % std::uint32_t(data.size()));
            switch (next() % 7) {
            case 0: // bit flip
                data[at] = char(data[at] ^ (1 << (next() % 8)));
                break;
            case 1: // interesting byte
            {
                static const char values[] = {0, 1, 0x0f, 0x10, 0x7f, char(0x80), char(0xff), char(0xaf), char(0xdf)};
                data[at] = values[next() % sizeof values];
                break;
            }
            case 2: // truncation
                data.truncate(at);
                break;
            case 3: { // splice from another seed
                const QByteArray &other = seeds[next() % seeds.size()];
                const qsizetype from = qsizetype(next() % std::uint32_t(other.size()));
                data.replace(at, qsizetype(next() % 16), other.mid(from, qsizetype(next() % 32)));
                break;
            }
            case 4: { // a reference (binary UID marker, or XML CF$UID number) changed
                if (xml) {
                    const qsizetype u = data.indexOf("<integer>", at);
                    if (u >= 0) data.replace(u + 9, 1, QByteArray::number(next() % 40));
                } else {
                    for (qsizetype i = at; i + 1 < data.size(); ++i) {
                        if ((std::uint8_t(data[i]) & 0xf0) == 0x80) {
                            data[i + 1] = char(next());
                            break;
                        }
                    }
                }
                break;
            }
            case 5: // duplicated block
                data.insert(at, data.mid(at, qsizetype(next() % 24)));
                break;
            case 6: // byte removed
                data.remove(at, 1);
                break;
            }
        }
        if (KeyedUnarchiver::unarchiveObjectWithData(data))
            ++decoded;
        else
            ++refused;
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(decoded, 0); // some mutations leave a readable archive
}
