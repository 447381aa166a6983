// The budget page: its columns and periods, the cells' texts and colours,
// the week rule with the top date given back, clicks that open the sheets
// and never edit in place, and the printed page.
#include "mainwindow/MainWindowTestSupport.h"
#include "support/Screenshots.h"

#include "support/SampleBook.h"

#include "print/BudgetPrint.h"
#include "mainwindow/pages/BorderedOutlineView.h"
#include "mainwindow/pages/BudgetModel.h"
#include "mainwindow/pages/BudgetPage.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "model/CategoryTrees.h"
#include "model/Settings.h"
#include "panels/sheets/BudgetEditor.h"
#include "document/store/SQLDatabase3.h"
#include "panels/sheets/BudgetPanel.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <string_view>

using Kind = cv::BudgetColumns::Kind;

namespace {

constexpr int kFood = 2001;
constexpr int kSalary = 2002;
constexpr int kAccount = 1001;

std::unique_ptr<cv::Book> budgetBook()
{
    using namespace samplebook;
    auto doc = makeYenBook();
    if (!doc) return nullptr;
    node(doc->accountTrees()->asset(), kAccount, 31, QStringLiteral("A"), std::make_shared<cv::BankDetail>());
    node(doc->categoryTrees()->expense(), kFood, 21, QStringLiteral("Food"));
    node(doc->categoryTrees()->income(), kSalary, 21, QStringLiteral("Salary"));
    doc->createCache();
    return doc;
}

void store(cv::Book &doc, cv::EntryKind kind, const QDate &date, double amount, int category)
{
    samplebook::store(doc, kind, date, amount, category, kAccount);
}

} // namespace

TEST(BudgetColumns, LayoutFillsTheWidthWithGroupsAFillerAndTheSummary)
{
    cv::BudgetColumns columns;
    columns.setUnit(3);
    columns.setTopDate(QDate(2009, 4, 1));
    cv::BudgetColumns::Metrics m;
    m.visibleWidth = 1000;
    m.cellWidth = 80;
    m.percentWidth = 60;
    m.spacing = 0;
    m.scrollerWidth = 15;
    ASSERT_TRUE(columns.layout(m));
    EXPECT_EQ(columns.lastBudgetWidth(), 615);
    EXPECT_EQ(columns.numBudgetCells(), 6);
    EXPECT_EQ(columns.startEndBudgetCells(), 8);
    EXPECT_TRUE(columns.hasFiller());
    const struct {
        int column;
        Kind kind;
        int width;
    } expected[] = {{0, Kind::Name, 150},         {1, Kind::Budget, 80},          {2, Kind::Actual, 80},
                    {3, Kind::Percent, 60},       {4, Kind::Budget, 80},          {5, Kind::Actual, 80},
                    {6, Kind::Percent, 60},       {7, Kind::Filler, 0},           {8, Kind::SummaryBudget, 80},
                    {9, Kind::SummaryActual, 80}, {10, Kind::SummaryPercent, 60}, {11, Kind::None, 0}};
    for (const auto &e : expected) {
        EXPECT_EQ(columns.kind(e.column), e.kind) << e.column;
        EXPECT_EQ(columns.width(e.column), e.width) << e.column;
    }
    EXPECT_EQ(columns.columnCount(), 11);
    EXPECT_EQ(columns.dateForColumn(4), std::pair(QDate(2009, 7, 1), 3));
    EXPECT_FALSE(columns.layout(m, true)) << "an unchanged width does nothing on a resize";

    // Too narrow for one group: the summary alone, no filler.
    m.visibleWidth = 300;
    ASSERT_TRUE(columns.layout(m, true));
    EXPECT_EQ(columns.numBudgetCells(), 0);
    EXPECT_FALSE(columns.hasFiller());
    EXPECT_EQ(columns.kind(1), Kind::SummaryBudget);
    EXPECT_EQ(columns.columnCount(), 4);
}

TEST(BudgetColumns, PeriodsRunOnFromTheTopDateAcrossYears)
{
    cv::BudgetColumns columns;
    const struct {
        int unit;
        QDate top;
        int column;
        QDate first;
        int months;
    } cases[] = {
        {2, QDate(2009, 11, 1), 7, QDate(2010, 1, 1), 1},  // third month
        {4, QDate(2009, 10, 5), 4, QDate(2010, 4, 5), 6},  // second half year keeps the day
        {5, QDate(2009, 4, 1), 7, QDate(2011, 4, 1), 12},  // third year
        {2, QDate(2009, 1, 31), 4, QDate(2009, 2, 28), 1}, // a day the month lacks
        {1, QDate(2009, 4, 1), 4, QDate(2009, 4, 1), 0},   // no unit: no period
    };
    for (const auto &c : cases) {
        columns.setUnit(c.unit);
        columns.setTopDate(c.top);
        EXPECT_EQ(columns.dateForColumn(c.column), std::pair(c.first, c.months)) << c.unit << " " << c.column;
    }
}

TEST(BudgetModel, CellsShowBudgetActualAndShareInTheirColours)
{
    auto doc = budgetBook();
    ASSERT_TRUE(doc);
    const cv::NodePtr food = doc->findExpense(kFood);
    const cv::NodePtr salary = doc->findIncome(kSalary);
    const QColor blue = QColor::fromRgbF(0, 0.4, 0.8);
    const QColor red(Qt::red);
    struct Case {
        const char *name;
        cv::NodePtr node;
        QDate month;
        double budget;
        double actual;
        QString budgetText, actualText, percent;
        QColor percentColor;
    } cases[] = {
        {"expense over", food, QDate(2009, 3, 1), 30000, 30003, "30,000", "30,003", "100.01", red},
        {"expense at", food, QDate(2009, 4, 1), 30000, 30000, "30,000", "30,000", "100.00", {}},
        {"income under", salary, QDate(2009, 5, 1), 50000, 49000, "50,000", "49,000", "98.00", red},
        {"income over", salary, QDate(2009, 6, 1), 50000, 51000, "50,000", "51,000", "102.00", {}},
        {"no budget", food, QDate(2009, 7, 1), 0, 1000, "", "1,000", "", {}},
    };
    for (const Case &c : cases) {
        if (c.budget != 0) c.node->setBudgetAt(c.month.year(), c.month.month(), c.budget);
        store(*doc, c.node == salary ? cv::EntryKind::Income : cv::EntryKind::Expense, c.month.addDays(9), c.actual,
              c.node->ident());
        const cv::BudgetCell budget = cv::BudgetModel::budgetCell(*doc, *c.node, 0, c.month, 1);
        const cv::BudgetCell actual = cv::BudgetModel::budgetCell(*doc, *c.node, 1, c.month, 1);
        const cv::BudgetCell percent = cv::BudgetModel::budgetCell(*doc, *c.node, 2, c.month, 1);
        EXPECT_EQ(budget.text, c.budgetText) << c.name;
        EXPECT_EQ(budget.color, c.budget != 0 ? blue : QColor()) << c.name;
        EXPECT_EQ(actual.text, c.actualText) << c.name;
        EXPECT_EQ(percent.text, c.percent) << c.name;
        EXPECT_EQ(percent.color, c.percentColor) << c.name;
    }
    // A refund month keeps its sign and shows in the negative colour.
    store(*doc, cv::EntryKind::Expense, QDate(2009, 8, 3), -500, kFood);
    const cv::BudgetCell refund = cv::BudgetModel::budgetCell(*doc, *food, 1, QDate(2009, 8, 1), 1);
    EXPECT_EQ(refund.text, QStringLiteral("-500"));
    EXPECT_EQ(refund.color, cv::negativeColor());
}

TEST(BudgetPage, PrintedCellsAreEmptyWithoutAnActual)
{
    auto doc = budgetBook();
    ASSERT_TRUE(doc);
    const struct {
        double actual, budget;
        QStringList texts;
    } cases[] = {
        {0, 30000, {"", "", ""}},
        {1500, 0, {"1,500", "", ""}},
        {30003, 30000, {"30,003", "30,000", "100.01%"}},
        {-200, 1000, {"-200", "1,000", "-20.00%"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cv::BudgetPage::budgetStringsForValue(*doc, c.actual, c.budget), c.texts) << c.actual;
}

class BudgetPageTest : public DelegateTest {
protected:
    void open()
    {
        w = openNewWindow(document, 1200, 700);
        ASSERT_NE(w, nullptr);
        page = qobject_cast<cv::BudgetPage *>(w->page(cv::BookWindow::BudgetIndex));
        ASSERT_NE(page, nullptr);
        new QAbstractItemModelTester(page->model(), QAbstractItemModelTester::FailureReportingMode::Fatal,
                                     page->model());
        expense = document->categoryTrees()->expense();
        ASSERT_TRUE(expense && expense->countChild() > 0);
        category = expense->childAt(0);
    }
    QPoint cellCenter(const QModelIndex &index) const { return page->budgetView()->visualRect(index).center(); }

    cv::Book *document = nullptr;
    cv::BookWindow *w = nullptr;
    cv::BudgetPage *page = nullptr;
    cv::NodePtr expense;
    cv::NodePtr category;
};

TEST_F(BudgetPageTest, WeekViewStartsTheBudgetInJanuaryAndLeavingGivesTheDateBack)
{
    open();
    cv::Settings &s = *document->settings();
    s.setViewerUnit(1);
    s.setFiscalWeekday(3);
    s.setFiscalDayOfMonth(0);
    s.setBudgetUnit(2);
    document->commitSettings();
    const bool edited = document->isDocumentEdited();
    const QDate wednesday(2009, 12, 30);
    w->setTopDate(wednesday);
    w->selectTab(cv::BookWindow::BudgetIndex);
    EXPECT_EQ(w->topDate(), QDate(2010, 1, 1));
    EXPECT_EQ(page->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("2010/01"));
    EXPECT_EQ(document->isDocumentEdited(), edited) << "entering the page is no edit";
    w->selectTab(cv::BookWindow::ViewerIndex);
    EXPECT_EQ(w->topDate(), wednesday);

    // A unit from the popup snaps the date; the date given back stays.
    w->selectTab(cv::BookWindow::BudgetIndex);
    page->updateBudgetPeriod(3);
    EXPECT_EQ(w->topDate(), QDate(2010, 1, 1));
    EXPECT_EQ(page->columns().dateForColumn(4), std::pair(QDate(2010, 4, 1), 3));
    w->selectTab(cv::BookWindow::ViewerIndex);
    EXPECT_EQ(w->topDate(), wednesday);
}

TEST_F(BudgetPageTest, ClicksOpenTheSheetsAndNothingIsEditedInPlaceOrDragged)
{
    open();
    w->setTopDate(QDate(2009, 4, 1));
    w->selectTab(cv::BookWindow::BudgetIndex);
    QTest::qWait(20);
    cv::BorderedOutlineView *view = page->budgetView();
    cv::BudgetModel *model = page->model();
    ASSERT_GE(page->columns().numBudgetCells(), 3);
    const QModelIndex row = model->indexOfNode(category.get());
    view->expand(model->indexOfNode(expense.get()));
    ASSERT_TRUE(row.isValid());
    EXPECT_FALSE(model->flags(row.siblingAtColumn(1)) & (Qt::ItemIsEditable | Qt::ItemIsDragEnabled));
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsSelectable) << "the header row";
    EXPECT_FALSE(page->batchButton()->isEnabled());

    // An actual or % cell selects the row only; the batch button follows.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCenter(row.siblingAtColumn(2)));
    QCoreApplication::processEvents();
    EXPECT_EQ(page->openSheet(), nullptr);
    EXPECT_TRUE(page->batchButton()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget() == nullptr || !QApplication::focusWidget()->inherits("QLineEdit"), true)
        << "no cell editor";

    // A column dragged wider gives its width to every budget and actual column once released.
    QHeaderView *header = view->header();
    const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + 20, y), header->viewport()->mapToGlobal(QPointF(edge + 20, y)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 20, y));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return page->cellSlider()->value() == cv::BudgetPage::kDefaultCellWidth + 20; }, 1000));
    EXPECT_EQ(header->sectionSize(5), cv::BudgetPage::kDefaultCellWidth + 20);

    // A budget cell opens the editor for its period on the next turn, its first value in edit. The
    // second press of a double-click lands on the window below, which the window system may make active.
    const QPoint budgetCell = cellCenter(row.siblingAtColumn(4));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, budgetCell);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->openSheet() != nullptr; }, 1000));
    QDialog *sheet = page->openSheet();
    QSignalSpy focusMoves(qGuiApp, &QGuiApplication::focusWindowChanged);
    QTest::mouseDClick(w->windowHandle(), Qt::LeftButton, {}, view->viewport()->mapTo(w, budgetCell));
    w->activateWindow();
    // The window below takes the keyboard, and the sheet takes it back.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !focusMoves.isEmpty() && QGuiApplication::focusWindow() == sheet->windowHandle(); }, 1000));
    auto *editor = sheet->findChild<cv::BudgetEditor *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->firstDay(), page->columns().dateForColumn(4).first);
    EXPECT_EQ(editor->firstDay().month(), 5);
    EXPECT_EQ(editor->item(), category);
    // Keys go to the window the window system has made active.
    for (const char key : std::string_view("30,000")) QTest::keyClick(QGuiApplication::focusWindow(), key);
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Return);
    ASSERT_TRUE(editor->okButton()->isEnabled());
    QTest::mouseClick(editor->okButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->openSheet() == nullptr; }, 1000));
    EXPECT_EQ(category->budgetAt(2009, 5), 30000);
    EXPECT_EQ(category->budgetAt(2009, 6), 0) << "one month";
    EXPECT_EQ(model->cell(category.get(), 4).text, QStringLiteral("30,000"));
    EXPECT_TRUE(document->isDocumentEdited());

    // The batch button opens the twelve months of the selected category; Cancel keeps the budget.
    page->batchButton()->click();
    auto *panel = qobject_cast<cv::BudgetPanel *>(page->openSheet());
    ASSERT_NE(panel, nullptr);
    const auto [year, month] = panel->monthOfRow(0);
    const double before = category->budgetAt(year, month);
    panel->tableView()->selectRow(0);
    panel->applyValue(before + 1);
    panel->cancelPushed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->openSheet() == nullptr; }, 1000));
    EXPECT_EQ(category->budgetAt(year, month), before);

    // Another window's edit fails while the panel is up and the book is read back: OK sets the
    // budget on the category the book holds.
    page->batchButton()->click();
    panel = qobject_cast<cv::BudgetPanel *>(page->openSheet());
    ASSERT_NE(panel, nullptr);
    cv::SQLDatabase3 &store = *document->store()->database();
    ASSERT_TRUE(store.performQuery(QStringLiteral("CREATE TEMP TRIGGER stop AFTER INSERT ON InfoTable WHEN new.id = 2 "
                                                  "BEGIN SELECT RAISE(ROLLBACK, 'stopped'); END;")));
    document->renameNode(category, QStringLiteral("Renamed"));
    ASSERT_TRUE(store.performQuery(QStringLiteral("DROP TRIGGER temp.stop;")));
    panel->tableView()->selectRow(0);
    panel->applyValue(before + 2);
    panel->okPushed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->openSheet() == nullptr; }, 1000));
    EXPECT_EQ(document->findExpense(category->ident())->budgetAt(year, month), before + 2);
}

using BudgetPageScreenshot = InLanguages<BudgetPageTest>;

TEST_P(BudgetPageScreenshot, ShowsMonthsWithBudgetsAndActuals)
{
    open();
    const QDate top(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    const cv::NodePtr income = document->categoryTrees()->income();
    ASSERT_TRUE(income && income->countChild() > 0);
    category->setBudgetAt(top.year(), top.month(), 30000);
    income->childAt(0)->setBudgetAfter(top.year(), top.month(), 250000);
    if (expense->countChild() > 1) expense->childAt(1)->setBudgetAfter(top.year(), top.month(), 12000);
    document->commitCategoryTrees();
    w->selectTab(cv::BookWindow::BudgetIndex);
    page->budgetView()->expand(page->model()->indexOfNode(expense.get()));
    page->budgetView()->expand(page->model()->indexOfNode(income.get()));
    QTest::qWait(50);
    EXPECT_TRUE(cvtest::saveScreenshot(*w, language(), QStringLiteral("budget-page")));
    const QString pdf = cvtest::screenshotPath(QStringLiteral("budget-page.pdf"));
    EXPECT_TRUE(w->printView(delegate->preference(), cv::PrintRunner::Mode::Pdf, pdf).printed);
}

INSTANTIATE_TEST_SUITE_P(Languages, BudgetPageScreenshot, ::testing::Values("en", "ja"));

TEST_F(BudgetPageTest, RecalculateRepaintsTheShownPageWithTheRebuiltValues)
{
    open();
    cv::NodePtr leaf = category;
    while (leaf->countChild() > 0) leaf = leaf->childAt(0);
    w->selectTab(cv::BookWindow::BudgetIndex);
    // Written past the balance cache, as a damaged cache would hold it.
    auto e = samplebook::entry(cv::EntryKind::Expense, w->topDate(), 1234, leaf->ident(), 10);
    ASSERT_TRUE(document->store()->putEntry(e));
    QSignalSpy repainted(page->model(), &QAbstractItemModel::dataChanged);
    w->doRecalculation();
    EXPECT_FALSE(repainted.isEmpty());
    EXPECT_EQ(page->model()->indexOfNode(leaf.get(), 2).data().toString(), QStringLiteral("1,234"));
}

// Entries on the day before a period, its first and last days and the day
// after, in each unit of a fiscal year from April: a period's actual counts
// its first and last days only, the summary exactly the fiscal year's.
TEST_F(BudgetPageTest, ActualsCountTheirPeriodsEdgeDaysAndNoneBeside)
{
    const struct {
        const char *name;
        int unit;
        QDate first, last;
    } cases[] = {
        {"month", 2, QDate(2009, 5, 1), QDate(2009, 5, 31)},
        {"quarter", 3, QDate(2009, 4, 1), QDate(2009, 6, 30)},
        {"half year", 4, QDate(2009, 10, 1), QDate(2010, 3, 31)},
        {"year", 5, QDate(2009, 4, 1), QDate(2010, 3, 31)},
    };
    const QDate yearFirst(2009, 4, 1), yearLast(2010, 3, 31);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        document->settings()->setFiscalMonthOfYear(3);
        cv::NodePtr leaf = category;
        while (leaf->countChild() > 0) leaf = leaf->childAt(0);
        // A budget of 1,000 in each month of the year and in the months beside it.
        for (QDate month = yearFirst.addMonths(-1); month <= yearLast.addMonths(1); month = month.addMonths(1))
            leaf->setBudgetAt(month.year(), month.month(), 1000);
        double inYear = 0;
        for (const auto &[date, amount] :
             {std::pair{c.first.addDays(-1), 1.0}, {c.first, 20.0}, {c.last, 300.0}, {c.last.addDays(1), 4000.0}}) {
            samplebook::store(*document, cv::EntryKind::Expense, date, amount, leaf->ident(),
                              cv::AccountTrees::WalletIdent);
            if (date >= yearFirst && date <= yearLast) inYear += amount;
        }
        w->selectTab(cv::BookWindow::BudgetIndex);
        page->periodButton()->setCurrentIndex(page->periodButton()->findData(c.unit));
        Q_EMIT page->periodButton()->activated(page->periodButton()->currentIndex());
        w->performInputDate(c.first);
        QTest::qWait(20);
        const cv::BudgetModel *model = page->model();
        ASSERT_EQ(page->columns().dateForColumn(1).first, c.first);
        EXPECT_EQ(model->indexOfNode(leaf.get(), 2).data().toString(), QStringLiteral("320"));
        const int summary = page->columns().startEndBudgetCells();
        const auto text = [&](int column) { return model->indexOfNode(leaf.get(), column).data().toString(); };
        EXPECT_EQ(text(summary), c.unit == 5 ? QStringLiteral("-") : QStringLiteral("12,000"));
        EXPECT_EQ(text(summary + 1), c.unit == 5 ? QStringLiteral("-") : document->stringForValue(inYear, 0, false));
        delegate->openBooks().closeDocument(document, false);
    }
}
