// The report sheet through its controls: ticks in the live trees, periods,
// the Report button, every kind run to PDF and previewed, and the marks
// cleared when the sheet ends.
#include "ReportFixture.h"
#include "support/Screenshots.h"

#include "controls/DateField.h"
#include "controls/ToggleOutlineView.h"
#include "document/Preference.h"
#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"
#include "reports/ReportSheet.h"
#include "reports/ReportOutlineModel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace reportfixture;
using cv::ReportSheet;

namespace {

class ReportPanelTest : public FixtureFTest {
protected:
    void SetUp() override
    {
        FixtureFTest::SetUp();
        ASSERT_TRUE(doc);
        preference.setLeftTopMargin(QSizeF(18, 36));
        preference.setRightBottomMargin(QSizeF(18, 36));
        panel = std::make_unique<ReportSheet>(doc.get(), &preference);
        panel->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        panel.reset();
        FixtureFTest::TearDown();
    }

    // A click on the node's tick in the current tab's outline.
    void click(int ident)
    {
        const ReportSheet::Tab &tab = panel->tab(panel->kind());
        const cv::NodePtr node = findNode(*doc, ident);
        ASSERT_TRUE(node) << ident;
        clickRow(tab.tree, tab.treeModel->indexOfNode(node.get()));
    }
    static void clickRow(cv::ToggleOutlineView *view, const QModelIndex &index)
    {
        ASSERT_TRUE(index.isValid());
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    static void type(cv::DateField *field, const QString &text)
    {
        field->textField()->selectAll();
        QTest::keyClicks(field->textField(), text);
        QTest::keyClick(field->textField(), Qt::Key_Tab);
        Q_EMIT field->textField()->editingFinished();
    }
    int status(int ident) const
    {
        const cv::NodePtr node = findNode(*doc, ident);
        return node ? node->status() : -1;
    }
    bool allMarksCleared() const
    {
        for (const cv::NodePtr &root : {doc->accountTrees()->asset(), doc->accountTrees()->debt(),
                                        doc->categoryTrees()->income(), doc->categoryTrees()->expense()})
            if (root->deepStatus() != 0) return false;
        return true;
    }

    // Chooses the budget tab's months by typing the years; the period they make.
    std::optional<ReportSheet::MonthPeriod> months(const QString &fromYear, int fromMonth, const QString &toYear,
                                                   int toMonth)
    {
        const ReportSheet::Tab &tab = panel->tab(7);
        for (auto [field, text] : {std::pair{tab.fromYear, fromYear}, {tab.toYear, toYear}}) {
            field->selectAll();
            QTest::keyClicks(field, text);
        }
        tab.fromMonth->setCurrentIndex(fromMonth - 1);
        tab.toMonth->setCurrentIndex(toMonth - 1);
        return panel->budgetPeriod();
    }
    // Clicks Preview and closes the preview; the pages it showed.
    int preview()
    {
        int pages = 0;
        QTimer::singleShot(200, [&] {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QPrintPreviewDialog *>(top); dialog && dialog->isVisible()) {
                    if (auto *widget = dialog->findChild<QPrintPreviewWidget *>()) pages = widget->pageCount();
                    dialog->reject();
                }
        });
        panel->previewButton()->click();
        return pages;
    }

    cv::Preference preference;
    std::unique_ptr<ReportSheet> panel;
};

} // namespace

TEST_F(ReportPanelTest, TicksFollowTheTreesAndCloseClearsThem)
{
    ASSERT_TRUE(allMarksCleared()) << "the sheet opens with nothing ticked";
    EXPECT_FALSE(panel->reportButton()->isEnabled());
    // The default period is this calendar month (fiscal start day 1).
    const QDate today = QDate::currentDate();
    EXPECT_EQ(panel->tab(0).from->date(), QDate(today.year(), today.month(), 1));
    EXPECT_EQ(panel->tab(0).to->date(), QDate(today.year(), today.month(), today.daysInMonth()));
    panel->kindButton()->setCurrentIndex(8);
    ASSERT_EQ(panel->kind(), 8);
    const ReportSheet::Tab &tab = panel->tab(8);
    QAbstractItemModelTester treeTester(tab.treeModel, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester groupTester(tab.groupModel, QAbstractItemModelTester::FailureReportingMode::Fatal);

    const cv::NodePtr expenseRoot = doc->categoryTrees()->expense();
    struct Step {
        int click;
        std::vector<std::pair<int, int>> statuses; // ident, status
        int rootStatus;
    } steps[] = {
        {kFood, {{kFood, 1}, {kLiving, 0}, {kDaily, 0}}, 0},
        {kDaily, {{kFood, 1}, {kDaily, 1}, {kLiving, 1}, {kRent, 0}, {30, 0}, {32, 0}, {33, 0}}, 0},
        {kFood, {{kFood, 0}, {kLiving, 0}, {kDaily, 1}}, 0},
    };
    for (const Step &step : steps) {
        click(step.click);
        for (const auto &[ident, value] : step.statuses) {
            EXPECT_EQ(status(ident), value) << step.click << " " << ident;
            // Column 2 names a node while it is ticked.
            const cv::NodePtr node = findNode(*doc, ident);
            const QModelIndex named = tab.treeModel->indexOfNode(node.get()).siblingAtColumn(2);
            EXPECT_EQ(named.data().toString(), value ? doc->displayName(*node) : QString()) << ident;
        }
        EXPECT_EQ(expenseRoot->status(), step.rootStatus);
        EXPECT_TRUE(panel->reportButton()->isEnabled());
    }

    // A grouping changes neither the button nor any node; the run keeps the ticked ones only.
    QTest::mouseClick(tab.useGroups, Qt::LeftButton, {}, QPoint(4, tab.useGroups->height() / 2));
    ASSERT_TRUE(tab.groups->isEnabled());
    const int noGrouping = tab.groupModel->groupings().back()->ident();
    for (int value : {1, 0, 1}) { // a second click takes the tick off
        clickRow(tab.groups, tab.groupModel->index(0, 0));
        EXPECT_EQ(tab.groupModel->groupings().back()->intValue(), value);
        EXPECT_EQ(panel->request()->groups.value_or(QList<int>{-1}), value ? QList<int>{noGrouping} : QList<int>{-1});
    }
    EXPECT_EQ(status(kDaily), 1);
    EXPECT_EQ(status(kFood), 0);
    EXPECT_TRUE(panel->reportButton()->isEnabled());

    // A level clears every category tick.
    click(kRent);
    tab.levels->button(1)->click();
    EXPECT_EQ(status(kRent), 0);
    EXPECT_FALSE(panel->reportButton()->isEnabled());

    panel->closeButton()->click();
    EXPECT_EQ(panel->result(), 0);
    EXPECT_TRUE(allMarksCleared());
    EXPECT_FALSE(doc->isDocumentEdited());
}

// Report and Preview: on with something ticked and each period in order (one
// day is in order), else off.
TEST_F(ReportPanelTest, ReportAndPreviewFollowTheSheetsContent)
{
    const QString p1 = QStringLiteral("2008/05/01"), p2 = QStringLiteral("2008/05/31");
    const struct {
        const char *what;
        int report;
        std::vector<int> ticks;
        QString from, to, from2, to2;
        bool on;
    } cases[] = {
        {"nothing ticked", 2, {}, p1, p2, {}, {}, false},
        {"a category ticked", 2, {kFood}, p1, p2, {}, {}, true},
        {"one day", 2, {kFood}, p2, p2, {}, {}, true},
        {"running backwards", 2, {kFood}, QStringLiteral("2008/06/01"), p2, {}, {}, false},
        {"an account ticked", 1, {kBank}, p1, p2, {}, {}, true},
        {"the second period one day", 6, {kFood}, p1, p2, p2, p2, true},
        {"the second period running backwards", 6, {kFood}, p1, p2, QStringLiteral("2008/06/01"), p2, false},
    };
    for (const auto &c : cases) {
        panel = std::make_unique<ReportSheet>(doc.get(), &preference);
        panel->show();
        panel->kindButton()->setCurrentIndex(c.report);
        const ReportSheet::Tab &tab = panel->tab(c.report);
        for (auto [field, text] : {std::pair{tab.from, c.from}, {tab.to, c.to}, {tab.from2, c.from2}, {tab.to2, c.to2}})
            if (field && !text.isEmpty()) type(field, text);
        for (int ident : c.ticks) click(ident);
        EXPECT_EQ(panel->reportButton()->isEnabled(), c.on) << c.what;
        EXPECT_EQ(panel->previewButton()->isEnabled(), c.on) << c.what;
        panel->closeButton()->click();
    }
}

TEST_F(ReportPanelTest, BudgetMonthsRunFromTheFiscalStartDay)
{
    panel->kindButton()->setCurrentIndex(7);
    click(kFood);
    struct Case {
        const char *what;
        int fiscalDay; // the start day less 1, as the settings keep it
        const char *zone;
        QString fromYear;
        std::optional<ReportSheet::MonthPeriod> period;
    } cases[] = {
        {"day 1", 0, nullptr, QStringLiteral("2008"), ReportSheet::MonthPeriod{{2008, 4, 1}, {2008, 6, 30}, 3}},
        {"day 25", 24, nullptr, QStringLiteral("2008"), ReportSheet::MonthPeriod{{2008, 4, 25}, {2008, 7, 24}, 3}},
        {"Berlin", 24, "Europe/Berlin", QStringLiteral("2008"),
         ReportSheet::MonthPeriod{{2008, 4, 25}, {2008, 7, 24}, 3}},
        {"five digits", 0, nullptr, QStringLiteral("20081"), std::nullopt},
        {"letters", 0, nullptr, QStringLiteral("abcd"), std::nullopt},
        {"year 0", 0, nullptr, QStringLiteral("0"), std::nullopt},
    };
    const QByteArray zone = qgetenv("TZ");
    for (const Case &c : cases) {
        doc->settings()->setFiscalDayOfMonth(c.fiscalDay);
        if (c.zone) qputenv("TZ", c.zone);
        tzset();
        const auto period = months(c.fromYear, 4, QStringLiteral("2008"), 6);
        if (zone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        tzset();
        ASSERT_EQ(period.has_value(), c.period.has_value()) << c.what;
        EXPECT_EQ(panel->reportButton()->isEnabled(), c.period.has_value()) << c.what;
        if (!period) continue;
        EXPECT_EQ(period->from, c.period->from) << c.what;
        EXPECT_EQ(period->to, c.period->to) << c.what;
        EXPECT_EQ(period->months, c.period->months) << c.what;
    }
}

// Every kind from its own tab, in both languages: the P period, its items
// ticked, written to a PDF on its own paper (A4, the securities trades
// landscape) whatever the book's print settings say, and previewed page for
// page; the book's settings stay as they were. The PDFs and the sheet's tabs
// are left for a look.
TEST_F(ReportPanelTest, EveryKindPrintsAndPreviewsOnItsPaper)
{
    auto info = std::make_shared<cv::PrintSettings>();
    info->setPaperName(QStringLiteral("Letter"));
    info->setOrientation(cv::PrintSettings::Landscape);
    doc->setPrintSettings(info);
    doc->updateChangeCount(cv::BookChanges::ChangeCleared);
    const std::vector<int> categories{kSalary, kLiving, kRent};
    // clang-format off
    const struct {
        int report;
        std::vector<int> ticks;   // accounts or categories; none: the security
        const char *texts[2][2];  // the title and a total the pages show, in Japanese and in English
        const char *figure;       // a figure they show
    } kinds[] = {
        {0, {kWallet, kBank, kCard}, {{"口座残高レポート", "負債合計"}, {"Account Balances", "Total Debts"}}, "373,000"},
        {9, {}, {{"銘柄別売買レポート", "Alpha 合計"}, {"Securities Trades", "Total of Alpha"}}, "10,825"},
        {1, {kBank}, {{"口座明細レポート", "Bank A 合計"}, {"Account Journal", "Total of Bank A"}}, "267,000"},
        {2, categories, {{"収支レポート", "支出合計"}, {"Income and Expenses", "Total Expenses"}}, "95,000"},
        {3, {kFood}, {{"費目別明細レポート", "Living/Food 小計"}, {"Itemised Categories", "Subtotal of Living/Food"}}, "13,000"},
        {4, categories, {{"キャッシュフロー", "出金 合計"}, {"Cash Flow", "Total Cash Out"}}, "220,000"},
        {5, categories, {{"キャッシュフロー明細", "証券の受取 小計"}, {"Cash Flow Detail", "Securities Receipts Subtotal"}}, "66,500"},
        {6, {kLiving, kRent}, {{"期間比較レポート", "Living 小計"}, {"Period Comparison", "Subtotal of Living"}}, "125.00"},
        {7, categories, {{"予算比較レポート", "支出合計"}, {"Budget Comparison", "Total Expenses"}}, "98,000"},
        {8, categories, {{"ランキング", "支出合計"}, {"Ranking", "Total Expenses"}}, "84.21"}};
    // clang-format on
    const auto poppler = [](const QString &tool, const QStringList &arguments) {
        QProcess process;
        process.start(tool, arguments);
        EXPECT_TRUE(process.waitForFinished(20000) && process.exitCode() == 0) << "poppler-utils are needed";
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    for (const char *language : {"ja", "en"}) {
        cv::setLanguageOverride(QString::fromLatin1(language));
        panel = std::make_unique<ReportSheet>(doc.get(), &preference);
        panel->show();
        auto *kindItems = qobject_cast<QStandardItemModel *>(panel->kindButton()->model());
        ASSERT_EQ(kindItems->rowCount(), std::size(kinds));
        for (const auto &[report, ticks, texts, figure] : kinds) {
            ASSERT_TRUE(kindItems->item(report)->isEnabled()) << report;
            panel->kindButton()->setCurrentIndex(report);
            const ReportSheet::Tab &tab = panel->tab(report);
            if (report == 7) months(QStringLiteral("2008"), 5, QStringLiteral("2008"), 5);
            for (auto [field, text] : {std::pair{tab.from, report == 6 ? "2008/04/01" : "2008/05/01"},
                                       {tab.to, report == 6 ? "2008/04/30" : "2008/05/31"},
                                       {tab.from2, "2008/05/01"},
                                       {tab.to2, "2008/05/31"}})
                if (field) type(field, QString::fromLatin1(text));
            if (ticks.empty()) clickRow(tab.tree, tab.treeModel->index(0, 0));
            for (int ident : ticks) click(ident);
            cvtest::saveScreenshot(panel->grab(), QString::fromLatin1(language),
                                   QStringLiteral("report-sheet-%1").arg(report));

            const QString pdf =
                cvtest::screenshotPath(QStringLiteral("report-kind-%1.pdf").arg(report), QString::fromLatin1(language));
            ASSERT_TRUE(panel->runReport(cv::PrintRunner::Mode::Pdf, pdf)) << language << " " << report;
            const QString pdfInfo = poppler(QStringLiteral("pdfinfo"), {pdf});
            EXPECT_TRUE(pdfInfo.contains(report == 9 ? "842 x 595 pts (A4)" : "595 x 842 pts (A4)")) << report;
            const QString shown =
                poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
            for (const char *expected : {texts[language[0] == 'e'][0], texts[language[0] == 'e'][1], figure})
                EXPECT_TRUE(shown.contains(QString::fromUtf8(expected)))
                    << language << " " << report << ": " << expected << "\n"
                    << shown.toStdString();
            const int pages = pdfInfo.section(QStringLiteral("Pages:"), 1).section(u'\n', 0, 0).trimmed().toInt();
            EXPECT_GT(pages, 0) << report;
            EXPECT_EQ(preview(), pages) << language << " " << report << ": the preview draws the same pages";
        }
        // A month without rows: the sheet says so and stays.
        type(panel->tab(8).from, QStringLiteral("2007/01/01"));
        type(panel->tab(8).to, QStringLiteral("2007/01/31"));
        ScriptedAlertPresenter alerts;
        EXPECT_FALSE(panel->runReport(cv::PrintRunner::Mode::Pdf, cvtest::screenshotPath(QStringLiteral("none.pdf"))));
        ASSERT_EQ(alerts.asked.size(), 1u);
        EXPECT_EQ(alerts.asked[0].title, cv::localizedString("Report-NoData-Title"));
        EXPECT_TRUE(panel->isVisible());
        panel->closeButton()->click();
        EXPECT_TRUE(allMarksCleared());
    }
    EXPECT_EQ(doc->printSettings()->orientation(), cv::PrintSettings::Landscape);
    EXPECT_EQ(doc->printSettings()->paperName(), QStringLiteral("Letter"));
    EXPECT_FALSE(doc->isDocumentEdited());
}
