// The account balance and ranking reports over Fixture F: the figures the
// rows carry, what a page draws, and the same totals whichever page is drawn.
#include "ReportFixture.h"

#include "platform/Localization.h"
#include "reports/AccountBalanceReport.h"
#include "reports/RankingReport.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

using namespace reportfixture;
using Quad = std::vector<double>;

namespace {

class ReportKindsTest : public FixtureFTest {
protected:
    std::unique_ptr<cv::Report> balance(std::initializer_list<int> ticked, int flags = 0)
    {
        tickOnly(*doc, ticked);
        cv::ReportRequest request;
        request.kind = 0;
        request.flags = flags;
        request.from = kP1;
        request.to = kP2;
        return makeReport(*doc, request);
    }

    std::unique_ptr<cv::Report> ranking(int isAscending, int tier = 0)
    {
        cv::ReportRequest request;
        request.kind = 8;
        request.isAscending = isAscending;
        request.tier = tier;
        request.from = kP1;
        request.to = kP2;
        return makeReport(*doc, request);
    }
};

// The values of the first row of the level that shows the node (0 = any account line).
Quad valuesOf(const cv::Report &view, int level, const cv::NodePtr &node)
{
    for (const cv::ReportRow &row : view.data()) {
        const bool accountLine = level == 0 ? row.level >= 0 && row.level < 99 : row.level == level;
        if (accountLine && row.node == node) return row.values;
    }
    return {};
}

} // namespace

TEST_F(ReportKindsTest, AccountBalanceFiguresOfMay)
{
    auto view = balance({kWallet, kBank, kCard});
    ASSERT_TRUE(view);
    const auto &accounts = *doc->accountModel();
    struct Case {
        const char *what;
        int level;
        cv::NodePtr node;
        Quad values; // start, increase, decrease, end
    } cases[] = {
        {"Wallet", 0, doc->findAccount(kWallet), {10000, 20000, 2000, 28000}},
        {"Bank A", 0, doc->findAccount(kBank), {320000, 300000, 267000, 353000}},
        {"asset total", cv::AccountBalanceReport::SectionTotal, accounts.asset(), {330000, 320000, 269000, 381000}},
        {"Card", 0, doc->findAccount(kCard), {12000, 12000, 8000, 8000}},
        {"net assets", cv::AccountBalanceReport::NetValues, nullptr, {318000, 332000, 277000, 373000}},
    };
    for (const Case &c : cases) EXPECT_EQ(valuesOf(*view, c.level, c.node), c.values) << c.what;
    EXPECT_TRUE(valuesOf(*view, 0, doc->findAccount(kBroker)).empty()) << "an unticked account has no line";

    // Drawn: the debt heads swap, the change column is end - start.
    const QStringList lines = pageLines(drawPage(*view, 1));
    EXPECT_TRUE(lines.contains(QStringLiteral("Debts | Start | Decrease | Increase | End | Change")))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Card | Credit card | 12,000 | 12,000 | 8,000 | 8,000 | -4,000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Wallet | Cash | 10,000 | 20,000 | 2,000 | 28,000 | 18,000")));
    // The net worth heads its column and the period stands beside its figures: neither is cut.
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Net assets | Net at Start | Increase | Decrease | Net at End | Net Change")));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("2008/05/01 to 2008/05/31 | 318,000 | 332,000 | 277,000 | 373,000 | 55,000")));

    // With the broker: its cash part, the holding valued at the period's last price, and their sum.
    view = balance({kWallet, kBank, kCard, kBroker});
    const cv::NodePtr broker = doc->findAccount(kBroker);
    EXPECT_EQ(valuesOf(*view, 0, broker->childAt(0)), (Quad{0, 216500, 121000, 95500}));
    EXPECT_EQ(valuesOf(*view, 0, doc->findAccount(kHolding)), (Quad{130000, 130000, 65000, 195000}));
    EXPECT_EQ(valuesOf(*view, 0, broker), (Quad{130000, 346500, 186000, 290500}));

    // Grouped by type: the broker's cash among investment cash, its holding under a -23 line.
    view = balance({kWallet, kBank, kCard, kBroker}, 1);
    EXPECT_EQ(valuesOf(*view, -22, nullptr), (Quad{0, 216500, 121000, 95500}));
    EXPECT_EQ(valuesOf(*view, cv::AccountBalanceReport::InvestHoldings, broker), (Quad{130000, 130000, 65000, 195000}));
    EXPECT_EQ(valuesOf(*view, -20, nullptr), (Quad{10000, 20000, 2000, 28000}));
}

TEST_F(ReportKindsTest, EveryPageDrawnAloneShowsTheFullRunsFigures)
{
    // Enough accounts for three pages; drawing pages 3, 2, 3, 1 gives each the same text each time.
    const auto &accounts = *doc->accountModel();
    for (int i = 0; i < 90; ++i) {
        auto record = std::make_shared<cv::AccountDetail>();
        record->setDate(QDate(2008, 1, 1));
        record->setInitialValue(1000 + i);
        samplebook::node(accounts.asset(), 2000 + i, 30, QStringLiteral("Purse %1").arg(i), record);
    }
    doc->createCache();
    tickAll(*doc, 1);
    cv::ReportRequest request;
    request.from = kP1;
    request.to = kP2;
    auto view = makeReport(*doc, request);
    ASSERT_EQ(view->pages(), 3);
    QStringList first[4];
    for (int page = 1; page <= 3; ++page) first[page] = pageLines(drawPage(*view, page));
    for (int page : {3, 2, 3, 1}) EXPECT_EQ(pageLines(drawPage(*view, page)), first[page]) << page;
    EXPECT_TRUE(first[3].filter(QStringLiteral("Total Assets")).join("").contains(QStringLiteral("| 554,005 |")))
        << first[3].join('\n').toStdString();
}

TEST_F(ReportKindsTest, RankingOfMay)
{
    struct Case {
        const char *what;
        int isAscending;
        QStringList expense;
    } cases[] = {
        {"descending", 1, {"Rent", "Food", "Daily"}},
        {"ascending", 0, {"Daily", "Food", "Rent"}},
    };
    for (const Case &c : cases) {
        auto view = ranking(c.isAscending);
        ASSERT_TRUE(view) << c.what;
        ASSERT_EQ(view->pages(), 2) << c.what;
        QStringList names;
        for (const cv::ReportRow &row : view->data())
            if (row.level >= 1 && !doc->findIncome(row.node->ident())) names << row.node->name();
        EXPECT_EQ(names, c.expense) << c.what;
    }
    auto view = ranking(1);
    EXPECT_EQ(pageLines(drawPage(*view, 1)).mid(2),
              (QStringList{"Income | Income | Share %", "1 | Salary | 300,000 | 100.00", "Total Income | 300,000"}));
    const QStringList page2 = pageLines(drawPage(*view, 2));
    EXPECT_EQ(page2.mid(2), (QStringList{"Expenses | Expense | Share %", "1 | Rent | 80,000 | 84.21",
                                         "2 | Living/Food | 13,000 | 13.68", "3 | Living/Daily | 2,000 | 2.11",
                                         "Total Expenses | 95,000"}));
    // A page drawn again ranks from 1 again.
    EXPECT_EQ(pageLines(drawPage(*view, 2)), page2);

    // Tier 1 folds Food and Daily into Living; nothing ticked with entries gives no report.
    view = ranking(1, 1);
    EXPECT_EQ(valuesOf(*view, 1, doc->findExpense(kLiving)).at(0), 15000);
    tickOnly(*doc, {kIncomeMisc, kExpenseMisc});
    EXPECT_FALSE(ranking(1));
}

TEST_F(ReportKindsTest, RankingTiesGoByIdent)
{
    using namespace samplebook;
    auto book = std::make_unique<cv::Book>();
    ASSERT_TRUE(book->dataModel()->create());
    book->accountModel()->setSystemItems();
    currency(*book, 1, QStringLiteral("JPY"), 1, 0);
    const cv::NodePtr expense = book->actualModel()->expense();
    for (int ident : {12, 7, 20}) node(expense, ident, 21, QStringLiteral("c%1").arg(ident));
    book->commitActualModel();
    book->createCache();
    for (const auto &[ident, amount] : {std::pair{20, 500.0}, {12, 300.0}, {7, 300.0}})
        book->updateExpense(entry(cv::EntryKind::Expense, QDate(2008, 5, 3), amount, ident, 10), nullptr);
    tickAll(*book, 1);
    for (const auto &[isAscending, order] : {std::pair{1, QList<int>{20, 7, 12}}, {0, QList<int>{7, 12, 20}}}) {
        auto view = cv::RankingReport::make(*book, std::nullopt, 0, isAscending, kP1, kP2, a4());
        ASSERT_TRUE(view);
        QList<int> idents;
        for (const cv::ReportRow &row : view->data())
            if (row.level >= 1) idents << row.node->ident();
        EXPECT_EQ(idents, order) << isAscending;
    }
}
