// Renders the start-up panel and a new book's window (each page) in both
// languages to PNG files, for looking at: set CORVANE_SCREENSHOTS to a folder.
#include "MainWindowTestSupport.h"

#include "mainwindow/InitialPanelController.h"

#include <QDir>
#include <QTest>
#include <QMenu>
#include <QMenuBar>

class ScreenshotTest : public DelegateTest, public ::testing::WithParamInterface<const char *> {
protected:
    QString language() const override { return QLatin1String(GetParam()); }
};

TEST_P(ScreenshotTest, StartUpPanelAndEachPage)
{
    const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS");
    if (folder.isEmpty()) GTEST_SKIP() << "set CORVANE_SCREENSHOTS to a folder";
    QDir().mkpath(folder);
    const QString lang = language();

    InitialPanelController panel(true);
    panel.show();
    panel.adjustSize();
    EXPECT_TRUE(panel.grab().save(folder + QStringLiteral("/startup-panel-%1.png").arg(lang)));

    delegate->newDocument();
    CV4WindowController *w = window();
    w->resize(1000, 680);
    w->show();
    for (const char *id : {"TB01", "TB02", "TB03", "TB05", "TB06"}) {
        w->selectTabWithIdentifier(QLatin1String(id));
        QTest::qWait(150);  // the viewer settles after the last resize
        EXPECT_TRUE(w->grab().save(folder + QStringLiteral("/window-%1-%2.png").arg(lang, QLatin1String(id))));
    }
    // The menu bar's File menu, opened.
    QMenu *file = w->menuBar()->actions().front()->menu();
    file->popup(w->mapToGlobal(QPoint(0, 0)));
    EXPECT_TRUE(file->grab().save(folder + QStringLiteral("/menu-file-%1.png").arg(lang)));
    file->hide();
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest, ::testing::Values("en", "ja"));
