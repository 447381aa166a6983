// The journal, income and expense, itemised, term comparison and budget
// comparison reports over Fixture F: each page as drawn, the same figures
// whichever page is drawn first, and the faults they mend.
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
    int kind;
    int tier;
    int displayStyle;
    int page;
    QStringList lines; // every line of the page but the head and the title
};

class Reports2Test : public FixtureFTest {
public:
    using FixtureFTest::doc; // the cases' set-up steps read it

    std::unique_ptr<cv::Report> report(int reportKind, int tier = 0, int displayStyle = 0)
    {
        cv::ReportRequest request;
        request.kind = reportKind;
        request.tier = tier;
        request.displayStyle = displayStyle;
        request.from = reportKind == 6 ? kQ1 : kP1;
        request.to = reportKind == 6 ? kQ2 : kP2;
        request.from2 = kP1;
        request.to2 = kP2;
        return makeReport(*doc, request);
    }

    void expectPages(const std::vector<PageCase> &cases)
    {
        for (const PageCase &c : cases) {
            auto view = report(c.kind, c.tier, c.displayStyle);
            ASSERT_TRUE(view) << c.what;
            ASSERT_LE(c.page, view->pages()) << c.what;
            QStringList lines = pageLines(drawPage(*view, c.page));
            ASSERT_GE(lines.size(), 2) << c.what;
            EXPECT_TRUE(lines.takeFirst().startsWith(
                QStringLiteral("2026/01/02    Page %1 of %2").arg(c.page).arg(view->pages())))
                << c.what;
            lines.removeFirst(); // the title
            EXPECT_EQ(lines.join(QLatin1Char('\n')).toStdString(), c.lines.join(QLatin1Char('\n')).toStdString())
                << c.what;
        }
    }

    // A new category under the root, stored with the tree.
    cv::NodePtr addCategory(const cv::NodePtr &parent, int ident, const QString &name)
    {
        auto node = samplebook::node(parent, ident, 21, name);
        doc->commitActualModel();
        return node;
    }
    cv::NodePtr addAccount(int ident, int kind, const QString &name, int currency)
    {
        auto record = std::make_shared<cv::AccountDetail>();
        record->setDate(QDate(2008, 1, 1));
        auto node = samplebook::node(doc->accountModel()->asset(), ident, kind, name, record);
        node->setCurrency(currency);
        doc->commitAccountModel();
        doc->accumulateAccount(node);
        return node;
    }
    void addEntry(cv::EntryKind kind, const QDate &date, double amount, int category, int account,
                  const QString &memo = {}, int destination = 0)
    {
        auto e = samplebook::entry(kind, date, amount, category, account, destination);
        e->setMemo(memo);
        if (kind == cv::EntryKind::Income) doc->updateIncome(e, nullptr);
        if (kind == cv::EntryKind::Expense) doc->updateExpense(e, nullptr);
        if (kind == cv::EntryKind::Transfer) {
            doc->fixupTransferCategory(*e);
            doc->updateTransfer(e, nullptr);
        }
    }
};

} // namespace

TEST_F(Reports2Test, JournalOfEveryTickedAccount)
{
    const QString heads = QStringLiteral("Category/Account | Memo | Group | Increase | Decrease | Balance");
    // clang-format off
    expectPages({
        {"Bank A: the date once a day, the balance at the day's end", 1, 0, 0, 2,
         {"Bank A", heads, "05/01 | Carried over | 320,000", "05/05 | Xfer Broker | 150,000 | 170,000",
          "05/10 | Living/Food | 5,000 | 165,000", "05/15 | Xfer Wallet | 20,000 | 145,000",
          "05/25 | Salary | 300,000 | 445,000", "05/27 | Rent | 80,000", "Xfer Card | 12,000 | 353,000",
          "Total of Bank A | 300,000 | 267,000 | 353,000"}},
        {"the cash part carries its own 0, trades with their commissions", 1, 0, 0, 3,
         {"Broker/Cash", heads, "05/05 | Xfer Bank A | 150,000 | 150,000", "05/08 | Trade:Alpha:Buy | 120,000",
          "Trade:Alpha:Buy:Commission | 600 | 29,400", "05/20 | Trade:Alpha:Sell | 65,000",
          "Trade:Alpha:Sell:Commission | 400 | 94,000", "05/28 | Trade:Alpha:Dividend | 1,500 | 95,500", "Total of Broker/Cash | 216,500 | 121,000 | 95,500"}},
        {"a holding counts units", 1, 0, 0, 4,
         {"Broker/Alpha", "Category/Account | Memo | Group | Units In | Units Out | Units Held",
          "05/01 | Units carried over | 100", "05/08 | Trade:Buy | 100 | 200", "05/20 | Trade:Sell | 50 | 150",
          "Total of Broker/Alpha | 100 | 50 | 150"}},
        {"a debt swaps its heads and grows with expenses", 1, 0, 0, 5,
         {"Card", "Category/Account | Memo | Group | Decrease | Increase | Balance", "05/01 | Carried over | 12,000",
          "05/12 | Living/Food | 8,000 | 20,000", "05/27 | Xfer Bank A | 12,000 | 8,000",
          "Total of Card | 12,000 | 8,000 | 8,000"}},
    });
    // clang-format on
}

TEST_F(Reports2Test, IncomeAndExpenseByCategory)
{
    // clang-format off
    expectPages({
        {"income, then a page break", 2, 0, 0, 1, {"Income | Income", "Salary | 300,000", "Total Income | 300,000"}},
        {"groups with headings and subtotals", 2, 0, 0, 2,
         {"Expenses | Expense", "Living", "Food | 13,000", "Daily | 2,000", "Subtotal of Living | 15,000",
          "Rent | 80,000", "Total Expenses | 95,000"}},
        {"tier 1 folds the groups", 2, 1, 0, 2,
         {"Expenses | Expense", "Living | 15,000", "Rent | 80,000", "Total Expenses | 95,000"}},
        {"the display style prints zero categories", 2, 0, 1, 1,
         {"Income | Income", doc->findIncome(kIncomeMisc)->name() + " | 0", "Salary | 300,000",
          "Total Income | 300,000"}},
    });
    // clang-format on
    auto zeros = report(2, 0, 1);
    ASSERT_TRUE(zeros);
    const QStringList expense = pageLines(drawPage(*zeros, 2));
    // The unassigned loan category stays out, as it stays out of the book's expense total.
    for (int ident : {30, 32, 33})
        EXPECT_EQ(expense.contains(doc->findExpense(ident)->name() + QStringLiteral(" | 0")), ident != 33) << ident;
}

TEST_F(Reports2Test, ItemisedCategoriesEachOnTheirOwnPages)
{
    const QString heads = QStringLiteral("Account | Memo | Group | %1");
    // clang-format off
    expectPages({
        {"Salary", 3, 0, 0, 1,
         {"Salary", heads.arg("Income"), "05/25 | Bank A | 300,000", "Subtotal of Salary | 300,000"}},
        {"Food: two entries", 3, 0, 0, 2,
         {"Living/Food", heads.arg("Expense"), "05/10 | Bank A | 5,000", "05/12 | Card | 8,000",
          "Subtotal of Living/Food | 13,000"}},
        {"Daily", 3, 0, 0, 3,
         {"Living/Daily", heads.arg("Expense"), "05/18 | Wallet | 2,000", "Subtotal of Living/Daily | 2,000"}},
        {"Rent last", 3, 0, 0, 4,
         {"Rent", heads.arg("Expense"), "05/27 | Bank A | 80,000", "Subtotal of Rent | 80,000"}},
        {"a cut group lists its categories' entries together", 3, 1, 0, 2,
         {"Living", heads.arg("Expense"), "05/10 | Bank A | 5,000", "05/12 | Card | 8,000", "05/18 | Wallet | 2,000",
          "Subtotal of Living | 15,000"}},
    });
    // clang-format on
}

TEST_F(Reports2Test, TermComparisonOfTwoPeriods)
{
    const QString dates = QStringLiteral("2008/04/01 | 2008/05/01");
    const QString heads = QStringLiteral("%1 | to 2008/04/30 | to 2008/05/31 | Difference | 2nd as % of 1st");
    // clang-format off
    expectPages({
        {"income", 6, 0, 0, 1,
         {dates, heads.arg("Income"), "Salary | 300,000 | 300,000 | 0 | 100.00",
          "Total Income | 300,000 | 300,000 | 0 | 100.00"}},
        {"expense: '---' for a first amount of 0, the total's per cent from the totals", 6, 0, 0, 2,
         {dates, heads.arg("Expenses"), "Living", "Food | 12,000 | 13,000 | 1,000 | 108.33",
          "Daily | 0 | 2,000 | 2,000 | ---", "Subtotal of Living | 12,000 | 15,000 | 3,000 | 125.00",
          "Rent | 80,000 | 80,000 | 0 | 100.00", "Total Expenses | 92,000 | 95,000 | 3,000 | 103.26"}},
    });
    // clang-format on
}

TEST_F(Reports2Test, BudgetComparisonOverWholeMonths)
{
    // clang-format off
    expectPages({
        {"income: achievement", 7, 0, 0, 1,
         {"Budget | Result | Difference | Achieved %",
          "Income | A | B | B-A | B/A", "Income | 0 | - | - | -", "Salary | 280,000 | 300,000 | 20,000 | 107.14",
          "Total Income | 280,000 | 300,000 | 20,000 | 107.14"}},
        {"expense: saving, '0.00' for nothing saved", 7, 0, 0, 2,
         {"Budget | Result | Difference | Saved %",
          "Expenses | A | B | B-A | (A-B)/A", "Expenses | 0 | - | - | -", "Living | 0 | - | - | -",
          "Food | 15,000 | 13,000 | -2,000 | 13.33", "Daily | 3,000 | 2,000 | -1,000 | 33.33",
          "Subtotal of Living | 18,000 | 15,000 | -3,000 | 16.67", "Rent | 80,000 | 80,000 | 0 | 0.00",
          "Total Expenses | 98,000 | 95,000 | -3,000 | 3.06"}},
    });
    // clang-format on
    const struct {
        QDate from, to;
        int months;
    } spans[] = {{{2008, 5, 1}, {2008, 5, 31}, 1},
                 {{2008, 4, 1}, {2008, 6, 30}, 3},
                 {{2008, 4, 25}, {2008, 7, 24}, 3},
                 {{2007, 11, 1}, {2009, 2, 28}, 16}};
    for (const auto &span : spans) EXPECT_EQ(cv::BudgetComparisonReport::monthCount(span.from, span.to), span.months);
    // 2008/04 to 2008/06: three months' budgets against April to June.
    cv::ReportRequest request;
    request.kind = 7;
    request.from = QDate(2008, 4, 1);
    request.to = QDate(2008, 6, 30);
    auto quarter = makeReport(*doc, request);
    ASSERT_TRUE(quarter);
    EXPECT_TRUE(pageLines(drawPage(*quarter, 1)).contains("Salary | 840,000 | 600,000 | -240,000 | 71.43"));
}

TEST_F(Reports2Test, TicksTiersPeriodsAndOpenings)
{
    struct Case {
        const char *what;
        std::function<void(Reports2Test &)> setUp;
        cv::ReportRequest request;
        int page;
        QStringList lines; // lines the page holds
        QString absent;    // a line it must not hold
    };
    const auto tick = [](std::initializer_list<int> idents) {
        return [ticked = std::vector<int>(idents)](Reports2Test &t) { tickOnly(*t.doc, ticked); };
    };
    cv::ReportRequest budgetTier1{7, kP1, kP2};
    budgetTier1.tier = 1;
    const cv::ReportRequest aprilAndJune{6, kQ1, kQ2, {2008, 6, 1}, {2008, 6, 30}};
    // clang-format off
    const Case cases[] = {
        {"budget tier 1 folds a group into one row", nullptr, budgetTier1, 2,
         {"Living | 18,000 | 15,000 | -3,000 | 16.67", "Rent | 80,000 | 80,000 | 0 | 0.00"}, "Subtotal of Living"},
        {"an unticked category leaves its group's subtotal", tick({kDaily, kRent, kSalary}), {2, kP1, kP2}, 2,
         {"Subtotal of Living | 2,000", "Total Expenses | 82,000"}, "Food | 13,000"},
        {"and its budget", tick({kDaily, kRent, kSalary}), {7, kP1, kP2}, 2,
         {"Subtotal of Living | 3,000 | 2,000 | -1,000 | 33.33"}, "Food"},
        {"nothing in period 2 prints 0.00", nullptr, aprilAndJune, 2,
         {"Food | 12,000 | 0 | -12,000 | 0.00", "Total Expenses | 92,000 | 0 | -92,000 | 0.00"}, "Daily"},
        {"an account opened in the period starts with its opening balance",
         [](Reports2Test &t) {
             t.addAccount(2002, 31, QStringLiteral("Savings"), 1);
             auto record = std::make_shared<cv::BankDetail>();
             record->setDate(QDate(2008, 5, 10));
             record->setInitialValue(5000);
             t.doc->findAccount(2002)->setExtra(record);
             t.doc->commitAccountModel();
             t.doc->accumulateAccount(t.doc->findAccount(2002));
             t.addEntry(cv::EntryKind::Income, QDate(2008, 5, 12), 700, kSalary, 2002);
             tickOnly(*t.doc, {2002});
         },
         {1, kP1, kP2}, 1, {"05/10 | Opening balance | 5,000", "05/12 | Salary | 700 | 5,700"}, "Carried over"},
        {"a dollar entry counts at the rate of its day",
         [](Reports2Test &t) {
             samplebook::currency(*t.doc, 2, QStringLiteral("USD"), 100, 2);
             for (const auto &[day, rate] : {std::pair{1, 110.0}, {20, 90.0}}) {
                 t.doc->putRate(samplebook::priceTime(2, QDate(2008, 5, day), rate));
             }
             t.addAccount(2001, 31, QStringLiteral("Dollars"), 2);
             t.addEntry(cv::EntryKind::Expense, QDate(2008, 5, 9), 12.34, kDaily, 2001);
         },
         {3, kP1, kP2}, 3, {"05/09 | Dollars | 1,357", "Subtotal of Living/Daily | 3,357"}, {}},
    };
    // clang-format on
    for (const Case &c : cases) {
        doc = makeFixtureF();
        ASSERT_TRUE(doc);
        if (c.setUp) c.setUp(*this);
        auto view = makeReport(*doc, c.request);
        ASSERT_TRUE(view) << c.what;
        const QStringList lines = pageLines(drawPage(*view, std::min(c.page, view->pages())));
        for (const QString &line : c.lines) EXPECT_TRUE(lines.contains(line)) << c.what << ": " << line.toStdString();
        if (!c.absent.isEmpty())
            for (const QString &line : lines) EXPECT_FALSE(line.startsWith(c.absent)) << c.what;
    }
}

TEST_F(Reports2Test, GroupingsAndDaysThatTurnThePage)
{
    auto trip = std::make_shared<cv::Grouping>();
    trip->setName(QStringLiteral("Trip"));
    doc->addGrouping(trip);
    doc->commitGroupList();
    auto e = samplebook::entry(cv::EntryKind::Expense, QDate(2008, 5, 20), 4000, kFood, kWallet);
    e->setGroup(trip->ident());
    e->setMemo(QStringLiteral("Lunch"));
    doc->updateExpense(e, nullptr);
    // With a grouping chosen only its entries count; income has none and is left out.
    for (int reportKind : {2, 3}) {
        cv::ReportRequest request{reportKind, kP1, kP2};
        request.groups = QList<int>{trip->ident()};
        auto view = makeReport(*doc, request);
        ASSERT_TRUE(view);
        EXPECT_EQ(view->pages(), 1);
        const QStringList lines = pageLines(drawPage(*view, 1));
        EXPECT_TRUE(
            lines.contains(reportKind == 2 ? "Total Expenses | 4,000" : "05/20 | Wallet | Lunch | Trip | 4,000"))
            << lines.join('\n').toStdString();
    }
    // One day over two pages: its balance closes the first, its date opens the second.
    for (int i = 0; i < 50; ++i) addEntry(cv::EntryKind::Expense, QDate(2008, 5, 19), 100, kDaily, kWallet);
    tickOnly(*doc, {kWallet});
    auto journal = report(1);
    ASSERT_TRUE(journal);
    ASSERT_EQ(journal->pages(), 2);
    const QStringList first = pageLines(drawPage(*journal, 1));
    const QStringList second = pageLines(drawPage(*journal, 2));
    EXPECT_EQ(first.last().toStdString(), "Living/Daily | 100 | 23,600");
    EXPECT_EQ(second.at(4).toStdString(), "05/19 | Living/Daily | 100");
}

TEST_F(Reports2Test, AnyPageAloneShowsTheFullRunsFigures)
{
    // Sixty more income categories take the income section over two pages; a
    // hundred small expenses take the wallet's journal over three.
    for (int i = 0; i < 60; ++i) {
        addCategory(doc->actualModel()->income(), 2000 + i, QStringLiteral("Extra %1").arg(i));
        addEntry(cv::EntryKind::Income, QDate(2008, 5, 3), 1000, 2000 + i, kBank);
    }
    for (int i = 0; i < 100; ++i) addEntry(cv::EntryKind::Expense, QDate(2008, 5, 1 + i % 28), 10, kDaily, kWallet);
    const struct {
        int kind;
        int page;
        const char *total;
    } cases[] = {
        {2, 2, "Total Income | 360,000"},
        {6, 2, "Total Income | 300,000 | 360,000 | 60,000 | 120.00"},
        {7, 2, "Total Income | 280,000 | 360,000 | 80,000 | 128.57"},
        {1, 3, "Total of Wallet | 20,000 | 3,000 | 27,000"},
    };
    for (const auto &c : cases) {
        auto view = report(c.kind);
        ASSERT_TRUE(view);
        const QStringList alone = pageLines(drawPage(*view, c.page));
        EXPECT_TRUE(alone.contains(QString::fromUtf8(c.total))) << c.kind << alone.join('\n').toStdString();
        for (int page = view->pages(); page >= 1; --page) drawPage(*view, page);
        EXPECT_EQ(pageLines(drawPage(*view, c.page)), alone) << c.kind;
    }
}

TEST_F(Reports2Test, MendedFaults)
{
    // A transfer into a dollar account without a converted amount arrives as
    // the balances count it: 10,000 yen at 100 yen a dollar.
    samplebook::currency(*doc, 2, QStringLiteral("USD"), 100, 2)->setPrefix(QStringLiteral("$"));
    addAccount(2001, 31, QStringLiteral("Dollars"), 2);
    addEntry(cv::EntryKind::Transfer, QDate(2008, 5, 6), 10000, 0, kBank, {}, 2001);
    // Texts take their column's width: a category prints whole, a memo too long for its
    // column is cut there with "…".
    addCategory(doc->actualModel()->expense(), 2100, QStringLiteral("Groceries and sundries"));
    const QString memo = QStringLiteral("Weekly shopping at the supermarket by the station, with the neighbours");
    addEntry(cv::EntryKind::Expense, QDate(2008, 5, 7), 500, 2100, 2001, memo);
    tickOnly(*doc, {2001});
    auto dollars = report(1);
    ASSERT_TRUE(dollars);
    const QStringList journal = pageLines(drawPage(*dollars, 1));
    EXPECT_TRUE(journal.contains("Dollars($)"));
    EXPECT_TRUE(journal.contains("05/06 | Xfer Bank A | 100.00 | 100.00"));
    const QStringList row = journal.filter(QStringLiteral("05/07")).value(0).split(QStringLiteral(" | "));
    ASSERT_EQ(row.size(), 5) << journal.join('\n').toStdString();
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
    auto itemised = report(3);
    qInstallMessageHandler(previous);
    ASSERT_TRUE(itemised);
    EXPECT_TRUE(logged.contains("CV4Report4View:makeAllItemsFrom nil category")) << logged.join('\n').toStdString();
    QStringList all;
    for (int page = 1; page <= itemised->pages(); ++page) all << pageLines(drawPage(*itemised, page));
    EXPECT_TRUE(all.contains("Subtotal of Living/Food | 13,000"));
    EXPECT_TRUE(all.contains("Subtotal of Rent | 80,000"));

    // A holding sold out before the period carries nothing: its opening units are gone.
    auto sale = std::make_shared<cv::Trade>();
    sale->setKind(cv::TradeKind::Sale);
    sale->setDate(QDate(2008, 4, 10));
    sale->setAccount(kBroker);
    sale->setBrand(kAlpha);
    sale->setCount(100);
    sale->setUnitPrice(1100);
    cv::BookTestAccess::updateTrade(*doc, sale, nullptr);
    tickOnly(*doc, {kHolding});
    auto holding = report(1);
    ASSERT_TRUE(holding);
    const QStringList units = pageLines(drawPage(*holding, 1));
    EXPECT_EQ(units.mid(4).join('\n').toStdString(),
              "05/08 | Trade:Buy | 100 | 100\n05/20 | Trade:Sell | 50 | 50\nTotal of Broker/Alpha | 100 | 50 | 50");
}
