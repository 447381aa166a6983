// The budget editor (months in sections, pending values, OK and Cancel) and
// the twelve-month budget panel (fiscal rows, applying to selected months,
// the copy put in place only on OK), and a look at both in each language.
#include "panels/PanelTestSupport.h"

#include "controls/TableModelAdapter.h"
#include "model/Budget.h"
#include "panels/sheets/BudgetEditor.h"
#include "panels/sheets/BudgetPanel.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace paneltest;

namespace {

constexpr int kLunch = 2101;
constexpr int kDinner = 2102;

QString cellText(const cv::BudgetEditor &editor, int cid, int row)
{
    return editor.objectValue(editor.tableView(), cid, row).value<cv::StyledText>().text;
}

class BudgetSheetsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        doc = makeBook();
        ASSERT_TRUE(doc);
        food = doc->findExpense(kFood);
        lunch = samplebook::node(food, kLunch, 21, QStringLiteral("Lunch"));
        dinner = samplebook::node(food, kDinner, 21, QStringLiteral("Dinner"));
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    std::unique_ptr<cv::Book> doc;
    cv::NodePtr food, lunch, dinner;
};

TEST_F(BudgetSheetsTest, EditorListsEachMonthsCategoriesAndWritesJanuaryIntoTheNextYear)
{
    dinner->setBudgetAfter(2010, 1, 7000);
    cv::BudgetEditor editor(doc.get(), food, QDate(2009, 11, 1), 3);
    QAbstractItemModelTester tester(editor.tableView()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(editor.numberOfRows(editor.tableView()), 9);
    const struct {
        int row;
        QString month, category, value;
    } rows[] = {
        {0, "11", "  Food", ""}, {1, "11", "    Lunch", ""}, {2, "11", "    Dinner", ""},
        {3, "12", "  Food", ""}, {6, "1", "  Food", ""},     {8, "1", "    Dinner", "7,000"},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(cellText(editor, 0, r.row), r.month) << r.row;
        EXPECT_EQ(cellText(editor, 1, r.row), r.category) << r.row;
        EXPECT_EQ(cellText(editor, 2, r.row), r.value) << r.row;
    }
    EXPECT_NE(editor.backgroundColorForRow(0), editor.backgroundColorForRow(3)) << "months alternate";
    EXPECT_EQ(editor.backgroundColorForRow(0), editor.backgroundColorForRow(2));

    // Typing: pending and blue until OK; unreadable text changes nothing; empty is 0.
    editor.setObjectValue(editor.tableView(), QStringLiteral("5,000"), 2, 7);
    editor.setObjectValue(editor.tableView(), QStringLiteral("abc"), 2, 7);
    editor.setObjectValue(editor.tableView(), QString(), 2, 8);
    EXPECT_EQ(cellText(editor, 2, 7), QStringLiteral("5,000"));
    EXPECT_TRUE(editor.objectValue(editor.tableView(), 2, 7).value<cv::StyledText>().color.isValid());
    EXPECT_EQ(lunch->budgetAt(2010, 1), 0) << "nothing written before OK";
    EXPECT_TRUE(editor.okButton()->isEnabled());
    // Rows are categories: nothing is deleted or added.
    EXPECT_FALSE(editor.tableView()->validateCommand(cv::TableCommand::Delete));
    editor.tableView()->QTableView::selectRow(1);
    editor.deleteRows(editor.tableView());
    EXPECT_EQ(editor.numberOfRows(editor.tableView()), 9);

    QSignalSpy ended(&editor, &cv::BudgetEditor::ended);
    editor.okPushed();
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.front().front().toInt(), 1);
    EXPECT_EQ(lunch->budgetAt(2010, 1), 5000);
    EXPECT_EQ(lunch->budgetAt(2010, 2), 0) << "the month after keeps its budget";
    EXPECT_EQ(lunch->budgetAt(2009, 1), 0);
    EXPECT_EQ(dinner->budgetAt(2010, 1), 0);
    EXPECT_EQ(dinner->budgetAt(2010, 2), 7000);
}

TEST_F(BudgetSheetsTest, EditorSetsOneMonthAndEndsZeroWithoutChanges)
{
    food->setBudgetAfter(2009, 1, 20000);
    {
        cv::BudgetEditor editor(doc.get(), food, QDate(2009, 6, 1), 1);
        QSignalSpy ended(&editor, &cv::BudgetEditor::ended);
        editor.setObjectValue(editor.tableView(), QStringLiteral("20,000"), 2, 0); // the value it has
        editor.okPushed();
        EXPECT_EQ(ended.front().front().toInt(), 0) << "OK without changes";
    }
    {
        cv::BudgetEditor editor(doc.get(), food, QDate(2009, 6, 1), 1);
        QSignalSpy ended(&editor, &cv::BudgetEditor::ended);
        editor.setObjectValue(editor.tableView(), QStringLiteral("25000"), 2, 0);
        editor.cancelPushed();
        EXPECT_EQ(ended.front().front().toInt(), 0);
        EXPECT_EQ(food->budgetAt(2009, 6), 20000) << "Cancel drops the typed value";
    }
    cv::BudgetEditor editor(doc.get(), food, QDate(2009, 6, 1), 1);
    editor.setObjectValue(editor.tableView(), QStringLiteral("25000"), 2, 0);
    editor.okPushed();
    const std::pair<int, double> months[] = {{5, 20000}, {6, 25000}, {7, 20000}, {12, 20000}};
    for (const auto &[month, value] : months) EXPECT_EQ(food->budgetAt(2009, month), value) << month;
}

TEST_F(BudgetSheetsTest, PanelShowsTheFiscalYearAndAppliesToSelectedMonthsOnly)
{
    doc->settings()->setFiscalMonthOfYear(3);
    food->setBudgetAfter(2007, 1, 20000);
    store(*doc, cv::EntryKind::Expense, QDate(2007, 6, 5), -1200, kFood, kA); // a refund
    const cv::BudgetPtr stored = std::dynamic_pointer_cast<cv::Budget>(food->extra());
    cv::BudgetPanel panel(doc.get(), QDate(2008, 2, 15), food);
    EXPECT_EQ(panel.year(), 2007);
    EXPECT_EQ(panel.monthOfRow(0), std::pair(2007, 4));
    EXPECT_EQ(panel.monthOfRow(9), std::pair(2008, 1));
    EXPECT_EQ(panel.monthOfRow(11), std::pair(2008, 3));
    QTableWidget *table = panel.tableView();
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("2007/04"));
    EXPECT_EQ(table->item(11, 0)->text(), QStringLiteral("2008/03"));
    EXPECT_EQ(table->item(2, cv::BudgetPanel::ActualColumn)->text(), QStringLiteral("-1,200"))
        << "a refund keeps its sign";
    EXPECT_EQ(table->item(2, cv::BudgetPanel::ActualColumn)->foreground().color(), cv::negativeColor());
    EXPECT_FALSE(panel.applyButton()->isEnabled());

    // January of the next calendar year fills the field with its budget.
    table->selectRow(9);
    EXPECT_EQ(panel.budgetTextField()->text(), QStringLiteral("20,000"));
    EXPECT_TRUE(panel.applyButton()->isEnabled());

    table->clearSelection();
    for (int row : {3, 4, 5})
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    panel.budgetTextField()->setText(QStringLiteral("50,000"));
    panel.applyPushed();
    const std::pair<int, double> months[] = {{6, 20000}, {7, 50000}, {8, 50000}, {9, 50000}, {10, 20000}};
    for (const auto &[month, value] : months) EXPECT_EQ(panel.budget()->budgetAt(2007, month), value) << month;
    EXPECT_EQ(table->item(6, cv::BudgetPanel::BudgetColumn)->text(), QStringLiteral("20,000"));
    EXPECT_EQ(food->budgetAt(2007, 7), 20000) << "the category waits for OK";

    // The calculator's value goes to the selected months too; the stepper turns the year.
    table->clearSelection();
    table->selectRow(0);
    panel.performInputValue(QStringLiteral("1,000"));
    EXPECT_EQ(panel.budget()->budgetAt(2007, 4), 1000);
    panel.setYear(2008);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("2008/04"));

    QSignalSpy finished(&panel, &QDialog::finished);
    panel.cancelPushed();
    EXPECT_EQ(finished.front().front().toInt(), 0);
    EXPECT_EQ(food->extra(), stored) << "Cancel leaves the stored budget";
    EXPECT_EQ(food->budgetAt(2007, 7), 20000);

    cv::BudgetPanel again(doc.get(), QDate(2008, 2, 15), food);
    again.tableView()->selectRow(3);
    again.applyValue(50000);
    again.okPushed();
    EXPECT_EQ(again.result(), 1);
    EXPECT_EQ(food->budgetAt(2007, 7), 50000);
    EXPECT_EQ(food->budgetAt(2007, 8), 20000);
}

class BudgetSheetsScreenshot : public ::testing::TestWithParam<const char *> {};

TEST_P(BudgetSheetsScreenshot, ShowTheEditorAndThePanel)
{
    const QString language = QString::fromLatin1(GetParam());
    cv::setLanguageOverride(language);
    auto doc = makeBook();
    ASSERT_TRUE(doc);
    const cv::NodePtr food = doc->findExpense(kFood);
    samplebook::node(food, kLunch, 21,
                     language == QLatin1String("ja") ? QStringLiteral("昼食") : QStringLiteral("Lunch"));
    samplebook::node(food, kDinner, 21,
                     language == QLatin1String("ja") ? QStringLiteral("夕食") : QStringLiteral("Dinner"));
    food->setBudgetAfter(2009, 1, 30000);
    doc->findExpense(kLunch)->setBudgetAfter(2009, 1, 12000);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 1, 12), 28500, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 2, 3), 31200, kFood, kA);
    store(*doc, cv::EntryKind::Expense, QDate(2009, 3, 8), -800, kFood, kA);

    QDialog *sheet = cv::BudgetEditor::openBudgetEditor(doc.get(), food, QDate(2009, 11, 1), 3, nullptr, {});
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->minimumSize(), sheet->size()) << "every row stays in sight";
    auto *editor = sheet->findChild<cv::BudgetEditor *>();
    editor->setObjectValue(editor->tableView(), QStringLiteral("8,000"), 2, 7);
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(sheet->grab(), language, QStringLiteral("budget-editor")));
    editor->cancelPushed();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the sheet is freed after its end

    cv::BudgetPanel panel(doc.get(), QDate(2009, 2, 15), food);
    panel.show();
    panel.tableView()->selectRow(1);
    QApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(panel.grab(), language, QStringLiteral("budget-panel")));
    cv::setLanguageOverride(QString());
}

INSTANTIATE_TEST_SUITE_P(Languages, BudgetSheetsScreenshot, ::testing::Values("en", "ja"));

} // namespace
