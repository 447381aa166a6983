#include "model/Node.h"

#include "model/NodeTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace unitmodel_test;

namespace {

// 1 ─┬ 10 (group, currency 7) ── 11 (cash, currency 7, "同名")
//    ├ 20 (investment) ──┬ 0 (cash part)
//    │                   └ 0 (holding, currency 9)
//    └ 30 (group, "同名") ── 31 (bank, currency 7)
struct Tree {
    cv::NodePtr root = node(1, 1);
    cv::NodePtr n10 = add(root, 10, 20);
    cv::NodePtr n11 = add(n10, 11, 30, QStringLiteral("同名"));
    cv::NodePtr n20 = add(root, 20, 32, QStringLiteral("証券口座"));
    cv::NodePtr cash = add(n20, 0, 3);
    cv::NodePtr holding = add(n20, 0, 6);
    cv::NodePtr n30 = add(root, 30, 20, QStringLiteral("同名"));
    cv::NodePtr n31 = add(n30, 31, 31);
    Tree()
    {
        for (auto n : {n10, n11, n31}) n->setCurrency(7);
        holding->setCurrency(9);
    }
    std::vector<cv::NodePtr> all() const { return {root, n10, n11, n20, cash, holding, n30, n31}; }
};

} // namespace

TEST(Node, BuildingKeepsParentsRightAndRefusesLoops)
{
    Tree t;
    auto b = node(15, 21);
    ASSERT_TRUE(t.root->insertChild(b, 1));
    EXPECT_EQ(t.root->childAt(1), b);
    EXPECT_EQ(b->parent(), t.root.get());
    EXPECT_EQ(t.n30->index(), 3);
    EXPECT_FALSE(t.root->insertChild(node(9, 21), 5));
    EXPECT_FALSE(t.root->appendChild(nullptr));
    EXPECT_EQ(t.holding->root(), t.root.get());
    EXPECT_TRUE(t.holding->hasAncestor(t.holding.get()));
    EXPECT_FALSE(t.holding->hasAncestor(t.n10.get()));
    // A node may not become its own descendant.
    EXPECT_FALSE(t.holding->appendChild(t.root));
    EXPECT_FALSE(t.n31->setChildren({node(7, 21), t.n30}));
    EXPECT_FALSE(t.n31->hasChildList());

    // A parent that does not list the node: its child count.
    auto stray = node(1500, 21);
    stray->setParent(t.n10.get());
    EXPECT_EQ(stray->index(), 1);

    // A fresh node is unsaved and has no child list, even after a removal.
    cv::Node n;
    EXPECT_EQ(n.ident(), -1);
    EXPECT_EQ(n.status(), 1);
    EXPECT_EQ(n.childAt(0), nullptr);
    n.removeChild(node(5, 21));
    EXPECT_FALSE(n.hasChildList());
}

TEST(Node, AddingANodeThatHangsElsewhereMovesIt)
{
    const auto idents = [](const cv::NodePtr &n) {
        std::vector<int> out;
        for (const auto &c : n->children()) out.push_back(c->ident());
        return out;
    };
    // Each move starts from the tree 1: [10: [11], 20: [0, 0], 30: [31]].
    // clang-format off
    const struct {
        const char *what;
        std::function<bool(Tree &)> move;
        std::vector<int> root, n10, n30;
    } cases[] = {
        {"to another parent", [](Tree &t) { return t.n30->appendChild(t.n11); }, {10, 20, 30}, {}, {31, 11}},
        {"up to the grandparent", [](Tree &t) { return t.root->insertChild(t.n31, 0); }, {31, 10, 20, 30}, {11}, {}},
        {"to the end of its own list", [](Tree &t) { return t.root->appendChild(t.n10); }, {20, 30, 10}, {11}, {31}},
        // The index names a place in the list as it was: before 30.
        {"within its own list", [](Tree &t) { return t.root->insertChild(t.n10, 2); }, {20, 10, 30}, {11}, {31}},
        {"to the front of its list", [](Tree &t) { return t.root->insertChild(t.n30, 0); }, {30, 10, 20}, {11}, {31}},
        {"in a new list", [](Tree &t) { return t.n10->setChildren({t.n31, t.n11}); }, {10, 20, 30}, {31, 11}, {}},
        {"into its own subtree (refused)", [](Tree &t) { return !t.n11->appendChild(t.n10); }, {10, 20, 30}, {11}, {31}},
        {"listed twice (refused)", [](Tree &t) { return !t.n10->setChildren({t.n31, t.n31}); }, {10, 20, 30}, {11}, {31}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Tree t;
        ASSERT_TRUE(c.move(t));
        EXPECT_EQ(idents(t.root), c.root);
        EXPECT_EQ(idents(t.n10), c.n10);
        EXPECT_EQ(idents(t.n30), c.n30);
        // Every node is listed exactly once, by the parent it names.
        for (const auto &n : t.all()) {
            for (const auto &child : n->children()) EXPECT_EQ(child->parent(), n.get());
            if (n != t.root) {
                EXPECT_EQ(n->parent()->childAt(n->index()), n);
            }
        }
    }
}

TEST(Node, EqualNodesAreRemovedTogetherAndLetGoOfTheirParent)
{
    EXPECT_FALSE(node(0, 3)->isEqual(*node(0, 3)));
    EXPECT_FALSE(node(-1, 5)->isEqual(*node(-1, 5)));
    auto x = node(1005, 21), y = node(1005, 21), otherKind = node(1005, 20);
    EXPECT_TRUE(x->isEqual(*y));
    EXPECT_FALSE(x->isEqual(*otherKind));

    auto kept = node(2000, 21);
    {
        auto parent = node(1, 1);
        for (auto n : {x, otherKind, y, kept}) parent->appendChild(n);
        parent->removeChild(x);
        ASSERT_EQ(parent->countChild(), 2);
        EXPECT_EQ(parent->childAt(0), otherKind);
        EXPECT_EQ(x->parent(), nullptr);
        EXPECT_EQ(y->parent(), nullptr);
        ASSERT_TRUE(parent->setChildren({kept}));
        EXPECT_EQ(otherKind->parent(), nullptr);
    }
    // The parent is gone; the child kept elsewhere must not point at it.
    EXPECT_EQ(kept->parent(), nullptr);
}

TEST(Node, SearchesVisitInTheirOwnOrder)
{
    Tree t;
    // Pre-order, first to last, receiver first.
    EXPECT_EQ(t.root->findMemberWithValue(7, QStringLiteral("currency")), t.n10);
    EXPECT_EQ(t.root->findMemberWithValue(QStringLiteral("7"), QStringLiteral("currency")), nullptr);
    EXPECT_EQ(t.root->findMemberWithValue(QStringLiteral("証券口座"), QStringLiteral("name")), t.n20);
    EXPECT_EQ(t.root->findMemberWithIdent(1), t.root);
    EXPECT_EQ(t.root->findMemberWithIdent(31), t.n31);
    auto extra = std::make_shared<PlainExtra>(1.0);
    t.n31->setExtra(extra);
    EXPECT_EQ(t.root->findMemberWithExtra(extra), t.n31);
    EXPECT_EQ(t.root->findMemberWithExtra(std::make_shared<PlainExtra>(1.0)), nullptr);

    // Last to first.
    EXPECT_EQ(t.root->findMemberWithName(QStringLiteral("同名")), t.n30);
    EXPECT_EQ(t.n10->findMemberWithName(QStringLiteral("同名")), t.n11);
    EXPECT_EQ(t.root->findMember(t.holding), t.holding);
    EXPECT_EQ(t.root->findMember(node(31, 31)), nullptr); // identity, not equality
    EXPECT_EQ(t.root->pathToChild(t.holding.get()), (std::vector<int>{1, 1, -1}));
    EXPECT_EQ(t.root->pathToChild(t.root.get()), std::vector<int>{-1});
    EXPECT_EQ(t.n10->pathToChild(t.holding.get()), std::nullopt);

    // Leaves and investment accounts (standing for their cash part and
    // holdings) are the candidates, last to first.
    EXPECT_EQ(t.root->findMemberWithoutValue(7, QStringLiteral("currency")), t.n20);
    t.n20->setCurrency(7);
    EXPECT_EQ(t.root->findMemberWithoutValue(7, QStringLiteral("currency")), nullptr);
    t.n11->setCurrency(8);
    EXPECT_EQ(t.root->findMemberWithoutValue(7, QStringLiteral("currency")), t.n11);

    EXPECT_EQ(t.root->greatestIdent(999), 999);
    EXPECT_EQ(t.root->greatestIdent(5), 31);
}

TEST(Node, RemoveMemberAnswersWhetherSomethingWentAway)
{
    Tree t;
    // The receiver matches but has no parent to leave.
    EXPECT_FALSE(t.root->removeMember(*node(1, 1)));
    EXPECT_FALSE(t.root->removeMember(*node(12345, 21)));
    EXPECT_EQ(t.root->countChild(), 3);
    EXPECT_TRUE(t.root->removeMember(*node(31, 31)));
    EXPECT_EQ(t.n30->countChild(), 0);
    // A node owned by nothing but the tree.
    cv::Node *holding = t.holding.get();
    t.holding.reset();
    EXPECT_FALSE(t.root->removeMember(*node(0, 6)));
    EXPECT_TRUE(t.root->removeMember(*holding));
    ASSERT_EQ(t.n20->countChild(), 1);
    EXPECT_EQ(t.n20->childAt(0), t.cash);
}

TEST(Node, InvestAccountSkipsTheCashPart)
{
    auto invest = node(1001, 32);
    add(invest, 0, 3)->setExtra(std::make_shared<SampleDatedExtra>(QDate(), 0, 77));
    add(invest, 0, 6)->setExtra(std::make_shared<PlainExtra>());
    add(invest, 0, 6)->setExtra(std::make_shared<SampleDatedExtra>(QDate(), 0, 78));
    EXPECT_FALSE(invest->investmentAccountHoldsSecurity(77));
    EXPECT_TRUE(invest->investmentAccountHoldsSecurity(78));
}

TEST(Node, DefaultCurrencyGoesToLeavesAndInvestmentAccounts)
{
    Tree t;
    t.n10->setCurrency(0);
    t.n11->setCurrency(0);
    t.n31->setCurrency(5);
    t.root->fixDefaultCurrency(1);
    std::vector<int> currencies;
    for (const auto &n : t.all()) currencies.push_back(n->currency());
    EXPECT_EQ(currencies, (std::vector<int>{0, 0, 1, 1, 1, 9, 0, 5}));
}

TEST(Node, StatusWalks)
{
    Tree t;
    for (const auto &n : t.all()) n->setStatus(0);
    EXPECT_EQ(t.root->deepStatus(), 0);
    EXPECT_FALSE(t.root->deepStatus2());
    t.n31->setStatus(1);
    EXPECT_EQ(t.root->deepStatus(), 1);
    EXPECT_TRUE(t.root->deepStatus2());
    EXPECT_EQ(t.n10->deepStatus(), 0);

    for (const auto &n : t.all()) n->setStatus(1);
    EXPECT_TRUE(t.root->allStatus());
    t.holding->setStatus(2);
    EXPECT_FALSE(t.root->allStatus());
    t.holding->setStatus(0);
    EXPECT_FALSE(t.root->allStatus());
    // Not counted: section roots, groups, cash parts, holdings.
    EXPECT_EQ(t.root->sumStatusWithoutGroups(), 3);
    EXPECT_EQ(t.root->sumMembersAndGroups(true), 8);
    EXPECT_EQ(t.root->sumMembersAndGroups(false), 5);
    EXPECT_EQ(t.root->sumMembersMatching([](const cv::Node &n) { return n.currency() == 7; }), 3);

    std::vector<int> visited;
    EXPECT_TRUE(t.root->reduce([&](cv::Node &n) {
        visited.push_back(n.ident());
        return n.kind() == cv::NodeKind::CashPart;
    }));
    EXPECT_EQ(visited, (std::vector<int>{1, 10, 11, 20, 0}));
}

TEST(Node, DeepCopySharesExtrasAndStartsFresh)
{
    Tree t;
    auto extra = std::make_shared<SampleDatedExtra>(QDate(2021, 4, 1), 0, 5);
    t.holding->setExtra(extra);
    t.n20->setStatus(0);
    t.n20->setCollapsed(true);

    t.n20->setCurrency(7);
    auto copy = t.n20->deepCopy();
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy->name(), t.n20->name());
    EXPECT_EQ(copy->ident(), 20);
    EXPECT_EQ(copy->kind(), cv::NodeKind::Investment);
    EXPECT_EQ(copy->currency(), 7);
    EXPECT_EQ(copy->childAt(1)->kind(), cv::NodeKind::Holding);
    EXPECT_EQ(copy->childAt(1)->currency(), 9);
    EXPECT_EQ(copy->status(), 1);
    EXPECT_FALSE(copy->collapsed());
    ASSERT_EQ(copy->countChild(), 2);
    EXPECT_NE(copy->childAt(1), t.holding);
    EXPECT_EQ(copy->childAt(1)->extra(), extra);
    EXPECT_EQ(copy->childAt(1)->parent(), copy.get());
    EXPECT_TRUE(copy->removeMember(*copy->childAt(0)));
    EXPECT_EQ(t.n20->countChild(), 2);

    EXPECT_TRUE(node(1005, 21, QStringLiteral("食費"))
                    ->description()
                    .endsWith(QStringLiteral(":(1005) '食費' k:21 extra:(null)>")));
}

TEST(Node, EnumerateCategoriesHasNoLimit)
{
    auto root = node(3, 1);
    auto group = add(root, 900, 20);
    auto cat = add(group, 1001, 21);
    add(cat, 5000, 21); // below a category: not listed
    add(group, 1002, 21);
    add(root, 10, 5);
    for (int i = 0; i < 2500; ++i) add(root, 2000 + i, 21);

    const std::vector<int> idents = root->enumerateCategories();
    ASSERT_EQ(idents.size(), 2503u);
    EXPECT_EQ(std::vector<int>(idents.begin(), idents.begin() + 3), (std::vector<int>{1001, 1002, 10}));
    EXPECT_EQ(idents.back(), 4499);
    EXPECT_EQ(cat->enumerateCategories(), std::vector<int>{1001});
    EXPECT_TRUE(node(1, 1)->enumerateCategories().empty());
}

TEST(Node, KindNames)
{
    EXPECT_EQ(node(1, 2)->assetKindName(), node(1, 20)->assetKindName());
    for (int kind : {2, 30, 31, 32, 33, 40, 41, 42}) EXPECT_FALSE(node(1, kind)->assetKindName().isEmpty()) << kind;
    for (int kind : {0, 3, 6, 21, 34, 50}) EXPECT_TRUE(node(1, kind)->assetKindName().isNull()) << kind;
}

TEST(Node, AccountStartAndOpeningBalance)
{
    const QDate start(2020, 4, 1), before(2020, 3, 31);
    auto bank = node(1001, 31);
    EXPECT_TRUE(bank->validAtDate(before));
    bank->setExtra(std::make_shared<SampleDatedExtra>(start, 12345.5));
    EXPECT_EQ(bank->assetInitialValue(), 12345.5);
    EXPECT_FALSE(bank->validAtDate(before));
    EXPECT_TRUE(bank->validAtDate(start));

    // A record with no date or balance of its own: "no date" and 0.
    auto other = node(1004, 33);
    other->setExtra(std::make_shared<PlainExtra>(500));
    EXPECT_TRUE(other->validAtDate(before));
    EXPECT_EQ(other->assetInitialValue(), 0.0);
    EXPECT_FALSE(other->assetInitialDate().isValid());
    // Summaries have always started.
    auto summary = node(1003, 50);
    summary->setExtra(std::make_shared<SampleDatedExtra>(start, 0));
    EXPECT_TRUE(summary->validAtDate(before));

    // Cash parts and holdings ask their investment account; a holding also
    // waits for its own opening.
    auto invest = node(1006, 32);
    invest->setExtra(std::make_shared<SampleDatedExtra>(start, 0));
    auto cash = add(invest, 0, 3);
    auto holding = add(invest, 0, 6);
    holding->setExtra(std::make_shared<SampleDatedExtra>(QDate(2021, 1, 1), 0, 7));
    EXPECT_FALSE(cash->validAtDate(before));
    EXPECT_TRUE(cash->validAtDate(start));
    EXPECT_FALSE(holding->validAtDate(start));
    EXPECT_TRUE(holding->validAtDate(QDate(2021, 1, 1)));
}
