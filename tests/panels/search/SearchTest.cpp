// The search page: result cells of entries and trades, the printed rows, the
// condition sheet's flags and bounds, the dirty rule, the menu commands and
// the exported bytes.
#include "panels/PanelTestSupport.h"

#include "controls/TickTree.h"
#include "controls/DateField.h"
#include "model/EditFlags.h"
#include "panels/search/SearchPagePanel.h"
#include "panels/search/SearchDialog.h"
#include "panels/search/SearchResultsPanel.h"
#include "panels/search/SearchResultsExporter.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using namespace paneltest;

namespace {

using R = cv::SearchResultsPanel;

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        cv::setLanguageOverride(QStringLiteral("en"));
        doc = makeBook();
        ASSERT_TRUE(doc);
        page = std::make_unique<cv::SearchPagePanel>(doc.get());
        page->resize(1000, 400);
        page->show();
    }
    void TearDown() override
    {
        cv::ChooserPopup::get()->mustClose();
        doc->undoStack()->clear();
    }
    R &results() { return *page->resultsPanel(); }
    std::unique_ptr<cv::Book> doc;
    std::unique_ptr<cv::SearchPagePanel> page;
};

TEST_F(Search, ResultCellsOfEntriesAndTradesAndThePrintedRows)
{
    auto buy = std::make_shared<cv::Trade>();
    buy->setKind(cv::TradeKind::Buy);
    buy->setAccount(kA);
    buy->setDate(QDate(2009, 3, 9));
    buy->setCount(100);
    buy->setUnitPrice(1239.25);
    ASSERT_EQ(buy->amount(), -123925);
    std::vector<cv::SearchRecord> records = {
        {samplebook::entry(cv::EntryKind::Transfer, QDate(2009, 3, 1), 20000, 11, kA, kC), nullptr},
        {samplebook::entry(cv::EntryKind::Transfer, QDate(2009, 3, 2), 50000, 12, kC, kA), nullptr},
        {samplebook::entry(cv::EntryKind::Expense, QDate(2009, 3, 3), 800, 0, kA), nullptr},
        {samplebook::entry(cv::EntryKind::Income, QDate(2009, 3, 4), -5, kSalary, kA), nullptr},
        {nullptr, buy},
    };
    page->resultsPanel()->setResults(records);
    EXPECT_EQ(page->resultCount(), 5);

    struct Cell {
        int row, cid;
        QString text;
    };
    // clang-format off
    const Cell cells[] = {
        {0, R::ExpenseColumn, QStringLiteral("20,000")}, {0, R::IncomeColumn, QString()},
        {1, R::ExpenseColumn, QStringLiteral("50,000")}, {1, R::IncomeColumn, QString()},
        {1, R::CategoryColumn, QStringLiteral("Money Transfer")}, {1, R::DestinationColumn, QStringLiteral("A")},
        {2, R::CategoryColumn, QStringLiteral("Expense")}, {2, R::ExpenseColumn, QStringLiteral("800")},
        {3, R::IncomeColumn, QStringLiteral("-5")}, {3, R::CategoryColumn, QStringLiteral("Salary")},
        {4, R::ExpenseColumn, QStringLiteral("123,925")}, {4, R::IncomeColumn, QString()},
    };
    // clang-format on
    for (const Cell &c : cells) EXPECT_EQ(results().textOfColumnId(c.cid, c.row), c.text) << c.row << "/" << c.cid;

    QStringList header;
    for (const char *key : {"Report-Date", "Report-Search-Category", "Report-Account", "Report-Search-Destination",
                            "Report-Search-Income", "Report-Search-Expense", "Report-Group", "Report-Memo"})
        header << cv::localizedString(QString::fromLatin1(key));
    EXPECT_EQ(results().searchReportCallback(R::kHeaderLevel, 0), header);
    const QStringList income = results().searchReportCallback(0, 3);
    ASSERT_EQ(income.size(), 8);
    EXPECT_EQ(income[4], QStringLiteral("-5"));
    const auto printed = page->printRows();
    ASSERT_EQ(printed.size(), 6u);
    EXPECT_EQ(printed.front(), std::make_pair(R::kHeaderLevel, 0));
    EXPECT_EQ(printed.back(), std::make_pair(0, 4));

    // A transfer's amounts and a trade's cells other than the date are not edited here.
    cv::EditingTable *table = results().tableView();
    EXPECT_FALSE(results().isColumnSelectable(table, R::ExpenseColumn, 0));
    EXPECT_FALSE(results().isColumnSelectable(table, R::IncomeColumn, 0));
    EXPECT_TRUE(results().isColumnSelectable(table, R::MemoColumn, 0));
    EXPECT_TRUE(results().isColumnSelectable(table, R::DateColumn, 4));
    EXPECT_FALSE(results().isColumnSelectable(table, R::MemoColumn, 4));
    // A click on a trade's other cells asks for its trade panel with what it read before the list went.
    buy->setIdent(77);
    std::vector<int> opened;
    QObject::connect(&results(), &R::openTradeRequested, &results(),
                     [&](int account, const QDate &from, const QDate &to, int ident) {
                         EXPECT_EQ(from, QDate(2009, 3, 1));
                         EXPECT_EQ(to, QDate(2009, 3, 9));
                         opened = {account, ident};
                     });
    EXPECT_FALSE(results().handleClick(table, nullptr, R::DateColumn, 4));
    EXPECT_TRUE(results().handleClick(table, nullptr, R::MemoColumn, 4));
    page->execMenu(cv::SearchPagePanel::ClearTag);
    QApplication::processEvents();
    EXPECT_EQ(opened, std::vector<int>({kA, 77}));
    page->resultsPanel()->setResults(records);
    EXPECT_TRUE(results().columnAllowsNegativeInput(R::IncomeColumn, 3));
    EXPECT_FALSE(results().columnAllowsNegativeInput(R::ExpenseColumn, 0));
}

TEST_F(Search, TheConditionSheetsFlagsBoundsAndMemoWords)
{
    cv::SearchDialog &sheet = *page->searchDialog();
    store(*doc, cv::EntryKind::Expense, QDate(2009, 3, 3), 800, kFood, kA);
    page->execSearchForAccount({doc->findAccount(kA)}, QDate(2009, 1, 1), QDate(2009, 12, 31));
    ASSERT_EQ(page->resultCount(), 1);

    // Nothing ticked: no search, the old list stays.
    sheet.okPushed();
    EXPECT_EQ(sheet.useFlags(), 0);
    EXPECT_EQ(page->resultCount(), 1);

    sheet.useDateCheckBox()->setChecked(true);
    sheet.dateField(0)->setStringValue(QString());
    sheet.useValueCheckBox()->setChecked(true);
    sheet.valueCell(0)->setText(QStringLiteral("100"));
    sheet.valueCell(1)->clear();
    sheet.useMemoCheckBox()->setChecked(true);
    sheet.memoCell(0)->setText(QStringLiteral("a"));
    sheet.memoCell(2)->setText(QStringLiteral("b"));
    sheet.okPushed();
    EXPECT_EQ(sheet.useFlags(), cv::SearchDialog::UseDate | cv::SearchDialog::UseValue | cv::SearchDialog::UseMemo);
    EXPECT_EQ(sheet.getPeriod().first, QDate(1900, 1, 1));
    EXPECT_EQ(sheet.getValueRange(), std::make_pair(100.0, std::numeric_limits<double>::infinity()));
    const cv::SearchConditions c = sheet.conditions();
    EXPECT_EQ(c.memo, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_FALSE(c.memoAnd);
    EXPECT_TRUE(c.account.isEmpty());
    EXPECT_EQ(page->resultCount(), 0); // the search ran: no memo matches

    sheet.andButton()->setChecked(true);
    sheet.okPushed();
    EXPECT_TRUE(sheet.useFlags() & cv::SearchDialog::MemoAnd);
    EXPECT_TRUE(sheet.condIsAnd());
    sheet.accountView()->toggleNode(*doc->findAccount(kA));
    sheet.useMemoCheckBox()->setChecked(false);
    sheet.okPushed();
    EXPECT_EQ(sheet.useFlags() & (cv::SearchDialog::UseAccount | cv::SearchDialog::UseMemo),
              cv::SearchDialog::UseAccount);
    EXPECT_TRUE(sheet.validMemoList().isEmpty());
    EXPECT_EQ(page->resultCount(), 1);
    sheet.cancelPushed();
    EXPECT_EQ(sheet.useFlags(), 0);
    EXPECT_EQ(page->resultCount(), 1);
}

TEST_F(Search, TheDirtyRuleTheMenuCommandsAndTheExportedBytes)
{
    auto memo = [&](const char *text, int day) {
        auto e = samplebook::entry(cv::EntryKind::Expense, QDate(2009, 3, day), 100, kFood, kA);
        e->setMemo(QString::fromUtf8(text));
        doc->updateExpense(e, nullptr);
    };
    memo("テスト", 1);
    memo("abc", 2);
    memo("", 3);
    ASSERT_EQ(page->execSearchForAccount({doc->findAccount(kA)}, QDate(2009, 3, 1), QDate(2009, 3, 31)), 3);
    page->noteDocumentChanged(true);
    page->enterSearchView();
    EXPECT_EQ(page->resultCount(), 3);
    page->noteDocumentChanged(false);
    EXPECT_EQ(page->resultCount(), 3);
    page->enterSearchView();
    EXPECT_EQ(page->resultCount(), 0);

    page->execSearchForAccount({doc->findAccount(kA)}, QDate(2009, 3, 1), QDate(2009, 3, 31));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.txt"));
    page->setExportColumns({R::MemoColumn});
    ASSERT_TRUE(page->exportSearchResults(path).ok);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray::fromHex("8365835883670d0a6162630d0a0d0a"));
    // Every column, in table order, one tab between.
    page->setExportColumns({});
    EXPECT_EQ(page->exportRows().front().size(), R::kColumnCount);

    EXPECT_TRUE(page->validateMenu(cv::SearchPagePanel::ClearTag, true));
    EXPECT_FALSE(page->validateMenu(cv::SearchPagePanel::RemoveRowTag, true));
    results().tableView()->QTableView::selectRow(1);
    ASSERT_TRUE(page->validateMenu(cv::SearchPagePanel::RemoveRowTag, true));
    page->execMenu(cv::SearchPagePanel::RemoveRowTag);
    EXPECT_EQ(page->resultCount(), 2);
    page->execMenu(cv::SearchPagePanel::ClearTag);
    EXPECT_EQ(page->resultCount(), 0);
    EXPECT_TRUE(page->countField()->text().contains(QLatin1Char('0')));
    EXPECT_FALSE(page->validateMenu(cv::SearchPagePanel::ExportTag, true));
    EXPECT_FALSE(page->validateMenu(cv::SearchPagePanel::SearchTag, false));
}

TEST(SearchExport, LinesStayIntactAndCharactersWithoutAFormAreCounted)
{
    int unmappable = 0;
    EXPECT_EQ(cv::SearchResultsExporter::encodeLine({QStringLiteral("a\tb\r\nc"), QStringLiteral("①～")}, &unmappable),
              QByteArray("a b  c\t") + QByteArray::fromHex("87408160") + "\r\n");
    EXPECT_EQ(unmappable, 0);
    EXPECT_EQ(cv::SearchResultsExporter::encodeLine({QStringLiteral("x😀y")}, &unmappable), QByteArray("x?y\r\n"));
    EXPECT_EQ(unmappable, 1);

    // A file that cannot be written is reported and the old one stays.
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/out.txt"));
    const auto failed = cv::SearchResultsExporter::write(missing, {{QStringLiteral("x")}});
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.errorString.isEmpty());
}

} // namespace

// Column titles clicked choose the exported columns: one, more with Ctrl, all after a second click.
TEST_F(Search, ExportWritesTheColumnsChosenByTheirTitles)
{
    auto e = samplebook::entry(cv::EntryKind::Expense, QDate(2009, 3, 1), 100, kFood, kA);
    e->setMemo(QStringLiteral("abc"));
    doc->updateExpense(e, nullptr);
    page->execSearchForAccount({doc->findAccount(kA)}, QDate(2009, 3, 1), QDate(2009, 3, 31));
    cv::EditingTable *table = results().tableView();
    const auto click = [&](int cid, bool ctrl) {
        int column = 0;
        while (table->cidOfColumn(column) != cid) ++column;
        const QPoint at(table->horizontalHeader()->sectionViewportPosition(column) + 5, 5);
        QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton,
                          ctrl ? Qt::ControlModifier : Qt::NoModifier, at);
    };
    // clicks (column, Ctrl), then the values exported and where the memo stands
    // clang-format off
    for (auto [clicks, values, memoAt] : std::vector<std::tuple<std::vector<std::pair<int, bool>>, int, int>>{
             {{}, R::kColumnCount, 7}, {{{R::MemoColumn, false}}, 1, 0},
             {{{R::AccountColumn, false}, {R::MemoColumn, true}}, 2, 1}, {{{R::AccountColumn, true}}, 1, 0},
             {{{R::MemoColumn, false}}, R::kColumnCount, 7}}) {
        // clang-format on
        for (auto [cid, ctrl] : clicks) click(cid, ctrl);
        const QStringList row = page->exportRows().front();
        EXPECT_EQ(row.size(), values);
        EXPECT_EQ(row.indexOf(QStringLiteral("abc")), memoAt);
    }
}
