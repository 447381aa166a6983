// The window's statement import command opens the import sheet on the viewer.
#include "mainwindow/MainWindowTestSupport.h"

#include "import/ImportOFXSheet.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>

TEST_F(DelegateTest, TheImportCommandsOpenTheStatementSheetOnTheViewer)
{
    for (const char *command : {"importOFX", "categoryImportOFX"}) {
        SCOPED_TRACE(command);
        cv::Book *document = nullptr;
        cv::BookWindow *w = openNewWindow(document, 1000, 600);
        ASSERT_NE(w, nullptr);
        w->selectTabWithIdentifier(QStringLiteral("TB01"));
        delegate->validateMenus();
        QAction *action = delegate->actionNamed(QLatin1String(command));
        ASSERT_TRUE(action->isEnabled());
        w->selectTab(cv::BookWindow::SearchIndex);
        w->importData(cv::tag::ImportOFX);
        auto *sheet = w->findChild<cv::ImportOFXSheet *>();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB01"));
        sheet->cancelPushed();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(w->findChild<cv::ImportOFXSheet *>(), nullptr);
        delegate->openBooks().closeDocument(document, false);
    }
}
