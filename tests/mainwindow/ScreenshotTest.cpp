// Renders the start-up panel, a new book's window (each page, with an entry
// and a budget), the search sheet and the print dialog and preview in both
// languages to PNG files, for looking at: set CORVANE_SCREENSHOTS to a folder.
#include "mainwindow/MainWindowTestSupport.h"

#include "mainwindow/StartupDialog.h"
#include "mainwindow/pages/SearchPage.h"
#include "panels/search/SearchPagePanel.h"
#include "panels/search/SearchDialog.h"
#include "platform/widgets/QtTranslations.h"
#include "support/SampleBook.h"

#include <QApplication>
#include <QTimer>
#include <QUndoStack>

#include <QDir>
#include <QTest>
#include <QMenu>
#include <QMenuBar>

using ScreenshotTest = InLanguages<DelegateTest>;

TEST_P(ScreenshotTest, StartUpPanelAndEachPage)
{
    const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS");
    if (folder.isEmpty()) GTEST_SKIP() << "set CORVANE_SCREENSHOTS to a folder";
    QDir().mkpath(folder);
    const QString lang = language();
    cv::installQtTranslations();

    cv::StartupDialog panel(true);
    panel.show();
    panel.adjustSize();
    EXPECT_TRUE(panel.grab().save(folder + QStringLiteral("/startup-panel-%1.png").arg(lang)));

    cv::Book *document = delegate->newDocument();
    const cv::NodePtr other = document->categoryTrees()->expense()->childAt(0);
    document->updateExpense(samplebook::entry(cv::EntryKind::Expense, QDate::currentDate(), 1234, other->ident(),
                                              document->accountTrees()->asset()->childAt(0)->ident()),
                            nullptr);
    other->setBudgetAfter(QDate::currentDate().year(), QDate::currentDate().month(), 30000);
    cv::BookWindow *w = window();
    w->resize(1000, 680);
    w->show();
    for (const char *id : {"TB01", "TB02", "TB03", "TB05", "TB06"}) {
        w->selectTabWithIdentifier(QLatin1String(id));
        QTest::qWait(150); // the viewer settles after the last resize
        EXPECT_TRUE(w->grab().save(folder + QStringLiteral("/window-%1-%2.png").arg(lang, QLatin1String(id))));
    }
    // The menu bar's File menu, opened.
    QMenu *file = w->menuBar()->actions().front()->menu();
    file->popup(w->mapToGlobal(QPoint(0, 0)));
    EXPECT_TRUE(file->grab().save(folder + QStringLiteral("/menu-file-%1.png").arg(lang)));
    file->hide();

    cv::SearchDialog *sheet = w->searchPage()->controller()->searchDialog();
    sheet->show();
    EXPECT_TRUE(sheet->grab().save(folder + QStringLiteral("/search-sheet-%1.png").arg(lang)));
    w->selectTabWithIdentifier(QStringLiteral("TB01"));
    for (auto [mode, name] : {std::pair(cv::PrintRunner::Mode::Dialog, "print-dialog"),
                              {cv::PrintRunner::Mode::Preview, "print-preview"}}) {
        QTimer::singleShot(300, [&, name = QLatin1String(name)] {
            QWidget *modal = QApplication::activeModalWidget();
            EXPECT_TRUE(modal && modal->grab().save(folder + QStringLiteral("/%1-%2.png").arg(name, lang)));
            if (modal) modal->close();
        });
        w->printView(delegate->preference(), mode);
    }
    document->undoStack()->clear(), alerts.answers = {cv::AlertButton::Other};
    cv::setLanguageOverride(QStringLiteral("en"));
    cv::installQtTranslations(); // English again for the tests after
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest, ::testing::Values("en", "ja"));
