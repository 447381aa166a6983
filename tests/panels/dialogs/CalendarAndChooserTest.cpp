// The calendar window's grid and month steps, and the account chooser's
// modes, exclusions and answers.
#include "panels/PanelTestSupport.h"

#include "panels/dialogs/AccountDialog.h"
#include "panels/dialogs/CalendarWindow.h"

#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

TEST(CalendarWindowTest, GridBlanksColoursAndMonthSteps)
{
    cv::CalendarWindow calendar;
    calendar.setCurrentDate(QDate(2009, 8, 15)); // 1 August 2009 is a Saturday
    for (int i = 0; i < 6; ++i) EXPECT_EQ(calendar.cellDay(i), 0) << i;
    EXPECT_EQ(calendar.cellDay(6), 1);
    EXPECT_EQ(calendar.cellDay(6 + 30), 31);
    EXPECT_EQ(calendar.cellDay(6 + 31), 0);
    EXPECT_EQ(calendar.cellColor(6), QColor(Qt::blue));  // Saturday
    EXPECT_EQ(calendar.cellColor(7), QColor(Qt::black)); // Sunday, no holiday

    calendar.setCurrentDate(QDate(2007, 11, 1)); // 3 November 2007: a Saturday and Culture Day
    const int blanks = QDate(2007, 11, 1).dayOfWeek() % 7;
    EXPECT_EQ(calendar.cellDay(blanks + 2), 3);
    EXPECT_EQ(calendar.cellColor(blanks + 2), QColor(Qt::red));

    struct Step {
        QDate from;
        int steps;
        QDate to;
    };
    // clang-format off
    const Step steps[] = {
        {QDate(2009, 12, 10), 1, QDate(2010, 1, 10)},
        {QDate(2010, 1, 10), -1, QDate(2009, 12, 10)},
        {QDate(2009, 1, 31), 1, QDate(2009, 2, 28)},
        {QDate(2009, 5, 5), 1, QDate(2009, 6, 5)},
        {QDate(2009, 3, 31), -1, QDate(2009, 2, 28)},
        {QDate(2008, 3, 30), -1, QDate(2008, 2, 29)},
        {QDate(2009, 2, 28), -1, QDate(2009, 1, 28)},
        {QDate(2009, 12, 31), 1, QDate(2010, 1, 31)},
    };
    // clang-format on
    for (const Step &s : steps) {
        calendar.setCurrentDate(s.from);
        calendar.stepMonth(s.steps);
        EXPECT_EQ(calendar.currentDate(), s.to) << s.from.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(calendar.monthStepper()->value(), s.to.month());
        EXPECT_EQ(calendar.yearStepper()->value(), s.to.year());
    }
    calendar.setCurrentDate(QDate(2009, 8, 15));
    calendar.clicked(20);
    EXPECT_EQ(calendar.currentDate(), QDate(2009, 8, 20));
}

// A book with a group folder of asset accounts, an investment account with a
// holding, a card and a loan.
struct ChooserBook {
    std::unique_ptr<cv::Book> doc = makeBook();
    cv::NodePtr folder, savings, invest, holding;
    ChooserBook()
    {
        using namespace samplebook;
        const auto &accounts = *doc->accountTrees();
        folder = node(accounts.asset(), 1100, 20, QStringLiteral("Folder"));
        auto bank = std::make_shared<cv::BankDetail>();
        bank->setDate(QDate(2009, 1, 1));
        savings = node(folder, 1101, 31, QStringLiteral("Savings"), bank);
        invest = node(accounts.asset(), 1102, 32, QStringLiteral("Invest"));
        holding = node(invest, 1103, 6, QStringLiteral("Holding"));
    }
    std::vector<int> idents(const cv::AccountDialog &dialog) const
    {
        std::vector<int> list;
        for (const auto &n : dialog.offered()) list.push_back(n->ident());
        return list;
    }
};

TEST(AccountChooserTest, ModesOfferTheirKindsInTreeOrder)
{
    ChooserBook book;
    ASSERT_TRUE(book.doc);
    struct Case {
        int mode;
        std::vector<int> offered;
    };
    const Case cases[] = {
        {4 | 16, {1102, kC}},            // investment and card, never the holding
        {2, {kA, kU, 1101}},             // a folder's accounts without the folder
        {2 | 256, {kA, kU, 1100, 1101}}, // with bit 256 the folder too
        {32, {kL}},
        {0, {}},
    };
    for (const Case &c : cases) {
        cv::AccountDialog dialog(book.doc.get(), 0, c.mode, {}, nullptr);
        EXPECT_EQ(book.idents(dialog), c.offered) << "mode " << c.mode;
    }
    cv::AccountDialog excluding(book.doc.get(), 0, 2, {book.savings}, nullptr);
    EXPECT_EQ(book.idents(excluding), (std::vector<int>{kA, kU}));
}

TEST(AccountChooserTest, AnswersPicksAndRefusesThePreselectedAccount)
{
    ChooserBook book;
    ASSERT_TRUE(book.doc);
    {
        cv::AccountDialog dialog(book.doc.get(), kA, 2, {}, nullptr);
        ASSERT_NE(dialog.tableView()->currentItem(), nullptr); // the current account preselected
        EXPECT_TRUE(dialog.tableView()->currentItem()->isSelected());
        dialog.okPushed();
        EXPECT_EQ(dialog.result(), -1);
    }
    {
        cv::AccountDialog dialog(book.doc.get(), kA, 2, {}, nullptr);
        dialog.tableView()->setCurrentItem(dialog.tableView()->topLevelItem(1));
        dialog.okPushed();
        EXPECT_EQ(dialog.result(), kU);
        EXPECT_EQ(dialog.lastChoice(), book.doc->findAccount(kU));
    }
    {
        std::vector<cv::NodePtr> picked;
        cv::AccountDialog dialog(book.doc.get(), 0, 2 | 16, {}, &picked);
        dialog.okPushed();
        EXPECT_EQ(dialog.result(), -1); // nothing picked
        dialog.tableView()->topLevelItem(2)->setSelected(true);
        dialog.tableView()->topLevelItem(0)->setSelected(true);
        dialog.okPushed();
        EXPECT_EQ(dialog.result(), 2);
        ASSERT_EQ(picked.size(), 2u);
        EXPECT_EQ(picked[0]->ident(), kA); // row order, not the order of picking
        EXPECT_EQ(picked[1]->ident(), 1101);
    }
    {
        cv::AccountDialog dialog(book.doc.get(), 0, 2, {}, nullptr);
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
        EXPECT_EQ(dialog.exec(), -1); // Esc and the close box are Cancel
    }
}

} // namespace
