#include "print/ViewerPrintRow.h"
#include "document/AmountText.h"
#include "model/AccountTrees.h"
#include "platform/Localization.h"
#include "support/SampleBook.h"

#include <gmock/gmock.h>

using cv::ViewerPrintRow;

namespace {

class ViewerPrintRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        m_doc = samplebook::makeRichBook();
        ASSERT_TRUE(m_doc);
        m_doc->accumulateAccount();
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }
    std::unique_ptr<cv::Book> m_doc;
};

} // namespace

// The book's only income, 250,000 on 2008-03-25, and its March expenses of
// 1,234.56 and 99 must print under "Mar" whatever month the top date is in.
TEST_F(ViewerPrintRowTest, MonthsStandUnderTheirOwnNames)
{
    const cv::NodePtr salary = m_doc->findIncome(1006);
    const cv::NodePtr food = m_doc->findExpense(1005);
    ASSERT_TRUE(salary && food);
    const cv::NodePtr wallet = m_doc->findAccount(1000);
    ASSERT_TRUE(wallet);
    struct Case {
        QDate top;
        int march;        // index of March among M0..M11, -1 when not printed
        QDate closingDay; // the last printed month's end
    } cases[] = {{QDate(2008, 3, 31), 0, QDate(2009, 2, 28)},
                 {QDate(2008, 2, 10), 1, QDate(2009, 1, 31)},
                 // The wallet's last two months differ: 50,000 at February's end, 48,865.44 at March's.
                 {QDate(2007, 4, 1), 11, QDate(2008, 3, 31)},
                 {QDate(2008, 4, 1), -1, QDate(2009, 3, 31)}};
    for (const Case &c : cases) {
        const ViewerPrintRow printed(c.top);
        const QStringList header = printed.accountHeader();
        ASSERT_EQ(header.size(), ViewerPrintRow::kCells);
        EXPECT_EQ(header[0], QStringLiteral("Accounts %1").arg(c.top.year()));
        const auto income = printed.categoryValues(*m_doc, *salary);
        const auto expense = printed.categoryValues(*m_doc, *food);
        for (int k = 0; k < ViewerPrintRow::kMonths; ++k) {
            EXPECT_EQ(income.months[size_t(k)], k == c.march ? 250000 : 0) << c.top.toString().toStdString() << k;
            EXPECT_NEAR(expense.months[size_t(k)], k == c.march ? 1333.56 : 0, 1e-6);
        }
        EXPECT_EQ(income.total, c.march >= 0 ? 250000 : 0) << "the total is the sum of the printed months";
        const QStringList cells = printed.categoryCells(*m_doc, *salary);
        ASSERT_EQ(cells.size(), ViewerPrintRow::kCells);
        if (c.march >= 0) {
            EXPECT_EQ(header[2 + c.march], QStringLiteral("Mar"));
            EXPECT_EQ(cells[2 + c.march], m_doc->stringForValue(250000, 1, false));
        }
        EXPECT_EQ(cells[14], c.march >= 0 ? m_doc->stringForValue(250000, 1, false) : QString());
        // The closing balance and its share of the assets: the last month's.
        const QStringList walletCells = printed.accountCells(*m_doc, *wallet);
        EXPECT_EQ(walletCells[14], m_doc->stringForValue(48865.44, 1, false)) << c.top.toString().toStdString();
        const double assets = m_doc->valueForAccount(m_doc->accountTrees()->asset(), c.closingDay);
        EXPECT_EQ(walletCells[17], cv::AmountText::percentText(48865.44 / assets * 100)) << c.top.toString().toStdString();
    }
    // Food's budget over Feb 2008 .. Jan 2009: 30,000 twice, then 35,000.5.
    const auto food08 = ViewerPrintRow(QDate(2008, 2, 1)).categoryValues(*m_doc, *food);
    ASSERT_TRUE(food08.budget);
    EXPECT_NEAR(*food08.budget, 2 * 30000 + 10 * 35000.5, 1e-6);
    EXPECT_NEAR(*food08.budgetPercent, 1333.56 / *food08.budget * 100, 1e-9);
}

TEST_F(ViewerPrintRowTest, AccountsShowMonthEndsAfterTheCarryOver)
{
    const cv::NodePtr wallet = m_doc->findAccount(1000);
    ASSERT_TRUE(wallet);
    const ViewerPrintRow printed(QDate(2008, 2, 20));
    EXPECT_EQ(printed.carryDate(), QDate(2008, 1, 31));
    EXPECT_EQ(printed.monthEnd(0), QDate(2008, 2, 29));
    const auto values = printed.accountValues(*m_doc, *wallet);
    EXPECT_EQ(values.carry, 50000);
    EXPECT_EQ(values.months[0], 50000);
    EXPECT_NEAR(values.months[1], 50000 - 1234.56 + 100, 1e-6);
    EXPECT_NEAR(values.rest, values.months[1], 1e-6);
    const QStringList cells = printed.accountCells(*m_doc, *wallet);
    ASSERT_EQ(cells.size(), ViewerPrintRow::kCells);
    EXPECT_EQ(cells[0], m_doc->displayName(*wallet));
    EXPECT_EQ(cells[1], m_doc->stringForValue(50000, 1, false));
    EXPECT_EQ(cells[14], m_doc->stringForValue(values.rest, 1, false));
    EXPECT_FALSE(cells[17].isEmpty()) << "a share of the asset total";
}

// A cent's refund beside large totals: its shares round to zero and print without a sign.
TEST_F(ViewerPrintRowTest, PercentagesThatRoundToZeroPrintWithoutASign)
{
    const auto &categories = *m_doc->categoryTrees();
    for (auto [kind, ident, root] : {std::tuple(cv::EntryKind::Expense, 1101, categories.expense()),
                                     std::tuple(cv::EntryKind::Income, 1102, categories.income())}) {
        auto refund = samplebook::node(root, ident, 21, QStringLiteral("Refund"));
        refund->setBudgetAfter(2008, 1, 30000);
        const cv::EntryPtr e = samplebook::entry(kind, QDate(2008, 3, 6), -0.01, ident, 1000);
        kind == cv::EntryKind::Income ? m_doc->updateIncome(e, nullptr) : m_doc->updateExpense(e, nullptr);
        const QStringList cells = ViewerPrintRow(QDate(2008, 3, 1)).categoryCells(*m_doc, *refund);
        EXPECT_EQ(cells.mid(16), (QStringList{"0.00", "0.00"})) << ident << ": budget %, share";
    }
}

// In print a negative share carries the amounts' own negative mark.
TEST_F(ViewerPrintRowTest, NegativeSharesPrintInTheAmountsNegativeStyle)
{
    cv::setLanguageOverride(QStringLiteral("ja"));
    m_doc->amountText().loadFormats();
    m_doc->amountText().beginCurrencyPrinting();
    const auto &categories = *m_doc->categoryTrees();
    auto refund = samplebook::node(categories.expense(), 1190, 21, QStringLiteral("Refund"));
    m_doc->updateExpense(samplebook::entry(cv::EntryKind::Expense, QDate(2008, 3, 6), -500, 1190, 1000), nullptr);
    const QStringList cells = ViewerPrintRow(QDate(2008, 3, 1)).categoryCells(*m_doc, *refund);
    EXPECT_TRUE(cells[14].startsWith(u'△')) << cells[14].toStdString();
    EXPECT_TRUE(cells[17].startsWith(u'△')) << cells[17].toStdString();
    EXPECT_FALSE(cells[17].contains(u'-')) << cells[17].toStdString();
    m_doc->amountText().endCurrencyPrinting();
}
