// A template book with a year of entries, charted through the chart sheet
// into PDF files whose titles and legends are read back, and both sheets
// checked for cut texts; the sheets are also shot as PNG under the build tree
// (screenshots/{ja,en}/), for people to look at. Set CV_PRINT_OUT to a
// folder to keep the PDFs (pdftoppm -png).

#include "ChartBook.h"
#include "PdfText.h"
#include "support/Screenshots.h"

#include "charts/ChartSheet.h"
#include "charts/OverviewSheet.h"
#include "controls/TickTree.h"
#include "controls/DateField.h"
#include "document/Book.h"
#include "document/BookTestAccess.h"
#include "document/Preference.h"
#include "document/EditScope.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <optional>
#include <QPushButton>
#include <QHeaderView>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void leaves(const cv::NodePtr &node, std::vector<cv::NodePtr> &out)
{
    if (node->countChild() == 0 || node->kind() == cv::NodeKind::Investment) {
        if (node->kind() != cv::NodeKind::SectionRoot) out.push_back(node);
        return;
    }
    for (const cv::NodePtr &child : node->children()) leaves(child, out);
}

// 2009: a salary each month, and a few expenses every day from the cash,
// bank and card accounts of the template.
void fillYear(cv::Book &doc)
{
    std::vector<cv::NodePtr> assets, debts, incomes, expenses;
    leaves(doc.accountTrees()->asset(), assets);
    leaves(doc.accountTrees()->debt(), debts);
    leaves(doc.categoryTrees()->income(), incomes);
    leaves(doc.categoryTrees()->expense(), expenses);
    ASSERT_FALSE(assets.empty());
    ASSERT_FALSE(expenses.empty());
    ASSERT_FALSE(incomes.empty());
    std::vector<cv::NodePtr> payers = assets;
    payers.insert(payers.end(), debts.begin(), debts.end());
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    std::optional<cv::EditScope> batch(std::in_place, doc);
    for (const cv::NodePtr &account : assets)
        doc.updateIncome(samplebook::entry(cv::EntryKind::Income, QDate(2008, 12, 31), 200000 + 100000 * next(5),
                                           incomes.front()->ident(), account->ident()),
                         nullptr);
    for (QDate d(2009, 1, 1); d.year() == 2009; d = d.addDays(1)) {
        if (d.day() == 25)
            doc.updateIncome(samplebook::entry(cv::EntryKind::Income, d, 300000, incomes.front()->ident(),
                                               assets[d.month() % assets.size()]->ident()),
                             nullptr);
        for (unsigned k = 0; k < 3; ++k) {
            const cv::NodePtr &category = expenses[next(unsigned(expenses.size()))];
            const cv::NodePtr &payer = payers[next(unsigned(payers.size()))];
            doc.updateExpense(
                samplebook::entry(cv::EntryKind::Expense, d, 100 * (1 + next(60)), category->ident(), payer->ident()),
                nullptr);
        }
    }
    batch.reset();
}

class ChartShots : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        if (cvtest::pdfTextMissing()) GTEST_SKIP() << "pdftotext is missing";
        cv::setLanguageOverride(QString::fromLatin1(GetParam()));
        cv::BookTestAccess::setTemplateIndex(0);
        m_doc.createDefault();
        fillYear(m_doc);
        m_doc.createCache();
        const QString keep = qEnvironmentVariable("CV_PRINT_OUT");
        m_folder = keep.isEmpty() ? m_temp.path() : keep;
        QDir().mkpath(m_folder);
        m_preference.setLeftTopMargin(QSizeF(36, 36));
        m_preference.setRightBottomMargin(QSizeF(36, 36));
    }
    void TearDown() override { cv::setLanguageOverride(QString()); }

    bool shoot(QWidget &window, const QString &name)
    {
        return cvtest::saveScreenshot(window, QString::fromLatin1(GetParam()), name);
    }

    cv::Book m_doc;
    cv::Preference m_preference;
    QTemporaryDir m_temp;
    QString m_folder;
};

// The visible columns narrower than their content: what a user sees cut.
template <class View> std::string cutColumns(const View &view)
{
    const QAbstractItemView &cells = view; // where the content's width is public
    std::string cut;
    for (int c = 0; c < view.model()->columnCount(); ++c)
        if (!view.isColumnHidden(c) && view.columnWidth(c) < cells.sizeHintForColumn(c)) cut += std::to_string(c) + " ";
    return cut;
}

void tickAll(cv::TickTree *outline, const std::vector<cv::NodePtr> &nodes, cv::ChartSheet &sheet)
{
    for (const cv::NodePtr &node : nodes) {
        if (sheet.chartItems().size() >= 6) break;
        clickTick(outline, node);
    }
}

TEST_P(ChartShots, ChartsAndOverview)
{
    const QString language = QString::fromLatin1(GetParam());
    const bool ja = language == QLatin1String("ja");
    std::vector<cv::NodePtr> accounts, categories;
    leaves(m_doc.accountTrees()->asset(), accounts);
    leaves(m_doc.accountTrees()->debt(), accounts);
    leaves(m_doc.categoryTrees()->expense(), categories);

    cv::ChartSheet sheet(&m_doc, m_preference);
    typeDate(sheet.fromDateField(), QStringLiteral("2009/01/01"));
    typeDate(sheet.toDateField(), QStringLiteral("2009/12/31"));
    sheet.show();
    tickAll(sheet.accView(), accounts, sheet);
    EXPECT_TRUE(shoot(sheet, QStringLiteral("chart-sheet")));
    EXPECT_EQ(cutColumns(*sheet.accView()), "");
    // What each printed chart is titled, and what its first legend says.
    struct Print {
        const char *name;
        int tab, kind, interval;
        const char *ja, *en; // title and legend
    };
    const Print prints[] = {{"chart-line", 0, 0, 0, "口座 資産", "Accounts Assets"},
                            {"chart-pie-accounts", 0, 2, 0, "口座 資産", "Accounts Assets"},
                            {"chart-bar", 1, 1, 1, "収入と支出 支出", "Income and Expenses Expenses"},
                            {"chart-line-categories", 1, 0, 1, "収入と支出 支出", "Income and Expenses Expenses"},
                            {"chart-pie-categories", 1, 2, 0, "収入と支出 支出", "Income and Expenses Expenses"}};
    for (const Print &p : prints) {
        sheet.tabView()->setCurrentIndex(p.tab);
        if (p.tab == 1 && sheet.chartItems().empty()) {
            tickAll(sheet.actView(), categories, sheet);
            EXPECT_EQ(cutColumns(*sheet.actView()), "");
        }
        sheet.paramButton()->setCurrentIndex(p.kind);
        if (sheet.intervalButton()->isEnabled()) sheet.intervalButton()->setCurrentIndex(p.interval);
        const QString pdf = m_folder + QStringLiteral("/%1-%2.pdf").arg(QLatin1String(p.name), language);
        QFile::remove(pdf);
        ASSERT_TRUE(sheet.print(cv::PrintRunner::Mode::Pdf, pdf)) << p.name;
        // The title heads the page, the date line comes next, then the legend.
        const QStringList expected = QString::fromUtf8(ja ? p.ja : p.en).split(QLatin1Char(' '));
        const QString text = cvtest::pdfText(pdf);
        EXPECT_TRUE(text.startsWith(expected.mid(0, expected.size() - 1).join(QLatin1Char(' ')) + QLatin1Char(' ')))
            << p.name << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1Char(' ') + expected.last() + QLatin1Char(' '))) << p.name;
    }
    sheet.hide();

    cv::OverviewSheet overview(&m_doc);
    typeDate(overview.dateField(), QStringLiteral("2009/12/31"));
    // One name in the menu and on the sheet.
    EXPECT_EQ(overview.windowTitle(), QString::fromUtf8(ja ? "財務概況" : "Financial Overview"));
    EXPECT_EQ(cv::localizedString("Menu Financial Overview"), overview.windowTitle() + QStringLiteral("…"));
    EXPECT_TRUE(shoot(overview, QStringLiteral("overview-balance")));
    overview.tabView()->setCurrentIndex(1);
    EXPECT_TRUE(shoot(overview, QStringLiteral("overview-flow")));
    QTest::mouseClick(overview.monthOption(), Qt::LeftButton);
    overview.tabView()->setCurrentIndex(2);
    EXPECT_TRUE(shoot(overview, QStringLiteral("overview-ranking")));
    for (auto table : {cv::OverviewSheet::BalanceSheet, cv::OverviewSheet::ProfitLoss, cv::OverviewSheet::CashFlow,
                       cv::OverviewSheet::TopExpenses, cv::OverviewSheet::OverBudget})
        EXPECT_EQ(cutColumns(*overview.tableView(table)), "") << table;
}

INSTANTIATE_TEST_SUITE_P(Languages, ChartShots, ::testing::Values("ja", "en"));

} // namespace
