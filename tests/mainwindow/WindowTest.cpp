// The document window: toolbar, page switching, dirty flags, dates, frame,
// busy indicator and the window's own menu validation.
#include "mainwindow/MainWindowTestSupport.h"

#include "reports/ReportSheet.h"

#include <QPushButton>

#include "mainwindow/DocumentToolbar.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "mainwindow/WindowPage.h"

#include "controls/EditingTable.h"
#include "controls/HostedPanel.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "controls/CalendarPopup.h"
#include "document/BookTestAccess.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QMenu>
#include <QTabBar>
#include <QTest>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolButton>
#include <QUndoStack>

namespace {

class RecordingClient : public cv::PageSwitcherClient {
public:
    bool shouldSelectPage(int index) override
    {
        log << QStringLiteral("should %1").arg(index);
        return allow;
    }
    void willSelectPage(int index) override { log << QStringLiteral("will %1").arg(index); }
    void didSelectPage(int index) override { log << QStringLiteral("did %1").arg(index); }
    QStringList log;
    bool allow = true;
};

} // namespace

TEST_F(DelegateTest, ToolbarShowsTheDefaultItemsInOrderLabelledFromTheStringTable)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    ASSERT_NE(w, nullptr);
    QStringList shown;
    for (QAction *action : w->toolbar()->actions()) {
        if (!action->isVisible()) continue; // items of a hosted panel
        shown << action->data().toString();
        const QString label = cv::localizedString(action->data().toString());
        EXPECT_EQ(action->text(), label);
        EXPECT_NE(label, action->data().toString()) << "untranslated";
        EXPECT_FALSE(action->icon().isNull());
    }
    EXPECT_EQ(shown, (QStringList{"TB07", "TB03", "TB02", "TB05", "TB06"}));
    EXPECT_FALSE(w->toolbar()->isItemVisible(QStringLiteral("TB01"))) << "offered, hidden at first";
    EXPECT_EQ(w->toolbar()->iconSize(), QSize(48, 36));
    EXPECT_EQ(w->toolbar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

TEST_F(DelegateTest, ToolbarModeAndHiddenItemsAreKeptInTheSettings)
{
    delegate->newDocument();
    std::unique_ptr<QMenu> menu(window()->toolbar()->makeContextMenu(nullptr));
    const QList<QAction *> items = menu->actions();
    ASSERT_GE(items.size(), 9);
    items[2]->trigger(); // text only
    for (QAction *item : items) {
        if (item->data().toString() == QLatin1String("TB05")) item->trigger(); // hide
        if (item->data().toString() == QLatin1String("TB01")) item->trigger(); // show the viewer's item
    }
    cv::DocumentToolbar again(settings.get());
    EXPECT_EQ(again.displayMode(), cv::DocumentToolbar::LabelOnly);
    EXPECT_EQ(again.toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_FALSE(again.isItemVisible(QStringLiteral("TB05")));
    EXPECT_TRUE(again.isItemVisible(QStringLiteral("TB03")));
    EXPECT_TRUE(again.isItemVisible(QStringLiteral("TB01")));
    EXPECT_TRUE(settings->childGroups().contains(cv::DocumentToolbar::kIdentifier));
}

TEST(PageSwitcherTest, RunsShouldWillDidInOrderRefusesAndIgnoresTheShownPage)
{
    QStackedWidget stack;
    RecordingClient client;
    cv::PageSwitcher switcher(&stack, &client);
    for (const char *id : {"TB01", "TB02", "TB03"}) switcher.addPage(new cv::WindowPage(QLatin1String(id), nullptr));
    EXPECT_TRUE(client.log.isEmpty()) << "adding pages selects nothing";

    EXPECT_TRUE(switcher.select(QStringLiteral("TB03")));
    EXPECT_EQ(client.log, (QStringList{"should 2", "will 2", "did 2"}));
    EXPECT_EQ(stack.currentIndex(), 2);

    client.log.clear();
    EXPECT_FALSE(switcher.select(2));
    EXPECT_FALSE(switcher.select(QStringLiteral("TB99")));
    EXPECT_TRUE(client.log.isEmpty());

    client.allow = false;
    EXPECT_FALSE(switcher.select(1));
    EXPECT_EQ(client.log, QStringList{"should 1"});
    EXPECT_EQ(switcher.currentIdentifier(), QStringLiteral("TB03"));
}

TEST_F(DelegateTest, PagesSwitchOnlyThroughTheToolbarAndViewCommands)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB01"));
    w->toolbar()->actionFor(QStringLiteral("TB03"))->trigger();
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB03"));
    EXPECT_EQ(w->currentTabViewIndex(), 2);
    w->toolbar()->actionFor(QStringLiteral("TB03"))->trigger(); // the shown page: nothing changes
    EXPECT_TRUE(w->toolbar()->actionFor(QStringLiteral("TB03"))->isChecked());
    EXPECT_FALSE(w->toolbar()->actionFor(QStringLiteral("TB02"))->isChecked());
    // The wizard (cancelled) and the report sheet never select a page.
    w->setWizardRunner([](cv::Book *, int, QWidget *) { return 0; });
    w->selectTabWithIdentifier(QStringLiteral("TB07"));
    w->selectTabWithIdentifier(QStringLiteral("TB04"));
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB03"));
    auto *reports = w->findChild<cv::ReportSheet *>();
    ASSERT_TRUE(reports);
    reports->closeButton()->click();

    // Leaving the search page commits its results, of which there are none yet.
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    ASSERT_EQ(w->searchPage()->resultCount(), 0);
    delegate->actionNamed(QStringLiteral("viewTB05"))->trigger();
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB05"));
    delegate->validateMenus();
    EXPECT_TRUE(delegate->actionForTag(cv::tag::ViewCurrency)->isChecked());
    EXPECT_FALSE(delegate->actionForTag(cv::tag::ViewBudget)->isChecked());
}

TEST_F(DelegateTest, ChangesMarkOnlyHiddenPagesDirtyAndEnteringClearsThem)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    Q_EMIT document->categoryChanged(cv::ChangeSet{});
    EXPECT_FALSE(w->pageIsDirty(cv::BookWindow::ViewerIndex));
    EXPECT_TRUE(w->pageIsDirty(cv::BookWindow::SearchIndex));
    EXPECT_TRUE(w->pageIsDirty(cv::BookWindow::BudgetIndex));
    w->selectTab(cv::BookWindow::BudgetIndex);
    EXPECT_FALSE(w->pageIsDirty(cv::BookWindow::BudgetIndex));
    EXPECT_TRUE(w->pageIsDirty(cv::BookWindow::SearchIndex));
    w->selectTab(cv::BookWindow::ViewerIndex);
    EXPECT_FALSE(w->pageIsDirty(cv::BookWindow::ViewerIndex));
}

TEST_F(DelegateTest, TheTemporaryPageComesAfterTheFiveAndGoesBackToThePageBefore)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    w->selectTab(cv::BookWindow::CurrencyIndex);
    w->addTemporaryTab(new QWidget);
    EXPECT_EQ(w->pageSwitcher().currentIndex(), cv::BookWindow::TemporaryIndex);
    EXPECT_EQ(w->selectedTabIdentifier(), QString());
    EXPECT_TRUE(w->validateMenuItem(cv::tag::DeleteRow));
    w->setWizardRunner([](cv::Book *, int, QWidget *) { return 0; });
    w->selectTabWithIdentifier(QStringLiteral("TB07"));
    EXPECT_EQ(w->temporaryPage(), nullptr);
    EXPECT_EQ(w->selectedTabIdentifier(), QStringLiteral("TB05"));
    EXPECT_EQ(w->pageSwitcher().count(), cv::BookWindow::kPageCount);
}

TEST_F(DelegateTest, WindowMenuValidationFollowsTheShownPage)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    // clang-format off
    struct Case {
        const char *page;
        int tag;
        bool enabled;
    } cases[] = {
        {"TB01", 29000, true}, {"TB03", 29000, false}, {"TB01", 29208, false}, {"TB01", 30011, false}, {"TB01", 30047, false},
        {"TB01", 24102, false}, {"TB03", 24102, false}, {"TB05", 24102, false}, {"TB01", 12345, true},
        {"TB06", 12345, false}, {"TB02", 12345, false}, {"TB02", 24102, false}, {"TB03", 29209, true},
    };
    // clang-format on
    for (const Case &c : cases) {
        w->selectTabWithIdentifier(QLatin1String(c.page));
        EXPECT_EQ(w->validateMenuItem(c.tag), c.enabled) << c.page << " " << c.tag;
    }
}

TEST_F(DelegateTest, TopDateMovesByUnitAndSnapsUnlessOneDay)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    const auto weekOf = [&](const QDate &d) { return document->settings()->fiscalDate(d, 1); };
    const auto halfOf = [&](const QDate &d) { return document->settings()->fiscalDate(d, 4); };
    struct Case {
        int unit, direction;
        QDate from;
        QDate to;
    } cases[] = {
        {0, 1, QDate(2024, 3, 13), QDate(2024, 3, 14)},
        {0, -1, QDate(2024, 3, 1), QDate(2024, 2, 29)},
        {1, 1, QDate(2024, 3, 13), document->settings()->fiscalDate(QDate(2024, 3, 20), 1)},
        {2, 1, QDate(2024, 1, 31), document->settings()->fiscalDate(QDate(2024, 2, 29), 2)},
        {5, -1, QDate(2024, 6, 15), document->settings()->fiscalDate(QDate(2023, 6, 15), 5)},
        {9, 1, QDate(2024, 6, 15), QDate(2024, 6, 15)},
        {0, -1, QDate(2024, 1, 1), QDate(2023, 12, 31)},
        {2, -1, QDate(2024, 3, 31), QDate(2024, 2, 1)},
        {1, 1, weekOf(QDate(2024, 12, 30)), weekOf(QDate(2025, 1, 6))}, // across the year's end
        {4, 1, halfOf(QDate(2024, 7, 1)), halfOf(QDate(2025, 1, 1))},
    };
    for (const Case &c : cases) {
        w->setTopDate(c.from);
        w->moveDateWithMode(c.unit, c.direction);
        EXPECT_EQ(w->topDate(), c.to) << "unit " << c.unit;
    }
    w->setPreBudgetDate(QDate(2020, 1, 1));
    w->setTopDate(QDate(2024, 1, 1));
    EXPECT_FALSE(w->preBudgetDate().isValid());
}

TEST(WindowFrameTest, FramesAreClampedIntoTheAvailableArea)
{
    const QRect screen(0, 0, 1280, 800);
    // clang-format off
    struct Case {
        QRect frame, clamped;
    } cases[] = {
        {QRect(100, 100, 800, 600), QRect(100, 100, 800, 600)},
        {QRect(-300, 50, 800, 600), QRect(0, 50, 800, 600)},
        {QRect(900, 500, 800, 600), QRect(480, 200, 800, 600)},
        {QRect(10, 10, 3000, 2000), QRect(0, 0, 1280, 800)},
        {QRect(5000, -5000, 400, 300), QRect(880, 0, 400, 300)},
    };
    // clang-format on
    for (const Case &c : cases) EXPECT_EQ(cv::BookWindow::clampToScreen(c.frame, screen), c.clamped) << c.frame.x();
}

TEST_F(DelegateTest, BusyIndicatorFollowsNestedLongOperations)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    auto *indicator = w->findChild<QProgressBar *>();
    ASSERT_NE(indicator, nullptr);
    cv::BookTestAccess::postBusy(*document);
    cv::BookTestAccess::postBusy(*document);
    EXPECT_TRUE(w->isBusy());
    EXPECT_FALSE(indicator->isHidden());
    cv::BookTestAccess::postNoBusy(*document);
    EXPECT_TRUE(w->isBusy());
    cv::BookTestAccess::postNoBusy(*document);
    EXPECT_FALSE(w->isBusy());
    EXPECT_TRUE(indicator->isHidden());

    // Another book's long operation shows here too.
    cv::Book *other = delegate->newDocument();
    cv::BookTestAccess::postBusy(*other);
    EXPECT_TRUE(w->isBusy());
    cv::BookTestAccess::postNoBusy(*other);
    EXPECT_FALSE(w->isBusy());
}

namespace {
class DateTaker : public QWidget, public cv::DateReceiver, public cv::HostedPanel {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void performInputDate(const QDate &date) override { taken = date; }
    void performInputValue(const QString &value) override { text = value; }
    void commitPendingInput() override {}
    int commitPanel() override { return 0; }
    int returnCode() const override { return 0; }
    QDate taken;
    QString text;
};
} // namespace

TEST_F(DelegateTest, CalendarAndCalculatorValuesGoWhereThePageSays)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    const QDate picked(2025, 4, 9);
    struct Case {
        int page;
        bool topDate, reportDate;
    } cases[] = {{0, true, false}, {2, true, false}, {3, true, false}, {4, false, true}, {1, false, false}};
    for (const Case &c : cases) {
        w->setTopDate(QDate(2000, 1, 1));
        w->setReportDate(QDate(2000, 1, 1));
        w->selectTab(c.page);
        w->performInputDate(picked);
        // The viewer and the budget page start their period where the picked day's begins.
        const QDate top = c.page == 0   ? w->fiscalDate(picked, w->viewerPage()->columns().unit())
                          : c.page == 2 ? w->fiscalDate(picked, w->document()->settings()->budgetUnit())
                                        : picked;
        EXPECT_EQ(w->topDate() == top, c.topDate) << c.page;
        EXPECT_EQ(w->reportDate() == picked, c.reportDate) << c.page;
    }

    // On the search page the focused field's nearest taker gets the date.
    auto *taker = new DateTaker(w->searchPage());
    auto *field = new QWidget(taker);
    field->setFocusPolicy(Qt::StrongFocus);
    w->show();
    field->setFocus();
    ASSERT_EQ(w->focusWidget(), field);
    w->performInputDate(picked);
    EXPECT_EQ(taker->taken, picked);

    auto *panel = new DateTaker;
    w->addTemporaryTab(panel);
    w->performInputValue(QStringLiteral("1,234"));
    EXPECT_EQ(panel->text, QStringLiteral("1,234"));
    w->performInputDate(picked.addDays(1));
    EXPECT_EQ(panel->taken, picked.addDays(1));
}

#include "WindowTest.moc"

TEST_F(DelegateTest, UndoAndRedoFollowTheDocumentsStack)
{
    cv::Book *document = delegate->newDocument();
    QAction *undo = delegate->actionNamed(QStringLiteral("undo"));
    QAction *redo = delegate->actionNamed(QStringLiteral("redo"));
    ASSERT_EQ(window()->undoStack(), document->undoStack());
    delegate->validateMenus();
    EXPECT_FALSE(undo->isEnabled());
    document->undoStack()->push(new QUndoCommand(QStringLiteral("typed")));
    delegate->validateMenus();
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(redo->isEnabled()) << "revalidated after the command";
    EXPECT_EQ(document->undoStack()->index(), 0);
}

TEST_F(DelegateTest, PageSwitchesAndOpeningMenusCloseTheCalendar)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    w->show();
    auto *calendar = cv::CalendarPopup::get();
    const auto openCalendar = [&] {
        if (!calendar->isVisible()) calendar->toggleRelativeToPoint(w->geometry().center(), w, QDate(2010, 1, 1));
        ASSERT_TRUE(calendar->isVisible());
    };
    openCalendar();
    w->selectTabWithIdentifier(QStringLiteral("TB02"));
    EXPECT_FALSE(calendar->isVisible()) << "page switch";

    openCalendar();
    QMenuBar *bar = w->findChild<QMenuBar *>();
    ASSERT_NE(bar, nullptr);
    Q_EMIT bar->actions().first()->menu()->aboutToShow();
    EXPECT_FALSE(calendar->isVisible()) << "menu";
}

TEST_F(DelegateTest, PrintIsOfferedOnPagesWithAViewAndWritesTheViewerToPdf)
{
    cv::Book *document = delegate->newDocument();
    cv::BookWindow *w = window();
    // Which pages print is in the menu's table (MenuTest).
    w->addTemporaryTab(new QWidget);
    EXPECT_FALSE(w->canPrint()) << "the temporary page prints nothing";
    w->removeTemporaryTab();

    const QString pdf = path(QStringLiteral("viewer.pdf"));
    const cv::PrintRunner::Result result = w->printView(delegate->preference(), cv::PrintRunner::Mode::Pdf, pdf);
    EXPECT_TRUE(result.printed);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_EQ(document->amountText().isCurrencyPrinting(), false);
}

// The page tabs name the pages, follow every switch, and a click on one
// switches as the toolbar does (the temporary page's tab goes).
TEST_F(DelegateTest, PageTabsFollowAndSwitchThePages)
{
    delegate->newDocument();
    cv::BookWindow *w = window();
    QTabBar *tabs = w->tabBar();
    w->show();
    using Step = std::function<void()>;
    const auto click = [&](int tab) -> Step {
        return [=] { QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center()); };
    };
    for (auto [step, shown, count] :
         {std::tuple(Step([&] { w->toolbar()->actionFor(QStringLiteral("TB03"))->trigger(); }), "TB03", 5),
          {click(3), "TB05", 5},
          {[&] { w->addTemporaryTab(new QWidget); }, "", 6},
          {click(0), "TB01", 5}}) {
        step();
        EXPECT_EQ(w->selectedTabIdentifier(), QLatin1String(shown));
        EXPECT_EQ(std::pair(tabs->count(), tabs->currentIndex()), std::pair(count, w->pageSwitcher().currentIndex()));
    }
}

// Under a desktop whose interface font is a generic name ("Sans Serif"), the
// tables draw in the family the menus resolve it to, not in the CJK fallback.
TEST_F(DelegateTest, TablesMenusAndGridsShareOneFontFamily)
{
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    cv::Book *document = nullptr;
    cv::BookWindow *w = openNewWindow(document, 1000, 600);
    const QString menus = QFontInfo(w->menuBar()->font()).family();
    auto *currency = w->page(cv::BookWindow::CurrencyIndex)->findChild<cv::EditingTable *>();
    ASSERT_NE(currency, nullptr);
    for (const QWidget *widget :
         {static_cast<const QWidget *>(currency), static_cast<const QWidget *>(w->viewerPage()->accountView())})
        EXPECT_EQ(QFontInfo(widget->font()).family(), menus) << widget->metaObject()->className();
    QApplication::setFont(before);
}
