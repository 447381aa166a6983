#include "model/CVUnitModel.h"

#include "model/CVUnitModelTestExtras.h"

#include <gtest/gtest.h>

using namespace unitmodel_test;

namespace {

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
    EXPECT_TRUE(parent->appendChild(n));
    return n;
}

} // namespace

TEST(CVUnitModel, FreshNodeHasDefaultsAndNoChildList)
{
    CVUnitModel n;
    EXPECT_EQ(n.ident(), -1);
    EXPECT_EQ(n.kind(), 0);
    EXPECT_EQ(n.status(), 1);
    EXPECT_EQ(n.currency(), 0);
    EXPECT_FALSE(n.collapsed());
    EXPECT_TRUE(n.name().isNull());
    EXPECT_FALSE(n.hasChildList());
    EXPECT_EQ(n.countChild(), 0);
    EXPECT_EQ(n.childAt(0), nullptr);
    EXPECT_EQ(n.childAt(-1), nullptr);
    EXPECT_EQ(n.index(), 0);
    EXPECT_EQ(n.root(), &n);
    // Removing from a missing list changes nothing and creates no list.
    n.removeChild(node(5, 21));
    EXPECT_FALSE(n.hasChildList());
}

TEST(CVUnitModel, BuildingSetsParentsAndRefusesLoops)
{
    auto root = node(1, 1);
    auto a = add(root, 1000, 21);
    auto c = node(1002, 21);
    auto b = node(1001, 21);
    ASSERT_TRUE(root->appendChild(c));
    ASSERT_TRUE(root->insertChild(b, 1));
    EXPECT_EQ(root->childAt(0), a);
    EXPECT_EQ(root->childAt(1), b);
    EXPECT_EQ(root->childAt(2), c);
    EXPECT_EQ(b->parent(), root.get());
    EXPECT_EQ(c->index(), 2);

    EXPECT_FALSE(root->insertChild(node(9, 21), 4));
    EXPECT_FALSE(root->insertChild(node(9, 21), -1));
    EXPECT_FALSE(root->appendChild(nullptr));
    EXPECT_EQ(root->countChild(), 3);

    auto grandchild = add(b, 1003, 21);
    EXPECT_EQ(grandchild->root(), root.get());
    EXPECT_TRUE(grandchild->hasAncestor(grandchild.get()));
    EXPECT_TRUE(grandchild->hasAncestor(root.get()));
    EXPECT_FALSE(grandchild->hasAncestor(a.get()));
    // A node may not become its own descendant.
    EXPECT_FALSE(grandchild->appendChild(root));
    EXPECT_FALSE(b->appendChild(b));
    EXPECT_FALSE(grandchild->setChildren({node(7, 21), b}));
    EXPECT_FALSE(grandchild->hasChildList());

    // A node whose parent does not list it answers the parent's count.
    auto stray = node(1500, 21);
    stray->setParent(root.get());
    EXPECT_EQ(stray->index(), 3);

    stray->setParentValue(0);
    EXPECT_EQ(root->status(), 0);
}

TEST(CVUnitModel, EqualityFollowsIdentAndKindFromOneUp)
{
    auto zeroA = node(0, 3), zeroB = node(0, 3);
    EXPECT_FALSE(zeroA->isEqual(*zeroB));
    EXPECT_TRUE(zeroA->isEqual(*zeroA));
    auto minus = node(-1, 5), minus2 = node(-1, 5);
    EXPECT_FALSE(minus->isEqual(*minus2));

    auto x = node(1005, 21), y = node(1005, 21), otherKind = node(1005, 20);
    EXPECT_TRUE(x->isEqual(*y));
    EXPECT_FALSE(x->isEqual(*otherKind));
    EXPECT_FALSE(x->isEqual(nullptr));

    // removeChild takes out every equal node and none keeps a stale parent.
    auto parent = node(1, 1);
    parent->appendChild(x);
    parent->appendChild(otherKind);
    parent->appendChild(y);
    parent->removeChild(x);
    ASSERT_EQ(parent->countChild(), 1);
    EXPECT_EQ(parent->childAt(0), otherKind);
    EXPECT_EQ(x->parent(), nullptr);
    EXPECT_EQ(y->parent(), nullptr);
    EXPECT_TRUE(parent->hasChildList());
}

TEST(CVUnitModel, ChildrenNeverPointAtAGoneParent)
{
    auto kept = node(1000, 21);
    auto replaced = node(1001, 21);
    {
        auto parent = node(20, 20);
        parent->appendChild(kept);
        parent->appendChild(replaced);
        ASSERT_TRUE(parent->setChildren({kept}));
        EXPECT_EQ(replaced->parent(), nullptr);
        EXPECT_EQ(kept->parent(), parent.get());
    }
    EXPECT_EQ(kept->parent(), nullptr);
    EXPECT_EQ(kept->root(), kept.get());
}

namespace {

// 1 ─┬ 10 (currency 7) ── 11 (currency 7, "同名")
//    ├ 20 (kind 32) ──┬ 0 (kind 3)
//    │                └ 0 (kind 6, currency 9)
//    └ 30 ("同名") ── 31 (currency 7)
struct SearchTree {
    CVUnitModelPtr root = node(1, 1, QStringLiteral("Root"));
    CVUnitModelPtr n10 = add(root, 10, 20, QStringLiteral("グループ"));
    CVUnitModelPtr n11 = add(n10, 11, 30, QStringLiteral("同名"));
    CVUnitModelPtr n20 = add(root, 20, 32, QStringLiteral("証券口座"));
    CVUnitModelPtr cash = add(n20, 0, 3);
    CVUnitModelPtr holding = add(n20, 0, 6);
    CVUnitModelPtr n30 = add(root, 30, 20, QStringLiteral("同名"));
    CVUnitModelPtr n31 = add(n30, 31, 31);
    SearchTree()
    {
        n10->setCurrency(7);
        n11->setCurrency(7);
        n31->setCurrency(7);
        holding->setCurrency(9);
    }
};

} // namespace

TEST(CVUnitModel, SearchesVisitInTheirOwnOrder)
{
    SearchTree t;
    // Pre-order, first to last, receiver first.
    EXPECT_EQ(t.root->findMemberWithValue(7, QStringLiteral("currency")), t.n10);
    EXPECT_EQ(t.n30->findMemberWithValue(7, QStringLiteral("currency")), t.n31);
    EXPECT_EQ(t.root->findMemberWithIdent(31), t.n31);
    EXPECT_EQ(t.root->findMemberWithIdent(1), t.root);
    EXPECT_EQ(t.root->findMemberWithIdent(999), nullptr);
    EXPECT_EQ(t.root->findMemberWithValue(QStringLiteral("7"), QStringLiteral("currency")), nullptr);
    EXPECT_EQ(t.root->findMemberWithValue(QStringLiteral("証券口座"), QStringLiteral("name")), t.n20);
    EXPECT_EQ(t.root->findMemberWithValue(1, QStringLiteral("nosuchkey")), nullptr);

    auto extra = std::make_shared<PlainExtra>(1.0);
    t.n31->setExtra(extra);
    EXPECT_EQ(t.root->findMemberWithExtra(extra), t.n31);
    EXPECT_EQ(t.root->findMemberWithExtra(std::make_shared<PlainExtra>(1.0)), nullptr);
    EXPECT_EQ(t.root->findMemberWithExtra(nullptr), nullptr);

    // Last to first.
    EXPECT_EQ(t.root->findMemberWithName(QStringLiteral("同名")), t.n30);
    EXPECT_EQ(t.n10->findMemberWithName(QStringLiteral("同名")), t.n11);
    EXPECT_EQ(t.root->findMemberWithName(QString()), nullptr);

    // Leaves and investment accounts are the candidates, last to first; the
    // investment account stands for its cash part and holdings.
    EXPECT_EQ(t.root->findMemberWithoutValue(7, QStringLiteral("currency")), t.n20);
    t.n20->setCurrency(7);
    EXPECT_EQ(t.root->findMemberWithoutValue(7, QStringLiteral("currency")), nullptr);
    t.n11->setCurrency(8);
    EXPECT_EQ(t.root->findMemberWithoutValue(7, QStringLiteral("currency")), t.n11);

    // Identity, not equality.
    EXPECT_EQ(t.root->findMember(t.holding), t.holding);
    EXPECT_EQ(t.root->findMember(node(31, 31)), nullptr);
    EXPECT_EQ(t.n10->findMember(t.n31), nullptr);

    EXPECT_EQ(t.root->greatestIdent(999), 999);
    EXPECT_EQ(t.root->greatestIdent(5), 31);

    EXPECT_EQ(t.root->pathToChild(t.root.get()), std::vector<int>{-1});
    EXPECT_EQ(t.root->pathToChild(t.holding.get()), (std::vector<int>{1, 1, -1}));
    EXPECT_EQ(t.n10->pathToChild(t.holding.get()), std::nullopt);
}

TEST(CVUnitModel, RemoveMemberAnswersWhetherSomethingWentAway)
{
    SearchTree t;
    // The receiver matches but has no parent to leave: nothing removed.
    EXPECT_FALSE(t.root->removeMember(*node(1, 1)));
    EXPECT_EQ(t.root->countChild(), 3);
    EXPECT_FALSE(t.root->removeMember(*node(12345, 21)));
    // An equal node, not the same object, is enough.
    EXPECT_TRUE(t.root->removeMember(*node(31, 31)));
    EXPECT_EQ(t.n30->countChild(), 0);
    EXPECT_EQ(t.n31->parent(), nullptr);
    // Ident 0 nodes only match themselves; removing one owned only by the tree.
    CVUnitModel *holding = t.holding.get();
    t.holding.reset();
    EXPECT_FALSE(t.root->removeMember(*node(0, 6)));
    EXPECT_TRUE(t.root->removeMember(*holding));
    EXPECT_EQ(t.n20->countChild(), 1);
    EXPECT_EQ(t.n20->childAt(0), t.cash);
    // A receiver that matches leaves its own parent.
    EXPECT_TRUE(t.n11->removeMember(*t.n11));
    EXPECT_EQ(t.n10->countChild(), 0);
}

TEST(CVUnitModel, InvestAccountSkipsTheCashPart)
{
    auto invest = node(1001, 32);
    auto cash = add(invest, 0, 3);
    cash->setExtra(std::make_shared<HoldingExtra>(77, QDate()));
    EXPECT_FALSE(invest->investAccountHasBrand(77));
    add(invest, 0, 6)->setExtra(std::make_shared<PlainExtra>());
    add(invest, 0, 6)->setExtra(std::make_shared<HoldingExtra>(78, QDate(2020, 1, 1)));
    EXPECT_FALSE(invest->investAccountHasBrand(77));
    EXPECT_TRUE(invest->investAccountHasBrand(78));
}

TEST(CVUnitModel, DefaultCurrencyGoesToLeavesAndInvestmentAccounts)
{
    SearchTree t;
    t.n31->setCurrency(0);
    t.n10->setCurrency(0);
    t.n11->setCurrency(5);
    t.root->fixDefaultCurrency(1);
    EXPECT_EQ(t.root->currency(), 0);
    EXPECT_EQ(t.n10->currency(), 0);
    EXPECT_EQ(t.n11->currency(), 5);
    EXPECT_EQ(t.n20->currency(), 1);
    EXPECT_EQ(t.cash->currency(), 1);
    EXPECT_EQ(t.holding->currency(), 9);
    EXPECT_EQ(t.n31->currency(), 1);
}

TEST(CVUnitModel, StatusWalks)
{
    SearchTree t;
    for (auto n : {t.root, t.n10, t.n11, t.n20, t.cash, t.holding, t.n30, t.n31}) n->setStatus(0);
    EXPECT_EQ(t.root->deepStatus(), 0);
    EXPECT_FALSE(t.root->deepStatus2());
    t.n31->setStatus(1);
    EXPECT_EQ(t.root->deepStatus(), 1);
    EXPECT_TRUE(t.root->deepStatus2());
    EXPECT_EQ(t.n10->deepStatus(), 0);
    t.n10->setStatus(2);
    EXPECT_EQ(t.n10->deepStatus(), 2);

    // Groups, section roots, cash parts and holdings are not counted.
    for (auto n : {t.root, t.n10, t.n11, t.n20, t.cash, t.holding, t.n30, t.n31}) n->setStatus(1);
    EXPECT_EQ(t.root->sumStatusWithoutGroups(), 3);   // 11, 20, 31
    EXPECT_EQ(t.root->sumMembersAndGroups(true), 8);
    EXPECT_EQ(t.root->sumMembersAndGroups(false), 5);
    EXPECT_EQ(t.root->sumMembersMatching([](const CVUnitModel &n) { return n.currency() == 7; }), 3);

    EXPECT_TRUE(t.root->allStatus());
    t.holding->setStatus(2);
    EXPECT_FALSE(t.root->allStatus());
    t.holding->setStatus(0);
    EXPECT_FALSE(t.root->allStatus());
    EXPECT_TRUE(t.n30->allStatus());

    // Pre-order, stopping at the first yes.
    std::vector<int> visited;
    EXPECT_TRUE(t.root->reduce([&](CVUnitModel &n) {
        visited.push_back(n.ident());
        return n.kind() == 6;
    }));
    EXPECT_EQ(visited, (std::vector<int>{1, 10, 11, 20, 0, 0}));
}

TEST(CVUnitModel, DeepCopySharesExtrasAndStartsFresh)
{
    SearchTree t;
    auto extra = std::make_shared<HoldingExtra>(5, QDate(2021, 4, 1));
    t.holding->setExtra(extra);
    t.n20->setStatus(0);
    t.n20->setCollapsed(true);
    t.n20->setCurrency(3);

    auto copy = t.n20->deepCopy();
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy->ident(), 20);
    EXPECT_EQ(copy->kind(), 32);
    EXPECT_EQ(copy->name(), QStringLiteral("証券口座"));
    EXPECT_EQ(copy->currency(), 3);
    EXPECT_EQ(copy->status(), 1);
    EXPECT_FALSE(copy->collapsed());
    ASSERT_EQ(copy->countChild(), 2);
    EXPECT_NE(copy->childAt(1), t.holding);
    EXPECT_EQ(copy->childAt(1)->extra(), extra);
    EXPECT_EQ(copy->childAt(1)->parent(), copy.get());
    EXPECT_EQ(copy->childAt(1)->currency(), 9);

    // The copy is a tree of its own.
    EXPECT_TRUE(copy->removeMember(*copy->childAt(0)));
    EXPECT_EQ(t.n20->countChild(), 2);
    EXPECT_FALSE(t.n31->deepCopy()->hasChildList());
}

TEST(CVUnitModel, DescriptionNamesTheNode)
{
    auto n = node(1005, 21, QStringLiteral("食費"));
    const QString text = n->description();
    EXPECT_TRUE(text.startsWith(QStringLiteral("<CVUnitModel 0x")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(":(1005) '食費' k:21 extra:(null)>"))) << text.toStdString();
    n->setExtra(std::make_shared<PlainExtra>());
    EXPECT_TRUE(n->description().contains(QStringLiteral("extra:<UnitModelTestPlainExtra: 0x")));
}

TEST(CVUnitModel, EnumerateCategoriesHasNoLimit)
{
    // root ─┬ group ─┬ 1001 (category) ── 5000 (below a category: not listed)
    //       │        └ 1002
    //       ├ 10 (system transfer item)
    //       └ 2500 more categories
    auto root = node(3, 1);
    auto group = add(root, 900, 20);
    auto cat = add(group, 1001, 21);
    add(cat, 5000, 21);
    add(group, 1002, 21);
    add(root, 10, 5);
    for (int i = 0; i < 2500; ++i) add(root, 2000 + i, 21);

    const std::vector<int> idents = root->enumerateCategories();
    ASSERT_EQ(idents.size(), 2503u);
    EXPECT_EQ(idents[0], 1001);
    EXPECT_EQ(idents[1], 1002);
    EXPECT_EQ(idents[2], 10);
    EXPECT_EQ(idents.back(), 4499);
    EXPECT_EQ(cat->enumerateCategories(), std::vector<int>{1001});
    EXPECT_TRUE(node(1, 1)->enumerateCategories().empty());
    // Each call answers its own list.
    EXPECT_EQ(group->enumerateCategories(), (std::vector<int>{1001, 1002}));
    EXPECT_EQ(idents.size(), 2503u);
}

TEST(CVUnitModel, KindTests)
{
    struct Row {
        int kind;
        bool actual, asset, cache, debt, payable, account, named;
    };
    const Row rows[] = {
        {0, false, false, false, false, false, false, false},  {2, false, false, false, false, false, false, true},
        {3, false, false, false, false, false, true, false},   {5, true, false, false, false, false, false, false},
        {6, false, false, false, false, false, true, false},   {20, false, false, false, false, false, false, true},
        {21, true, false, false, false, false, false, false},  {30, false, true, true, false, true, true, true},
        {31, false, true, true, false, true, true, true},      {32, false, true, false, false, false, true, true},
        {33, false, true, false, false, true, true, true},     {40, false, false, false, true, true, true, true},
        {41, false, false, false, true, false, true, true},    {42, false, false, false, true, false, true, true},
        {49, false, false, false, false, false, true, false},  {50, false, false, false, false, false, false, false},
    };
    for (const Row &r : rows) {
        auto n = node(1000, r.kind);
        SCOPED_TRACE(r.kind);
        EXPECT_EQ(n->isActual(), r.actual);
        EXPECT_EQ(n->isAsset(), r.asset);
        EXPECT_EQ(n->isCache(), r.cache);
        EXPECT_EQ(n->isDebt(), r.debt);
        EXPECT_EQ(n->isPayable(), r.payable);
        EXPECT_EQ(n->isAccount(), r.account);
        EXPECT_EQ(!n->assetKindName().isEmpty(), r.named);
    }
    EXPECT_EQ(node(1, 2)->assetKindName(), node(1, 20)->assetKindName());
    EXPECT_NE(node(1, 30)->assetKindName(), node(1, 31)->assetKindName());
}

TEST(CVUnitModel, AccountStartAndOpeningBalance)
{
    const QDate start(2020, 4, 1);
    auto bank = node(1001, 31);
    EXPECT_TRUE(bank->validAtDate(QDate(2000, 1, 1)));
    EXPECT_EQ(bank->assetInitialValue(), 0.0);
    EXPECT_FALSE(bank->assetInitialDate().isValid());

    bank->setExtra(std::make_shared<AccountExtra>(start, 12345.5));
    EXPECT_EQ(bank->assetInitialValue(), 12345.5);
    EXPECT_EQ(bank->assetInitialDate(), start);
    EXPECT_FALSE(bank->validAtDate(QDate(2020, 3, 31)));
    EXPECT_TRUE(bank->validAtDate(start));

    // An extra with no date or balance of its own counts as "no date" and 0.
    auto category = node(1002, 21);
    category->setExtra(std::make_shared<PlainExtra>(500));
    EXPECT_TRUE(category->validAtDate(QDate(1990, 1, 1)));
    EXPECT_EQ(category->assetInitialValue(), 0.0);
    EXPECT_FALSE(category->assetInitialDate().isValid());
    auto summary = node(1003, 50);
    summary->setExtra(std::make_shared<AccountExtra>(start, 0));
    EXPECT_TRUE(summary->validAtDate(QDate(1990, 1, 1)));
    auto plainAccount = node(1004, 33);
    plainAccount->setExtra(std::make_shared<PlainExtra>(1));
    EXPECT_TRUE(plainAccount->validAtDate(QDate(1990, 1, 1)));
    EXPECT_TRUE(node(1005, 30)->validAtDate(QDate()));

    // Cash parts and holdings ask their investment account; a holding also
    // waits for its own opening.
    auto invest = node(1006, 32);
    invest->setExtra(std::make_shared<AccountExtra>(start, 0));
    auto cash = add(invest, 0, 3);
    auto holding = add(invest, 0, 6);
    holding->setExtra(std::make_shared<HoldingExtra>(7, QDate(2021, 1, 1)));
    EXPECT_FALSE(cash->validAtDate(QDate(2020, 1, 1)));
    EXPECT_TRUE(cash->validAtDate(QDate(2020, 6, 1)));
    EXPECT_FALSE(holding->validAtDate(QDate(2020, 6, 1)));
    EXPECT_TRUE(holding->validAtDate(QDate(2021, 1, 1)));
    EXPECT_TRUE(node(0, 3)->validAtDate(QDate(2020, 1, 1)));
}
