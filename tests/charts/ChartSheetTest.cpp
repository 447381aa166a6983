#include "ChartBook.h"

#include "charts/ChartSheet.h"
#include "charts/OverviewSheet.h"
#include "controls/TickTree.h"
#include "document/BookTestAccess.h"
#include "document/OpenBooks.h"
#include "document/Preference.h"
#include "model/CategoryTrees.h"
#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

namespace {

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override { cv::setLanguageOverride(QStringLiteral("en")); }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    ChartBook m_book;
    cv::Preference m_preference;
    ScriptedAlertPresenter m_alerts;
};

QString cell(cv::OverviewSheet &sheet, cv::OverviewSheet::Table table, int row, int column)
{
    const QTableWidgetItem *item = sheet.tableView(table)->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

TEST_F(SheetTest, TicksStopAtTenItems)
{
    auto many = m_book.category(false, QStringLiteral("Many"), nullptr, 20);
    for (int i = 0; i < 12; ++i) m_book.category(false, QStringLiteral("M%1").arg(i), many);
    auto outer = m_book.category(false, QStringLiteral("Outer"), nullptr, 20);
    auto ten = m_book.category(false, QStringLiteral("Ten"), outer, 20);
    for (int i = 0; i < 10; ++i) m_book.category(false, QStringLiteral("T%1").arg(i), ten);
    m_book.rebuild();

    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) { logged << m; });
    cv::ChartSheet sheet(m_book.doc.get(), m_preference);
    qInstallMessageHandler(previous);
    // The sheet names its book in the log when it is made.
    EXPECT_EQ(logged, QStringList{QStringLiteral("doc: ") + cv::OpenBooks::displayName(*m_book.doc)});
    sheet.show();
    sheet.tabView()->setCurrentIndex(1);
    clickTick(sheet.actView(), many);
    ASSERT_EQ(m_alerts.asked.size(), 1u);
    EXPECT_EQ(m_alerts.asked.front().message, cv::localizedString("Chart-Too-Many"));
    EXPECT_EQ(many->deepStatus(), 0);
    EXPECT_FALSE(sheet.drawButton()->isEnabled());

    clickTick(sheet.actView(), ten);
    EXPECT_EQ(m_alerts.asked.size(), 1u);
    EXPECT_TRUE(ten->allStatus());
    EXPECT_EQ(outer->status(), 1); // all its children are ticked
    EXPECT_EQ(sheet.chartItems().size(), 10u);
    EXPECT_TRUE(sheet.drawButton()->isEnabled());

    // One more is refused; unticking a member unticks the group and its parent.
    clickTick(sheet.actView(), many->childAt(0));
    EXPECT_EQ(m_alerts.asked.size(), 2u);
    clickTick(sheet.actView(), ten->childAt(3));
    EXPECT_EQ(ten->status(), 0);
    EXPECT_EQ(outer->status(), 0);
    EXPECT_EQ(sheet.chartItems().size(), 9u);
}

TEST_F(SheetTest, PieOfAccountsNeedsNoEndDate)
{
    auto bank = m_book.account(31, QStringLiteral("Bank"), 500);
    auto invest = m_book.account(32, QStringLiteral("Broker"), 0);
    samplebook::node(invest, 0, cv::NodeKind::CashPart, QString());
    m_book.rebuild();
    QTemporaryDir folder;
    {
        cv::ChartSheet sheet(m_book.doc.get(), m_preference);
        sheet.show();
        clickTick(sheet.accView(), bank);
        clickTick(sheet.accView(), invest);
        // An investment account is one item, not its cash part.
        EXPECT_EQ(sheet.chartItems(), (std::vector<cv::NodePtr>{bank, invest}));
        typeDate(sheet.fromDateField(), QStringLiteral("2009/03/01"));
        typeDate(sheet.toDateField(), QStringLiteral("2009/02/01"));
        EXPECT_FALSE(sheet.drawButton()->isEnabled());
        sheet.paramButton()->setCurrentIndex(cv::ChartSheet::Pie);
        EXPECT_TRUE(sheet.drawButton()->isEnabled());
        EXPECT_FALSE(sheet.toDateField()->isEnabled());
        EXPECT_FALSE(sheet.intervalButton()->isEnabled());
        EXPECT_TRUE(sheet.print(cv::PrintRunner::Mode::Pdf, folder.filePath(QStringLiteral("pie.pdf"))));
        EXPECT_FALSE(m_book.doc->amountText().isCurrencyPrinting());
        // On the categories tab the pie needs its range again.
        sheet.tabView()->setCurrentIndex(1);
        EXPECT_TRUE(sheet.toDateField()->isEnabled());
        EXPECT_FALSE(sheet.drawButton()->isEnabled());
    }
    // The ticks do not outlast the sheet.
    EXPECT_EQ(m_book.doc->accountTrees()->asset()->deepStatus(), 0);
}

TEST_F(SheetTest, DrawPrintsThroughTheDialogAndPreviewPreviews)
{
    auto bank = m_book.account(31, QStringLiteral("Bank"), 500);
    m_book.rebuild();
    cv::ChartSheet sheet(m_book.doc.get(), m_preference);
    sheet.show();
    EXPECT_FALSE(sheet.previewButton()->isEnabled());
    clickTick(sheet.accView(), bank);
    ASSERT_TRUE(sheet.previewButton()->isEnabled());
    // Draw opens the print dialog, Preview the preview.
    for (const auto &[button, dialog] :
         {std::pair{sheet.drawButton(), "QPrintDialog"}, std::pair{sheet.previewButton(), "QPrintPreviewDialog"}}) {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            QWidget *modal = QApplication::activeModalWidget();
            shown = modal ? QString::fromLatin1(modal->metaObject()->className()) : QString();
            if (auto *open = qobject_cast<QDialog *>(modal)) open->reject();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(shown, QString::fromLatin1(dialog));
    }
}

TEST_F(SheetTest, OverviewPeriodsAndComparisons)
{
    auto bank = m_book.account(31, QStringLiteral("Bank"), 1000);
    auto salary = m_book.category(true, QStringLiteral("Salary"));
    m_book.income(QDate(2009, 2, 10), 300, salary, bank);
    m_book.income(QDate(2009, 3, 10), 50, salary, bank);
    m_book.rebuild();
    cv::OverviewSheet sheet(m_book.doc.get());
    typeDate(sheet.dateField(), QStringLiteral("2009/03/15"));
    QTest::mouseClick(sheet.monthOption(), Qt::LeftButton);
    EXPECT_EQ(sheet.comparisonDates()[0], QDate(2009, 2, 28));
    EXPECT_EQ(sheet.comparisonDates()[1], QDate(2009, 1, 31));
    EXPECT_EQ(sheet.periods()[0].from, QDate(2009, 3, 1));
    EXPECT_EQ(sheet.periods()[1].from, QDate(2009, 2, 1));
    EXPECT_EQ(sheet.periods()[2].to, QDate(2009, 1, 31));
    const auto money = [&](double v) { return m_book.doc->stringForValue(v, 0); };
    using T = cv::OverviewSheet;
    EXPECT_EQ(cell(sheet, T::BalanceSheet, 2, 1), money(1350));
    EXPECT_EQ(cell(sheet, T::BalanceSheet, 7, 1), money(50));  // against 28 Feb
    EXPECT_EQ(cell(sheet, T::BalanceSheet, 8, 1), money(350)); // against 31 Jan
    EXPECT_EQ(cell(sheet, T::BalanceSheet, 7, 0), cv::localizedString("InfP-Cmp-Month-1"));
    EXPECT_EQ(cell(sheet, T::ProfitLoss, 0, 1), money(50));
    EXPECT_EQ(cell(sheet, T::ProfitLoss, 0, 2), money(300));
    EXPECT_EQ(sheet.tableView(T::ProfitLoss)->horizontalHeaderItem(2)->text(), cv::localizedString("InfP-Month-1"));
    EXPECT_EQ(cell(sheet, T::CashFlow, 0, 2), money(300));
    // By years: one and two years back; this year's and the two before.
    QTest::mouseClick(sheet.yearOption(), Qt::LeftButton);
    EXPECT_EQ(sheet.comparisonDates(), (std::array<QDate, 2>{QDate(2008, 3, 15), QDate(2007, 3, 15)}));
    EXPECT_EQ(sheet.periods()[2].from, QDate(2007, 1, 1));
    EXPECT_EQ(cell(sheet, T::ProfitLoss, 0, 1), money(350));
}

TEST_F(SheetTest, OverviewCashFlow)
{
    struct Case {
        const char *what;
        std::function<void(ChartBook &)> write;
        double in, out;
        std::vector<std::tuple<int, int, double>> balanceSheet = {}; // row, column, amount
    };
    const QDate day(2009, 3, 5);
    // A trade of the broker (2004); a transfer of units goes to the second broker (2005).
    const auto trade = [&](ChartBook &b, cv::TradeKind kind, double count, double price, double commission, int to) {
        auto t = std::make_shared<cv::Trade>();
        t->setDate(day);
        t->setAccount(2004);
        t->setTransfer(to);
        t->setSecurity(1);
        t->setKind(kind);
        t->setCount(count);
        t->setUnitPrice(price);
        t->setCommission(commission);
        cv::BookTestAccess::updateTrade(*b.doc, t, nullptr);
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"bank to cash", [&](ChartBook &b) { b.transfer(day, 100, b.doc->findAccount(2000), b.doc->findAccount(2001)); },
         0, 0},
        {"bank to card", [&](ChartBook &b) { b.transfer(day, 200, b.doc->findAccount(2000), b.doc->findAccount(2002)); },
         0, 200},
        {"loan to bank", [&](ChartBook &b) { b.transfer(day, 1000, b.doc->findAccount(2003), b.doc->findAccount(2000)); },
         1000, 0},
        {"buy with commission", [&](ChartBook &b) { trade(b, cv::TradeKind::Buy, 10, 500, 20, 0); }, 0, 5020},
        {"units moved to another broker: only the payer's commission",
         [&](ChartBook &b) { trade(b, cv::TradeKind::TransferUnits, 30, 0, 700, 2005); }, 0, 700},
        {"a dividend without units, as an import stores it: its amount",
         [&](ChartBook &b) { trade(b, cv::TradeKind::Dividend, 0, 400, 0, 0); }, 400, 0},
        // Assets: bank 10,000, the broker's 400, the other asset's 3,000; the card owes 600 since February.
        {"every asset class in the total; net worth, assets less debts, against the month and two before",
         [&](ChartBook &b) {
             trade(b, cv::TradeKind::Dividend, 0, 400, 0, 0);
             b.expense(QDate(2009, 2, 10), 600, b.category(false, QStringLiteral("Food")), b.doc->findAccount(2002));
         },
         400, 0, {{5, 1, 13400}, {5, 3, 600}, {6, 1, 12800}, {7, 1, 400}, {8, 1, -200}}},
    };
    // clang-format on
    for (const Case &c : cases) {
        ChartBook book;
        book.account(31, QStringLiteral("Bank"), 10000);
        book.account(30, QStringLiteral("Cash"));
        book.account(40, QStringLiteral("Card"));
        book.account(41, QStringLiteral("Loan"));
        for (const QString &name : {QStringLiteral("Broker"), QStringLiteral("Broker B")})
            samplebook::node(book.account(32, name), 0, cv::NodeKind::CashPart, QString());
        book.account(33, QStringLiteral("Deposit"), 3000);
        c.write(book);
        book.rebuild();
        cv::OverviewSheet sheet(book.doc.get());
        typeDate(sheet.dateField(), QStringLiteral("2009/03/15"));
        QTest::mouseClick(sheet.monthOption(), Qt::LeftButton);
        EXPECT_EQ(cell(sheet, cv::OverviewSheet::CashFlow, 0, 1), book.doc->stringForValue(c.in, 0)) << c.what;
        EXPECT_EQ(cell(sheet, cv::OverviewSheet::CashFlow, 1, 1), book.doc->stringForValue(c.out, 0)) << c.what;
        for (const auto &[row, column, amount] : c.balanceSheet)
            EXPECT_EQ(cell(sheet, cv::OverviewSheet::BalanceSheet, row, column), book.doc->stringForValue(amount, 0))
                << c.what << " row " << row;
    }
}

TEST_F(SheetTest, OverviewRanksExpensesAndBudgets)
{
    auto bank = m_book.account(31, QStringLiteral("Bank"), 100000);
    auto life = m_book.category(false, QStringLiteral("Life"), nullptr, 20);
    auto food = m_book.category(false, QStringLiteral("Food"), life);
    auto rent = m_book.category(false, QStringLiteral("Rent"));
    auto fun = m_book.category(false, QStringLiteral("Fun"));
    food->setBudgetAfter(2009, 1, 100);
    rent->setBudgetAfter(2009, 1, 1000);
    fun->setBudgetAfter(2009, 1, 200);
    m_book.expense(QDate(2009, 3, 2), 150, food, bank);
    m_book.expense(QDate(2009, 3, 3), 1000, rent, bank);
    m_book.expense(QDate(2009, 3, 4), 320, fun, bank);
    // Outside March, seen only by the year: a payment filed on the Life folder and a trip.
    m_book.expense(QDate(2009, 5, 20), 500, life, bank);
    m_book.expense(QDate(2009, 6, 1), 2400, fun, bank);
    // A loan spent without a receiving account is outside the expense totals: not ranked.
    m_book.expense(QDate(2009, 3, 5), 1200000, m_book.doc->findExpense(cv::CategoryTrees::LoanUnspecified),
                   m_book.account(41, QStringLiteral("Car loan")));
    m_book.rebuild();
    cv::OverviewSheet sheet(m_book.doc.get());
    typeDate(sheet.dateField(), QStringLiteral("2009/03/15"));
    QTest::mouseClick(sheet.monthOption(), Qt::LeftButton);
    using T = cv::OverviewSheet;
    // Spent more than earned: the month's total in the viewer's colour of negatives.
    EXPECT_EQ(sheet.tableView(T::ProfitLoss)->item(2, 1)->foreground().color(), cv::negativeColor());
    EXPECT_NE(sheet.tableView(T::ProfitLoss)->item(1, 1)->foreground().color(), cv::negativeColor());

    // Each ranked line as its cells joined.
    const auto lines = [&](T::Table table) {
        QStringList shown;
        for (int row = 0; row < sheet.tableView(table)->rowCount() && !cell(sheet, table, row, 0).isEmpty(); ++row) {
            QStringList cells;
            for (int column = 0; column < sheet.tableView(table)->columnCount(); ++column)
                cells << cell(sheet, table, row, column);
            shown << cells.join(QLatin1Char('|'));
        }
        return shown;
    };
    const auto money = [&](double v) { return m_book.doc->stringForValue(v, 0); };
    const auto line = [&](const QString &name, double actual, double budget = 0, const char *percent = nullptr) {
        return percent ? QStringList{name, money(actual), money(budget), QLatin1String(percent)}.join(QLatin1Char('|'))
                       : name + QLatin1Char('|') + money(actual);
    };
    const struct {
        const char *what;
        bool months;
        int level;
        QStringList top, over;
    } cases[] = {
        // clang-format off
        {"March: Rent exactly at its budget is not over it; the group's budget is its members'", true, 1,
         {line("Rent", 1000), line("Fun", 320), line("Life", 150)},
         {line("Fun", 320, 200, "160.00"), line("Life", 150, 100, "150.00")}},
        {"March at the second level: the members by their full names", true, 2,
         {line("Rent", 1000), line("Fun", 320), line("Life/Food", 150)},
         {line("Fun", 320, 200, "160.00"), line("Life/Food", 150, 100, "150.00")}},
        {"the year at the second level: twelve months spent against twelve budgeted, the folder's own a line of it",
         false, 2, {line("Fun", 2720), line("Rent", 1000), line("Life", 500), line("Life/Food", 150)},
         {line("Fun", 2720, 2400, "113.33")}},
        // clang-format on
    };
    for (const auto &c : cases) {
        QTest::mouseClick(c.months ? sheet.monthOption() : sheet.yearOption(), Qt::LeftButton);
        sheet.levelStepper()->setValue(c.level);
        EXPECT_EQ(lines(T::TopExpenses), c.top) << c.what;
        EXPECT_EQ(lines(T::OverBudget), c.over) << c.what;
    }
    sheet.levelStepper()->setValue(0);
    EXPECT_EQ(sheet.levelStepper()->value(), 1);
}
