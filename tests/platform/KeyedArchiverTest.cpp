#include "platform/KeyedArchiver.h"

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <QElapsedTimer>
#include <QTimeZone>

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

TEST_F(KeyedArchiverTest, CycleIsWrittenOnceButNotRead)
{
    auto a = node(1);
    auto b = node(2);
    a->children = {b};
    b->extra = ArchiveValue(a); // back to the root
    QByteArray data = KeyedArchiver::archivedDataWithRootObject(a);
    b->extra = ArchiveValue(); // break the ring so the test does not leak
    ASSERT_FALSE(data.isEmpty());
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(data));

    // A self-referencing array, too.
    auto self = std::make_shared<ArchiveArray>();
    self->push_back(ArchiveValue(self));
    data = KeyedArchiver::archivedDataWithRootObject(ArchiveValue(self));
    self->clear();
    ASSERT_FALSE(data.isEmpty());
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData(data));
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

TEST_F(KeyedArchiverTest, TenThousandNodesTakeMilliseconds)
{
    auto root = node(1, QStringLiteral("root"));
    for (int i = 0; i < 100; ++i) {
        auto group = node(1000 + i, QStringLiteral("group %1").arg(i));
        for (int j = 0; j < 99; ++j) group->children.push_back(node(100000 + i * 100 + j, QStringLiteral("item %1").arg(j)));
        root->children.push_back(group);
    }
    QElapsedTimer t;
    t.start();
    QByteArray data = KeyedArchiver::archivedDataWithRootObject(root);
    auto back = KeyedUnarchiver::unarchiveObjectOfClass<TestNode>(data);
    const qint64 ms = t.elapsed();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->children[99]->children[98]->ident, 100000 + 99 * 100 + 98);
    EXPECT_LT(ms, 1000) << "archive and unarchive of 10,000 nodes";
}
