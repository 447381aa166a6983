// Monthly totals after the fiscal month or the category folders change
// equal those of a fresh rebuild.

#include "document/BookTestSupport.h"

namespace {

class MonthlyCacheTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        addCurrency(1, QStringLiteral("JPY"), 1, 0);
        addAccount(doc->accountTrees()->asset(), 10, 30, 10000);
        food = addCategory(doc->categoryTrees()->expense(), 1005);
        doc->createCache();
        doc->updateExpense(makeEntry(1, day(2009, 6, 10), 1000, 1005, 10), nullptr);
        doc->updateExpense(makeEntry(1, day(2009, 6, 20), 400, cv::CategoryTrees::LoanUnspecified, 10), nullptr);
        doc->accumulateAccount();
    }

    std::vector<double> june()
    {
        std::vector<double> out;
        for (const auto &node : {food, doc->categoryTrees()->expense(), doc->autoCashOut()})
            out.push_back(doc->summaryForCategoryMonths(node, day(2009, 6, 1), 1));
        return out;
    }

    std::vector<double> juneOfAFreshRebuild()
    {
        doc->createCache();
        return june();
    }

    cv::NodePtr food;
};

} // namespace

// The cash items are monthly series too: a new first day of the month re-keys them.
TEST_F(MonthlyCacheTest, NewFiscalDayRekeysTheCashItems)
{
    const cv::Settings &s = *doc->settings();
    ASSERT_TRUE(doc->setFiscalStart(s.fiscalMonthOfYear(), s.fiscalWeekday(), 14));
    const auto recalculated = june();
    EXPECT_EQ(recalculated, juneOfAFreshRebuild());
}

// The unspecified loan category stays out of its ancestors' totals, as the
// entry-by-entry additions leave it.
TEST_F(MonthlyCacheTest, RefreshedFolderTotalsLeaveOutUnspecifiedLoans)
{
    EXPECT_DOUBLE_EQ(june()[1], 1000);
    cv::BookTestAccess::refreshCategoryGroupingCache(*doc, doc->categoryTrees()->expense());
    const auto refreshed = june();
    EXPECT_EQ(refreshed, juneOfAFreshRebuild());
}

// Folder totals made anew keep the book's fiscal months for later entries.
TEST_F(MonthlyCacheTest, RefreshedFolderTotalsKeepTheFiscalMonths)
{
    doc->settings()->setFiscalDayOfMonth(24);
    doc->createCache();
    cv::BookTestAccess::refreshCategoryGroupingCache(*doc, doc->categoryTrees()->expense());
    doc->updateExpense(makeEntry(1, day(2009, 7, 10), 500, 1005, 10), nullptr);
    auto months = [&] {
        std::vector<double> out;
        for (int month : {5, 6, 7, 8})
            for (const auto &node : {food, doc->categoryTrees()->expense()})
                out.push_back(doc->summaryForCategoryMonths(node, day(2009, month, 1), 1));
        return out;
    };
    const auto incremental = months();
    doc->createCache();
    EXPECT_EQ(incremental, months());
}
