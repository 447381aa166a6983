// The loan editor: the schedule of a new loan, OK gating, extra repayments
// on a stored loan, stored terms surviving a rename, and the printed page.
#include "panels/PanelTestSupport.h"
#include "support/EntryPage.h"

#include "model/CategoryTrees.h"
#include "panels/sheets/LoanDialog.h"
#include "platform/ScriptedAlertPresenter.h"

#include "controls/ChooserList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cmath>

using namespace paneltest;

namespace {

using Loan = cv::LoanDialog;

cv::NodePtr newLoanNode(int currency = 1)
{
    auto node = std::make_shared<cv::Node>();
    node->setKind(cv::NodeKind::Loan);
    node->setCurrency(currency);
    return node;
}

// A car loan: 1,200,000 over 12 level payments at 12 %, due on the 25th from 2009-04-10.
void fillConditions(Loan &panel, int holiday)
{
    type(panel.nameField(), QStringLiteral("Car"));
    type(panel.dateField(), QStringLiteral("2009/04/10"));
    type(panel.valueField(), QStringLiteral("1,200,000"));
    type(panel.timesField(), QStringLiteral("12"));
    type(panel.rateField(), QStringLiteral("12"));
    panel.dueDateButton()->setCurrentIndex(24);
    panel.holidayButton()->setCurrentIndex(holiday);
    panel.initialDayCheckbox()->setChecked(true);
    panel.setRepaymentAccount(kA);
    panel.setUsage(33);
}

std::vector<QStringList> shownRows(const Loan &panel)
{
    std::vector<QStringList> rows;
    for (int row = 0; row < panel.effectiveDataCount(); ++row) {
        QStringList cells;
        for (int cid = Loan::Times; cid <= Loan::Rest; ++cid) cells << panel.cellText(cid, row);
        rows.push_back(cells);
    }
    return rows;
}

// The schedule menu's items on (1) or off (0), in menu order, as the sheet offers them.
QString menuOn(Loan &panel)
{
    std::unique_ptr<QMenu> menu(panel.makeScheduleMenu(nullptr));
    QString on;
    for (const QAction *action : menu->actions()) on += action->isEnabled() ? u'1' : u'0';
    return on;
}

// Chooses the item of the schedule menu with the tag, as a click does.
void runMenu(Loan &panel, int tag)
{
    std::unique_ptr<QMenu> menu(panel.makeScheduleMenu(nullptr));
    for (QAction *action : menu->actions())
        if (action->data().toInt() == tag) action->trigger();
}

TEST(LoanPanelTest, ANewLoansScheduleAndItsOkGate)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    auto node = newLoanNode();
    Loan panel(doc.get(), node);
    const QString needsSchedule = cv::localizedString(QStringLiteral("Loan-OK-Needs-Schedule"));
    EXPECT_EQ(panel.okReasonText(), QString()); // nothing typed: the conditions are what is missing
    fillConditions(panel, 2);
    EXPECT_FALSE(panel.isOkEnabled()); // no schedule yet, and the sheet says so
    EXPECT_EQ(panel.okReasonText(), needsSchedule);
    // The default category of the loan's money says what it is for.
    const QString unspecified = doc->displayName(*doc->findExpense(cv::CategoryTrees::LoanUnspecified));
    int shown = 0;
    for (const QPushButton *button : panel.findChildren<QPushButton *>())
        if (button->text() == unspecified && ++shown)
            EXPECT_EQ(button->toolTip(), cv::localizedString("Loan-Usage-Unspecified-Purpose"));
    EXPECT_EQ(shown, 1);
    panel.showPage(1);
    ASSERT_EQ(panel.effectiveDataCount(), 12);
    EXPECT_TRUE(panel.isOkEnabled());
    EXPECT_EQ(panel.okReasonText(), QString());
    panel.selectRows({0});
    EXPECT_EQ(menuOn(panel), QStringLiteral("0000")) << "a new loan's schedule is not edited";
    const std::vector<QStringList> rows = shownRows(panel);
    EXPECT_EQ(rows[0].join(u'|'), QStringLiteral("1|2009/04/25|12.0000|94,618|6,312|100,930|1,105,382"));
    EXPECT_EQ(rows[1].join(u'|'), QStringLiteral("2|2009/05/25|12.0000|95,565|11,053|106,618|1,009,817"));
    for (int i = 1; i < 11; ++i) EXPECT_EQ(rows[size_t(i)][Loan::Total], QStringLiteral("106,618")) << i;
    EXPECT_EQ(rows[11].mid(Loan::Principal).join(u'|'), QStringLiteral("105,564|1,055|106,619|0"));
    EXPECT_TRUE(panel.summaryText(1).contains(QStringLiteral("1,273,729"))) << panel.summaryText(1).toStdString();
    EXPECT_TRUE(panel.summaryText(1).contains(QStringLiteral("73,729")));

    panel.showPage(0);
    type(panel.rateField(), QStringLiteral("11"));
    EXPECT_FALSE(panel.isOkEnabled()); // stale until the schedule is shown again
    EXPECT_EQ(panel.okReasonText(), needsSchedule);
    panel.showPage(1);
    EXPECT_TRUE(panel.isOkEnabled());

    panel.showPage(0);
    type(panel.dateField(), QStringLiteral("1899/04/10")); // outside 1900-2099: no date
    panel.showPage(1);
    EXPECT_FALSE(panel.isOkEnabled());
    panel.showPage(0);
    type(panel.dateField(), QStringLiteral("2009/04/10"));

    ScriptedAlertPresenter alerts;
    type(panel.timesField(), QStringLiteral("700"));
    EXPECT_EQ(panel.timesField()->text(), QStringLiteral("600"));
    ASSERT_EQ(alerts.asked.size(), 1u);
    EXPECT_EQ(alerts.asked[0].message, cv::localizedString(QStringLiteral("Alert-Loan-Max-Times-Limit")));

    type(panel.timesField(), QStringLiteral("12"));
    type(panel.rateField(), QStringLiteral("12"));
    panel.showPage(1);
    panel.okPushed();
    EXPECT_EQ(panel.result(), 1);
    EXPECT_EQ(node->name(), QStringLiteral("Car"));
    EXPECT_TRUE(std::dynamic_pointer_cast<cv::LoanTerms>(node->extra()));
}

TEST(LoanPanelTest, TheRepaymentChooserOffersTheAssetAccountsOfTheLoansCurrency)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    samplebook::currency(*doc, 3, QStringLiteral("EUR"), 150, 2);
    // Yen: A, not the dollar account U; dollars: U; euros, which no account
    // holds: the chooser stays shut. Never the card C.
    const struct {
        int currency;
        bool a, u;
    } cases[] = {{1, true, false}, {2, false, true}, {3, false, false}};
    for (const auto &c : cases) {
        Loan panel(doc.get(), newLoanNode(c.currency));
        panel.show();
        EXPECT_EQ(panel.repaymentButton()->isEnabled(), c.a || c.u) << c.currency;
        QTest::mouseClick(panel.repaymentButton(), Qt::LeftButton);
        const QStringList names = cvtest::page::offered().replaceInStrings(QStringLiteral("  "), QString());
        EXPECT_EQ(names.contains(QStringLiteral("A")), c.a) << c.currency;
        EXPECT_EQ(names.contains(QStringLiteral("U")), c.u) << c.currency;
        EXPECT_FALSE(names.contains(QStringLiteral("C"))) << c.currency;
        cv::ChooserPopup::get()->mustClose();
    }
}

TEST(LoanPanelTest, TheHolidayChoiceMovesTheFirstDueDate)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    Loan panel(doc.get(), newLoanNode());
    fillConditions(panel, 0); // 2009-04-25 is a Saturday: the next business day
    panel.showPage(1);
    ASSERT_GT(panel.effectiveDataCount(), 0);
    EXPECT_EQ(panel.cellText(Loan::Date, 0), QStringLiteral("2009/04/27"));
    EXPECT_EQ(panel.cellText(Loan::Interest, 0), QStringLiteral("7,101"));
    EXPECT_EQ(panel.cellText(Loan::Principal, 0), QStringLiteral("94,618"));
}

// Stores the car loan and reopens it as the opener would.
std::unique_ptr<Loan> storedLoan(cv::Book &doc, cv::NodePtr &node)
{
    node = newLoanNode();
    {
        Loan panel(&doc, node);
        fillConditions(panel, 2);
        panel.showPage(1);
        panel.okPushed();
        if (panel.result() != 1) return nullptr;
        node->setIdent(1200);
        doc.accountTrees()->debt()->appendChild(node);
        doc.putLoan(node, *panel.loanData());
    }
    auto reopened = std::make_unique<Loan>(&doc, node);
    reopened->setLoanData(doc.getLoan(node->ident()));
    reopened->showPage(1);
    return reopened;
}

TEST(LoanPanelTest, AnExtraRepaymentShortensTheTermAndDeletingItGivesTheScheduleBack)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    cv::NodePtr node;
    auto panel = storedLoan(*doc, node);
    ASSERT_TRUE(panel);
    EXPECT_FALSE(panel->isNew());
    const std::vector<QStringList> before = shownRows(*panel);
    ASSERT_EQ(before.size(), 12u);

    panel->okPushed(); // nothing changed: 0
    EXPECT_EQ(panel->result(), 0);

    panel->selectRows({10}); // 2010-02-25
    ASSERT_TRUE(panel->insertExtraPayment(QDate(2010, 3, 1), 200000, false, true));
    const std::vector<QStringList> after = shownRows(*panel);
    ASSERT_EQ(after.size(), 12u); // eleven regular rows and the extra one
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_EQ(after[11].join(u'|'), QStringLiteral("E|2010/03/01|12.0000|105,564|0|105,564|0"));
    EXPECT_TRUE(panel->isOkEnabled());

    // Insert, delete, rate, account: on for the rows that can take them.
    const std::pair<std::vector<int>, const char *> rules[] = {{{}, "0000"}, {{0, 1}, "1011"}, {{11}, "1111"}};
    for (const auto &[rows, on] : rules) {
        panel->selectRows(rows);
        EXPECT_EQ(menuOn(*panel), QLatin1String(on)) << rows.size();
    }
    runMenu(*panel, Loan::DeleteRepayment);
    EXPECT_EQ(shownRows(*panel), before);

    // An extra dated before the selected row recomputes from its own position.
    panel->selectRows({10});
    ASSERT_TRUE(panel->insertExtraPayment(QDate(2009, 8, 1), 200000, false, false));
    const std::vector<QStringList> early = shownRows(*panel);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(early[i], before[i]) << i;
    EXPECT_EQ(early[4][Loan::Times], QStringLiteral("E"));
    EXPECT_NE(early[5][Loan::Interest], before[4][Loan::Interest]); // the next interest runs on the lower balance
    EXPECT_EQ(early.back()[Loan::Rest], QStringLiteral("0"));
    panel->selectRows({4});
    panel->deleteRepayment();
    EXPECT_EQ(shownRows(*panel), before);

    panel->selectRows({0, 1});
    runMenu(*panel, Loan::DeleteRepayment); // off: regular rows only
    panel->deleteRepayment();
    EXPECT_EQ(shownRows(*panel), before);

    // A negative rate from the dialog or a cell is refused.
    panel->changeRate(-1);
    panel->setObjectValue(panel->tableView(), QStringLiteral("-2"), Loan::Rate, 3);
    EXPECT_EQ(shownRows(*panel), before);
}

TEST(LoanPanelTest, AStoredLoansTermsSurviveARenameAndARateChange)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    auto terms = std::make_shared<cv::LoanTerms>();
    terms->setDate(QDate(2009, 4, 10));
    terms->setInitialValue(100000);
    terms->setTimes(24);
    terms->setRate(0.0123456);
    terms->setDueDay(25);
    terms->setBonusMonths(2080);
    terms->setBonusAmount(1500.50);
    terms->setRepaymentAccount(kU);
    terms->setOutCategory(33);
    terms->setFraction(2);
    terms->setUnit(10);
    const cv::NodePtr node = samplebook::node(doc->accountTrees()->debt(), 1300, 41, QStringLiteral("D"), terms);
    node->setCurrency(2);
    const cv::LoanTerms original = *terms;
    doc->putLoan(node, terms->calcPayment());
    {
        Loan panel(doc.get(), node);
        panel.setLoanData(doc->getLoan(node->ident()));
        EXPECT_EQ(panel.bonusField()->text(), QStringLiteral("1,500.50"));
        type(panel.nameField(), QStringLiteral("Renamed"));
        panel.okPushed();
        EXPECT_EQ(panel.result(), 1);
    }
    const auto kept = std::dynamic_pointer_cast<cv::LoanTerms>(node->extra());
    ASSERT_TRUE(kept);
    EXPECT_EQ(node->name(), QStringLiteral("Renamed"));
    EXPECT_EQ(kept->rate(), original.rate());
    EXPECT_EQ(kept->bonusAmount(), original.bonusAmount());
    EXPECT_EQ(kept->bonusMonths(), original.bonusMonths());
    EXPECT_EQ(kept->initialValue(), original.initialValue());

    // Bonus months the popup cannot show (May and November).
    kept->setBonusMonths((1 << 4) | (1 << 10));
    doc->putLoan(node, kept->calcPayment());
    Loan panel(doc.get(), node);
    panel.setLoanData(doc->getLoan(node->ident()));
    panel.showPage(1);
    ASSERT_GT(panel.effectiveDataCount(), 0);
    panel.selectRows({3});
    panel.changeRate(2.5);
    double principal = 0;
    for (const cv::LoanPaymentPtr &row : *panel.loanData()) {
        EXPECT_TRUE(std::isfinite(row->principal()) && std::isfinite(row->interest()));
        principal += row->principal();
    }
    EXPECT_NEAR(principal, 100000, 0.005);
}

TEST(LoanPanelTest, AnEmptyScheduleShowsAnEmptyPeriodAndThePrintedPageIsWritten)
{
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    Loan empty(doc.get(), newLoanNode());
    empty.setLoanData(cv::LoanSchedule{});
    EXPECT_FALSE(empty.summaryText(2).contains(QStringLiteral("/")));

    cv::NodePtr node;
    auto panel = storedLoan(*doc, node);
    ASSERT_TRUE(panel);
    const QString pdf = cvtest::screenshotPath(QStringLiteral("loan-schedule.pdf"));
    QFile::remove(pdf);
    panel->printPushed(pdf);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
}

} // namespace
