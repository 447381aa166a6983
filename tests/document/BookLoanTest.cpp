// A loan's entries come from its terms and schedule, and follow deletions.

#include "document/BookTestSupport.h"

#include "document/store/SQLDatabase3.h"
#include "model/LoanTerms.h"

namespace {

class LoanTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        addCurrency(1, QStringLiteral("JPY"), 1, 0);
        bank = addAccount(doc->accountTrees()->asset(), 1000, 31, 1000000);
        loan = std::make_shared<cv::Node>();
        loan->setIdent(2000);
        loan->setKind(cv::NodeKind::Loan);
        loan->setCurrency(1);
        record = std::make_shared<cv::LoanTerms>();
        record->setDate(day(2009, 1, 1));
        loan->setExtra(record);
        doc->accountTrees()->debt()->appendChild(loan);
        food = addCategory(doc->categoryTrees()->expense(), 1005);
        for (int month : {2, 3}) {
            auto row = std::make_shared<cv::LoanPayment>();
            row->setDate(day(2009, month, 27));
            row->setAccount(1000);
            row->setPrincipal(10000);
            row->setInterest(500);
            rows.push_back(row);
        }
    }

    std::vector<std::pair<int, int>> kindsAndCategories()
    {
        std::vector<std::pair<int, int>> out;
        const auto entries = doc->store()->findEntriesFrom(QDate(), QDate(), QList<int>{11, 12, 30, 32, 1005});
        for (const auto &e : *entries) out.push_back({cv::raw(e->kind()), e->category()});
        std::sort(out.begin(), out.end());
        return out;
    }

    cv::NodePtr bank, loan, food;
    cv::LoanTermsPtr record;
    cv::LoanSchedule rows;
};

} // namespace

TEST_F(LoanTest, EntriesFromTheSchedule)
{
    doc->putLoan(loan, rows);
    EXPECT_EQ(kindsAndCategories(), (std::vector<std::pair<int, int>>{{1, 32}, {1, 32}, {2, 11}, {2, 11}}));
    ASSERT_TRUE(doc->getLoan(2000).has_value());
    EXPECT_EQ(doc->getLoan(2000)->size(), 2u);

    record->setInitialValue(1000000);
    record->setOutCategory(1005);
    doc->putLoan(loan, rows); // rewrites, never duplicates
    EXPECT_EQ(kindsAndCategories(), (std::vector<std::pair<int, int>>{{1, 32}, {1, 32}, {1, 1005}, {2, 11}, {2, 11}}));
    // The rewrite reaches the balances itself, as a rebuild would.
    auto balances = [&] {
        // clang-format off
        return std::vector<double>{doc->summaryForCategoryMonths(food, day(2009, 1, 1), 1),
                                   doc->summaryForCategoryMonths(doc->findExpense(cv::CategoryTrees::LoanInterest),
                                                               day(2009, 2, 1), 1),
                                   doc->valueForAccount(loan, day(2009, 12, 31)),
                                   doc->valueForAccount(bank, day(2009, 12, 31))};
        // clang-format on
    };
    const std::vector<double> expected{1000000, 500, 1000000 - 20000, 1000000 - 21000};
    EXPECT_EQ(balances(), expected);
    doc->createCache();
    EXPECT_EQ(balances(), expected);
}

TEST_F(LoanTest, DeletedCategoryRedirectsLoansAndRebuildsBalances)
{
    record->setInitialValue(300000);
    record->setOutCategory(1005);
    doc->putLoan(loan, rows);
    doc->createCache();
    cv::BookTestAccess::cleanupItem(*doc, food);
    doc->categoryTrees()->expense()->removeChild(food);
    EXPECT_EQ(record->outCategory(), 30);
    const auto misc = doc->findExpense(30);
    EXPECT_DOUBLE_EQ(doc->summaryForCategoryMonths(misc, day(2009, 1, 1), 1), 300000);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(loan, day(2009, 12, 31)), 280000);

    // A deleted paying account: the rows move to the wallet.
    addAccount(doc->accountTrees()->asset(), 10, 30, 0);
    cv::BookTestAccess::cleanupItem(*doc, bank);
    doc->accountTrees()->asset()->removeChild(bank);
    const auto schedule = doc->getLoan(2000);
    ASSERT_TRUE(schedule.has_value());
    for (const auto &row : *schedule) EXPECT_EQ(row->account(), 10);
    EXPECT_DOUBLE_EQ(doc->valueForAccount(doc->findAccount(10), day(2009, 12, 31)), -21000);
}

TEST_F(LoanTest, AFailedRewriteKeepsTheLoanAsItWas)
{
    doc->putLoan(loan, rows);
    ASSERT_EQ(kindsAndCategories().size(), 4u);
    // Entries can no longer be written: the new schedule must not be stored without its entries.
    ASSERT_TRUE(
        doc->store()->database()->performQuery(QStringLiteral("ALTER TABLE ActualTable RENAME TO ActualTableAway;")));
    cv::LoanSchedule longer = rows;
    longer.push_back(std::make_shared<cv::LoanPayment>(*rows.back()));
    doc->putLoan(loan, longer);
    ASSERT_TRUE(
        doc->store()->database()->performQuery(QStringLiteral("ALTER TABLE ActualTableAway RENAME TO ActualTable;")));
    ASSERT_TRUE(doc->getLoan(2000).has_value());
    EXPECT_EQ(doc->getLoan(2000)->size(), 2u);
    EXPECT_EQ(kindsAndCategories().size(), 4u);
}

// The opening debt is in the loan's series once: the range starts there.
TEST_F(LoanTest, BalanceRangeCountsTheOpeningDebtOnce)
{
    record->setInitialValue(1000000);
    record->setOutCategory(1005);
    doc->putLoan(loan, rows);
    doc->createCache();
    double hi = 0, lo = 0;
    ASSERT_TRUE(cv::BookTestAccess::valueRangeForAccount(*doc, loan, &hi, &lo, day(2009, 1, 1), day(2009, 12, 31)));
    EXPECT_DOUBLE_EQ(hi, 1000000);
    EXPECT_DOUBLE_EQ(lo, 980000);
}

// A loan read from the XML form without repayment rows still follows its
// category when that is deleted.
TEST_F(LoanTest, LoanWithoutRowsFromXmlKeepsItsDebtWhenItsCategoryGoes)
{
    record->setInitialValue(300000);
    record->setOutCategory(1005);
    doc->putLoan(loan, {});
    cv::BookTestAccess::commitInfoRows(*doc);
    const QString path = tmp.filePath(QStringLiteral("Loan.cvxf"));
    ASSERT_TRUE(doc->writeToFile(path, cv::Book::kTypeXML));

    cv::Book read;
    ASSERT_TRUE(read.initWithContentsOfFile(path, cv::Book::kTypeXML));
    const cv::NodePtr readLoan = read.findAccount(2000);
    const cv::NodePtr readFood = read.findExpense(1005);
    ASSERT_TRUE(readLoan && readFood);
    EXPECT_DOUBLE_EQ(read.valueForAccount(readLoan, day(2009, 12, 31)), 300000);
    cv::BookTestAccess::cleanupItem(read, readFood);
    read.categoryTrees()->expense()->removeChild(readFood);
    const auto readRecord = std::dynamic_pointer_cast<cv::LoanTerms>(readLoan->extra());
    ASSERT_TRUE(readRecord);
    EXPECT_EQ(readRecord->outCategory(), 30);
    EXPECT_DOUBLE_EQ(read.valueForAccount(readLoan, day(2009, 12, 31)), 300000);
    EXPECT_DOUBLE_EQ(read.summaryForCategoryMonths(read.findExpense(30), day(2009, 1, 1), 1), 300000);
}
