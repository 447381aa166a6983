// The account balance report over Fixture F: the figures the rows carry and
// what a page draws; and the order of ranked ties.
#include "ReportFixture.h"

#include "platform/Localization.h"
#include "reports/AccountBalanceReport.h"
#include "reports/RankingReport.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

using namespace reportfixture;
using Quad = std::vector<double>;

namespace {

class ReportKindsTest : public FixtureFTest {};

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

// The lines' own figures are the book's balances (the edge table holds them to
// the book); here the totals, the drawn lines and the broker's parts.
TEST_F(ReportKindsTest, AccountBalanceFiguresOfMay)
{
    tickOnly(*doc, {kWallet, kBank, kCard});
    auto view = report({0});
    ASSERT_TRUE(view);
    const auto &accounts = *doc->accountTrees();
    EXPECT_EQ(valuesOf(*view, cv::AccountBalanceReport::SectionTotal, accounts.asset()),
              (Quad{330000, 320000, 269000, 381000}));
    EXPECT_TRUE(valuesOf(*view, 0, doc->findAccount(kBroker)).empty()) << "an unticked account has no line";

    // Drawn: the debt heads swap, the change column is end - start.
    const QStringList lines = pageLines(drawPage(*view, 1));
    EXPECT_TRUE(lines.contains(QStringLiteral("Debts | Start | Decrease | Increase | End | Change"))) << text(lines);
    EXPECT_TRUE(lines.contains(QStringLiteral("Card | Credit card | 12,000 | 12,000 | 8,000 | 8,000 | -4,000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Wallet | Cash | 10,000 | 20,000 | 2,000 | 28,000 | 18,000")));
    // The net worth heads its column and the period stands beside its figures: neither is cut.
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Net assets | Net at Start | Increase | Decrease | Net at End | Net Change")));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("2008/05/01 to 2008/05/31 | 318,000 | 332,000 | 277,000 | 373,000 | 55,000")));

    // With the broker: its cash part, the holding valued at the period's last price, and their sum.
    tickOnly(*doc, {kWallet, kBank, kCard, kBroker});
    view = report({0});
    const cv::NodePtr broker = doc->findAccount(kBroker);
    EXPECT_EQ(valuesOf(*view, 0, broker->childAt(0)), (Quad{0, 216500, 121000, 95500}));
    EXPECT_EQ(valuesOf(*view, 0, doc->findAccount(kHolding)), (Quad{130000, 130000, 65000, 195000}));
    EXPECT_EQ(valuesOf(*view, 0, broker), (Quad{130000, 346500, 186000, 290500}));

    // Grouped by type: the broker's cash among investment cash, its holding under a -23 line.
    view = report({.kind = 0, .flags = 1});
    EXPECT_EQ(valuesOf(*view, -22, nullptr), (Quad{0, 216500, 121000, 95500}));
    EXPECT_EQ(valuesOf(*view, cv::AccountBalanceReport::InvestHoldings, broker), (Quad{130000, 130000, 65000, 195000}));
    EXPECT_EQ(valuesOf(*view, -20, nullptr), (Quad{10000, 20000, 2000, 28000}));
}

TEST_F(ReportKindsTest, RankingTiesGoByIdent)
{
    // Stored out of ident order, two of equal sums, in a month of their own.
    for (const auto &[ident, amount] : {std::pair{2012, 300.0}, {2007, 300.0}, {2020, 500.0}}) {
        addCategory(doc->categoryTrees()->expense(), ident, QStringLiteral("c%1").arg(ident));
        addEntry(cv::EntryKind::Expense, QDate(2008, 6, 3), amount, ident, kWallet);
    }
    tickOnly(*doc, {2012, 2007, 2020});
    for (const auto &[isAscending, order] :
         {std::pair{1, QList<int>{2020, 2007, 2012}}, {0, QList<int>{2007, 2012, 2020}}}) {
        auto view = report({.kind = 8, .from = {2008, 6, 1}, .to = {2008, 6, 30}, .isAscending = isAscending});
        ASSERT_TRUE(view);
        QList<int> idents;
        for (const cv::ReportRow &row : view->data())
            if (row.level >= 1) idents << row.node->ident();
        EXPECT_EQ(idents, order) << isAscending;
    }
}
