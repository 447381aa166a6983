#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Security.h"
#include "model/ModelArchiveClasses.h"
#include "platform/Localization.h"

#include "ArchiveProbe.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item {
    int ident;
    int kind;
    bool operator==(const Item &) const = default;
};

std::vector<Item> children(const cv::NodePtr &root)
{
    std::vector<Item> out;
    for (const auto &c : root->children()) out.push_back({c->ident(), cv::raw(c->kind())});
    return out;
}

cv::NodePtr node(int ident, int kind, const QString &name = QString())
{
    auto n = std::make_shared<cv::Node>();
    n->setIdent(ident);
    n->setKind(cv::NodeKind(kind));
    n->setName(name);
    return n;
}

[[maybe_unused]] void PrintTo(const Item &i, std::ostream *os)
{
    *os << "{" << i.ident << ", " << i.kind << "}";
}

} // namespace

TEST(TreeModels, FixedRootsAndSystemItemsOfANewBook)
{
    cv::AccountTrees accounts;
    cv::CategoryTrees categories;
    ASSERT_TRUE(accounts.asset() && accounts.debt() && accounts.summary());
    EXPECT_EQ(accounts.asset()->ident(), 1);
    EXPECT_EQ(accounts.debt()->ident(), 2);
    EXPECT_EQ(accounts.summary()->ident(), 3);
    EXPECT_EQ(accounts.summary()->kind(), cv::NodeKind::SectionRoot);
    EXPECT_EQ(accounts.asset()->name(), cv::localizedString("SYS:Account-Asset"));
    ASSERT_TRUE(categories.moneyFlow() && categories.income() && categories.expense() && categories.summary());
    EXPECT_EQ(categories.moneyFlow()->ident(), 1);
    EXPECT_EQ(categories.income()->ident(), 2);
    EXPECT_EQ(categories.expense()->ident(), 3);
    EXPECT_EQ(categories.expense()->kind(), cv::NodeKind::SectionRoot);
    EXPECT_EQ(categories.summary()->ident(), 4);
    EXPECT_EQ(categories.summary()->kind(), cv::NodeKind::SummaryRoot);

    accounts.setDefault();
    categories.setDefault();
    accounts.setSystemItems();
    categories.setSystemItems();
    categories.setSystemItems();
    accounts.setSystemItems();

    EXPECT_EQ(children(categories.moneyFlow()), (std::vector<Item>{{10, 5}, {11, 5}, {12, 5}, {13, 5}}));
    EXPECT_EQ(children(categories.income()), (std::vector<Item>{{31, 21}}));
    EXPECT_EQ(children(categories.expense()), (std::vector<Item>{{30, 21}, {32, 21}, {33, 21}}));
    EXPECT_EQ(children(accounts.asset()), (std::vector<Item>{{10, 30}}));
    EXPECT_TRUE(children(accounts.debt()).empty());
    EXPECT_EQ(categories.income()->childAt(0)->parent(), categories.income().get());

    // Items the user may rename are named in the current language; transfer
    // items keep their key, shown in the language of whoever opens the book.
    EXPECT_EQ(accounts.asset()->childAt(0)->name(), cv::localizedString("Wallet"));
    EXPECT_EQ(categories.expense()->childAt(1)->name(), cv::localizedString("SYS:Loan-Interest"));
    const char *keys[] = {"SYS:Asset2Asset", "SYS:Asset2Debt", "SYS:Debt2Asset", "SYS:Debt2Debt"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(categories.moneyFlow()->childAt(i)->name(), QLatin1String(keys[i]));
}

TEST(TreeModels, SystemItemsAddOnlyWhatIsMissing)
{
    cv::CategoryTrees categories;
    auto group = node(1200, 20);
    group->appendChild(node(32, 21, "my interest"));
    categories.expense()->appendChild(group);
    categories.setSystemItems();
    // The catch-alls a book read without them lacks come first.
    ASSERT_EQ(categories.expense()->countChild(), 3);
    EXPECT_EQ(categories.expense()->childAt(1)->ident(), 30);
    EXPECT_EQ(categories.expense()->childAt(2)->ident(), 33);
    ASSERT_EQ(categories.income()->countChild(), 1);
    EXPECT_EQ(categories.income()->childAt(0)->ident(), 31);

    // An opened book whose wallet was moved into a group keeps only that one.
    cv::AccountTrees accounts;
    auto folder = node(1001, 20);
    folder->appendChild(node(10, 30, "purse"));
    accounts.asset()->appendChild(folder);
    accounts.setSystemItems();
    EXPECT_EQ(accounts.asset()->countChild(), 1);
}

TEST(TreeModels, UniqueIdents)
{
    cv::AccountTrees accounts;
    cv::CategoryTrees categories;
    accounts.setSystemItems();
    categories.setDefault();
    categories.setSystemItems();
    EXPECT_EQ(accounts.uniqueId(), 1000);
    EXPECT_EQ(categories.uniqueId(), 1000);

    accounts.debt()->appendChild(node(1500, 40));
    EXPECT_EQ(accounts.uniqueId(), 1501);
    accounts.summary()->appendChild(node(1600, 50));
    EXPECT_EQ(accounts.uniqueId(), 1601);

    categories.moneyFlow()->appendChild(node(2000, 5));
    EXPECT_EQ(categories.uniqueId(), 1000);
    auto food = node(1000, 20);
    food->appendChild(node(1007, 21));
    categories.expense()->appendChild(food);
    EXPECT_EQ(categories.uniqueId(), 1008);
    categories.summary()->appendChild(node(1100, 51));
    EXPECT_EQ(categories.uniqueId(), 1101);
    // At the type's limit no ident is left, in either tree.
    food->appendChild(node(2147483646, 21));
    EXPECT_EQ(categories.uniqueId(), 2147483647);
    categories.income()->appendChild(node(2147483647, 20));
    EXPECT_EQ(categories.uniqueId(), std::nullopt);
    accounts.debt()->appendChild(node(2147483647, 40));
    EXPECT_EQ(accounts.uniqueId(), std::nullopt);

    // Roots may be missing in a decoded model.
    accounts.setAsset(nullptr);
    accounts.setDebt(nullptr);
    accounts.setSummary(nullptr);
    EXPECT_EQ(accounts.uniqueId(), 1000);
    accounts.setSystemItems();
}

TEST(TreeModels, IncomeOrExpense)
{
    cv::CategoryTrees categories;
    categories.setDefault();
    auto group = node(1000, 20);
    auto leaf = node(1001, 21);
    group->appendChild(leaf);
    categories.income()->appendChild(group);
    EXPECT_TRUE(categories.isIncomeOrExpense(leaf.get()));
    EXPECT_TRUE(categories.isIncomeOrExpense(categories.expense().get()));
    EXPECT_TRUE(categories.isIncomeOrExpense(categories.expense()->childAt(0).get()));
    EXPECT_FALSE(categories.isIncomeOrExpense(categories.moneyFlow()->childAt(0).get()));
    EXPECT_FALSE(categories.isIncomeOrExpense(categories.summary().get()));
    EXPECT_FALSE(categories.isIncomeOrExpense(node(1001, 21).get()));
    EXPECT_FALSE(categories.isIncomeOrExpense(nullptr));
}

TEST(TreeModels, BothModelsRoundTripWithTheirKeys)
{
    cv::registerModelArchiveClasses();
    auto accounts = std::make_shared<cv::AccountTrees>();
    accounts->setSystemItems();
    accounts->debt()->appendChild(node(1500, 41, "住宅ローン"));
    auto categories = std::make_shared<cv::CategoryTrees>();
    categories->setDefault();
    categories->setSystemItems();

    const QByteArray accountData = cv::KeyedArchiver::archivedDataWithRootObject(accounts);
    const QByteArray categoryData = cv::KeyedArchiver::archivedDataWithRootObject(categories);
    QStringList accountKeys, categoryKeys;
    cvtest::archivedObject(accountData, {}, &accountKeys);
    cvtest::archivedObject(categoryData, {}, &categoryKeys);
    EXPECT_EQ(accountKeys, (QStringList{"asset", "debt", "summary"}));
    EXPECT_EQ(categoryKeys, (QStringList{"moneyFlow", "income", "expense", "summary"}));
    EXPECT_EQ(cvtest::archivedObject(accountData, {"debt"}).value("ident").toLongLong(), 2);

    auto a = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(accountData);
    ASSERT_TRUE(a && a->asset() && a->debt() && a->summary());
    EXPECT_EQ(children(a->asset()), (std::vector<Item>{{10, 30}}));
    EXPECT_EQ(a->debt()->childAt(0)->name(), "住宅ローン");
    EXPECT_EQ(a->debt()->childAt(0)->parent(), a->debt().get());
    EXPECT_EQ(a->uniqueId(), 1501);

    auto c = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::CategoryTrees>(categoryData);
    ASSERT_TRUE(c && c->moneyFlow() && c->income() && c->expense() && c->summary());
    EXPECT_EQ(children(c->moneyFlow()), (std::vector<Item>{{10, 5}, {11, 5}, {12, 5}, {13, 5}}));
    EXPECT_EQ(children(c->expense()), (std::vector<Item>{{30, 21}, {32, 21}, {33, 21}}));
    EXPECT_EQ(c->summary()->kind(), cv::NodeKind::SummaryRoot);
    EXPECT_EQ(c->income()->name(), categories->income()->name());

    // A missing root is written as no key and read back as no root.
    categories->setSummary(nullptr);
    const QByteArray withoutSummary = cv::KeyedArchiver::archivedDataWithRootObject(categories);
    EXPECT_FALSE(cvtest::archivedObject(withoutSummary).contains("summary"));
    auto d = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::CategoryTrees>(withoutSummary);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->summary(), nullptr);
    EXPECT_NE(d->expense(), nullptr);
}

namespace {

// An account model archive with any object as its asset root.
class ForgedAccountTrees : public cv::KeyedArchivable {
public:
    explicit ForgedAccountTrees(cv::ArchivablePtr asset) : m_asset(std::move(asset)) {}
    cv::ArchivablePtr m_asset;
    QString archiveClassName() const override { return QStringLiteral("CV4AccountModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override { coder.encodeObject("asset", m_asset); }
    bool initWithCoder(cv::KeyedUnarchiver &) override { return false; }
};

// A model archive with the given objects under the given root keys.
class ForgedModel : public cv::KeyedArchivable {
public:
    ForgedModel(QString className, std::vector<std::pair<QString, cv::NodePtr>> roots)
        : m_className(std::move(className)), m_roots(std::move(roots))
    {
    }
    QString m_className;
    std::vector<std::pair<QString, cv::NodePtr>> m_roots;
    QString archiveClassName() const override { return m_className; }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        for (const auto &[key, root] : m_roots) coder.encodeObject(key, root);
    }
    bool initWithCoder(cv::KeyedUnarchiver &) override { return false; }
};

QByteArray forged(const QString &className, std::vector<std::pair<QString, cv::NodePtr>> roots)
{
    return cv::KeyedArchiver::archivedDataWithRootObject(std::make_shared<ForgedModel>(className, std::move(roots)));
}

} // namespace

TEST(TreeModels, ARootOfAnotherClassMakesTheArchiveUnreadable)
{
    cv::registerModelArchiveClasses();
    auto forge = [](cv::ArchivablePtr asset) {
        return cv::KeyedArchiver::archivedDataWithRootObject(std::make_shared<ForgedAccountTrees>(std::move(asset)));
    };
    auto plain = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(forge(node(1, 1)));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->asset());
    EXPECT_FALSE(plain->debt());
    EXPECT_EQ(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(forge(std::make_shared<cv::Security>())),
              nullptr);
}

TEST(TreeModels, ARootSharedWithAnotherRootMakesTheArchiveUnreadable)
{
    cv::registerModelArchiveClasses();
    // Edits under one root would show up under the other, and the node would
    // be counted, valued and archived twice.
    auto shared = node(1, 1);
    EXPECT_EQ(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(
                  forged("CV4AccountModel", {{"asset", shared}, {"debt", shared}})),
              nullptr);
    auto debt = node(2, 1);
    debt->appendChild(shared);
    EXPECT_EQ(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(
                  forged("CV4AccountModel", {{"asset", shared}, {"debt", debt}})),
              nullptr);
    EXPECT_EQ(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::AccountTrees>(
                  forged("CV4AccountModel", {{"debt", debt}, {"summary", shared}})),
              nullptr);
    EXPECT_EQ(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::CategoryTrees>(
                  forged("CV4ActualModel", {{"income", debt}, {"expense", shared}})),
              nullptr);
    EXPECT_EQ(cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::CategoryTrees>(
                  forged("CV4ActualModel", {{"moneyFlow", shared}, {"summary", shared}})),
              nullptr);
    debt->removeChild(shared);

    // Distinct roots still read.
    auto ok = cv::KeyedUnarchiver::unarchiveObjectOfClass<cv::CategoryTrees>(
        forged("CV4ActualModel", {{"income", debt}, {"expense", shared}}));
    ASSERT_TRUE(ok);
    EXPECT_NE(ok->income(), ok->expense());
}
