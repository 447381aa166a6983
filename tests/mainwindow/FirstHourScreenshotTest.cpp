// Renders, in both languages, a book with a month of entries: the viewer, the
// budget page, the search sheet and results, the print dialog and preview.
// For looking at: set CORVANE_SCREENSHOTS to a folder.
#include "MainWindowTestSupport.h"

#include "mainwindow/SearchPage.h"
#include "panels/SearchPageController.h"
#include "panels/SearchPanelController.h"
#include "platform/widgets/QtTranslations.h"
#include "support/SampleBook.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

namespace {

class FirstHourScreenshotTest : public DelegateTest, public ::testing::WithParamInterface<const char *> {
protected:
    QString language() const override { return QLatin1String(GetParam()); }
    void TearDown() override
    {
        DelegateTest::TearDown();
        cv::installQtTranslations();
    }
    // The first account and category of each kind the template made.
    static CVUnitModelPtr first(const CVUnitModelPtr &root)
    {
        for (const CVUnitModelPtr &child : root->children()) {
            if (child->children().empty()) return child;
            if (CVUnitModelPtr leaf = first(child)) return leaf;
        }
        return nullptr;
    }
    // Grabs the next application-modal window once it shows, then closes it.
    void grabNextModal(const QString &file)
    {
        QTimer::singleShot(300, [file] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal) return;
            modal->resize(modal->sizeHint().expandedTo(QSize(760, 560)));
            QTest::qWait(200);
            modal->grab().save(file);
            modal->close();
        });
    }
};

} // namespace

TEST_P(FirstHourScreenshotTest, ViewerBudgetSearchAndPrinting)
{
    const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS");
    if (folder.isEmpty()) GTEST_SKIP() << "set CORVANE_SCREENSHOTS to a folder";
    QDir().mkpath(folder);
    const QString lang = language();
    cv::installQtTranslations();
    const auto shot = [&](const QString &name) -> QString { return folder + QStringLiteral("/%1-%2.png").arg(name, lang); };

    CV4Document *document = nullptr;
    CV4WindowController *w = openNewWindow(document, 1100, 720);
    ASSERT_NE(w, nullptr);
    const CVUnitModelPtr bank = first(document->accountModel()->asset());
    const CVUnitModelPtr salary = first(document->actualModel()->income());
    const CVUnitModelPtr food = first(document->actualModel()->expense());
    ASSERT_TRUE(bank && salary && food);
    const QDate today = QDate::currentDate();
    document->updateIncome(samplebook::entry(CV4Actual::Income, today.addDays(-3), 250000, salary->ident(), bank->ident()),
                           nullptr);
    document->updateExpense(samplebook::entry(CV4Actual::Expense, today.addDays(-2), 1234.56, food->ident(), bank->ident()),
                            nullptr);
    document->updateExpense(samplebook::entry(CV4Actual::Expense, today.addDays(-1), -0.01, food->ident(), bank->ident()),
                            nullptr);
    food->setBudgetAfter(today.year(), today.month(), 30000);
    document->commitActualModel();

    for (const char *id : {"TB01", "TB03", "TB05"}) {
        w->selectTabWithIdentifier(QLatin1String(id));
        QTest::qWait(200);
        EXPECT_TRUE(w->grab().save(shot(QStringLiteral("page-%1").arg(QLatin1String(id)))));
    }

    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    SearchPageController *search = w->searchPage()->controller();
    SearchPanelController *sheet = search->searchPanelController();
    sheet->updateList();
    sheet->resize(sheet->sizeHint());
    sheet->show();
    QTest::qWait(100);
    EXPECT_TRUE(sheet->grab().save(shot(QStringLiteral("search-sheet"))));
    sheet->hide();
    search->execSearchForAccount({bank}, today.addMonths(-1), today);
    QTest::qWait(100);
    EXPECT_TRUE(w->grab().save(shot(QStringLiteral("search-results"))));

    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    grabNextModal(shot(QStringLiteral("print-dialog")));
    w->printView(delegate->preference(), cv::PrintRunner::Mode::Dialog);
    grabNextModal(shot(QStringLiteral("print-preview")));
    w->printView(delegate->preference(), cv::PrintRunner::Mode::Preview);
    const QString pdf = folder + QStringLiteral("/viewer-%1.pdf").arg(lang);
    EXPECT_TRUE(w->printView(delegate->preference(), cv::PrintRunner::Mode::Pdf, pdf).printed);
    document->undoStack()->clear();
    alerts.answers = {cv::AlertButton::Other};
}

INSTANTIATE_TEST_SUITE_P(Languages, FirstHourScreenshotTest, ::testing::Values("en", "ja"));
