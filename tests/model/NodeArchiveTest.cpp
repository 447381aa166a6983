#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Node.h"
#include "model/ModelArchiveClasses.h"
#include "platform/Base64Utilities.h"

#include "model/NodeTestSupport.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <map>

using namespace unitmodel_test;

namespace {

class NodeArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        cv::registerModelArchiveClasses();
        registerTestExtras();
    }
};

// A household's nodes of every kind, with extras of each sort.
cv::NodePtr sampleTree()
{
    auto top = node(0, 0, QStringLiteral("SYS:Summary"));
    auto assets = add(top, 1, 1, QStringLiteral("SYS:Asset"));
    auto folder = add(assets, 1000, 20, QStringLiteral("普段使い"));
    folder->setCollapsed(true);
    auto wallet = add(folder, 1001, 30, QStringLiteral("財布"));
    wallet->setExtra(std::make_shared<SampleDatedExtra>(QDate(2019, 4, 1), 32000.0));
    wallet->setCurrency(1);
    auto bank = add(folder, 1002, 31, QStringLiteral("ひばり銀行 普通"));
    bank->setExtra(std::make_shared<SampleDatedExtra>(QDate(2018, 1, 15), -0.25));
    auto invest = add(assets, 1003, 32, QStringLiteral("証券口座"));
    invest->setExtra(std::make_shared<SampleDatedExtra>(QDate(2020, 6, 1), 0));
    invest->setCurrency(2);
    add(invest, 0, 3, QStringLiteral("cash part name is never read"));
    auto holding = add(invest, 0, 6, QStringLiteral("holding name is never read"));
    holding->setExtra(std::make_shared<SampleDatedExtra>(QDate(2021, 2, 3), 0, 8411));
    add(assets, 1004, 33, QStringLiteral("Car"))->setStatus(0);
    auto debts = add(top, 2, 1, QStringLiteral("SYS:Debt"));
    add(debts, 1005, 40, QStringLiteral("カード"))->setExtra(std::make_shared<SampleDatedExtra>());
    add(debts, 1006, 41, QStringLiteral("住宅ローン"))
        ->setExtra(std::make_shared<SampleDatedExtra>(QDate(2010, 1, 1), 3e7));
    add(debts, 1007, 42, QString()); // no name at all
    auto transfers = add(top, 3, 1, QStringLiteral("SYS:Transfer"));
    add(transfers, 10, 5, QStringLiteral("SYS:Cache-In"));
    auto categories = add(top, 4, 0, QString("")); // empty name
    auto food = add(categories, 1008, 21, QStringLiteral("食費"));
    auto budget = std::make_shared<PlainExtra>(45000);
    food->setExtra(budget);
    add(food, 1009, 21, QStringLiteral("外食"))->setExtra(budget); // one record, two owners
    add(categories, 1010, 2);
    add(categories, 1011, 4);
    add(categories, 1012, 50, QStringLiteral("純資産"))->setExtra(std::make_shared<PlainExtra>(1));
    add(categories, 1013, 51, QStringLiteral("収支"))->setCurrency(-1);
    return top;
}

void expectSameExtra(const cv::ArchivablePtr &want, const cv::ArchivablePtr &got)
{
    ASSERT_EQ(!want, !got);
    if (auto a = std::dynamic_pointer_cast<SampleDatedExtra>(want)) {
        auto b = std::dynamic_pointer_cast<SampleDatedExtra>(got);
        ASSERT_TRUE(b);
        EXPECT_TRUE(*a == *b);
    } else if (auto p = std::dynamic_pointer_cast<PlainExtra>(want)) {
        auto q = std::dynamic_pointer_cast<PlainExtra>(got);
        ASSERT_TRUE(q);
        EXPECT_EQ(p->value, q->value);
    }
}

void expectSameTree(const cv::Node &want, const cv::Node &got)
{
    SCOPED_TRACE(want.ident());
    EXPECT_EQ(got.ident(), want.ident());
    EXPECT_EQ(got.kind(), want.kind());
    EXPECT_EQ(got.status(), want.status());
    EXPECT_EQ(got.collapsed(), want.collapsed());
    EXPECT_EQ(got.currency(), want.currency());
    if (want.kind() == cv::NodeKind::CashPart || want.kind() == cv::NodeKind::Holding || want.name().isEmpty())
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

// Writes whatever keys it is given under the node's class name, so that
// archives a node would never write can be made.
class RawNode : public cv::KeyedArchivable {
public:
    std::vector<std::pair<QString, cv::ArchiveValue>> keys;
    RawNode(std::initializer_list<std::pair<QString, cv::ArchiveValue>> k) : keys(k) {}
    QString archiveClassName() const override { return QStringLiteral("CVUnitModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        for (const auto &[key, value] : keys) {
            if (std::holds_alternative<std::int64_t>(value.v))
                coder.encodeInt(key, value.toInt64());
            else if (std::holds_alternative<bool>(value.v))
                coder.encodeBool(key, value.toInt64() != 0);
            else
                coder.encodeObject(key, value);
        }
    }
    bool initWithCoder(cv::KeyedUnarchiver &) override { return false; }
};

std::shared_ptr<RawNode> raw(int ident, std::vector<std::shared_ptr<RawNode>> children = {})
{
    auto n = std::make_shared<RawNode>(std::initializer_list<std::pair<QString, cv::ArchiveValue>>{
        {QStringLiteral("ident"), ident}, {QStringLiteral("kind"), 20}, {QStringLiteral("status"), 1}});
    if (!children.empty()) n->keys.emplace_back(QStringLiteral("children"), cv::ArchiveValue::arrayOf(children));
    return n;
}

cv::NodePtr decode(const cv::ArchivablePtr &root)
{
    return cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::Node>(
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue(root)));
}

} // namespace

TEST_F(NodeArchive, TreeRoundTripsThroughBase64Text)
{
    const cv::NodePtr tree = sampleTree();
    const QString text = cv::Base64Utilities::base64EncodingForData(
        cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue(tree)));
    ASSERT_FALSE(text.isEmpty());
    const std::optional<QByteArray> data = cv::Base64Utilities::dataWithBase64EncodedString(text);
    ASSERT_TRUE(data.has_value());
    const cv::NodePtr back = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::Node>(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->parent(), nullptr);
    expectSameTree(*tree, *back);

    // A record shared by two nodes comes back shared.
    const auto food = back->findMemberWithIdent(1008);
    const auto dining = back->findMemberWithIdent(1009);
    ASSERT_TRUE(food && dining);
    EXPECT_EQ(food->extra(), dining->extra());
}

// The archive's frame is the archiver's own test; here, what each kind of node
// stores, in the order older readers expect, read with libplist alone.
TEST_F(NodeArchive, ArchiveHasTheStoredLayout)
{
    const cv::NodePtr top = sampleTree();
    const auto stored = [](const cv::NodePtr &n, const char *key = nullptr) {
        Plist plist(cv::KeyedArchiver::archivedDataWithRootObject(cv::ArchiveValue(n)));
        plist_t objects = plist_dict_get_item(plist.p, "$objects");
        const auto at = [&](plist_t ref) { return plist_array_get_item(objects, uint32_t(uidOf(ref).value_or(0))); };
        plist_t object = at(plist_dict_get_item(plist_dict_get_item(plist.p, "$top"), "root"));
        if (!key) {
            QStringList keys = keysInOrder(object);
            keys.removeAll(QStringLiteral("$class"));
            return keys.join(QLatin1Char(' '));
        }
        plist_t v = plist_dict_get_item(object, key);
        uint64_t number = 99;
        uint8_t flag = 99;
        if (plist_get_node_type(v) == PLIST_UINT) plist_get_uint_val(v, &number);
        if (plist_get_node_type(v) == PLIST_BOOLEAN) plist_get_bool_val(v, &flag), number = flag;
        return plist_get_node_type(v) == PLIST_UID ? stringOf(at(v)) : QString::number(number);
    };
    const auto member = [&](int ident) { return top->findMemberWithIdent(ident); };
    EXPECT_EQ(stored(top), QStringLiteral("ident kind status name currency children expanded"));
    EXPECT_EQ(stored(member(1001)), QStringLiteral("ident kind status name currency extra expanded"));
    EXPECT_EQ(stored(member(1004)), QStringLiteral("ident kind status name currency expanded"));
    EXPECT_EQ(stored(member(1007)), QStringLiteral("ident kind status currency expanded"));
    EXPECT_EQ(stored(member(4)), QStringLiteral("ident kind status currency children expanded"));
    EXPECT_EQ(stored(member(1008)), QStringLiteral("ident kind status name currency children extra expanded"));
    EXPECT_EQ(stored(member(1000), "expanded"), QStringLiteral("0"));
    EXPECT_EQ(stored(member(1001), "expanded"), QStringLiteral("1"));
    EXPECT_EQ(stored(member(1004), "status"), QStringLiteral("0"));
    EXPECT_EQ(stored(member(1001), "currency"), QStringLiteral("1"));
    EXPECT_EQ(stored(member(1001), "ident"), QStringLiteral("1001"));
    EXPECT_EQ(stored(member(1001), "name"), QStringLiteral("財布"));
}

TEST_F(NodeArchive, MissingKeysDecodeAsNothing)
{
    cv::NodePtr n = decode(std::make_shared<RawNode>(std::initializer_list<std::pair<QString, cv::ArchiveValue>>{}));
    ASSERT_TRUE(n);
    EXPECT_EQ(n->ident(), 0);
    EXPECT_EQ(n->status(), 0);
    EXPECT_TRUE(n->name().isNull());
    EXPECT_FALSE(n->hasChildList());
    EXPECT_TRUE(n->collapsed());

    // A stored cash part never gets its name back; a category does.
    auto cash = std::make_shared<RawNode>(std::initializer_list<std::pair<QString, cv::ArchiveValue>>{
        {QStringLiteral("kind"), 3}, {QStringLiteral("name"), "現金"}});
    auto category = std::make_shared<RawNode>(std::initializer_list<std::pair<QString, cv::ArchiveValue>>{
        {QStringLiteral("kind"), 21}, {QStringLiteral("name"), "食費"}, {QStringLiteral("expanded"), true}});
    auto top = raw(1, {cash, category});
    n = decode(top);
    ASSERT_TRUE(n);
    ASSERT_EQ(n->countChild(), 2);
    EXPECT_TRUE(n->childAt(0)->name().isNull());
    EXPECT_EQ(n->childAt(1)->name(), QStringLiteral("食費"));
    EXPECT_EQ(n->childAt(1)->status(), 0);
    EXPECT_FALSE(n->childAt(1)->collapsed());
    EXPECT_EQ(n->childAt(1)->parent(), n.get());
}

TEST_F(NodeArchive, MalformedTreesAreUnreadable)
{
    auto with = [](const char *key, cv::ArchiveValue value) {
        auto n = raw(1);
        n->keys.emplace_back(QString::fromLatin1(key), std::move(value));
        return n;
    };
    const auto record = std::make_shared<PlainExtra>(1);
    EXPECT_TRUE(decode(with("extra", record)));
    EXPECT_FALSE(decode(with("children", "x")));
    EXPECT_FALSE(decode(with("children", cv::ArchiveArray{cv::ArchiveValue(record)})));
    EXPECT_FALSE(decode(with("children", cv::ArchiveArray{cv::ArchiveValue("x")})));
    EXPECT_FALSE(decode(with("extra", "x")));
    EXPECT_FALSE(decode(with("name", 5)));

    // One node listed twice, in one list or in two.
    auto leaf = raw(1005);
    EXPECT_FALSE(decode(raw(1, {leaf, leaf})));
    EXPECT_FALSE(decode(raw(1, {raw(20, {leaf}), raw(21, {leaf})})));
    EXPECT_TRUE(decode(raw(1, {raw(20, {leaf})})));

    // Loops, to itself and through another node.
    auto self = raw(1);
    self->keys.emplace_back(QStringLiteral("children"), cv::ArchiveValue::arrayOf(std::vector{self}));
    auto a = raw(2), b = raw(3, {a});
    a->keys.emplace_back(QStringLiteral("children"), cv::ArchiveValue::arrayOf(std::vector{b}));
    EXPECT_FALSE(decode(self));
    EXPECT_FALSE(decode(a));
    EXPECT_FALSE(decode(raw(4, {a})));
    self->keys.clear();
    a->keys.clear();
}

TEST_F(NodeArchive, WriterNeverWritesWhatTheReaderRefuses)
{
    const auto written = [](const cv::ArchiveValue &v) { return cv::KeyedArchiver::archivedDataWithRootObject(v); };

    // A child that names another parent (a node in two lists) is not a tree:
    // nothing is written, and the store keeps the row it had.
    auto root = node(1, 1), other = node(2, 1);
    auto child = add(root, 1001, 21);
    child->setParent(other.get());
    EXPECT_TRUE(written(root).isEmpty());
    child->setParent(root.get());
    EXPECT_FALSE(written(root).isEmpty());

    // Roots listed twice or hung below one another.
    cv::AccountTrees accounts;
    accounts.setDebt(accounts.asset());
    EXPECT_TRUE(written(std::make_shared<cv::AccountTrees>(accounts)).isEmpty());
    cv::CategoryTrees categories;
    categories.income()->appendChild(categories.expense());
    EXPECT_TRUE(written(std::make_shared<cv::CategoryTrees>(categories)).isEmpty());

    // Chains of folders around the deepest nesting the reader takes: whatever
    // is written reads back, and the deepest ones are not written.
    int writtenCount = 0;
    for (int depth = 240; depth <= 270; ++depth) {
        auto top = node(1, 1);
        auto n = top;
        for (int i = 0; i < depth; ++i) n = add(n, 1000 + i, 20);
        const QByteArray data = written(top);
        if (data.isEmpty()) continue;
        ++writtenCount;
        EXPECT_TRUE(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::Node>(data)) << depth;
    }
    EXPECT_GT(writtenCount, 0);
    EXPECT_LT(writtenCount, 31);
}
