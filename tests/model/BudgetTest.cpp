#include "model/Budget.h"
#include "model/Node.h"

#include "RecordArchiveSupport.h"

#include <gtest/gtest.h>

using recordtest::archive;
using recordtest::rootFields;
using recordtest::roundTrip;

namespace {

std::vector<std::pair<int, double>> steps(const cv::Budget &b)
{
    std::vector<std::pair<int, double>> out;
    for (const auto &e : b.storage()) out.emplace_back(e->key(), e->value());
    return out;
}

int key(int year, int month)
{
    return (year - 2000) * 12 + month - 1;
}

} // namespace

TEST(Budget, OneMonthLeavesItsNeighbours)
{
    cv::Budget b;
    EXPECT_EQ(b.budgetAt(2009, 3), 0);
    b.setBudgetAt(2009, 3, 30000);
    EXPECT_EQ(b.budgetAt(2009, 2), 0);
    EXPECT_EQ(b.budgetAt(2009, 3), 30000);
    EXPECT_EQ(b.budgetAt(2009, 4), 0);
    EXPECT_EQ(b.budgetAtDate(QDate(2009, 3, 31)), 30000);
    EXPECT_EQ(b.budgetAtDate(QDate(2009, 1, 15), 12), 30000);

    // Setting it back to 0 leaves nothing that archives.
    b.setBudgetAt(2009, 3, 0);
    EXPECT_TRUE(b.storage().empty());
}

TEST(Budget, StepsSplitAndJoin)
{
    cv::Budget b;
    b.setBudgetAfter(2009, 1, 20000);
    b.setBudgetAt(2009, 6, 25000);
    for (int m = 1; m <= 5; ++m) EXPECT_EQ(b.budgetAt(2009, m), 20000) << m;
    EXPECT_EQ(b.budgetAt(2009, 6), 25000);
    EXPECT_EQ(b.budgetAt(2009, 7), 20000);
    EXPECT_EQ(b.budgetAt(2015, 1), 20000);
    EXPECT_EQ(b.budgetAtDate(QDate(2009, 5, 1), 3), 65000);

    b.setBudgetAt(2009, 6, 20000);
    EXPECT_EQ(steps(b), (std::vector<std::pair<int, double>>{{key(2009, 1), 20000}}));

    // A changed month right before an existing step.
    b.setBudgetAt(2009, 9, 10000);
    b.setBudgetAt(2009, 8, 10000);
    EXPECT_EQ(b.budgetAt(2009, 7), 20000);
    EXPECT_EQ(b.budgetAt(2009, 8), 10000);
    EXPECT_EQ(b.budgetAt(2009, 9), 10000);
    EXPECT_EQ(b.budgetAt(2009, 10), 20000);
    // ... and back: the month joins the step before it again.
    b.setBudgetAt(2009, 8, 20000);
    EXPECT_EQ(b.budgetAt(2009, 8), 20000);
    EXPECT_EQ(b.budgetAt(2009, 9), 10000);
    EXPECT_EQ(b.budgetAt(2009, 10), 20000);
    EXPECT_EQ(b.storage().size(), 3u);
}

TEST(Budget, SetAfterDropsLaterSteps)
{
    cv::Budget b;
    b.setBudgetAfter(2009, 1, 20000);
    b.setBudgetAfter(2009, 9, 30000);
    b.setBudgetAfter(2009, 6, 25000);
    EXPECT_EQ(steps(b), (std::vector<std::pair<int, double>>{{key(2009, 1), 20000}, {key(2009, 6), 25000}}));
    EXPECT_EQ(b.budgetAt(2010, 12), 25000);

    // The same value as the step before simply ends the later steps.
    b.setBudgetAfter(2009, 3, 20000);
    EXPECT_EQ(steps(b), (std::vector<std::pair<int, double>>{{key(2009, 1), 20000}}));
}

TEST(Budget, MonthsPastDecemberAndBefore2000)
{
    cv::Budget b;
    b.setBudgetAt(2009, 13, 500); // January 2010
    EXPECT_EQ(b.budgetAt(2010, 1), 500);
    EXPECT_EQ(b.budgetAt(2009, 12), 0);
    b.setBudgetAt(2009, 23, 700); // November 2010
    EXPECT_EQ(b.budgetAt(2010, 11), 700);

    cv::Budget old;
    old.setBudgetAfter(1999, 12, 100);
    int year = 0, month = 0;
    double value = 0;
    ASSERT_TRUE(old.indexedBudgetAt(0, year, month, value));
    EXPECT_EQ(year, 2000);
    EXPECT_EQ(month, 0);
    EXPECT_EQ(value, 100);
    EXPECT_FALSE(old.indexedBudgetAt(1, year, month, value));
    EXPECT_FALSE(old.indexedBudgetAt(-1, year, month, value));
    // Reading the step back the way the XML reader does gives key -1 again.
    cv::Budget again;
    again.setBudgetAfter(year, month, value);
    EXPECT_EQ(steps(again), steps(old));
    EXPECT_EQ(again.budgetAtDate(QDate(1999, 12, 1)), 100);
    EXPECT_EQ(again.budgetAtDate(QDate(1999, 11, 30)), 0);
}

TEST(Budget, CloneIsIndependent)
{
    cv::Budget b;
    b.setBudgetAfter(2009, 1, 100);
    auto copy = b.clone();
    copy->setBudgetAt(2009, 1, 5);
    EXPECT_EQ(b.budgetAt(2009, 1), 100);
    EXPECT_EQ(copy->budgetAt(2009, 1), 5);
}

TEST(Budget, Archiving)
{
    // Empty, or only a leading step of 0: no "storage" key; decoding and
    // setting a month still works.
    auto empty = std::make_shared<cv::Budget>();
    EXPECT_EQ(rootFields(archive(empty)).count("storage"), 0);
    auto zero = std::make_shared<cv::Budget>();
    zero->setBudgetAfter(2009, 1, 0);
    EXPECT_EQ(rootFields(archive(zero)).count("storage"), 0);
    auto back = roundTrip(zero);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->storage().empty());
    back->setBudgetAt(2009, 3, 10);
    EXPECT_EQ(back->budgetAt(2009, 3), 10);

    auto b = std::make_shared<cv::Budget>();
    b->setBudgetAfter(2009, 1, 20000);
    b->setBudgetAt(2009, 6, 25000);
    b->setBudgetAfter(1999, 12, 3);
    EXPECT_EQ(rootFields(archive(b)).count("storage"), 1);
    auto full = roundTrip(b);
    ASSERT_TRUE(full);
    EXPECT_EQ(steps(*full), steps(*b));
}

TEST(Budget, UnsortedStoredStepsAreRepaired)
{
    cv::Budget b;
    b.setStorage({std::make_shared<cv::BudgetElement>(10, 1), nullptr, std::make_shared<cv::BudgetElement>(2, 5),
                  std::make_shared<cv::BudgetElement>(10, 7)});
    EXPECT_EQ(steps(b), (std::vector<std::pair<int, double>>{{2, 5}, {10, 7}}));
    EXPECT_EQ(b.budgetAtKey(9), 5);
}

TEST(NodeBudget, GroupsSumTheirCategories)
{
    auto group = std::make_shared<cv::Node>();
    group->setKind(cv::NodeKind::Group);
    auto food = std::make_shared<cv::Node>();
    food->setKind(cv::NodeKind::Category);
    auto rent = std::make_shared<cv::Node>();
    rent->setKind(cv::NodeKind::Category);
    rent->setStatus(0); // unchecked categories still count
    ASSERT_TRUE(group->appendChild(food));
    ASSERT_TRUE(group->appendChild(rent));

    EXPECT_EQ(group->budgetAt(2009, 4), 0);
    food->setBudgetAt(2009, 4, 30000);
    rent->setBudgetAfter(2009, 1, 70000);
    ASSERT_TRUE(std::dynamic_pointer_cast<cv::Budget>(food->extra()));
    EXPECT_FALSE(group->extra()) << "a group without its own budget gets no record";
    EXPECT_EQ(group->budgetAt(2009, 4), 100000);
    EXPECT_EQ(group->budgetAtDate(QDate(2009, 4, 20)), 100000);
    EXPECT_EQ(group->budgetAtDate(QDate(2009, 3, 1), 3), 240000);

    rent->clear();
    EXPECT_FALSE(rent->extra());
    EXPECT_EQ(group->budgetAt(2009, 4), 30000);
}
