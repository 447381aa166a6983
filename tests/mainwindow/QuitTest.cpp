// Edited marks per window, quitting with edited books, and the hand-off of a
// second launch to the first.
#include "mainwindow/MainWindowTestSupport.h"

#include "controls/ControlsDocumentUI.h"
#include "mainwindow/SecuritiesWindow.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/viewer/ViewerPage.h"

#include <QDir>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTemporaryDir>
#include <QUuid>

#include <unistd.h>

TEST_F(DelegateTest, EditingOneBookMarksOnlyItsWindow)
{
    cv::Book *first = delegate->newDocument();
    cv::Book *second = delegate->newDocument();
    ASSERT_NE(window(0), window(1));
    EXPECT_FALSE(window(0)->isWindowModified());
    first->updateChangeCount(cv::BookChanges::ChangeDone);
    EXPECT_TRUE(window(0)->isWindowModified());
    EXPECT_FALSE(window(1)->isWindowModified());
    EXPECT_TRUE(window(0)->windowTitle().startsWith(cv::OpenBooks::displayName(*first)));

    ASSERT_TRUE(delegate->openBooks().saveDocumentAs(first, path(QStringLiteral("Saved.cvv2"))));
    EXPECT_FALSE(window(0)->isWindowModified());

    // Another view unit is an edit of the book that Quit asks about: the title shows it.
    auto *unit = window(0)->viewerPage()->findChild<QComboBox *>(QStringLiteral("periodicButton"));
    ASSERT_NE(unit, nullptr);
    QTest::keyClick(unit, Qt::Key_Up);
    EXPECT_TRUE(first->isDocumentEdited());
    EXPECT_TRUE(window(0)->isWindowModified());
    (void)second;

    // A resize is no edit; a book saved maximized opens again at the size it showed.
    ASSERT_TRUE(delegate->openBooks().saveDocument(first));
    cv::BookWindow *w = window(0);
    w->resize(700, 500);
    w->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const QSize normal = w->size();
    w->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->size() != normal; }, 1000));
    EXPECT_FALSE(w->isWindowModified());
    const QRect shown = w->geometry();
    ASSERT_TRUE(delegate->openBooks().saveDocument(first));
    delegate->openBooks().closeDocument(first, false);
    cv::Book *reopened = delegate->openBooks().openDocument(path(QStringLiteral("Saved.cvv2")));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(delegate->windowFor(reopened)->geometry(), shown);
}

// Save As starts in the documents folder; a name typed without an extension
// takes the chosen type's, another extension is refused and the book stays
// untitled; the securities window is retitled with the main window.
TEST_F(DelegateTest, SaveAsGivesANameWithoutExtensionTheChosenTypes)
{
    const struct {
        const char *typed;
        int filter;        // 0 the current form, 1 XML
        const char *saved; // "": refused
    } cases[] = {{"household", 0, "household.cvv2"}, {"家計簿2026", 1, "家計簿2026.cvxf"}, {"notes.txt", 0, ""}};
    for (const auto &c : cases) {
        cv::Book *document = nullptr;
        cv::BookWindow *w = openNewWindow(document, 1000, 680);
        w->showSecuritiesWindow();
        QString startedIn;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            startedIn = dialog->directory().absolutePath();
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            for (int step = 0; step < c.filter; ++step) QTest::keyClick(types, Qt::Key_Down);
            dialog->selectFile(path(QString::fromUtf8(c.typed)));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        alerts.asked.clear();
        delegate->actionNamed(QStringLiteral("saveAs"))->trigger();
        EXPECT_EQ(startedIn, QDir(cv::ControlsDocumentUI::documentsFolder()).absolutePath());
        const QString saved = QString::fromUtf8(c.saved);
        EXPECT_EQ(QFileInfo(document->fileName()).fileName(), saved) << c.typed;
        EXPECT_EQ(alerts.asked.size(), saved.isEmpty() ? 1u : 0u) << c.typed;
        if (saved.isEmpty()) continue;
        EXPECT_TRUE(QFileInfo::exists(path(saved))) << c.typed;
        EXPECT_TRUE(w->securityWindow()->windowTitle().contains(QFileInfo(saved).completeBaseName())) << c.typed;
        delegate->openBooks().closeDocument(document, false);
    }
}

TEST_F(DelegateTest, QuittingAsksAboutEachEditedBookAndACancelKeepsThemAll)
{
    struct Case {
        std::deque<cv::AlertButton> answers;
        size_t asked;
        size_t left;
        bool quits;
    } cases[] = {
        {{cv::AlertButton::Alternate}, 1, 2, false},                    // cancel at the first
        {{cv::AlertButton::Other, cv::AlertButton::Other}, 2, 0, true}, // discard both
    };
    for (const Case &c : cases) {
        for (int i = 0; i < 2; ++i) delegate->newDocument()->updateChangeCount(cv::BookChanges::ChangeDone);
        alerts.asked.clear();
        alerts.answers = c.answers;
        EXPECT_EQ(delegate->applicationShouldTerminate(), c.quits);
        EXPECT_EQ(alerts.asked.size(), c.asked);
        EXPECT_EQ(documentCount(), c.left);
        for (size_t i = 0; i < documentCount(); ++i) EXPECT_NE(window(int(i)), nullptr);
        alerts.answers = {cv::AlertButton::Other, cv::AlertButton::Other};
        delegate->openBooks().closeAll();
    }
}

TEST_F(DelegateTest, ClosingTheWindowClosesItsBookUnlessCancelled)
{
    cv::Book *document = delegate->newDocument();
    document->updateChangeCount(cv::BookChanges::ChangeDone);
    alerts.answers = {cv::AlertButton::Alternate};
    window()->close();
    EXPECT_EQ(documentCount(), 1u);
    alerts.answers = {cv::AlertButton::Other};
    QPointer<cv::BookWindow> w = window();
    w->close();
    EXPECT_EQ(documentCount(), 0u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

TEST(SingleInstanceTest, ASecondLaunchHandsItsFilesToTheFirst)
{
    const QString name = QStringLiteral("corvane-test-") + QUuid::createUuid().toString(QUuid::Id128);
    cv::SingleInstance first(name);
    EXPECT_FALSE(first.handOffOrListen({}));
    EXPECT_TRUE(first.isListening());
    QSignalSpy received(&first, &cv::SingleInstance::filesReceived);

    cv::SingleInstance second(name);
    EXPECT_TRUE(second.handOffOrListen({QStringLiteral("/books/家計簿.cvv2"), QStringLiteral("relative.cvv2")}));
    EXPECT_FALSE(second.isListening());
    ASSERT_TRUE(received.wait(5000));
    const QStringList files = received.front().front().toStringList();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], QStringLiteral("/books/家計簿.cvv2"));
    EXPECT_TRUE(QFileInfo(files[1]).isAbsolute());
}

TEST(SingleInstanceTest, AnInstanceListensAgainAfterTheFirstHasGone)
{
    const QString name = QStringLiteral("corvane-test-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        cv::SingleInstance earlier(name);
        earlier.handOffOrListen({});
    }
    cv::SingleInstance next(name);
    EXPECT_FALSE(next.handOffOrListen({}));
    EXPECT_TRUE(next.isListening());
}

// The hand-off reaches only a listener of the same user (another user is
// faked by the peer id the launch expects): otherwise it starts normally,
// hands nothing and leaves the listener alone.
TEST(SingleInstanceTest, TheHandOffNeverReachesAnotherUser)
{
    for (const bool stranger : {false, true}) {
        const QString name = QStringLiteral("corvane-test-") + QUuid::createUuid().toString(QUuid::Id128);
        cv::SingleInstance first(name);
        ASSERT_FALSE(first.handOffOrListen({}));
        QSignalSpy received(&first, &cv::SingleInstance::filesReceived);
        cv::SingleInstance second(name);
        if (stranger) second.setPeerUser(::getuid() + 1);
        EXPECT_EQ(second.handOffOrListen({QStringLiteral("/books/secret.cvv2")}), !stranger);
        EXPECT_EQ(received.wait(stranger ? 300 : 5000), !stranger);
        EXPECT_TRUE(first.isListening());
        EXPECT_FALSE(second.isListening());
    }
}

// A runtime folder others may enter is passed over for a private one of the
// user's own, never the shared /tmp.
TEST(SingleInstanceTest, TheSocketLivesInAPrivateFolder)
{
    QTemporaryDir shared;
    QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", shared.path().toUtf8());
    const QFileInfo folder(QFileInfo(cv::SingleInstance::defaultServerName()).absolutePath());
    qputenv("XDG_RUNTIME_DIR", saved);
    EXPECT_EQ(folder.ownerId(), ::getuid());
    EXPECT_EQ(folder.permissions() & 0x0077, QFile::Permissions()) << folder.filePath().toStdString();
}
