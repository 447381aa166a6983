// The journal, income and expense, itemised, term comparison, budget
// comparison and ranking reports over Fixture F: each page as drawn, the
// same figures whichever page is drawn first, and the faults they mend.
#include "ReportFixture.h"

#include "model/CategoryTrees.h"
#include "document/BookTestAccess.h"
#include "platform/Localization.h"
#include "reports/BudgetComparisonReport.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

#include <functional>

using namespace reportfixture;

namespace {

struct PageCase {
    const char *what;
    cv::ReportRequest request;
    int page;
    QStringList lines; // every line of the page but the head and the title
};

class Reports2Test : public FixtureFTest {
protected:
    void expectPages(const std::vector<PageCase> &cases)
    {
        for (const PageCase &c : cases) {
            auto view = report(c.request);
            ASSERT_TRUE(view) << c.what;
            ASSERT_LE(c.page, view->pages()) << c.what;
            QStringList lines = pageLines(drawPage(*view, c.page));
            ASSERT_GE(lines.size(), 2) << c.what;
            EXPECT_TRUE(lines.takeFirst().startsWith(
                QStringLiteral("2026/01/02    Page %1 of %2").arg(c.page).arg(view->pages())))
                << c.what;
            lines.removeFirst(); // the title
            EXPECT_EQ(text(lines), text(c.lines)) << c.what;
        }
    }
};

constexpr int kJournal = 1, kIncomeExpense = 2, kItemised = 3, kTerms = 6, kBudget = 7, kRanking = 8, kSecurities = 9;

} // namespace

TEST_F(Reports2Test, EveryKindsPagesAsDrawn)
{
    const QString journal = QStringLiteral("Category/Account | Memo | Group | Increase | Decrease | Balance");
    const QString itemised = QStringLiteral("Account | Memo | Group | %1");
    const QString dates = QStringLiteral("2008/04/01 | 2008/05/01");
    const QString terms = QStringLiteral("%1 | to 2008/04/30 | to 2008/05/31 | Difference | 2nd as % of 1st");
    // clang-format off
    expectPages({
        {"journal of Bank A: the date once a day, the balance at the day's end", {kJournal}, 2,
         {"Bank A", journal, "05/01 | Carried over | 320,000", "05/05 | Xfer Broker | 150,000 | 170,000",
          "05/10 | Living/Food | 5,000 | 165,000", "05/15 | Xfer Wallet | 20,000 | 145,000",
          "05/25 | Salary | 300,000 | 445,000", "05/27 | Rent | 80,000", "Xfer Card | 12,000 | 353,000",
          "Total of Bank A | 300,000 | 267,000 | 353,000"}},
        {"the cash part carries its own 0, trades with their commissions", {kJournal}, 3,
         {"Broker/Cash", journal, "05/05 | Xfer Bank A | 150,000 | 150,000", "05/08 | Trade:Alpha:Buy | 120,000",
          "Trade:Alpha:Buy:Commission | 600 | 29,400", "05/20 | Trade:Alpha:Sell | 65,000",
          "Trade:Alpha:Sell:Commission | 400 | 94,000", "05/28 | Trade:Alpha:Dividend | 1,500 | 95,500", "Total of Broker/Cash | 216,500 | 121,000 | 95,500"}},
        {"a holding counts units", {kJournal}, 4,
         {"Broker/Alpha", "Category/Account | Memo | Group | Units In | Units Out | Units Held",
          "05/01 | Units carried over | 100", "05/08 | Trade:Buy | 100 | 200", "05/20 | Trade:Sell | 50 | 150",
          "Total of Broker/Alpha | 100 | 50 | 150"}},
        {"a debt swaps its heads and grows with expenses", {kJournal}, 5,
         {"Card", "Category/Account | Memo | Group | Decrease | Increase | Balance", "05/01 | Carried over | 12,000",
          "05/12 | Living/Food | 8,000 | 20,000", "05/27 | Xfer Bank A | 12,000 | 8,000",
          "Total of Card | 12,000 | 8,000 | 8,000"}},
        {"income, then a page break", {kIncomeExpense}, 1, {"Income | Income", "Salary | 300,000", "Total Income | 300,000"}},
        {"groups with headings and subtotals", {kIncomeExpense}, 2,
         {"Expenses | Expense", "Living", "Food | 13,000", "Daily | 2,000", "Subtotal of Living | 15,000",
          "Rent | 80,000", "Total Expenses | 95,000"}},
        {"tier 1 folds the groups", {.kind = kIncomeExpense, .tier = 1}, 2,
         {"Expenses | Expense", "Living | 15,000", "Rent | 80,000", "Total Expenses | 95,000"}},
        {"the display style prints zero categories", {.kind = kIncomeExpense, .displayStyle = 1}, 1,
         {"Income | Income", doc->findIncome(kIncomeMisc)->name() + " | 0", "Salary | 300,000",
          "Total Income | 300,000"}},
        {"itemised Salary", {kItemised}, 1,
         {"Salary", itemised.arg("Income"), "05/25 | Bank A | 300,000", "Subtotal of Salary | 300,000"}},
        {"itemised Food: two entries", {kItemised}, 2,
         {"Living/Food", itemised.arg("Expense"), "05/10 | Bank A | 5,000", "05/12 | Card | 8,000",
          "Subtotal of Living/Food | 13,000"}},
        {"itemised Daily", {kItemised}, 3,
         {"Living/Daily", itemised.arg("Expense"), "05/18 | Wallet | 2,000", "Subtotal of Living/Daily | 2,000"}},
        {"itemised Rent last", {kItemised}, 4,
         {"Rent", itemised.arg("Expense"), "05/27 | Bank A | 80,000", "Subtotal of Rent | 80,000"}},
        {"a cut group lists its categories' entries together", {.kind = kItemised, .tier = 1}, 2,
         {"Living", itemised.arg("Expense"), "05/10 | Bank A | 5,000", "05/12 | Card | 8,000", "05/18 | Wallet | 2,000",
          "Subtotal of Living | 15,000"}},
        {"terms: income", {kTerms}, 1,
         {dates, terms.arg("Income"), "Salary | 300,000 | 300,000 | 0 | 100.00",
          "Total Income | 300,000 | 300,000 | 0 | 100.00"}},
        {"terms: '---' for a first amount of 0, the total's per cent from the totals", {kTerms}, 2,
         {dates, terms.arg("Expenses"), "Living", "Food | 12,000 | 13,000 | 1,000 | 108.33",
          "Daily | 0 | 2,000 | 2,000 | ---", "Subtotal of Living | 12,000 | 15,000 | 3,000 | 125.00",
          "Rent | 80,000 | 80,000 | 0 | 100.00", "Total Expenses | 92,000 | 95,000 | 3,000 | 103.26"}},
        {"budget: income achieved", {kBudget}, 1,
         {"Budget | Result | Difference | Achieved %",
          "Income | A | B | B-A | B/A", "Income | 0 | - | - | -", "Salary | 280,000 | 300,000 | 20,000 | 107.14",
          "Total Income | 280,000 | 300,000 | 20,000 | 107.14"}},
        {"budget: expense saved, '0.00' for nothing saved", {kBudget}, 2,
         {"Budget | Result | Difference | Saved %",
          "Expenses | A | B | B-A | (A-B)/A", "Expenses | 0 | - | - | -", "Living | 0 | - | - | -",
          "Food | 15,000 | 13,000 | -2,000 | 13.33", "Daily | 3,000 | 2,000 | -1,000 | 33.33",
          "Subtotal of Living | 18,000 | 15,000 | -3,000 | 16.67", "Rent | 80,000 | 80,000 | 0 | 0.00",
          "Total Expenses | 98,000 | 95,000 | -3,000 | 3.06"}},
        {"ranking: income", {.kind = kRanking, .isAscending = 1}, 1,
         {"Income | Income | Share %", "1 | Salary | 300,000 | 100.00", "Total Income | 300,000"}},
        {"ranking: larger first", {.kind = kRanking, .isAscending = 1}, 2,
         {"Expenses | Expense | Share %", "1 | Rent | 80,000 | 84.21", "2 | Living/Food | 13,000 | 13.68",
          "3 | Living/Daily | 2,000 | 2.11", "Total Expenses | 95,000"}},
        {"ranking: smaller first", {.kind = kRanking}, 2,
         {"Expenses | Expense | Share %", "1 | Living/Daily | 2,000 | 2.11", "2 | Living/Food | 13,000 | 13.68",
          "3 | Rent | 80,000 | 84.21", "Total Expenses | 95,000"}},
        {"ranking: tier 1 folds Food and Daily into Living", {.kind = kRanking, .tier = 1, .isAscending = 1}, 2,
         {"Expenses | Expense | Share %", "1 | Rent | 80,000 | 84.21", "2 | Living | 15,000 | 15.79",
          "Total Expenses | 95,000"}},
    });
    // clang-format on
    auto zeros = report({.kind = kIncomeExpense, .displayStyle = 1});
    ASSERT_TRUE(zeros);
    const QStringList expense = pageLines(drawPage(*zeros, 2));
    // The unassigned loan category stays out, as it stays out of the book's expense total.
    for (int ident : {30, 32, 33})
        EXPECT_EQ(expense.contains(doc->findExpense(ident)->name() + QStringLiteral(" | 0")), ident != 33) << ident;
    const struct {
        QDate from, to;
        int months;
    } spans[] = {{{2008, 5, 1}, {2008, 5, 31}, 1},
                 {{2008, 4, 1}, {2008, 6, 30}, 3},
                 {{2008, 4, 25}, {2008, 7, 24}, 3},
                 {{2008, 4, 25}, {2008, 7, 25}, 4},
                 {{2007, 11, 1}, {2009, 2, 28}, 16}};
    for (const auto &span : spans) EXPECT_EQ(cv::BudgetComparisonReport::monthCount(span.from, span.to), span.months);
}

TEST_F(Reports2Test, TicksTiersPeriodsAndOpenings)
{
    struct Case {
        const char *what;
        std::function<void()> setUp;
        cv::ReportRequest request;
        int page;
        QStringList lines; // lines the page holds
        QString absent;    // a line it must not hold
    };
    const auto tick = [this](std::initializer_list<int> idents) {
        return [this, ticked = std::vector<int>(idents)] { tickOnly(*doc, ticked); };
    };
    const auto lunchOnTrip = [this] { // the book's first grouping
        auto trip = std::make_shared<cv::Grouping>();
        trip->setName(QStringLiteral("Trip"));
        doc->addGrouping(trip);
        doc->commitGroupList();
        addEntry(cv::EntryKind::Expense, {2008, 5, 20}, 4000, kFood, kWallet, QStringLiteral("Lunch"), 0,
                 trip->ident());
    };
    // clang-format off
    const Case cases[] = {
        {"budget tier 1 folds a group into one row", nullptr, {.kind = kBudget, .tier = 1}, 2,
         {"Living | 18,000 | 15,000 | -3,000 | 16.67", "Rent | 80,000 | 80,000 | 0 | 0.00"}, "Subtotal of Living"},
        {"budget: the unassigned loan category alone prints no expense section",
         tick({kSalary, cv::CategoryTrees::LoanUnspecified}), {kBudget}, 2, {}, "Total Expenses"},
        {"budget: three months' budgets against April to June", nullptr, {kBudget, {2008, 4, 1}, {2008, 6, 30}}, 1,
         {"Salary | 840,000 | 600,000 | -240,000 | 71.43"}, {}},
        {"a section whose money falls on the last day", nullptr, {kIncomeExpense, kP1, {2008, 5, 25}}, 1,
         {"Total Income | 300,000"}, {}},
        {"and on both periods' last days", nullptr, {kTerms, kQ1, {2008, 4, 25}, kP1, {2008, 5, 25}}, 1,
         {"Total Income | 300,000 | 300,000 | 0 | 100.00"}, {}},
        {"an unticked category leaves its group's subtotal", tick({kDaily, kRent, kSalary}), {kIncomeExpense}, 2,
         {"Subtotal of Living | 2,000", "Total Expenses | 82,000"}, "Food | 13,000"},
        {"and its budget", tick({kDaily, kRent, kSalary}), {kBudget}, 2,
         {"Subtotal of Living | 3,000 | 2,000 | -1,000 | 33.33"}, "Food"},
        {"nothing in period 2 prints 0.00", nullptr, {kTerms, kQ1, kQ2, {2008, 6, 1}, {2008, 6, 30}}, 2,
         {"Food | 12,000 | 0 | -12,000 | 0.00", "Total Expenses | 92,000 | 0 | -92,000 | 0.00"}, "Daily"},
        {"an account opened in the period starts with its opening balance",
         [this] {
             addAccount(2002, QStringLiteral("Savings"), 1, {2008, 5, 10}, 5000);
             addEntry(cv::EntryKind::Income, QDate(2008, 5, 12), 700, kSalary, 2002);
             tickOnly(*doc, {2002});
         },
         {kJournal}, 1, {"05/10 | Opening balance | 5,000", "05/12 | Salary | 700 | 5,700"}, "Carried over"},
        {"a dollar entry counts at the rate of its day",
         [this] {
             samplebook::currency(*doc, 2, QStringLiteral("USD"), 100, 2);
             for (const auto &[day, rate] : {std::pair{1, 110.0}, {20, 90.0}}) {
                 doc->putRate(samplebook::priceTime(2, QDate(2008, 5, day), rate));
             }
             addAccount(2001, QStringLiteral("Dollars"), 2);
             addEntry(cv::EntryKind::Expense, QDate(2008, 5, 9), 12.34, kDaily, 2001);
         },
         {kItemised}, 3, {"05/09 | Dollars | 1,357", "Subtotal of Living/Daily | 3,357"}, {}},
        {"a grouping keeps only its entries; income has none", lunchOnTrip,
         {.kind = kIncomeExpense, .groups = QList<int>{1}}, 1, {"Total Expenses | 4,000"}, {}},
        {"and lists them", lunchOnTrip, {.kind = kItemised, .groups = QList<int>{1}}, 1,
         {"05/20 | Wallet | Lunch | Trip | 4,000"}, {}},
        // No report at all:
        {"nothing ticked with entries", tick({kIncomeMisc, kExpenseMisc}), {kRanking}, 0, {}, {}},
        {"no ticked security", [this] { tickSecurities({}); }, {kSecurities}, 0, {}, {}},
        {"before the holding was opened", [this] { tickSecurities({kAlpha}); }, {kSecurities, {2007, 1, 1}, {2007, 12, 31}},
         0, {}, {}},
    };
    // clang-format on
    for (const Case &c : cases) {
        doc = makeFixtureF();
        ASSERT_TRUE(doc);
        if (c.setUp) c.setUp();
        auto view = report(c.request);
        ASSERT_EQ(bool(view), c.page != 0) << c.what;
        if (!view) continue;
        const QStringList lines = pageLines(drawPage(*view, std::min(c.page, view->pages())));
        for (const QString &line : c.lines) EXPECT_TRUE(lines.contains(line)) << c.what << ": " << line.toStdString();
        if (!c.absent.isEmpty())
            for (const QString &line : lines) EXPECT_FALSE(line.startsWith(c.absent)) << c.what;
    }
}

// One day over two pages: its balance closes the first, its date opens the second.
TEST_F(Reports2Test, ADayThatTurnsThePage)
{
    for (int i = 0; i < 50; ++i) addEntry(cv::EntryKind::Expense, QDate(2008, 5, 19), 100, kDaily, kWallet);
    tickOnly(*doc, {kWallet});
    auto journal = report({kJournal});
    ASSERT_TRUE(journal);
    ASSERT_EQ(journal->pages(), 2);
    const QStringList first = pageLines(drawPage(*journal, 1));
    const QStringList second = pageLines(drawPage(*journal, 2));
    EXPECT_EQ(first.last().toStdString(), "Living/Daily | 100 | 23,600");
    EXPECT_EQ(second.at(4).toStdString(), "05/19 | Living/Daily | 100");
}

TEST_F(Reports2Test, AnyPageAloneShowsTheFullRunsFigures)
{
    // Ninety more accounts take the balances over three pages; sixty more
    // income categories take the income section over two; a hundred small
    // expenses take the wallet's journal over three.
    for (int i = 0; i < 90; ++i) addAccount(2200 + i, QStringLiteral("Purse %1").arg(i), 1, {2008, 1, 1}, 1000 + i);
    for (int i = 0; i < 60; ++i) {
        addCategory(doc->categoryTrees()->income(), 2000 + i, QStringLiteral("Extra %1").arg(i));
        addEntry(cv::EntryKind::Income, QDate(2008, 5, 3), 1000, 2000 + i, kBank);
    }
    for (int i = 0; i < 100; ++i) addEntry(cv::EntryKind::Expense, QDate(2008, 5, 1 + i % 28), 10, kDaily, kWallet);
    tickAll(*doc, 1);
    const struct {
        cv::ReportRequest request;
        int page;
        const char *total;
    } cases[] = {
        {{0}, 3, "Total Assets | 554,005"},
        {{kIncomeExpense}, 2, "Total Income | 360,000"},
        {{kTerms}, 2, "Total Income | 300,000 | 360,000 | 60,000 | 120.00"},
        {{kBudget}, 2, "Total Income | 280,000 | 360,000 | 80,000 | 128.57"},
        {{.kind = kRanking, .isAscending = 1}, 3, "1 | Rent | 80,000 | 83.33"},
        {{kJournal}, 3, "Total of Wallet | 20,000 | 3,000 | 27,000"},
    };
    for (const auto &c : cases) {
        const int kind = c.request.kind;
        auto view = report(c.request);
        ASSERT_TRUE(view) << kind;
        const QStringList alone = pageLines(drawPage(*view, c.page));
        EXPECT_TRUE(alone.join(QLatin1Char('\n')).contains(QString::fromUtf8(c.total))) << kind << text(alone);
        std::vector<QStringList> pages(size_t(view->pages()));
        for (int page = view->pages(); page >= 1; --page) pages[size_t(page - 1)] = pageLines(drawPage(*view, page));
        EXPECT_EQ(pages.at(size_t(c.page - 1)), alone) << kind;
        for (int page = 1; page <= view->pages(); ++page)
            EXPECT_EQ(pageLines(drawPage(*view, page)), pages[size_t(page - 1)]) << kind << " page " << page;
    }
}

TEST_F(Reports2Test, MendedFaults)
{
    // A transfer into a dollar account without a converted amount arrives as
    // the balances count it: 10,000 yen at 100 yen a dollar.
    samplebook::currency(*doc, 2, QStringLiteral("USD"), 100, 2)->setPrefix(QStringLiteral("$"));
    addAccount(2001, QStringLiteral("Dollars"), 2);
    addEntry(cv::EntryKind::Transfer, QDate(2008, 5, 6), 10000, 0, kBank, {}, 2001);
    // Texts take their column's width: a category prints whole, a memo too long for its
    // column is cut there with "…".
    addCategory(doc->categoryTrees()->expense(), 2100, QStringLiteral("Groceries and sundries"));
    const QString memo = QStringLiteral("Weekly shopping at the supermarket by the station, with the neighbours");
    addEntry(cv::EntryKind::Expense, QDate(2008, 5, 7), 500, 2100, 2001, memo);
    tickOnly(*doc, {2001});
    auto dollars = report({kJournal});
    ASSERT_TRUE(dollars);
    const QStringList journal = pageLines(drawPage(*dollars, 1));
    EXPECT_TRUE(journal.contains("Dollars($)"));
    EXPECT_TRUE(journal.contains("05/06 | Xfer Bank A | 100.00 | 100.00"));
    const QStringList row = journal.filter(QStringLiteral("05/07")).value(0).split(QStringLiteral(" | "));
    ASSERT_EQ(row.size(), 5) << text(journal);
    EXPECT_EQ(row[1], QStringLiteral("Groceries and sundries"));
    EXPECT_TRUE(row[2].startsWith(QStringLiteral("Weekly shopping at")) && row[2].endsWith(QStringLiteral("…")))
        << row[2].toStdString();

    // An entry filed under a category of the other tree is left out alone,
    // with the log line; the categories after it still print.
    tickAll(*doc, 1);
    addEntry(cv::EntryKind::Income, QDate(2008, 5, 11), 777, kFood, kBank);
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) { logged << m; });
    auto itemised = report({kItemised});
    qInstallMessageHandler(previous);
    ASSERT_TRUE(itemised);
    EXPECT_TRUE(logged.contains("CV4Report4View:makeAllItemsFrom nil category")) << text(logged);
    QStringList all;
    for (int page = 1; page <= itemised->pages(); ++page) all << pageLines(drawPage(*itemised, page));
    EXPECT_TRUE(all.contains("Subtotal of Living/Food | 13,000"));
    EXPECT_TRUE(all.contains("Subtotal of Rent | 80,000"));

    // A holding sold out before the period carries nothing: its opening units are gone.
    enter(*doc, kBroker, kAlpha, cv::TradeKind::Sale, QDate(2008, 4, 10), 100, 1100);
    tickOnly(*doc, {kHolding});
    auto holding = report({kJournal});
    ASSERT_TRUE(holding);
    const QStringList units = pageLines(drawPage(*holding, 1));
    EXPECT_EQ(text(units.mid(4)),
              "05/08 | Trade:Buy | 100 | 100\n05/20 | Trade:Sell | 50 | 50\nTotal of Broker/Alpha | 100 | 50 | 50");
}
