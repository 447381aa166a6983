#include "mainwindow/Application.h"

#include "document/Book.h"
#include "controls/EditingTable.h"
#include "controls/PopupFieldEditor.h"
#include "controls/ControlsDocumentUI.h"

#include "document/BookUI.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/pages/CurrencyPage.h"
#include "controls/Tags.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/SecuritiesWindow.h"
#include "mainwindow/StartupCode.h"
#include "panels/dialogs/CalculatorWindow.h"
#include "panels/dialogs/PreferencesDialog.h"
#include "panels/search/SearchPagePanel.h"
#include "platform/Localization.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QUndoStack>

namespace cv {

QAction *Application::addCommand(const QString &name, int tag, const char *titleKey, const QKeySequence &shortcut,
                                 std::function<MenuItemState()> rule, std::function<void(bool)> run, bool checkable)
{
    auto *action = new QAction(cv::localizedString(titleKey));
    action->setObjectName(name);
    action->setData(tag);
    action->setShortcut(shortcut);
    action->setCheckable(checkable);
    // Shortcuts act in whichever document window is active.
    action->setShortcutContext(Qt::ApplicationShortcut);
    m_commands.push_back({tag, action, std::move(rule), std::move(run)});
    m_named[name] = action;
    const size_t index = m_commands.size() - 1;
    connect(action, &QAction::triggered, this, [this, index](bool checked) { trigger(m_commands[index], checked); });
    return action;
}

Application::MenuItemState Application::tagRule(int tag) const
{
    return cv::menuItemState(tag, menuContext());
}

void Application::trigger(const Command &command, bool checked)
{
    const MenuItemState state = command.rule();
    if (!state.enabled) {
        // Qt toggled a checkable item before asking: put it back.
        if (command.action->isCheckable()) command.action->setChecked(!checked);
        return;
    }
    command.run(checked);
    validateMenus();
}

// One command of the menu bar. Rules and handlers take the row, so that one
// function serves every row of a kind (a page, a grid command, an import).
struct Application::CommandRow {
    using Rule = MenuItemState (*)(const Application &, const CommandRow &);
    // `window`: the front window for OnWindow rows (without one the row does
    // nothing), else null.
    using Run = void (*)(Application &, BookWindow *window, const CommandRow &, bool checked);
    enum Flag { OnWindow = 1, Checkable = 2, FieldShortcut = 4 };

    struct Shortcut {
        constexpr Shortcut() = default;
        constexpr Shortcut(QKeySequence::StandardKey key) : standard(key) {}
        constexpr Shortcut(const char *portable) : text(portable) {}
        // Made with the command: a standard key needs the running application.
        QKeySequence sequence() const
        {
            if (text) return QKeySequence(QString::fromLatin1(text));
            return standard == QKeySequence::UnknownKey ? QKeySequence() : QKeySequence(standard);
        }
        QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
        const char *text = nullptr;
    };

    const char *name;     // the action's object name; for the edit commands also the focus widget's slot
    int tag;              // 0: a command without a tag
    const char *titleKey; // for the page commands also the page's identifier
    Shortcut shortcut;
    Rule rule;
    Run run;
    int flags;

    // The rows that reach the delegate's own steps.
    static MenuItemState fieldRule(const Application &d, const CommandRow &row)
    {
        return {d.focusAnswers(row.name), false};
    }
    static void fieldRun(Application &d, BookWindow *, const CommandRow &row, bool) { d.editAction(row.name); }
    static void newFromTemplate(Application &d, BookWindow *, const CommandRow &, bool) { d.runNewFromTemplate(); }
    static void open(Application &d, BookWindow *, const CommandRow &, bool) { d.openDocumentAsked(); }
    static void close(Application &d, BookWindow *, const CommandRow &, bool) { d.closeFront(); }
    static void save(Application &d, BookWindow *, const CommandRow &, bool) { d.saveFront(false); }
    static void saveAs(Application &d, BookWindow *, const CommandRow &, bool) { d.saveFront(true); }
};

namespace {

using Row = Application::CommandRow;
using State = cv::MenuItemState;
using Window = BookWindow;
namespace tag = cv::tag;

State always(const Application &, const Row &)
{
    return {true, false};
}

State hasFront(const Application &d, const Row &)
{
    return {d.frontDocument() != nullptr, false};
}

State byTag(const Application &d, const Row &row)
{
    return cv::menuItemState(row.tag, d.menuContext());
}

State revertable(const Application &d, const Row &)
{
    Book *document = d.frontDocument();
    return {document && !document->fileName().isEmpty() && document->isDocumentEdited(), false};
}

// Every page with a print view prints; the print dialog also writes PDF.
State printable(const Application &d, const Row &)
{
    Window *w = d.frontWindow();
    return {w && !w->isShowingSheet() && w->canPrint(), false};
}

State canUndo(const Application &d, const Row &)
{
    Window *w = d.frontWindow();
    return {w && w->undoStack() && w->undoStack()->canUndo(), false};
}

State canRedo(const Application &d, const Row &)
{
    Window *w = d.frontWindow();
    return {w && w->undoStack() && w->undoStack()->canRedo(), false};
}

bool quiet(const cv::MenuContext &c)
{
    return c.hasWindow && c.hasDocument && !c.modalRunning && !c.sheetShown;
}

// The search and currency pages decide their commands themselves; a new
// search is offered wherever a book is open and shows the search page first.
State searchRule(const Application &d, const Row &row)
{
    Window *w = d.frontWindow();
    const cv::SearchPage *search = w ? w->searchPage() : nullptr;
    const bool offered = row.tag == SearchPagePanel::SearchTag || (search && search->validateMenu(row.tag));
    return {quiet(d.menuContext()) && search && offered, false};
}

State currencyRule(const Application &d, const Row &row)
{
    Window *w = d.frontWindow();
    return {quiet(d.menuContext()) && w && w->validateMenuItem(row.tag), false};
}

void newDocument(Application &d, Window *, const Row &, bool)
{
    d.newDocument();
}

void revert(Application &d, Window *, const Row &, bool)
{
    if (Book *document = d.frontDocument()) d.openBooks().revertDocument(document);
}

void print(Application &d, Window *w, const Row &, bool)
{
    w->printView(d.preference(), cv::PrintRunner::Mode::Dialog);
}

void printPreview(Application &d, Window *w, const Row &, bool)
{
    w->printView(d.preference(), cv::PrintRunner::Mode::Preview);
}

void quit(Application &d, Window *, const Row &, bool)
{
    d.quit();
}

void undo(Application &, Window *w, const Row &, bool)
{
    w->undoStack()->undo();
}

void redo(Application &, Window *w, const Row &, bool)
{
    w->undoStack()->redo();
}

void importData(Application &, Window *w, const Row &row, bool)
{
    w->importData(row.tag);
}

void showPage(Application &, Window *w, const Row &row, bool)
{
    w->selectTabWithIdentifier(QLatin1String(row.titleKey));
}

void showSecuritiesWindow(Application &, Window *w, const Row &, bool)
{
    w->showSecuritiesWindow();
}

void viewSetting(Application &, Window *w, const Row &row, bool checked)
{
    w->viewSettingChanged(row.tag, checked);
}

void fontLarger(Application &, Window *w, const Row &, bool)
{
    w->changeFontSize(true);
}

void fontSmaller(Application &, Window *w, const Row &, bool)
{
    w->changeFontSize(false);
}

void calculator(Application &d, Window *, const Row &, bool)
{
    CalculatorWindow::toggleCalculator(d.preference().taxFracProcess());
}

void calendar(Application &, Window *w, const Row &, bool)
{
    w->toggleCalendar();
}

void password(Application &, Window *w, const Row &, bool)
{
    w->openPasswordPanel();
}

void groups(Application &, Window *w, const Row &, bool)
{
    w->openGroupPanel();
}

void reports(Application &, Window *w, const Row &, bool)
{
    w->selectTabWithIdentifier(QStringLiteral("TB04"));
}

void charts(Application &d, Window *w, const Row &, bool)
{
    w->openChartPanel(d.preference());
}

void info(Application &, Window *w, const Row &, bool)
{
    w->openOverview();
}

void settings(Application &, Window *w, const Row &, bool)
{
    w->openSettingsPanel();
}

void wizard(Application &, Window *w, const Row &row, bool)
{
    w->wizardAction(row.tag);
}

void recalculate(Application &, Window *w, const Row &, bool)
{
    w->doRecalculation();
}

void compact(Application &, Window *w, const Row &, bool)
{
    w->compactDB();
}

void preferences(Application &d, Window *, const Row &, bool)
{
    QWidget *parent = QApplication::activeWindow();
    PreferencesDialog::openPreferencePanel(&d.preference(), parent ? parent : d.frontWindow());
}

void gridCommand(Application &, Window *w, const Row &row, bool)
{
    w->execGridCommand(row.tag);
}

void searchCommand(Application &, Window *w, const Row &row, bool)
{
    if (row.tag == SearchPagePanel::SearchTag && w->searchPage() && !w->searchPage()->isShown())
        w->selectTabWithIdentifier(QStringLiteral("TB02"));
    if (cv::SearchPage *search = w->searchPage()) search->execMenu(row.tag);
}

void currencyCommand(Application &, Window *w, const Row &row, bool)
{
    if (auto *page = qobject_cast<cv::CurrencyPage *>(w->page(Window::CurrencyIndex))) page->execMenu(row.tag);
}

void minimize(Application &, Window *w, const Row &, bool)
{
    w->showMinimized();
}

void about(Application &, Window *, const Row &, bool)
{
    const QString version = QCoreApplication::applicationVersion();
    QMessageBox::about(QApplication::activeWindow(), cv::localizedString("Menu About"),
                       cv::formatString(cv::localizedString("About Text %@"), {version}));
}

constexpr int kWindow = Row::OnWindow;
constexpr int kToggle = Row::OnWindow | Row::Checkable;
constexpr int kField = Row::FieldShortcut;

// Every command in creation order; makeMenuBar places them by name.
// clang-format off
const Row kCommands[] = {
    // File
    {"new", 0, "Menu New", QKeySequence::New, always, newDocument, 0},
    {"newFromTemplate", tag::NewFromTemplate, "Menu New from Template", {}, byTag, Row::newFromTemplate, 0},
    {"open", 0, "Menu Open", QKeySequence::Open, always, Row::open, 0},
    {"close", 0, "Menu Close", "Ctrl+W", hasFront, Row::close, 0},
    {"save", 0, "Menu Save", QKeySequence::Save, hasFront, Row::save, 0},
    {"saveAs", 0, "Menu Save As", "Ctrl+Shift+S", hasFront, Row::saveAs, 0},
    {"revert", 0, "Menu Revert", {}, revertable, revert, 0},
    {"importOFX", tag::ImportOFX, "Menu Import OFX", {}, byTag, importData, kWindow},
    {"importText", tag::ImportText, "Menu Import Text", {}, byTag, importData, kWindow},
    {"importMobile", tag::ImportMobile, "Menu Import Mobile", {}, byTag, importData, kWindow},
    {"print", 0, "Menu Print", "Ctrl+P", printable, print, kWindow},
    {"printPreview", 0, "Menu Print Preview", {}, printable, printPreview, kWindow},
    {"quit", 0, "Menu Quit", "Ctrl+Q", always, quit, 0},
    // Edit: the document's undo stack, and the commands of the focused field
    // (text fields handle the edit keys themselves).
    {"undo", 0, "Menu Undo", "Ctrl+Z", canUndo, undo, kWindow},
    {"redo", 0, "Menu Redo", "Ctrl+Shift+Z", canRedo, redo, kWindow},
    {"cut", 0, "Menu Cut", QKeySequence::Cut, Row::fieldRule, Row::fieldRun, kField},
    {"copy", 0, "Menu Copy", QKeySequence::Copy, Row::fieldRule, Row::fieldRun, kField},
    {"paste", 0, "Menu Paste", QKeySequence::Paste, Row::fieldRule, Row::fieldRun, kField},
    {"del", 0, "Menu Delete", {}, Row::fieldRule, Row::fieldRun, kField},
    {"selectAll", 0, "Menu Select All", QKeySequence::SelectAll, Row::fieldRule, Row::fieldRun, kField},
    // View
    {"viewTB01", tag::ViewViewer, "TB01", "Ctrl+1", byTag, showPage, kToggle},
    {"viewTB02", tag::ViewSearch, "TB02", "Ctrl+2", byTag, showPage, kToggle},
    {"viewTB03", tag::ViewBudget, "TB03", "Ctrl+3", byTag, showPage, kToggle},
    {"viewTB05", tag::ViewCurrency, "TB05", "Ctrl+4", byTag, showPage, kToggle},
    {"viewTB06", tag::ViewInvestment, "TB06", "Ctrl+5", byTag, showPage, kToggle},
    {"viewSecurities", tag::ViewSecurities, "Menu Securities Window", {}, byTag, showSecuritiesWindow, kWindow},
    {"displayDefaultCurrency", tag::DisplayDefaultCurrency, "Menu Display Default Currency", {}, byTag, viewSetting,
     kToggle},
    {"displayStockPrice", tag::DisplayStockPrice, "Menu Display Stock Price", {}, byTag, viewSetting, kToggle},
    {"fontLarger", tag::FontLarger, "Menu Font Larger", QKeySequence::ZoomIn, byTag, fontLarger, kWindow},
    {"fontSmaller", tag::FontSmaller, "Menu Font Smaller", QKeySequence::ZoomOut, byTag, fontSmaller, kWindow},
    // Tools
    {"calculator", tag::Calculator, "Menu Calculator", {}, byTag, calculator, Row::Checkable},
    {"calendar", tag::Calendar, "Menu Calendar", {}, byTag, calendar, kToggle},
    {"password", tag::Password, "Menu Password", {}, byTag, password, kWindow},
    {"groups", tag::GroupPanel, "Menu Groups", {}, byTag, groups, kWindow},
    {"reports", tag::ReportPanel, "Menu Reports", {}, byTag, reports, kWindow},
    {"charts", tag::ChartPanel, "Menu Charts", {}, byTag, charts, kWindow},
    {"info", tag::FinancialOverview, "Menu Financial Overview", {}, byTag, info, kWindow},
    {"settings", tag::SettingsPanel, "Menu Fiscal Settings", {}, byTag, settings, kWindow},
    {"wizard", tag::WizardFirst, "Menu New Item", {}, byTag, wizard, kWindow},
    {"wizard25301", tag::WizardAccounts, "Menu Wizard Accounts", {}, byTag, wizard, kWindow},
    {"wizard25310", tag::WizardIncome, "Menu Wizard Income", {}, byTag, wizard, kWindow},
    {"wizard25311", tag::WizardExpense, "Menu Wizard Expense", {}, byTag, wizard, kWindow},
    {"wizard25320", tag::WizardSecurities, "Menu Wizard Securities", {}, byTag, wizard, kWindow},
    {"recalculate", tag::Recalculate, "Menu Recalculate", {}, byTag, recalculate, kWindow},
    {"compact", tag::CompactDB, "Menu Compact", {}, byTag, compact, kWindow},
    {"preferences", tag::Preferences, "Menu Preferences", {}, byTag, preferences, 0},
    // Account and category commands on the viewer's selection.
    {"newCash", tag::NewCash, "Menu New Cash", {}, byTag, gridCommand, kWindow},
    {"newBank", tag::NewBank, "Menu New Bank", {}, byTag, gridCommand, kWindow},
    {"newInvestment", tag::NewInvestment, "Menu New Investment", {}, byTag, gridCommand, kWindow},
    {"newOtherAsset", tag::NewOtherAsset, "Menu New Other Asset", {}, byTag, gridCommand, kWindow},
    {"newLoan", tag::NewLoan, "Menu New Loan", {}, byTag, gridCommand, kWindow},
    {"newCreditCard", tag::NewCreditCard, "Menu New Credit Card", {}, byTag, gridCommand, kWindow},
    {"newOtherDebt", tag::NewOtherDebt, "Menu New Other Debt", {}, byTag, gridCommand, kWindow},
    {"newAccountSummary", tag::NewAccountSummary, "Menu New Account Summary", {}, byTag, gridCommand, kWindow},
    {"addSecurity", tag::AddSecurity, "Menu Add Security", {}, byTag, gridCommand, kWindow},
    {"groupAccounts", tag::GroupAccounts, "Menu Group Accounts", {}, byTag, gridCommand, kWindow},
    {"deleteAccount", tag::DeleteAccount, "Menu Delete Account", {}, byTag, gridCommand, kWindow},
    {"accountImport", tag::AccountImport, "Menu Account Import", {}, byTag, gridCommand, kWindow},
    {"newCategory", tag::NewCategory, "Menu New Category", {}, byTag, gridCommand, kWindow},
    {"newCategoryFolder", tag::NewCategoryFolder, "Menu New Category Folder", {}, byTag, gridCommand, kWindow},
    {"deleteCategory", tag::DeleteCategory, "Menu Delete Category", {}, byTag, gridCommand, kWindow},
    {"mergeCategory", tag::MergeCategory, "Menu Merge Category", {}, byTag, gridCommand, kWindow},
    // The statement imports come with their sheets.
    {"categoryImportOFX", tag::CategoryImportOFX, "Menu Import OFX", {}, byTag, importData, kWindow},
    {"categoryImportText", tag::CategoryImportText, "Menu Import Text", {}, byTag, importData, kWindow},
    {"categoryImportMobile", tag::CategoryImportMobile, "Menu Import Mobile", {}, byTag, importData, kWindow},
    // Search page (30043-30045 have no command).
    {"searchConditions", SearchPagePanel::SearchTag, "Menu Search Conditions", {}, searchRule, searchCommand,
     kWindow},
    {"searchRemoveRow", SearchPagePanel::RemoveRowTag, "Menu Search Remove Row", {}, searchRule, searchCommand,
     kWindow},
    {"searchClear", SearchPagePanel::ClearTag, "Menu Search Clear", {}, searchRule, searchCommand, kWindow},
    {"searchExport", SearchPagePanel::ExportTag, "Menu Search Export", {}, searchRule, searchCommand, kWindow},
    // Currency page (30033 and 30034 have no command).
    {"currencyRates", cv::CurrencyPage::EditRatesTag, "Menu Currency Rates", {}, currencyRule, currencyCommand,
     kWindow},
    {"currencyImport", cv::CurrencyPage::ImportRatesTag, "Menu Currency Import", {}, currencyRule, currencyCommand,
     kWindow},
    {"currencySwitch", cv::CurrencyPage::SwitchOffTag, "Disable", {}, currencyRule, currencyCommand, kWindow},
    {"currencyNew", cv::CurrencyPage::NewCurrencyTag, "Menu New Currency", {}, currencyRule, currencyCommand, kWindow},
    // Window and Help
    {"minimize", 0, "Menu Minimize", "Ctrl+M", hasFront, minimize, kWindow},
    {"about", tag::About, "Menu About", {}, byTag, about, 0},
};
// clang-format on

} // namespace

void Application::buildCommands()
{
    for (const CommandRow &row : kCommands) {
        const auto rule = [this, &row] { return row.rule(*this, row); };
        const auto run = [this, &row](bool checked) {
            BookWindow *window = nullptr;
            if (row.flags & CommandRow::OnWindow) {
                window = frontWindow();
                if (!window) return;
            }
            row.run(*this, window, row, checked);
        };
        QAction *action = addCommand(QLatin1String(row.name), row.tag, row.titleKey, row.shortcut.sequence(), rule, run,
                                     row.flags & CommandRow::Checkable);
        if (row.flags & CommandRow::FieldShortcut) action->setShortcutContext(Qt::WidgetShortcut);
    }
}

QAction *Application::actionForTag(int tag) const
{
    for (const Command &command : m_commands) {
        if (command.tag == tag) return command.action;
    }
    return nullptr;
}

QAction *Application::actionNamed(const QString &name) const
{
    const auto it = m_named.find(name);
    return it == m_named.end() ? nullptr : it->second;
}

cv::MenuContext Application::menuContext() const
{
    cv::MenuContext c;
    BookWindow *window = frontWindow();
    c.hasWindow = window && !window->isSecuritiesWindowKey();
    if (!window) return c;
    Book *document = window->document();
    c.hasDocument = document != nullptr;
    c.modalRunning = QApplication::activeModalWidget() != nullptr;
    c.sheetShown = window->isShowingSheet();
    c.tabIdentifier = window->selectedTabIdentifier();
    c.tabIndex = window->pageSwitcher().currentIndex();
    c.calculatorVisible = CalculatorWindow::existing() && CalculatorWindow::existing()->isVisible();
    c.calendarVisible = BookWindow::isCalendarVisible();
    if (document && document->settings()) {
        c.transDefaultCurrency = document->settings()->transDefaultCurrency();
        c.displayStockPrice = document->settings()->displayStockPrice();
        c.viewerFontSize = document->settings()->viewerFontSize();
    }
    c.account = window->accountSelection();
    c.category = window->categorySelection();
    return c;
}

void Application::validateMenus()
{
    for (const Command &command : m_commands) {
        const MenuItemState state = command.rule();
        command.action->setEnabled(state.enabled);
        if (command.action->isCheckable()) command.action->setChecked(state.checked);
    }
    if (BookWindow *window = frontWindow()) window->validateToolbarItems();
}

QMenuBar *Application::makeMenuBar(QWidget *parent)
{
    auto *bar = new QMenuBar(parent);
    auto add = [this](QMenu *menu, std::initializer_list<const char *> names) {
        for (const char *name : names) {
            if (!*name)
                menu->addSeparator();
            else
                menu->addAction(actionNamed(QLatin1String(name)));
        }
    };
    auto menu = [this, bar](const char *key) {
        QMenu *m = bar->addMenu(cv::localizedString(key));
        connect(m, &QMenu::aboutToShow, this, &Application::validateMenus);
        connect(m, &QMenu::aboutToShow, this, &BookWindow::closePopups);
        return m;
    };

    QMenu *file = menu("Menu File");
    add(file, {"new", "newFromTemplate", "open"});
    QMenu *recent = file->addMenu(cv::localizedString("Menu Open Recent"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentMenu(recent); });
    add(file, {"", "close", "save", "saveAs", "revert", ""});
    QMenu *import = file->addMenu(cv::localizedString("Menu Import"));
    add(import, {"importOFX", "importText", "importMobile"});
    add(file, {"", "printPreview", "print", "", "quit"});

    QMenu *edit = menu("Menu Edit");
    add(edit, {"undo", "redo", "", "cut", "copy", "paste", "del", "selectAll"});

    QMenu *view = menu("Menu View");
    add(view, {"viewTB01", "viewTB02", "viewTB03", "viewTB05", "viewTB06", "", "viewSecurities", "",
               "displayDefaultCurrency", "displayStockPrice"});
    QMenu *font = view->addMenu(cv::localizedString("Menu Font Size"));
    font->menuAction()->setData(cv::tag::FontSizeMenu);
    add(font, {"fontLarger", "fontSmaller"});
    connect(view, &QMenu::aboutToShow, this,
            [this, font] { font->setEnabled(tagRule(cv::tag::FontSizeMenu).enabled); });

    QMenu *accounts = menu("Menu Account");
    QMenu *newAsset = accounts->addMenu(cv::localizedString("Menu New Asset Account"));
    newAsset->menuAction()->setData(cv::tag::NewAssetMenu);
    add(newAsset, {"newCash", "newBank", "newInvestment", "newOtherAsset"});
    QMenu *newDebt = accounts->addMenu(cv::localizedString("Menu New Debt Account"));
    newDebt->menuAction()->setData(cv::tag::NewDebtMenu);
    add(newDebt, {"newLoan", "newCreditCard", "newOtherDebt"});
    add(accounts, {"newAccountSummary", "wizard25301", "", "addSecurity", "wizard25320", "", "groupAccounts", "",
                   "accountImport", "", "deleteAccount"});
    connect(accounts, &QMenu::aboutToShow, this, [this, newAsset, newDebt] {
        newAsset->setEnabled(tagRule(cv::tag::NewAssetMenu).enabled);
        newDebt->setEnabled(tagRule(cv::tag::NewDebtMenu).enabled);
    });

    QMenu *categories = menu("Menu Category");
    add(categories,
        {"newCategory", "newCategoryFolder", "wizard25310", "wizard25311", "", "deleteCategory", "mergeCategory", ""});
    QMenu *categoryImport = categories->addMenu(cv::localizedString("Menu Import"));
    add(categoryImport, {"categoryImportOFX", "categoryImportText", "categoryImportMobile"});

    QMenu *search = menu("Menu Search");
    add(search, {"searchConditions", "searchRemoveRow", "", "searchClear", "searchExport"});

    QMenu *currency = menu("Menu Currency");
    add(currency, {"currencyRates", "currencyImport", "", "currencySwitch", "", "currencyNew"});
    connect(currency, &QMenu::aboutToShow, this, [this] {
        BookWindow *w = frontWindow();
        auto *page = w ? qobject_cast<cv::CurrencyPage *>(w->page(BookWindow::CurrencyIndex)) : nullptr;
        if (page) actionNamed(QStringLiteral("currencySwitch"))->setText(page->switchTitle());
    });

    QMenu *tools = menu("Menu Tools");
    add(tools, {"wizard", "", "calculator", "calendar", "", "reports", "charts", "info", "", "groups", "settings",
                "password", "", "recalculate", "compact", "", "preferences"});

    QMenu *window = menu("Menu Window");
    connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowMenu(window); });

    QMenu *help = menu("Menu Help");
    add(help, {"about"});
    return bar;
}

void Application::fillWindowMenu(QMenu *menu)
{
    menu->clear();
    menu->addAction(actionNamed(QStringLiteral("minimize")));
    menu->addSeparator();
    BookWindow *front = frontWindow();
    for (const auto &document : m_documents->documents()) {
        BookWindow *window = windowFor(document.get());
        if (!window) continue;
        QAction *item = menu->addAction(OpenBooks::displayName(*document));
        item->setCheckable(true);
        item->setChecked(window == front);
        QPointer<BookWindow> target = window;
        connect(item, &QAction::triggered, this, [target] {
            if (!target) return;
            target->showNormal();
            target->raise();
            target->activateWindow();
        });
    }
}

void Application::fillRecentMenu(QMenu *menu)
{
    menu->clear();
    const QStringList recent = m_documents->recentDocuments();
    for (const QString &path : recent) {
        QAction *item = menu->addAction(QFileInfo(path).fileName());
        item->setToolTip(path);
        connect(item, &QAction::triggered, this, [this, path] { m_documents->openDocument(path); });
    }
    menu->addSeparator();
    QAction *clear = menu->addAction(cv::localizedString("Menu Clear Recent"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { m_documents->clearRecentDocuments(); });
}

namespace {

// The editing table that Delete and Select All act on: the focused table, or
// the table whose cell the focused field editor edits (its rows, not its text).
EditingTable *rowCommandTable(QWidget *focus, const char *method)
{
    const bool rowCommand = qstrcmp(method, "del") == 0 || qstrcmp(method, "selectAll") == 0;
    if (!focus || !rowCommand) return nullptr;
    if (auto *editor = qobject_cast<PopupFieldEditor *>(focus)) return editor->editingView();
    return qobject_cast<EditingTable *>(focus);
}

cv::TableCommand rowCommand(const char *method)
{
    return qstrcmp(method, "del") == 0 ? cv::TableCommand::Delete : cv::TableCommand::SelectAll;
}

// Edit > Delete while the securities window is key deletes its selected
// security (no text field there takes the command).
SecuritiesWindow *deletingSecuritiesWindow(const char *method)
{
    if (qstrcmp(method, "del") != 0) return nullptr;
    return qobject_cast<SecuritiesWindow *>(QApplication::activeWindow());
}

} // namespace

bool Application::focusAnswers(const char *method) const
{
    if (const SecuritiesWindow *securities = deletingSecuritiesWindow(method)) {
        // An untagged item of the document window: its menu steps decide (tag 0).
        return securities->owner()->validateMenuItem(0) && securities->validateMenuTag(SecuritiesWindow::DeleteTag);
    }
    QWidget *focus = QApplication::focusWidget();
    if (!focus) return false;
    if (EditingTable *table = rowCommandTable(focus, method)) {
        const auto named = m_named.find(QString::fromLatin1(method));
        return table->validateCommand(rowCommand(method), named == m_named.end() ? nullptr : named->second);
    }
    // An editing table has no text to cut, copy or paste.
    if (qobject_cast<EditingTable *>(focus)) return false;
    return focus->metaObject()->indexOfMethod(QByteArray(QByteArray(method) + "()").constData()) >= 0;
}

void Application::editAction(const char *method)
{
    if (SecuritiesWindow *securities = deletingSecuritiesWindow(method)) {
        securities->execMenu(SecuritiesWindow::DeleteTag);
        return;
    }
    QWidget *focus = QApplication::focusWidget();
    if (EditingTable *table = rowCommandTable(focus, method)) {
        if (rowCommand(method) == cv::TableCommand::Delete) {
            table->deleteRows();
        } else {
            table->forceEndFieldEditing(true);
            table->selectAll();
        }
        return;
    }
    if (focus) QMetaObject::invokeMethod(focus, method);
}

void Application::openDocumentAsked()
{
    const QStringList files =
        QFileDialog::getOpenFileNames(frontWindow(), cv::localizedString("Menu Open"),
                                      ControlsDocumentUI::documentsFolder(), cv::localizedString("Open Filter"));
    openFiles(files);
}

void Application::saveFront(bool as)
{
    Book *document = frontDocument();
    if (!document) return;
    if (!as) {
        m_documents->saveDocument(document);
    } else {
        QString suggested = document->fileName();
        if (suggested.isEmpty()) suggested = OpenBooks::displayName(*document) + QStringLiteral(".cvv2");
        const QString path = cv::documentUI().askSavePath(*document, suggested);
        if (!path.isEmpty()) m_documents->saveDocumentAs(document, path);
    }
    if (BookWindow *window = windowFor(document)) window->updateTitle();
}

void Application::closeFront()
{
    if (Book *document = frontDocument()) m_documents->closeDocument(document, true);
}

void Application::runNewFromTemplate()
{
    const int code = m_panelRunner(false);
    const cv::StartupCode choice = cv::StartupCode::decode(code);
    if (choice.action == cv::StartupCode::CreateNew) newDocument(choice.templateIndex);
}

} // namespace cv
