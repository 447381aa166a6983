// Sheets, windows and small views of the kit.

#include "controls/BackButton.h"
#include "controls/BorderedHeaderView.h"
#include "controls/MainWindow.h"
#include "controls/MonitorOutsideClicks.h"
#include "controls/MonitoredWindow.h"
#include "controls/OpenSheet.h"
#include "controls/PopupManager.h"
#include "controls/RetainedWindowManager.h"
#include "controls/ShapeDrawing.h"
#include "controls/UndoableSheet.h"
#include "controls/WindowScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

TEST(SheetTracker, EndingTheMiddleOfThreeSheetsFreesOnlyItsControllerAfterItsEndHandler)
{
    QWidget parent;
    parent.show();
    cv::RetainedWindowManager tracker;
    std::vector<QPointer<QDialog>> sheets;
    QStringList handled;
    for (int i = 0; i < 3; ++i) {
        auto *sheet = new QDialog(&parent);
        tracker.begin(sheet);
        QObject::connect(sheet, &QDialog::finished, sheet, [&handled, sheet, i](int code) {
            // The controller is still alive while its end handler runs.
            handled << QStringLiteral("%1:%2:%3").arg(i).arg(code).arg(sheet->objectName());
        });
        sheet->open();
        sheets.emplace_back(sheet);
    }
    sheets[1]->setObjectName(QStringLiteral("alive"));
    sheets[1]->accept();
    EXPECT_EQ(tracker.count(), 2);
    EXPECT_EQ(handled, QStringList{QStringLiteral("1:1:alive")});
    runDeferredDeletes();
    EXPECT_TRUE(sheets[1].isNull());
    EXPECT_FALSE(sheets[0].isNull());
    EXPECT_EQ(tracker.windows(), (QList<QWidget *>{sheets[0], sheets[2]}));
}

TEST(SheetTracker, CloseAllClosesTheMostRecentFirst)
{
    cv::SheetManager popups;
    QStringList order;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < 3; ++i) {
        windows.push_back(std::make_unique<QWidget>());
        windows.back()->setObjectName(QString::number(i));
        windows.back()->show();
        popups.begin(windows.back().get());
    }
    struct CloseOrder : QObject {
        QStringList *order;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Close) *order << watched->objectName();
            return false;
        }
    } filter;
    filter.order = &order;
    for (auto &w : windows) w->installEventFilter(&filter);
    popups.closeAll();
    EXPECT_EQ(order, (QStringList{"2", "1", "0"}));
    EXPECT_EQ(popups.count(), 0);
}

TEST(SheetTracker, TheOpenerFreesAOneUseSheetAfterItsHandlerAndKeepsAKeptOneForItsNextOpening)
{
    QWidget parent;
    parent.show();
    QStringList handled;
    QPointer<QDialog> once = cv::openSheet(new QDialog(&parent), &parent, [&handled](int code, QDialog *sheet) {
        handled << QStringLiteral("once:%1:%2").arg(code).arg(sheet->isVisible());
    });
    EXPECT_TRUE(cv::sheetManager()->windows().contains(once.data()));
    once->done(3);
    EXPECT_FALSE(cv::sheetManager()->windows().contains(once.data()));
    runDeferredDeletes();
    EXPECT_TRUE(once.isNull());

    QPointer<QDialog> kept = new QDialog(&parent);
    for (int code : {1, 0}) {
        cv::openSheet(
            kept.data(), &parent,
            [&handled, code](int ended, QDialog *) { handled << QStringLiteral("kept%1:%2").arg(code).arg(ended); },
            cv::SheetLife::KeptByOwner);
        EXPECT_TRUE(cv::sheetManager()->windows().contains(kept.data()));
        kept->done(code);
        runDeferredDeletes();
        ASSERT_FALSE(kept.isNull());
        EXPECT_FALSE(cv::sheetManager()->windows().contains(kept.data()));
    }
    // Each opening's handler ran once, at its own end.
    EXPECT_EQ(handled, (QStringList{QStringLiteral("once:3:0"), QStringLiteral("kept1:1"), QStringLiteral("kept0:0")}));
}

TEST(Windows, ABackButtonIgnoresEnterAndAnswersCtrlEnter)
{
    cv::BackButton button(QStringLiteral("Back"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    for (Qt::Key key : {Qt::Key_Enter, Qt::Key_Return}) {
        QKeyEvent plain(QEvent::KeyPress, key, Qt::NoModifier);
        EXPECT_FALSE(button.performKeyEquivalent(&plain));
    }
    QTest::keyClick(&button, Qt::Key_Enter);
    EXPECT_EQ(clicks, 0);
    QTest::keyClick(&button, Qt::Key_Enter, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
}

TEST(Windows, ABorderedHeaderDrawsTheEdgeLinesItsBitsAsk)
{
    struct EdgeCase {
        int border;
        bool left, right;
    };
    QStandardItemModel model(1, 3);
    for (const EdgeCase &c :
         {EdgeCase{6, true, true}, EdgeCase{1, false, false}, EdgeCase{2, true, false}, EdgeCase{4, false, true}}) {
        cv::BorderedHeaderView header;
        header.setModel(&model);
        header.resize(300, 24);
        for (int s = 0; s < 3; ++s) header.resizeSection(s, 100);
        header.setBorder(1, c.border);
        header.show();
        const QImage image = header.viewport()->grab().toImage();
        const int y = 12;
        const QColor grey = cv::BorderedHeaderView::lineColor();
        EXPECT_EQ(image.pixelColor(100, y) == grey, c.left) << c.border;
        EXPECT_EQ(image.pixelColor(199, y) == grey, c.right) << c.border;
    }
}

TEST(Windows, AFrameIsKeptOnTheVisibleScreenTitleBarFirst)
{
    const QRect available(0, 30, 1000, 700); // 30..729
    struct FitCase {
        QRect frame, expected;
    };
    for (const FitCase &c :
         {FitCase{{100, 100, 400, 300}, {100, 100, 400, 300}}, FitCase{{100, 600, 400, 300}, {100, 430, 400, 300}},
          FitCase{{100, 100, 400, 900}, {100, 30, 400, 700}}, FitCase{{100, 0, 400, 200}, {100, 30, 400, 200}}}) {
        EXPECT_EQ(cv::constrainFrameRect(c.frame, available), c.expected);
    }
    // A monitored window (the securities window) placed too low comes up on it.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    cv::MonitoredWindow low;
    low.setGeometry(screen.left() + 10, screen.bottom() - 50, 300, 200);
    low.show();
    EXPECT_LE(low.frameGeometry().bottom(), screen.bottom());
    EXPECT_EQ(low.height(), 200);
}

TEST(Windows, TheTrackerSeesMainWindowPressesFirstAndNeverItsKeys)
{
    cv::MainWindow window;
    auto *button = new QPushButton(QStringLiteral("x"));
    window.setCentralWidget(button);
    window.resize(200, 100);
    window.move(0, 0);
    window.show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    auto popup = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    popup->setGeometry(500, 400, 50, 50);
    popup->show();
    cv::PopupManager::popupManager()->begin(popup.get());

    const QPoint at = button->mapTo(&window, button->rect().center());
    QTest::keyClick(window.windowHandle(), Qt::Key_A);
    EXPECT_TRUE(popup->isVisible());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(clicks, 1);
}

TEST(Windows, ARoundedRectangleCapsItsRadiusAtHalfTheShorterSide)
{
    const QRectF rect(0, 0, 40, 10);
    EXPECT_EQ(cv::roundRectPath(rect, 90), cv::roundRectPath(rect, 5));
    EXPECT_EQ(cv::roundRectPath(rect, 3).boundingRect(), rect);
    EXPECT_FALSE(cv::roundRectPath(rect, 90).contains(QPointF(0.5, 0.5)));
}

TEST(Windows, AnUndoableSheetEndsWithItsCodeAndUndoesOnTheDocumentsStack)
{
    QUndoStack stack;
    int value = 0;
    struct Step : QUndoCommand {
        int *v;
        explicit Step(int *v) : v(v) {}
        void redo() override { ++*v; }
        void undo() override { --*v; }
    };
    stack.push(new Step(&value));

    QWidget parent;
    parent.show();
    auto *sheet = new cv::UndoableSheet(&parent);
    sheet->setUndoStack(&stack);
    EXPECT_TRUE(sheet->undoAction()->isEnabled());
    sheet->undoAction()->trigger();
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(sheet->redoAction()->isEnabled());

    int finished = -1;
    QObject::connect(sheet, &QDialog::finished, [&finished](int code) { finished = code; });
    sheet->open();
    sheet->terminateModalSessionWithCode(2);
    EXPECT_EQ(finished, 2);

    QTimer::singleShot(0, sheet, [sheet] { sheet->terminateModalSessionWithCode(1); });
    EXPECT_EQ(sheet->exec(), 1);
    delete sheet;
    EXPECT_EQ(stack.count(), 1); // a sheet going away leaves the stack as it was
}

} // namespace
