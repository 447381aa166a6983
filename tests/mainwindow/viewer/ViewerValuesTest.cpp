// What the viewer's cells show in a small book: one wallet opened with 0 on
// 2009-01-01 and "Salary" income only.
#include "print/ViewerPrintRow.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "mainwindow/viewer/ViewerColumns.h"
#include "mainwindow/viewer/ViewerValues.h"
#include "model/AccountDetail.h"
#include "model/Settings.h"
#include "model/DomainEnums.h"
#include "platform/Localization.h"
#include "support/SampleBook.h"

#include <gtest/gtest.h>

namespace {

using cv::ViewerColumns;

struct SampleEntry {
    QDate date;
    double amount;
};
struct Expect {
    bool category; // else the wallet
    int column;    // an account-grid column; negative: from the first summary column
    const char *text;
};
struct ValueCase {
    const char *name;
    int fmy, fdm, fwd, unit;
    bool shortSummary;
    QDate picked;
    std::vector<SampleEntry> entries;
    QDate firstColumn;
    int dataCells; // -1: any
    std::vector<Expect> expect;
    double salaryBudget = 0; // each month from January 2009
};

class ViewerValuesTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    std::unique_ptr<cv::Book> book(const std::vector<SampleEntry> &entries)
    {
        auto doc = std::make_unique<cv::Book>();
        if (!doc->store()->create()) return nullptr;
        doc->categoryTrees()->setDefault();
        doc->categoryTrees()->setSystemItems();
        doc->accountTrees()->setSystemItems();
        samplebook::currency(*doc, 1, QStringLiteral("JPY"), 1, 0);
        auto opening = std::make_shared<cv::AccountDetail>();
        opening->setDate(QDate(2009, 1, 1));
        opening->setInitialValue(0);
        samplebook::node(doc->accountTrees()->asset(), 1000, cv::NodeKind::Cash, QStringLiteral("Wallet"), opening);
        samplebook::node(doc->categoryTrees()->income(), 1006, cv::NodeKind::Category, QStringLiteral("Salary"));
        for (const SampleEntry &e : entries)
            doc->updateIncome(samplebook::entry(cv::EntryKind::Income, e.date, e.amount, 1006, 1000), nullptr);
        doc->accumulateAccount();
        return doc;
    }

    static ViewerColumns layoutColumns(cv::Settings &settings, int unit, const QDate &picked, bool shortSummary = false)
    {
        ViewerColumns columns;
        columns.setSettings(&settings);
        columns.setUnit(unit);
        columns.setTopDate(columns.snapped(picked, unit));
        ViewerColumns::Metrics metrics;
        metrics.visibleWidth = 1300;
        metrics.ratioWidth = 37.4;
        metrics.shortSummary = shortSummary;
        columns.layout(metrics);
        return columns;
    }
};

TEST_F(ViewerValuesTest, CellsShowBalancesAndTotalsOfTheirPeriodsAndBlocks)
{
    // clang-format off
    const ValueCase cases[] = {
        {"months from April", 3, 0, 0, 2, false, QDate(2009, 7, 15),
         {{QDate(2009, 3, 31), 1000}, {QDate(2009, 4, 1), 200}, {QDate(2010, 3, 31), 30}, {QDate(2010, 4, 1), 4}},
         QDate(2009, 7, 1), -1,
         {{false, 2, "1,000"}, {false, 3, "1,200"}, {false, -1, "1,230"}, {false, -4, "100.00"},
          {true, -1, "230"}, {true, -2, "1,200"}, {true, -3, "19.17"}, {true, 3, ""}}, 100},
        {"days, month from the 25th", 0, 24, 0, 0, false, QDate(2009, 5, 10),
         {{QDate(2009, 4, 24), 100}, {QDate(2009, 4, 25), 10}, {QDate(2009, 5, 24), 1}, {QDate(2009, 5, 25), 5}},
         QDate(2009, 5, 10), -1, {{false, 2, "100"}, {false, 3, "110"}, {false, -1, "111"}, {true, -1, "11"}}},
        {"the same book in months", 0, 24, 0, 2, false, QDate(2009, 5, 10),
         {{QDate(2009, 4, 24), 100}, {QDate(2009, 4, 25), 10}, {QDate(2009, 5, 24), 1}, {QDate(2009, 5, 25), 5}},
         QDate(2009, 4, 25), -1, {{false, 2, ""}, {false, 3, "111"}, {false, -1, "116"}}},
        {"weeks from Monday", 0, 0, 1, 1, true, QDate(2009, 6, 7),
         {{QDate(2009, 5, 31), 7}, {QDate(2009, 6, 1), 3}, {QDate(2009, 6, 7), 2}, {QDate(2009, 6, 8), 9}},
         QDate(2009, 6, 1), 7, {{true, -0, "5"}, {false, -0, "12"}, {false, -1, "21"}}},
    };
    // clang-format on
    for (const ValueCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<cv::Book> doc = book(c.entries);
        ASSERT_TRUE(doc);
        cv::Settings &settings = *doc->settings();
        settings.setFiscalMonthOfYear(c.fmy);
        settings.setFiscalDayOfMonth(c.fdm);
        settings.setFiscalWeekday(c.fwd);
        doc->createCache();
        if (c.salaryBudget != 0) doc->findIncome(1006)->setBudgetAfter(2009, 1, c.salaryBudget);
        const ViewerColumns columns = layoutColumns(settings, c.unit, c.picked, c.shortSummary);
        cv::ViewerValues values(*doc, columns);
        EXPECT_EQ(columns.columnFirstDate(ViewerColumns::kStartDataCells), c.firstColumn);
        if (c.dataCells >= 0) {
            EXPECT_EQ(columns.numDataCells(), c.dataCells);
            EXPECT_EQ(columns.columnLastDate(ViewerColumns::kStartDataCells + c.dataCells - 1),
                      c.firstColumn.addDays(c.dataCells - 1));
        }
        const cv::NodePtr wallet = doc->findAccount(1000);
        const cv::NodePtr salary = doc->findIncome(1006);
        ASSERT_TRUE(wallet && salary);
        for (const Expect &e : c.expect) {
            // Summary columns count from the first one: -0 the first, -1 the next.
            const bool summary = e.column <= 0 && e.column != 2;
            int column = e.column;
            if (summary) column = columns.startEndCells() - e.column;
            if (summary && c.unit != 1) column -= 1; // outside the week view the block column comes first
            const cv::ViewerCell cell =
                e.category ? values.categoryCell(*salary, column) : values.accountCell(*wallet, column);
            EXPECT_EQ(cell.text, QString::fromUtf8(e.text)) << (e.category ? "Salary " : "Wallet ") << column;
        }
    }
}

TEST_F(ViewerValuesTest, KindMarksAndAccountListsFollowTheNodeKinds)
{
    std::unique_ptr<cv::Book> doc = samplebook::makeRichBook();
    ASSERT_TRUE(doc);
    ViewerColumns columns;
    cv::ViewerValues values(*doc, columns);
    struct Case {
        int ident;
        const char *mark;
    } cases[] = {{1000, "I:Cache"}, {1001, "I:Bank"}, {1002, "I:Invest"}};
    for (const Case &c : cases) {
        const cv::NodePtr node = doc->findAccount(c.ident);
        ASSERT_TRUE(node) << c.ident;
        EXPECT_EQ(values.kindMark(*node), cv::localizedString(QLatin1String(c.mark))) << c.ident;
    }
    EXPECT_EQ(values.kindMark(*doc->accountTrees()->asset()), QString());
    std::vector<cv::NodePtr> list;
    cv::ViewerValues::addAccountList(list, doc->accountTrees()->asset());
    ASSERT_FALSE(list.empty());
    for (const cv::NodePtr &account : list)
        EXPECT_NE(account->kind(), cv::NodeKind::Investment) << "investment accounts are searched by their trades";
    EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](const cv::NodePtr &a) { return a->ident() == 1000; }));
}

} // namespace

// The summary cells of a trust in dollars held in a yen account (prices
// shown, no translation) are in yen like its day columns.
TEST_F(ViewerValuesTest, HoldingSummaryCellsUseTheCurrencyOfTheDayColumns)
{
    std::unique_ptr<cv::Book> doc = samplebook::makeRichBook();
    ASSERT_TRUE(doc);
    doc->settings()->setDisplayStockPrice(true);
    doc->settings()->setTransDefaultCurrency(0);
    doc->createCache();
    const ViewerColumns columns = layoutColumns(*doc->settings(), 2, QDate(2009, 5, 1));
    cv::ViewerValues values(*doc, columns);
    const cv::NodePtr trust = doc->findAccount(1002)->childAt(2);
    const cv::CurrencyPtr yen = doc->findCurrency(1);
    const int day = ViewerColumns::kStartDataCells;
    for (const auto &[column, date] : {std::pair{2, columns.carryOverDate()},
                                       {columns.startEndCells(), columns.blockEndDate()},
                                       {day, columns.columnLastDate(day)}}) {
        const double inYen = doc->valueForAccount(trust, date, yen);
        ASSERT_GT(inYen, 1000000.0) << column; // in dollars it would be a hundredth
        EXPECT_EQ(values.accountCell(*trust, column).text,
                  doc->amountText().formatterForCurrency(1).stringForObjectValue(inYen));
    }
}

// The printed viewer reconciles like the screen: carried plus each month's
// income is that month's balance, also when months begin on the 25th.
TEST_F(ViewerValuesTest, PrintedMonthsReconcileUnderAFiscalFirstDay)
{
    for (const int fiscalDay : {0, 24}) {
        std::unique_ptr<cv::Book> doc = book(
            {{QDate(2009, 4, 24), 100}, {QDate(2009, 4, 25), 10}, {QDate(2009, 5, 24), 1}, {QDate(2009, 5, 25), 5}});
        doc->settings()->setFiscalDayOfMonth(fiscalDay);
        doc->createCache();
        const cv::ViewerPrintRow printed(QDate(2009, 4, 10));
        const auto wallet = printed.accountValues(*doc, *doc->findAccount(1000));
        const auto salary = printed.categoryValues(*doc, *doc->findIncome(1006));
        double balance = wallet.carry;
        EXPECT_EQ(balance, fiscalDay == 0 ? 0 : 100);
        for (int k = 0; k < cv::ViewerPrintRow::kMonths; ++k)
            EXPECT_EQ(wallet.months[size_t(k)], balance += salary.months[size_t(k)]) << fiscalDay << " month " << k;
    }
}
