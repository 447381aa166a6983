#include "model/CVUnitModel.h"
#include "model/ModelArchiveClasses.h"
#include "platform/Base64Utilities.h"

#include "model/CVUnitModelTestExtras.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <map>

using namespace unitmodel_test;

namespace {

class CVUnitModelArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        registerModelArchiveClasses();
        registerTestExtras();
    }
};

CVUnitModelPtr node(int ident, int kind, const QString &name = QString())
{
    auto n = std::make_shared<CVUnitModel>();
    n->setIdent(ident);
    n->setKind(kind);
    n->setName(name);
    return n;
}

CVUnitModelPtr add(const CVUnitModelPtr &parent, int ident, int kind, const QString &name = QString())
{
    auto n = node(ident, kind, name);
    parent->appendChild(n);
    return n;
}

// A household's nodes of every kind, with extras of each sort.
CVUnitModelPtr sampleTree()
{
    auto top = node(0, 0, QStringLiteral("SYS:Summary"));
    auto assets = add(top, 1, 1, QStringLiteral("SYS:Asset"));
    auto folder = add(assets, 1000, 20, QStringLiteral("普段使い"));
    folder->setCollapsed(true);
    auto wallet = add(folder, 1001, 30, QStringLiteral("財布"));
    wallet->setExtra(std::make_shared<AccountExtra>(QDate(2019, 4, 1), 32000.0));
    wallet->setCurrency(1);
    auto bank = add(folder, 1002, 31, QStringLiteral("みずほ銀行 普通"));
    bank->setExtra(std::make_shared<AccountExtra>(QDate(2018, 1, 15), -0.25));
    auto invest = add(assets, 1003, 32, QStringLiteral("証券口座"));
    invest->setExtra(std::make_shared<AccountExtra>(QDate(2020, 6, 1), 0));
    invest->setCurrency(2);
    add(invest, 0, 3, QStringLiteral("cash part name is never read"));
    auto holding = add(invest, 0, 6, QStringLiteral("holding name is never read"));
    holding->setExtra(std::make_shared<HoldingExtra>(8411, QDate(2021, 2, 3)));
    add(assets, 1004, 33, QStringLiteral("Car"))->setStatus(0);
    auto debts = add(top, 2, 1, QStringLiteral("SYS:Debt"));
    add(debts, 1005, 40, QStringLiteral("カード"))->setExtra(std::make_shared<AccountExtra>());
    add(debts, 1006, 41, QStringLiteral("住宅ローン"))->setExtra(std::make_shared<AccountExtra>(QDate(2010, 1, 1), 3e7));
    add(debts, 1007, 42, QString());   // no name at all
    auto transfers = add(top, 3, 1, QStringLiteral("SYS:Transfer"));
    add(transfers, 10, 5, QStringLiteral("SYS:Cache-In"));
    auto categories = add(top, 4, 0, QString(""));   // empty name
    auto food = add(categories, 1008, 21, QStringLiteral("食費"));
    auto budget = std::make_shared<PlainExtra>(45000);
    food->setExtra(budget);
    add(food, 1009, 21, QStringLiteral("外食"))->setExtra(budget);   // one record, two owners
    add(categories, 1010, 2);
    add(categories, 1011, 4);
    add(categories, 1012, 50, QStringLiteral("純資産"))->setExtra(std::make_shared<PlainExtra>(1));
    add(categories, 1013, 51, QStringLiteral("収支"))->setCurrency(-1);
    return top;
}

void expectSameExtra(const cv::ArchivablePtr &want, const cv::ArchivablePtr &got)
{
    ASSERT_EQ(!want, !got);
    if (!want) return;
    ASSERT_EQ(want->archiveClassName(), got->archiveClassName());
    if (auto a = std::dynamic_pointer_cast<AccountExtra>(want)) {
        auto b = std::dynamic_pointer_cast<AccountExtra>(got);
        EXPECT_EQ(a->start, b->start);
        EXPECT_EQ(a->opening, b->opening);
    } else if (auto h = std::dynamic_pointer_cast<HoldingExtra>(want)) {
        auto g = std::dynamic_pointer_cast<HoldingExtra>(got);
        EXPECT_EQ(h->brandIdent, g->brandIdent);
        EXPECT_EQ(h->opened, g->opened);
    } else {
        EXPECT_EQ(std::dynamic_pointer_cast<PlainExtra>(want)->value, std::dynamic_pointer_cast<PlainExtra>(got)->value);
    }
}

void expectSameTree(const CVUnitModel &want, const CVUnitModel &got)
{
    SCOPED_TRACE(want.ident());
    EXPECT_EQ(got.ident(), want.ident());
    EXPECT_EQ(got.kind(), want.kind());
    EXPECT_EQ(got.status(), want.status());
    EXPECT_EQ(got.collapsed(), want.collapsed());
    EXPECT_EQ(got.currency(), want.currency());
    if (want.kind() == 3 || want.kind() == 6 || want.name().isEmpty())
        EXPECT_TRUE(got.name().isNull());
    else
        EXPECT_EQ(got.name(), want.name());
    expectSameExtra(want.extra(), got.extra());
    EXPECT_EQ(got.hasChildList(), want.countChild() > 0);
    ASSERT_EQ(got.countChild(), want.countChild());
    for (int i = 0; i < want.countChild(); ++i) {
        EXPECT_EQ(got.childAt(i)->parent(), &got);
        expectSameTree(*want.childAt(i), *got.childAt(i));
    }
}

// ---- reading archives with libplist alone ----

struct Plist {
    plist_t p = nullptr;
    explicit Plist(const QByteArray &data) { plist_from_bin(data.constData(), uint32_t(data.size()), &p); }
    ~Plist() { plist_free(p); }
};

QString stringOf(plist_t n)
{
    if (plist_get_node_type(n) != PLIST_STRING) return QString();
    char *s = nullptr;
    plist_get_string_val(n, &s);
    const QString out = QString::fromUtf8(s);
    std::free(s);
    return out;
}

std::optional<uint64_t> uidOf(plist_t n)
{
    if (!n || plist_get_node_type(n) != PLIST_UID) return std::nullopt;
    uint64_t v = 0;
    plist_get_uid_val(n, &v);
    return v;
}

QStringList keysInOrder(plist_t dict)
{
    QStringList keys;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(dict, &it);
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, it, &key, &value);
        if (!key) break;
        keys << QString::fromUtf8(key);
        std::free(key);
    }
    std::free(it);
    return keys;
}

// ---- writing archives by hand ----

class RawArchive {
public:
    RawArchive()
    {
        objects = plist_new_array();
        plist_array_append_item(objects, plist_new_string("$null"));
        nodeClass = add(classDict("CVUnitModel"));
        arrayClass = add(classDict("NSArray"));
        extraClass = add(classDict("UnitModelTestPlainExtra"));
    }
    ~RawArchive() { plist_free(objects); }

    uint64_t add(plist_t object)
    {
        plist_array_append_item(objects, object);
        return plist_array_get_size(objects) - 1;
    }
    static plist_t classDict(const char *name)
    {
        plist_t d = plist_new_dict();
        plist_dict_set_item(d, "$classname", plist_new_string(name));
        plist_t chain = plist_new_array();
        plist_array_append_item(chain, plist_new_string(name));
        plist_array_append_item(chain, plist_new_string("NSObject"));
        plist_dict_set_item(d, "$classes", chain);
        return d;
    }
    plist_t nodeDict() const
    {
        plist_t d = plist_new_dict();
        plist_dict_set_item(d, "$class", plist_new_uid(nodeClass));
        return d;
    }
    uint64_t addNode(int ident, int kind, std::vector<uint64_t> children = {})
    {
        plist_t d = nodeDict();
        plist_dict_set_item(d, "ident", plist_new_uint(uint64_t(ident)));
        plist_dict_set_item(d, "kind", plist_new_uint(uint64_t(kind)));
        plist_dict_set_item(d, "status", plist_new_uint(1));
        if (!children.empty()) plist_dict_set_item(d, "children", plist_new_uid(addArray(children)));
        plist_dict_set_item(d, "expanded", plist_new_bool(1));
        return add(d);
    }
    uint64_t addArray(const std::vector<uint64_t> &refs)
    {
        plist_t d = plist_new_dict();
        plist_dict_set_item(d, "$class", plist_new_uid(arrayClass));
        plist_t items = plist_new_array();
        for (uint64_t r : refs) plist_array_append_item(items, plist_new_uid(r));
        plist_dict_set_item(d, "NS.objects", items);
        return add(d);
    }
    plist_t object(uint64_t ref) const { return plist_array_get_item(objects, uint32_t(ref)); }
    // Children are filled in after the nodes exist, so that loops can be made.
    void setChildren(uint64_t nodeRef, const std::vector<uint64_t> &refs)
    {
        plist_dict_set_item(object(nodeRef), "children", plist_new_uid(addArray(refs)));
    }

    QByteArray data(uint64_t root) const
    {
        plist_t archive = plist_new_dict();
        plist_dict_set_item(archive, "$version", plist_new_uint(100000));
        plist_dict_set_item(archive, "$archiver", plist_new_string("NSKeyedArchiver"));
        plist_t top = plist_new_dict();
        plist_dict_set_item(top, "root", plist_new_uid(root));
        plist_dict_set_item(archive, "$top", top);
        plist_dict_set_item(archive, "$objects", plist_copy(objects));
        char *bin = nullptr;
        uint32_t length = 0;
        plist_to_bin(archive, &bin, &length);
        const QByteArray out(bin, int(length));
        plist_to_bin_free(bin);
        plist_free(archive);
        return out;
    }
    CVUnitModelPtr decode(uint64_t root) const
    {
        return cv::KeyedUnarchiver::unarchiveObjectOfClass<CVUnitModel>(data(root));
    }

    plist_t objects;
    uint64_t nodeClass, arrayClass, extraClass;
};

} // namespace

TEST_F(CVUnitModelArchive, TreeRoundTripsThroughBase64Text)
{
    const CVUnitModelPtr tree = sampleTree();
    const QString text = Base64Utilities::base64EncodingForData(
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue(tree)));
    ASSERT_FALSE(text.isEmpty());
    const std::optional<QByteArray> data = Base64Utilities::dataWithBase64EncodedString(text);
    ASSERT_TRUE(data.has_value());
    const CVUnitModelPtr back = cv::KeyedUnarchiver::unarchiveObjectOfClass<CVUnitModel>(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->parent(), nullptr);
    expectSameTree(*tree, *back);

    // A record shared by two nodes comes back shared.
    const auto food = back->findMemberWithIdent(1008);
    const auto dining = back->findMemberWithIdent(1009);
    ASSERT_TRUE(food && dining);
    EXPECT_EQ(food->extra(), dining->extra());
}

TEST_F(CVUnitModelArchive, ArchiveHasTheStoredLayout)
{
    const QByteArray data = cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue(sampleTree()));
    ASSERT_TRUE(data.startsWith("bplist00"));
    Plist plist(data);
    ASSERT_TRUE(plist.p);
    EXPECT_EQ(stringOf(plist_dict_get_item(plist.p, "$archiver")), QStringLiteral("NSKeyedArchiver"));
    uint64_t version = 0;
    plist_get_uint_val(plist_dict_get_item(plist.p, "$version"), &version);
    EXPECT_EQ(version, 100000u);
    plist_t objects = plist_dict_get_item(plist.p, "$objects");
    ASSERT_TRUE(objects);
    EXPECT_EQ(stringOf(plist_array_get_item(objects, 0)), QStringLiteral("$null"));
    const auto rootRef = uidOf(plist_dict_get_item(plist_dict_get_item(plist.p, "$top"), "root"));
    ASSERT_TRUE(rootRef);

    // Every node object, by ident, with its keys in the order written.
    std::map<int, plist_t> nodes;
    for (uint32_t i = 0; i < plist_array_get_size(objects); ++i) {
        plist_t o = plist_array_get_item(objects, i);
        if (plist_get_node_type(o) != PLIST_DICT) continue;
        const auto cls = uidOf(plist_dict_get_item(o, "$class"));
        if (!cls) continue;
        plist_t clsDict = plist_array_get_item(objects, uint32_t(*cls));
        if (stringOf(plist_dict_get_item(clsDict, "$classname")) != QLatin1String("CVUnitModel")) continue;
        EXPECT_EQ(stringOf(plist_array_get_item(plist_dict_get_item(clsDict, "$classes"), 0)),
                  QStringLiteral("CVUnitModel"));
        uint64_t ident = 0;
        plist_get_uint_val(plist_dict_get_item(o, "ident"), &ident);
        if (ident == 0) {
            // The summary top, the cash part and the holding share ident 0.
            uint64_t kind = 0;
            plist_get_uint_val(plist_dict_get_item(o, "kind"), &kind);
            ident = 100000 + kind;
        }
        nodes[int(ident)] = o;
        if (i == *rootRef) EXPECT_EQ(ident, 100000u);
    }
    ASSERT_EQ(nodes.size(), 22u);

    auto keysOf = [&](int ident) {
        QStringList keys = keysInOrder(nodes.at(ident));
        keys.removeAll(QStringLiteral("$class"));
        return keys.join(QLatin1Char(' '));
    };
    auto flag = [&](int ident, const char *key) {
        uint8_t b = 2;
        plist_t v = plist_dict_get_item(nodes.at(ident), key);
        if (v && plist_get_node_type(v) == PLIST_BOOLEAN) plist_get_bool_val(v, &b);
        return int(b);
    };
    EXPECT_EQ(keysOf(100000), QStringLiteral("ident kind status name currency children expanded"));
    EXPECT_EQ(keysOf(1000), QStringLiteral("ident kind status name currency children expanded"));
    EXPECT_EQ(keysOf(1001), QStringLiteral("ident kind status name currency extra expanded"));
    EXPECT_EQ(keysOf(1004), QStringLiteral("ident kind status name currency expanded"));
    EXPECT_EQ(keysOf(1007), QStringLiteral("ident kind status currency expanded"));
    EXPECT_EQ(keysOf(4), QStringLiteral("ident kind status currency children expanded"));
    EXPECT_EQ(keysOf(1008), QStringLiteral("ident kind status name currency children extra expanded"));
    EXPECT_EQ(flag(1000, "expanded"), 0);
    EXPECT_EQ(flag(1001, "expanded"), 1);

    uint64_t status = 9;
    plist_get_uint_val(plist_dict_get_item(nodes.at(1004), "status"), &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(stringOf(plist_array_get_item(objects, uint32_t(*uidOf(plist_dict_get_item(nodes.at(1001), "name"))))),
              QStringLiteral("財布"));
}

TEST_F(CVUnitModelArchive, MissingKeysDecodeAsNothing)
{
    RawArchive raw;
    plist_t bare = raw.nodeDict();
    const uint64_t bareRef = raw.add(bare);
    CVUnitModelPtr n = raw.decode(bareRef);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->ident(), 0);
    EXPECT_EQ(n->kind(), 0);
    EXPECT_EQ(n->status(), 0);
    EXPECT_EQ(n->currency(), 0);
    EXPECT_TRUE(n->name().isNull());
    EXPECT_FALSE(n->hasChildList());
    EXPECT_EQ(n->extra(), nullptr);
    EXPECT_TRUE(n->collapsed());

    // A stored cash part keeps no name; a category does.
    RawArchive named;
    const uint64_t cashRef = named.addNode(0, 3);
    plist_dict_set_item(named.object(cashRef), "name", plist_new_uid(named.add(plist_new_string("現金"))));
    const uint64_t catRef = named.addNode(1005, 21);
    plist_dict_set_item(named.object(catRef), "name", plist_new_uid(named.add(plist_new_string("食費"))));
    plist_dict_remove_item(named.object(catRef), "status");
    const uint64_t rootRef = named.addNode(1, 1, {cashRef, catRef});
    n = named.decode(rootRef);
    ASSERT_TRUE(n);
    ASSERT_EQ(n->countChild(), 2);
    EXPECT_TRUE(n->childAt(0)->name().isNull());
    EXPECT_EQ(n->childAt(1)->name(), QStringLiteral("食費"));
    EXPECT_EQ(n->childAt(1)->status(), 0);
    EXPECT_EQ(n->childAt(1)->parent(), n.get());
    EXPECT_FALSE(n->collapsed());
}

TEST_F(CVUnitModelArchive, MalformedTreesAreUnreadable)
{
    {   // children that is not a list
        RawArchive raw;
        const uint64_t ref = raw.addNode(1, 1);
        plist_dict_set_item(raw.object(ref), "children", plist_new_uid(raw.add(plist_new_string("x"))));
        EXPECT_FALSE(raw.decode(ref));
    }
    {   // a child that is not a node
        RawArchive raw;
        plist_t extra = plist_new_dict();
        plist_dict_set_item(extra, "$class", plist_new_uid(raw.extraClass));
        const uint64_t extraRef = raw.add(extra);
        const uint64_t textRef = raw.add(plist_new_string("x"));
        EXPECT_FALSE(raw.decode(raw.addNode(1, 1, {extraRef})));
        EXPECT_FALSE(raw.decode(raw.addNode(2, 1, {textRef})));
        // ...while the same record is a valid extra.
        const uint64_t ok = raw.addNode(3, 21);
        plist_dict_set_item(raw.object(ok), "extra", plist_new_uid(extraRef));
        ASSERT_TRUE(raw.decode(ok));
        // A text is no extra, and a number no name.
        const uint64_t badExtra = raw.addNode(4, 21);
        plist_dict_set_item(raw.object(badExtra), "extra", plist_new_uid(textRef));
        EXPECT_FALSE(raw.decode(badExtra));
        const uint64_t badName = raw.addNode(5, 21);
        plist_dict_set_item(raw.object(badName), "name", plist_new_uint(5));
        EXPECT_FALSE(raw.decode(badName));
    }
    {   // one node listed twice, in one list or in two
        RawArchive raw;
        const uint64_t leaf = raw.addNode(1005, 21);
        EXPECT_FALSE(raw.decode(raw.addNode(1, 1, {leaf, leaf})));
        const uint64_t a = raw.addNode(20, 20, {leaf});
        const uint64_t b = raw.addNode(21, 20, {leaf});
        EXPECT_FALSE(raw.decode(raw.addNode(2, 1, {a, b})));
        EXPECT_TRUE(raw.decode(raw.addNode(3, 1, {a})));
    }
    {   // loops
        RawArchive raw;
        const uint64_t self = raw.addNode(1, 1);
        raw.setChildren(self, {self});
        EXPECT_FALSE(raw.decode(self));
        const uint64_t a = raw.addNode(2, 20);
        const uint64_t b = raw.addNode(3, 20);
        raw.setChildren(a, {b});
        raw.setChildren(b, {a});
        EXPECT_FALSE(raw.decode(a));
        const uint64_t top = raw.addNode(4, 1, {a});
        EXPECT_FALSE(raw.decode(top));
    }
}
