#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "controls/HostedPanel.h"
#include "platform/Localization.h"
#include "platform/LongOperations.h"

#include "controls/ChooserPopup.h"
#include "controls/DateField.h"
#include "controls/CalendarPopup.h"
#include "document/Book.h"
#include "document/OpenBooks.h"
#include "mainwindow/viewer/AccountGrid.h"
#include "mainwindow/SecuritiesWindow.h"
#include "mainwindow/pages/BudgetPage.h"
#include "mainwindow/pages/CurrencyPage.h"
#include "mainwindow/DocumentToolbar.h"
#include "mainwindow/pages/InvestmentPage.h"
#include "controls/Tags.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/pages/TemporaryPage.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "panels/search/SearchPagePanel.h"
#include "reports/ReportSheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace cv {

namespace {
constexpr QSize kDefaultSize(1000, 680);
constexpr QSize kMinimumSize(640, 420);
} // namespace

BookWindow::BookWindow(Book *document, QSettings *settings, QWidget *parent)
    : MainWindow(parent), d(std::make_unique<Private>(*this, document, new QStackedWidget(this),
                                                      new cv::DocumentToolbar(settings, this), new QProgressBar(this)))
{
    Q_ASSERT(document);
    setObjectName(QStringLiteral("CV4Document"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMinimumSize(kMinimumSize);
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    d->m_tabBar = new QTabBar(central);
    d->m_tabBar->setObjectName(QStringLiteral("pageTabs"));
    d->m_tabBar->setDocumentMode(true);
    d->m_tabBar->setExpanding(false);
    d->m_tabBar->setFocusPolicy(Qt::NoFocus);
    column->addWidget(d->m_tabBar);
    column->addWidget(d->m_stack, 1);
    setCentralWidget(central);
    d->m_docView = central;
    addToolBar(Qt::TopToolBarArea, d->m_toolbar);
    setUnifiedTitleAndToolBarOnMac(true);
    connect(d->m_toolbar, &cv::DocumentToolbar::itemTriggered, this, &BookWindow::execToolbar);
    // Repeated entry: shown while the temporary page holds a panel that takes it.
    d->m_batchAction =
        d->m_toolbar->addAction(QIcon(QStringLiteral(":/toolbar/TB_Batch.xpm")), cv::localizedString("TB_Batch"));
    d->m_batchAction->setObjectName(QStringLiteral("TB_Batch"));
    d->m_batchAction->setVisible(false);
    connect(d->m_batchAction, &QAction::triggered, this, [this] { execToolbar(QStringLiteral("TB_Batch")); });

    d->m_busyIndicator->setRange(0, 0);
    d->m_busyIndicator->setTextVisible(false);
    d->m_busyIndicator->setFixedSize(96, 12);
    d->m_busyIndicator->setVisible(false);
    statusBar()->addPermanentWidget(d->m_busyIndicator);
    statusBar()->setSizeGripEnabled(true);

    d->m_topDate = QDate::currentDate();
    d->m_reportDate = d->m_topDate;
    if (d->m_document && d->m_document->settings()) adjustTopDate(d->m_document->settings()->viewerUnit());

    d->buildPages();
    d->connectBusyIndicator();
    d->connectEditedMark();
    if (d->m_document) {
        for (auto signal : {&Book::accountChanged, &Book::categoryChanged, &Book::currencyChanged,
                            &Book::securityChanged, &Book::settingsChanged})
            connect(d->m_document, signal, this, &BookWindow::documentChanged);
        connect(d->m_document, &Book::aboutToSave, this, &BookWindow::willSave);
        connect(d->m_document, &Book::groupDeleted, this, &BookWindow::groupsDeleted);
        connect(d->m_document, &Book::accountChanged, this, [this](const cv::ChangeSet &changes) {
            if (changes.reload) d->reloadPanel();
        });
    }
    d->restoreFrame();
    updateTitle();
    registerChooserCommands();
}

BookWindow::~BookWindow() = default;

// ---------------------------------------------------------------- the private part's building and frame

void BookWindow::Private::buildPages()
{
    m_switcher.addPage(new cv::ViewerPage(&q, m_document, m_stack));
    auto *search = new cv::SearchPage(m_document, m_stack);
    QObject::connect(search, &cv::SearchPage::openTradeRequested, &q, &BookWindow::openTradePanel);
    m_switcher.addPage(search);
    m_switcher.addPage(new cv::BudgetPage(m_document, m_stack));
    m_switcher.addPage(new cv::CurrencyPage(&q, m_document, m_stack));
    m_switcher.addPage(new cv::InvestmentPage(&q, m_document, m_stack));
    m_stack->setCurrentIndex(ViewerIndex);
    m_currentTabViewIndex = ViewerIndex;
    for (int index = 0; index < kPageCount; ++index) m_tabBar->addTab(cv::localizedString(q.page(index)->identifier()));
    QObject::connect(m_tabBar, &QTabBar::currentChanged, &q, &BookWindow::tabClicked);
}

void BookWindow::Private::reloadPanel()
{
    cv::HostedPanel *panel = q.hostedPanel();
    if (!panel || panel->reloadItem()) return;
    // Closed once the edit has ended: the panel may be inside its own commit.
    QTimer::singleShot(0, &q, [this, page = QPointer<cv::TemporaryPage>(m_temporaryPage)] {
        if (page && page == m_temporaryPage) q.removeTemporaryTab();
    });
}

void BookWindow::Private::connectEditedMark()
{
    if (!m_document) return;
    QObject::connect(m_document, &Book::modificationChanged, &q, &BookWindow::documentEditedChanged);
}

void BookWindow::Private::connectBusyIndicator()
{
    if (!m_document) return;
    // Any long operation of the process shows in every document window: the
    // program is busy, whichever book does the work.
    auto &hub = cv::LongOperations::instance();
    QObject::connect(&hub, &cv::LongOperations::enterLongOp, &q, &BookWindow::startBusyIndicator);
    QObject::connect(&hub, &cv::LongOperations::exitLongOp, &q, &BookWindow::stopBusyIndicator);
}

void BookWindow::Private::restoreFrame()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const Settings *s = m_document && m_document->settings() ? m_document->settings().get() : nullptr;
    QRect frame;
    if (s && s->windowHeight() != 0) {
        frame = QRect(s->windowX(), s->windowY(), s->windowWidth(), s->windowHeight());
    } else {
        frame = QRect(QPoint(), kDefaultSize);
        if (!available.isEmpty()) frame.moveCenter(available.center());
    }
    q.setGeometry(clampToScreen(frame, available));
}

void BookWindow::Private::storeFrame()
{
    if (!m_document || !m_document->settings()) return;
    // The frame shown, maximized or not: the book opens again as it was left.
    const QRect frame = q.geometry();
    Settings &s = *m_document->settings();
    if (s.windowX() == frame.x() && s.windowY() == frame.y() && s.windowWidth() == frame.width() &&
        s.windowHeight() == frame.height())
        return;
    s.setWindowX(frame.x());
    s.setWindowY(frame.y());
    s.setWindowWidth(frame.width());
    s.setWindowHeight(frame.height());
    // The save that asked stores changed settings itself.
}

// ---------------------------------------------------------------- the private part's plain accessors

Book *BookWindow::document() const
{
    return d->m_document;
}
void BookWindow::setCloseHandler(CloseHandler handler)
{
    d->m_closeHandler = std::move(handler);
}
cv::PageSwitcher &BookWindow::pageSwitcher()
{
    return d->m_switcher;
}
int BookWindow::currentTabViewIndex() const
{
    return d->m_currentTabViewIndex;
}
QString BookWindow::selectedTabIdentifier() const
{
    return d->m_switcher.currentIdentifier();
}
cv::WindowPage *BookWindow::page(int index) const
{
    return d->m_switcher.page(index);
}
void BookWindow::setPreference(const Preference *preference)
{
    d->m_preference = preference;
}
const Preference *BookWindow::preference() const
{
    return d->m_preference;
}
void BookWindow::setEntryPanelMaker(cv::EntryPanelMaker maker)
{
    d->m_entryPanelMaker = std::move(maker);
}
const cv::EntryPanelMaker &BookWindow::entryPanelMaker() const
{
    return d->m_entryPanelMaker;
}
cv::TemporaryPage *BookWindow::temporaryPage() const
{
    return d->m_temporaryPage;
}
cv::DocumentToolbar *BookWindow::toolbar() const
{
    return d->m_toolbar;
}
QTabBar *BookWindow::tabBar() const
{
    return d->m_tabBar;
}
const QDate &BookWindow::topDate() const
{
    return d->m_topDate;
}
const QDate &BookWindow::reportDate() const
{
    return d->m_reportDate;
}
void BookWindow::setReportDate(const QDate &date)
{
    d->m_reportDate = date;
}
const QDate &BookWindow::preBudgetDate() const
{
    return d->m_preBudgetDate;
}
void BookWindow::setPreBudgetDate(const QDate &date)
{
    d->m_preBudgetDate = date;
}
void BookWindow::moveTopDate(const QDate &date)
{
    d->m_topDate = date;
}
const QDate &BookWindow::oldTopDate() const
{
    return d->m_oldTopDate;
}
void BookWindow::setWizardRunner(WizardRunner runner)
{
    d->m_wizardRunner = std::move(runner);
}
bool BookWindow::isBusy() const
{
    return d->m_busyDepth > 0;
}

void BookWindow::tabClicked(int index)
{
    if (index < kPageCount)
        selectTabWithIdentifier(page(index)->identifier());
    else
        d->m_switcher.select(index);
    // A refused switch leaves the tab of the shown page selected.
    const QSignalBlocker blocker(d->m_tabBar);
    d->m_tabBar->setCurrentIndex(d->m_switcher.currentIndex());
}

cv::SearchPage *BookWindow::searchPage() const
{
    return qobject_cast<cv::SearchPage *>(page(SearchIndex));
}

QUndoStack *BookWindow::undoStack() const
{
    return d->m_document ? d->m_document->undoStack() : nullptr;
}

cv::ViewerPage *BookWindow::viewerPage() const
{
    return qobject_cast<cv::ViewerPage *>(page(ViewerIndex));
}

int BookWindow::execSearchForAccount(const std::vector<NodePtr> &accounts, const QDate &from, const QDate &to)
{
    cv::SearchPage *search = searchPage();
    if (!search) return -1;
    d->m_tabViewFlags[SearchIndex] = false;
    return search->execSearchForAccount(accounts, from, to);
}

// ---------------------------------------------------------------- pages

void BookWindow::selectTab(int index)
{
    d->m_switcher.select(index);
}

void BookWindow::closePopups()
{
    if (cv::ChooserPopup *popup = cv::ChooserPopup::existing()) popup->mustClose();
    // Never made just to be closed.
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *calendar = qobject_cast<cv::CalendarPopup *>(top); calendar && calendar->isVisible())
            calendar->closeCalendar();
    }
}

bool BookWindow::isCalendarVisible()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (qobject_cast<cv::CalendarPopup *>(top) && top->isVisible()) return true;
    }
    return false;
}

void BookWindow::toggleCalendar()
{
    if (isCalendarVisible()) {
        closePopups();
        return;
    }
    if (d->m_currentTabViewIndex != ViewerIndex) return;
    if (cv::ViewerPage *viewer = viewerPage(); viewer && viewer->topDateField()) viewer->topDateField()->pushed();
}

void BookWindow::selectTabWithIdentifier(const QString &identifier)
{
    closePopups();
    if (identifier == selectedTabIdentifier()) return;
    if (cv::HostedPanel *panel = hostedPanel(); panel && panel->handleToolbar(identifier)) return;
    if (identifier == QLatin1String("TB07")) {
        removeTemporaryTab();
        wizardAction(cv::tag::WizardFirst);
        return;
    }
    if (identifier == QLatin1String("TB04")) { // the report sheet, on the shown page
        if (isShowingSheet()) return;
        // Rates typed on the shown currency page leave the category totals at the old rates.
        d->m_document->recalculateIfStale();
        cv::ReportSheet::openReportPanel(d->m_document, d->m_preference, this);
        return;
    }
    if (identifier == QLatin1String("TB_Batch")) return; // no panel took it: no page to show
    removeTemporaryTab();
    d->m_switcher.select(identifier);
}

bool BookWindow::validateToolbarItem() const
{
    return centralWidget() == d->m_docView;
}

void BookWindow::validateToolbarItems()
{
    const bool enabled = validateToolbarItem();
    for (QAction *action : d->m_toolbar->actions()) action->setEnabled(enabled);
}

void BookWindow::execToolbar(const QString &identifier)
{
    QAction *action = identifier == u"TB_Batch" ? d->m_batchAction : d->m_toolbar->actionFor(identifier);
    // Shortcuts and scripted triggers do not pass through the enabled state.
    if (!validateToolbarItem() || (action && !action->isEnabled())) return;
    selectTabWithIdentifier(identifier);
    // Qt checked the item before asking; the shown page decides.
    d->m_toolbar->setSelectedIdentifier(selectedTabIdentifier());
}

void BookWindow::addTemporaryTab(QWidget *panel)
{
    removeTemporaryTab();
    d->m_mainViewTabIndex = d->m_switcher.currentIndex();
    d->m_temporaryPage = new cv::TemporaryPage(d->m_document, d->m_stack);
    d->m_temporaryPage->setPanel(panel);
    d->m_switcher.addPage(d->m_temporaryPage);
    {
        const QSignalBlocker blocker(d->m_tabBar);
        const QString title = panel ? panel->windowTitle() : QString();
        d->m_tabBar->addTab(title.isEmpty() ? cv::localizedString("Page Entries") : title);
    }
    d->m_switcher.select(d->m_switcher.count() - 1);
}

void BookWindow::removeTemporaryTab()
{
    if (!d->m_temporaryPage) return;
    // Going back commits the panel through the page switcher.
    if (d->m_switcher.currentPage() == d->m_temporaryPage) d->m_switcher.select(d->m_mainViewTabIndex);
    if (d->m_switcher.currentPage() == d->m_temporaryPage) return; // the switch was refused: keep the panel
    d->m_switcher.removePage(d->m_temporaryPage);
    {
        const QSignalBlocker blocker(d->m_tabBar);
        while (d->m_tabBar->count() > d->m_switcher.count()) d->m_tabBar->removeTab(d->m_tabBar->count() - 1);
    }
    d->m_temporaryPage->deleteLater();
    d->m_temporaryPage = nullptr;
}

void BookWindow::clearSearchList()
{
    // The results hold copies of entries that may have changed.
    if (cv::SearchPage *search = searchPage()) search->controller()->clearSearchList();
}

bool BookWindow::pageIsDirty(int index) const
{
    return index >= 0 && index < kFlagCount && d->m_tabViewFlags[size_t(index)];
}

void BookWindow::documentChanged(const cv::ChangeSet &changes)
{
    // Display options alone change no figure: the shown viewer repaints them itself.
    if (changes.settings && !changes.fiscalStart && changes.accountTree == cv::TreeChange::None &&
        changes.categoryTree == cv::TreeChange::None && changes.currencies.empty() && !changes.currencyList &&
        changes.securities.empty() && !changes.securityList)
        return;
    dataChanged();
}

void BookWindow::dataChanged()
{
    for (int index : {ViewerIndex, SearchIndex, BudgetIndex}) {
        if (index != d->m_currentTabViewIndex) d->m_tabViewFlags[size_t(index)] = true;
    }
}

bool BookWindow::shouldSelectPage(int index)
{
    cv::WindowPage *shown = d->m_switcher.currentPage();
    cv::ViewerPage *viewer = viewerPage();
    if (shown && shown == page(SearchIndex)) {
        // The search page commits its results panel itself.
        shown->commitPendingInput();
        return true;
    }
    // A commit taken back keeps its panel, with the rows as typed, for OK again.
    if (cv::HostedPanel *panel = shown == d->m_temporaryPage ? hostedPanel() : nullptr;
        panel && panel->hasPendingInput()) {
        panel->commitPendingInput();
        if (panel->hasPendingInput()) return false;
    }
    // On any other page, the temporary page too, the grids commit the panel they opened.
    if (viewer) viewer->commitPendingInput();
    if (shown && shown != viewer) shown->commitPendingInput();
    return true;
}

void BookWindow::willSelectPage(int index)
{
    if (d->m_currentTabViewIndex == BudgetIndex && d->m_preBudgetDate.isValid()) {
        d->m_topDate = d->m_preBudgetDate;
        d->m_preBudgetDate = QDate();
    }
    if (cv::WindowPage *shown = d->m_switcher.currentPage()) shown->leave();
    if (index == SearchIndex || index == BudgetIndex || index == InvestmentIndex) {
        if (cv::WindowPage *entering = page(index)) entering->enter(pageIsDirty(index));
        if (index < kFlagCount) d->m_tabViewFlags[size_t(index)] = false;
    }
}

void BookWindow::didSelectPage(int index)
{
    d->m_currentTabViewIndex = index;
    d->m_toolbar->setSelectedIdentifier(selectedTabIdentifier());
    const cv::HostedPanel *panel = d->m_switcher.currentPage() == d->m_temporaryPage ? hostedPanel() : nullptr;
    d->m_batchAction->setVisible(panel && panel->validateMenuTag(Private::kBatchTag).value_or(false));
    {
        const QSignalBlocker blocker(d->m_tabBar);
        d->m_tabBar->setCurrentIndex(index);
    }
    if (index == ViewerIndex || index == CurrencyIndex) {
        if (cv::WindowPage *entered = page(index)) entered->enter(pageIsDirty(index));
        d->m_tabViewFlags[size_t(index)] = false;
    }
}

// ---------------------------------------------------------------- dates

void BookWindow::setTopDate(const QDate &date)
{
    d->m_topDate = date;
    d->m_oldTopDate = QDate();
    d->m_preBudgetDate = QDate();
}

void BookWindow::changeTopDateUnit(int unit)
{
    const QDate start = d->m_oldTopDate.isValid() ? d->m_oldTopDate : d->m_topDate;
    d->m_topDate = fiscalDate(start, unit);
    d->m_oldTopDate = start;
}

QDate BookWindow::fiscalDate(const QDate &date, int mode) const
{
    if (!d->m_document || !d->m_document->settings()) return date;
    return d->m_document->settings()->fiscalDate(date, mode);
}

void BookWindow::adjustTopDate(int unit)
{
    d->m_topDate = fiscalDate(d->m_topDate, unit);
}

void BookWindow::moveDateWithMode(int unit, int direction)
{
    int days = 0;
    int months = 0;
    switch (unit) {
    case 0: days = 1; break;
    case 1: days = 7; break;
    case 2: months = 1; break;
    case 3: months = 3; break;
    case 4: months = 6; break;
    case 5: months = 12; break;
    default: break;
    }
    if (direction < 0) {
        days = -days;
        months = -months;
    }
    d->m_oldTopDate = QDate();
    d->m_topDate = d->m_topDate.addMonths(months).addDays(days);
    if (months != 0 || days < -1 || days > 1) adjustTopDate(unit);
}

void BookWindow::todayTopDate(int unit, const QDate &today)
{
    d->m_oldTopDate = QDate();
    d->m_topDate = fiscalDate(today, unit);
}

// ---------------------------------------------------------------- hand-offs

void BookWindow::performInputDate(const QDate &date)
{
    if (!date.isValid()) return;
    const int index = d->m_currentTabViewIndex;
    if (index == ViewerIndex || index == BudgetIndex || index == CurrencyIndex) {
        setTopDate(date);
        if (cv::WindowPage *shown = page(index)) shown->dateChosen(date);
        return;
    }
    if (index == InvestmentIndex) {
        setReportDate(date);
        if (cv::WindowPage *shown = page(index)) shown->dateChosen(date);
        return;
    }
    if (cv::HostedPanel *panel = hostedPanel(); panel && d->m_switcher.currentPage() == d->m_temporaryPage) {
        panel->performInputDate(date);
        return;
    }
    for (QObject *target = focusWidget(); target && target != this; target = target->parent()) {
        if (auto *receiver = dynamic_cast<cv::DateReceiver *>(target)) {
            receiver->performInputDate(date);
            return;
        }
    }
}

void BookWindow::performInputValue(const QString &value)
{
    if (cv::HostedPanel *panel = hostedPanel()) panel->performInputValue(value);
}

cv::HostedPanel *BookWindow::hostedPanel() const
{
    return d->m_temporaryPage ? cv::hostedPanel(d->m_temporaryPage->panel()) : nullptr;
}

// ---------------------------------------------------------------- title, busy, frame

void BookWindow::documentEditedChanged(bool edited)
{
    updateTitle();
    setWindowModified(edited);
}

void BookWindow::updateTitle()
{
    const QString name = d->m_document ? OpenBooks::displayName(*d->m_document) : QString();
    setWindowTitle(name + QStringLiteral("[*]"));
    setWindowModified(d->m_document && d->m_document->isDocumentEdited());
    // The securities window names the book too, and follows Save As.
    if (d->m_securityWindow)
        d->m_securityWindow->setWindowTitle(cv::formatString(cv::localizedString("Brand-Window-Title"), {name}));
}

void BookWindow::startBusyIndicator()
{
    if (d->m_busyDepth++ == 0) d->m_busyIndicator->setVisible(true);
}

void BookWindow::stopBusyIndicator()
{
    if (d->m_busyDepth == 0) return; // an exit without its enter
    if (--d->m_busyDepth == 0) d->m_busyIndicator->setVisible(false);
}

QRect BookWindow::clampToScreen(const QRect &frame, const QRect &available)
{
    if (available.isEmpty()) return frame;
    QRect r = frame;
    r.setWidth(std::min(std::max(r.width(), 1), available.width()));
    r.setHeight(std::min(std::max(r.height(), 1), available.height()));
    if (r.right() > available.right()) r.moveRight(available.right());
    if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
    if (r.left() < available.left()) r.moveLeft(available.left());
    if (r.top() < available.top()) r.moveTop(available.top());
    return r;
}

void BookWindow::willSave()
{
    // Open input reaches the book through the panels' own path before anything is stored.
    // Each reads its rows back, so leaving the page later writes nothing twice.
    if (cv::HostedPanel *panel = hostedPanel()) panel->commitPendingInput();
    if (d->m_switcher.currentPage() == page(SearchIndex)) {
        if (cv::SearchPage *search = searchPage()) search->storePendingInput();
    }
    if (cv::ViewerPage *viewer = viewerPage()) viewer->storeState();
    d->storeFrame();
}

void BookWindow::documentClosing()
{
    if (cv::ViewerPage *viewer = viewerPage()) viewer->willClose();
    // A panel reads its document to its end (its destructor too), and the
    // document goes before the window: panels go now, also those of closed
    // temporary pages still waiting for their deferred delete.
    for (cv::TemporaryPage *temporary : d->m_stack->findChildren<cv::TemporaryPage *>()) delete temporary->panel();
    if (d->m_document) disconnect(d->m_document, nullptr, this, nullptr);
    d->m_document = nullptr;
    d->m_closeHandler = {};
    hide();
}

void BookWindow::closeEvent(QCloseEvent *event)
{
    if (!d->m_closeHandler) {
        event->accept();
        return;
    }
    // Closing the window closes the document; the document's side hides and
    // frees the window when it goes.
    event->ignore();
    d->m_closeHandler(d->m_document);
}

} // namespace cv
