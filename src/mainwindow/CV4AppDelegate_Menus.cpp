#include "mainwindow/CV4AppDelegate.h"

#include "controls/CV4TableView.h"
#include "controls/PopupFieldEditor.h"
#include "controls/ControlsDocumentUI.h"

#include "document/CV4DocumentUI.h"
#include "mainwindow/CV4WindowController.h"
#include "mainwindow/CurrencyPage.h"
#include "controls/Tags.h"
#include "mainwindow/SearchPage.h"
#include "mainwindow/StartupCode.h"
#include "panels/dialogs/CV4CalcWindowController.h"
#include "panels/dialogs/PreferencePanelController.h"
#include "panels/entry/SearchPageController.h"
#include "platform/Localization.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QUndoStack>

QAction *CV4AppDelegate::addCommand(const QString &name, int tag, const char *titleKey, const QKeySequence &shortcut,
                                    std::function<MenuItemState()> rule, std::function<void(bool)> run,
                                    bool checkable)
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

QAction *CV4AppDelegate::addLaterCommand(const QString &name, int tag, const char *titleKey,
                                         const QKeySequence &shortcut)
{
    return addCommand(name, tag, titleKey, shortcut, [] { return cv::MenuItemState{false, false}; }, [](bool) {});
}

CV4AppDelegate::MenuItemState CV4AppDelegate::tagRule(int tag) const
{
    return cv::menuItemState(tag, menuContext());
}

void CV4AppDelegate::trigger(const Command &command, bool checked)
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

void CV4AppDelegate::buildCommands()
{
    using namespace cv;
    auto always = [] { return MenuItemState{true, false}; };
    auto hasFront = [this] { return MenuItemState{frontDocument() != nullptr, false}; };
    auto byTag = [this](int t) { return [this, t] { return tagRule(t); }; };
    auto onWindow = [this](auto f) {
        return [this, f](bool checked) {
            if (CV4WindowController *w = frontWindow()) f(w, checked);
        };
    };

    // File
    addCommand(QStringLiteral("new"), 0, "Menu New", QKeySequence::New, always, [this](bool) { newDocument(); });
    addCommand(QStringLiteral("newFromTemplate"), tag::NewFromTemplate, "Menu New from Template", QKeySequence(),
               byTag(tag::NewFromTemplate), [this](bool) { runNewFromTemplate(); });
    addCommand(QStringLiteral("open"), 0, "Menu Open", QKeySequence::Open, always,
               [this](bool) { openDocumentAsked(); });
    addCommand(QStringLiteral("close"), 0, "Menu Close", QKeySequence(QStringLiteral("Ctrl+W")), hasFront, [this](bool) { closeFront(); });
    addCommand(QStringLiteral("save"), 0, "Menu Save", QKeySequence::Save, hasFront, [this](bool) { saveFront(false); });
    addCommand(QStringLiteral("saveAs"), 0, "Menu Save As", QKeySequence(QStringLiteral("Ctrl+Shift+S")), hasFront,
               [this](bool) { saveFront(true); });
    addCommand(QStringLiteral("revert"), 0, "Menu Revert",  QKeySequence(),
               [this] {
                   CV4Document *d = frontDocument();
                   return MenuItemState{d && !d->fileName().isEmpty() && d->isDocumentEdited(), false};
               },
               [this](bool) {
                   if (CV4Document *d = frontDocument()) m_documents->revertDocument(d);
               });
    addCommand(QStringLiteral("importOFX"), tag::ImportOFX, "Menu Import OFX", QKeySequence(), byTag(tag::ImportOFX),
               onWindow([](CV4WindowController *w, bool) { w->importData(tag::ImportOFX); }));
    addCommand(QStringLiteral("importText"), tag::ImportText, "Menu Import Text", QKeySequence(),
               byTag(tag::ImportText),
               onWindow([](CV4WindowController *w, bool) { w->importData(tag::ImportText); }));
    addCommand(QStringLiteral("importMobile"), tag::ImportMobile, "Menu Import Mobile", QKeySequence(),
               byTag(tag::ImportMobile),
               onWindow([](CV4WindowController *w, bool) { w->importData(tag::ImportMobile); }));
    // Every page with a print view prints; the print dialog also writes PDF.
    auto printable = [this] {
        CV4WindowController *w = frontWindow();
        return MenuItemState{w && !w->isShowingSheet() && w->canPrint(), false};
    };
    addCommand(QStringLiteral("print"), 0, "Menu Print", QKeySequence(QStringLiteral("Ctrl+P")), printable,
               onWindow([this](CV4WindowController *w, bool) { w->printView(m_preference, cv::PrintRunner::Mode::Dialog); }));
    addCommand(QStringLiteral("printPreview"), 0, "Menu Print Preview", QKeySequence(), printable,
               onWindow([this](CV4WindowController *w, bool) { w->printView(m_preference, cv::PrintRunner::Mode::Preview); }));
    addCommand(QStringLiteral("quit"), 0, "Menu Quit", QKeySequence(QStringLiteral("Ctrl+Q")), always,
               [this](bool) { quit(); });

    // Edit: the document's undo stack, and the text commands of the focused field.
    addCommand(QStringLiteral("undo"), 0, "Menu Undo", QKeySequence(QStringLiteral("Ctrl+Z")),
               [this] {
                   CV4WindowController *w = frontWindow();
                   return MenuItemState{w && w->undoStack() && w->undoStack()->canUndo(), false};
               },
               onWindow([](CV4WindowController *w, bool) { w->undoStack()->undo(); }));
    addCommand(QStringLiteral("redo"), 0, "Menu Redo", QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
               [this] {
                   CV4WindowController *w = frontWindow();
                   return MenuItemState{w && w->undoStack() && w->undoStack()->canRedo(), false};
               },
               onWindow([](CV4WindowController *w, bool) { w->undoStack()->redo(); }));
    const std::pair<const char *, const char *> editItems[] = {
        {"cut", "Menu Cut"}, {"copy", "Menu Copy"}, {"paste", "Menu Paste"}, {"del", "Menu Delete"},
        {"selectAll", "Menu Select All"}};
    const QKeySequence editKeys[] = {QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste, QKeySequence(),
                                     QKeySequence::SelectAll};
    for (size_t i = 0; i < std::size(editItems); ++i) {
        const char *method = editItems[i].first;
        QAction *action = addCommand(QString::fromLatin1(method), 0, editItems[i].second, editKeys[i],
                                     [this, method] { return MenuItemState{focusAnswers(method), false}; },
                                     [this, method](bool) { editAction(method); });
        // Text fields handle these keys themselves.
        action->setShortcutContext(Qt::WidgetShortcut);
    }

    // View
    const std::pair<int, const char *> pages[] = {{tag::ViewViewer, "TB01"},  {tag::ViewSearch, "TB02"},
                                                  {tag::ViewBudget, "TB03"},  {tag::ViewCurrency, "TB05"},
                                                  {tag::ViewInvestment, "TB06"}};
    int number = 1;
    for (const auto &[t, identifier] : pages) {
        const QString id = QLatin1String(identifier);
        addCommand(QStringLiteral("view") + id, t, identifier, QKeySequence(QStringLiteral("Ctrl+%1").arg(number++)),
                   byTag(t), onWindow([id](CV4WindowController *w, bool) { w->selectTabWithIdentifier(id); }), true);
    }
    addCommand(QStringLiteral("viewSecurities"), tag::ViewSecurities, "Menu Securities Window", QKeySequence(),
               byTag(tag::ViewSecurities), onWindow([](CV4WindowController *w, bool) { w->showBrandWindow(); }));
    for (int t : {tag::DisplayDefaultCurrency, tag::DisplayStockPrice}) {
        addCommand(t == tag::DisplayStockPrice ? QStringLiteral("displayStockPrice")
                                               : QStringLiteral("displayDefaultCurrency"),
                   t, t == tag::DisplayStockPrice ? "Menu Display Stock Price" : "Menu Display Default Currency",
                   QKeySequence(), byTag(t),
                   onWindow([t](CV4WindowController *w, bool checked) { w->viewSettingChanged(t, checked); }), true);
    }
    addCommand(QStringLiteral("fontLarger"), tag::FontLarger, "Menu Font Larger", QKeySequence::ZoomIn,
               byTag(tag::FontLarger), onWindow([](CV4WindowController *w, bool) { w->changeFontSize(true); }));
    addCommand(QStringLiteral("fontSmaller"), tag::FontSmaller, "Menu Font Smaller", QKeySequence::ZoomOut,
               byTag(tag::FontSmaller), onWindow([](CV4WindowController *w, bool) { w->changeFontSize(false); }));

    // Tools
    addCommand(QStringLiteral("calculator"), tag::Calculator, "Menu Calculator", QKeySequence(), byTag(tag::Calculator),
               [this](bool) { CV4CalcWindowController::toggleCalculator(m_preference.taxFracProcess()); }, true);
    addCommand(QStringLiteral("calendar"), tag::Calendar, "Menu Calendar", QKeySequence(), byTag(tag::Calendar),
               onWindow([](CV4WindowController *w, bool) { w->toggleCalendar(); }), true);
    addCommand(QStringLiteral("password"), tag::Password, "Menu Password", QKeySequence(), byTag(tag::Password),
               onWindow([](CV4WindowController *w, bool) { w->openPasswordPanel(); }));
    addCommand(QStringLiteral("groups"), tag::GroupPanel, "Menu Groups", QKeySequence(), byTag(tag::GroupPanel),
               onWindow([](CV4WindowController *w, bool) { w->openGroupPanel(); }));
    addCommand(QStringLiteral("reports"), tag::ReportPanel, "Menu Reports", QKeySequence(), byTag(tag::ReportPanel),
               onWindow([](CV4WindowController *w, bool) { w->selectTabWithIdentifier(QStringLiteral("TB04")); }));
    addCommand(QStringLiteral("charts"), tag::ChartPanel, "Menu Charts", QKeySequence(), byTag(tag::ChartPanel),
               onWindow([this](CV4WindowController *w, bool) { w->openChartPanel(m_preference); }));
    addCommand(QStringLiteral("info"), tag::InfoPanel, "Menu Financial Overview", QKeySequence(), byTag(tag::InfoPanel),
               onWindow([](CV4WindowController *w, bool) { w->openInfoPanel(); }));
    addCommand(QStringLiteral("settings"), tag::SettingsPanel, "Menu Fiscal Settings", QKeySequence(),
               byTag(tag::SettingsPanel), onWindow([](CV4WindowController *w, bool) { w->openSettingsPanel(); }));
    const std::pair<int, const char *> wizards[] = {{tag::WizardFirst, "Menu New Item"},
                                                    {tag::WizardAccounts, "Menu Wizard Accounts"},
                                                    {tag::WizardIncome, "Menu Wizard Income"},
                                                    {tag::WizardExpense, "Menu Wizard Expense"},
                                                    {tag::WizardSecurities, "Menu Wizard Securities"}};
    for (const auto &[t, titleKey] : wizards) {
        const int menuId = t;
        addCommand(menuId == tag::WizardFirst ? QStringLiteral("wizard") : QStringLiteral("wizard%1").arg(menuId),
                   menuId, titleKey, QKeySequence(), byTag(menuId),
                   onWindow([menuId](CV4WindowController *w, bool) { w->wizardAction(menuId); }));
    }
    addCommand(QStringLiteral("recalculate"), tag::Recalculate, "Menu Recalculate", QKeySequence(),
               byTag(tag::Recalculate), onWindow([](CV4WindowController *w, bool) { w->doRecalculation(); }));
    addCommand(QStringLiteral("compact"), tag::CompactDB, "Menu Compact", QKeySequence(), byTag(tag::CompactDB),
               onWindow([](CV4WindowController *w, bool) { w->compactDB(); }));
    addCommand(QStringLiteral("preferences"), tag::Preferences, "Menu Preferences", QKeySequence(),
               byTag(tag::Preferences), [this](bool) {
                   QWidget *parent = QApplication::activeWindow();
                   PreferencePanelController::openPreferencePanel(&m_preference, parent ? parent : frontWindow());
               });

    // Account and category commands on the viewer's selection.
    const struct {
        const char *name;
        int tag;
        const char *titleKey;
    } gridItems[] = {{"newCash", tag::NewCash, "Menu New Cash"},
                     {"newBank", tag::NewBank, "Menu New Bank"},
                     {"newInvestment", tag::NewInvestment, "Menu New Investment"},
                     {"newOtherAsset", tag::NewOtherAsset, "Menu New Other Asset"},
                     {"newLoan", tag::NewLoan, "Menu New Loan"},
                     {"newCreditCard", tag::NewCreditCard, "Menu New Credit Card"},
                     {"newOtherDebt", tag::NewOtherDebt, "Menu New Other Debt"},
                     {"newAccountSummary", tag::NewAccountSummary, "Menu New Account Summary"},
                     {"addSecurity", tag::AddSecurity, "Menu Add Security"},
                     {"groupAccounts", tag::GroupAccounts, "Menu Group Accounts"},
                     {"deleteAccount", tag::DeleteAccount, "Menu Delete Account"},
                     {"newCategory", tag::NewCategory, "Menu New Category"},
                     {"newCategoryFolder", tag::NewCategoryFolder, "Menu New Category Folder"},
                     {"deleteCategory", tag::DeleteCategory, "Menu Delete Category"},
                     {"mergeCategory", tag::MergeCategory, "Menu Merge Category"}};
    for (const auto &item : gridItems) {
        const int t = item.tag;
        addCommand(QLatin1String(item.name), t, item.titleKey, QKeySequence(), byTag(t),
                   onWindow([t](CV4WindowController *w, bool) { w->execGridCommand(t); }));
    }
    // The statement imports come with their sheets.
    addCommand(QStringLiteral("categoryImportOFX"), tag::CategoryImportOFX, "Menu Import OFX", QKeySequence(),
               byTag(tag::CategoryImportOFX),
               onWindow([](CV4WindowController *w, bool) { w->importData(tag::CategoryImportOFX); }));
    addCommand(QStringLiteral("categoryImportText"), tag::CategoryImportText, "Menu Import Text", QKeySequence(),
               byTag(tag::CategoryImportText),
               onWindow([](CV4WindowController *w, bool) { w->importData(tag::CategoryImportText); }));
    addCommand(QStringLiteral("categoryImportMobile"), tag::CategoryImportMobile, "Menu Import Mobile", QKeySequence(),
               byTag(tag::CategoryImportMobile),
               onWindow([](CV4WindowController *w, bool) { w->importData(tag::CategoryImportMobile); }));

    // Search page: the page decides; 30043-30045 have no command.
    const struct {
        const char *name;
        int tag;
        const char *titleKey;
    } searchItems[] = {{"searchConditions", SearchPageController::SearchTag, "Menu Search Conditions"},
                       {"searchRemoveRow", SearchPageController::RemoveRowTag, "Menu Search Remove Row"},
                       {"searchClear", SearchPageController::ClearTag, "Menu Search Clear"},
                       {"searchExport", SearchPageController::ExportTag, "Menu Search Export"}};
    for (const auto &item : searchItems) {
        const int t = item.tag;
        addCommand(QLatin1String(item.name), t, item.titleKey, QKeySequence(),
                   [this, t] {
                       CV4WindowController *w = frontWindow();
                       const cv::SearchPage *search = w ? w->searchPage() : nullptr;
                       const MenuContext c = menuContext();
                       const bool quiet = c.hasWindow && c.hasDocument && !c.modalRunning && !c.sheetShown;
                       return MenuItemState{quiet && search && search->validateMenu(t), false};
                   },
                   onWindow([t](CV4WindowController *w, bool) {
                       if (cv::SearchPage *search = w->searchPage()) search->execMenu(t);
                   }));
    }

    // Currency page: the page decides; 30033 and 30034 have no command.
    const struct {
        const char *name;
        int tag;
        const char *titleKey;
    } currencyItems[] = {{"currencyRates", cv::CurrencyPage::EditRatesTag, "Menu Currency Rates"},
                         {"currencyImport", cv::CurrencyPage::ImportRatesTag, "Menu Currency Import"},
                         {"currencySwitch", cv::CurrencyPage::SwitchOffTag, "Disable"},
                         {"currencyNew", cv::CurrencyPage::NewCurrencyTag, "Menu New Currency"}};
    for (const auto &item : currencyItems) {
        const int t = item.tag;
        addCommand(QLatin1String(item.name), t, item.titleKey, QKeySequence(),
                   [this, t] {
                       CV4WindowController *w = frontWindow();
                       const MenuContext c = menuContext();
                       const bool quiet = c.hasWindow && c.hasDocument && !c.modalRunning && !c.sheetShown;
                       return MenuItemState{quiet && w && w->validateMenuItem(t), false};
                   },
                   onWindow([t](CV4WindowController *w, bool) {
                       if (auto *page = qobject_cast<cv::CurrencyPage *>(w->page(CV4WindowController::CurrencyIndex)))
                           page->execMenu(t);
                   }));
    }

    // Window and Help
    addCommand(QStringLiteral("minimize"), 0, "Menu Minimize", QKeySequence(QStringLiteral("Ctrl+M")), hasFront,
               onWindow([](CV4WindowController *w, bool) { w->showMinimized(); }));
    addCommand(QStringLiteral("about"), tag::About, "Menu About", QKeySequence(), byTag(tag::About), [](bool) {
        QMessageBox::about(QApplication::activeWindow(), cv::localizedString("Menu About"),
                           cv::formatString(cv::localizedString("About Text %@"), {QCoreApplication::applicationVersion()}));
    });
}

QAction *CV4AppDelegate::actionForTag(int tag) const
{
    for (const Command &command : m_commands) {
        if (command.tag == tag) return command.action;
    }
    return nullptr;
}

QAction *CV4AppDelegate::actionNamed(const QString &name) const
{
    const auto it = m_named.find(name);
    return it == m_named.end() ? nullptr : it->second;
}

cv::MenuContext CV4AppDelegate::menuContext() const
{
    cv::MenuContext c;
    CV4WindowController *window = frontWindow();
    c.hasWindow = window && !window->isBrandWindowKey();
    if (!window) return c;
    CV4Document *document = window->document();
    c.hasDocument = document != nullptr;
    c.modalRunning = QApplication::activeModalWidget() != nullptr;
    c.sheetShown = window->isShowingSheet();
    c.tabIdentifier = window->selectedTabIdentifier();
    c.tabIndex = window->pageSwitcher().currentIndex();
    c.calculatorVisible = CV4CalcWindowController::existing() && CV4CalcWindowController::existing()->isVisible();
    c.calendarVisible = CV4WindowController::isCalendarVisible();
    if (document && document->settings()) {
        c.transDefaultCurrency = document->settings()->transDefaultCurrency();
        c.displayStockPrice = document->settings()->displayStockPrice();
        c.viewerFontSize = document->settings()->viewerFontSize();
    }
    c.account = window->accountSelection();
    c.category = window->actualSelection();
    return c;
}

void CV4AppDelegate::validateMenus()
{
    for (const Command &command : m_commands) {
        const MenuItemState state = command.rule();
        command.action->setEnabled(state.enabled);
        if (command.action->isCheckable()) command.action->setChecked(state.checked);
    }
}

QMenuBar *CV4AppDelegate::makeMenuBar(QWidget *parent)
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
        connect(m, &QMenu::aboutToShow, this, &CV4AppDelegate::validateMenus);
        connect(m, &QMenu::aboutToShow, this, &CV4WindowController::closePopups);
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
    connect(view, &QMenu::aboutToShow, this, [this, font] { font->setEnabled(tagRule(cv::tag::FontSizeMenu).enabled); });

    QMenu *accounts = menu("Menu Account");
    QMenu *newAsset = accounts->addMenu(cv::localizedString("Menu New Asset Account"));
    newAsset->menuAction()->setData(cv::tag::NewAssetMenu);
    add(newAsset, {"newCash", "newBank", "newInvestment", "newOtherAsset"});
    QMenu *newDebt = accounts->addMenu(cv::localizedString("Menu New Debt Account"));
    newDebt->menuAction()->setData(cv::tag::NewDebtMenu);
    add(newDebt, {"newLoan", "newCreditCard", "newOtherDebt"});
    add(accounts, {"newAccountSummary", "wizard25301", "", "addSecurity", "wizard25320", "", "groupAccounts", "",
                   "deleteAccount"});
    connect(accounts, &QMenu::aboutToShow, this, [this, newAsset, newDebt] {
        newAsset->setEnabled(tagRule(cv::tag::NewAssetMenu).enabled);
        newDebt->setEnabled(tagRule(cv::tag::NewDebtMenu).enabled);
    });

    QMenu *categories = menu("Menu Category");
    add(categories, {"newCategory", "newCategoryFolder", "wizard25310", "wizard25311", "", "deleteCategory",
                     "mergeCategory", ""});
    QMenu *categoryImport = categories->addMenu(cv::localizedString("Menu Import"));
    add(categoryImport, {"categoryImportOFX", "categoryImportText", "categoryImportMobile"});

    QMenu *search = menu("Menu Search");
    add(search, {"searchConditions", "searchRemoveRow", "", "searchClear", "searchExport"});

    QMenu *currency = menu("Menu Currency");
    add(currency, {"currencyRates", "currencyImport", "", "currencySwitch", "", "currencyNew"});
    connect(currency, &QMenu::aboutToShow, this, [this] {
        CV4WindowController *w = frontWindow();
        auto *page = w ? qobject_cast<cv::CurrencyPage *>(w->page(CV4WindowController::CurrencyIndex)) : nullptr;
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

void CV4AppDelegate::fillWindowMenu(QMenu *menu)
{
    menu->clear();
    menu->addAction(actionNamed(QStringLiteral("minimize")));
    menu->addSeparator();
    CV4WindowController *front = frontWindow();
    for (const auto &document : m_documents->documents()) {
        CV4WindowController *window = windowFor(document.get());
        if (!window) continue;
        QAction *item = menu->addAction(CV4DocumentController::displayName(*document));
        item->setCheckable(true);
        item->setChecked(window == front);
        QPointer<CV4WindowController> target = window;
        connect(item, &QAction::triggered, this, [target] {
            if (!target) return;
            target->showNormal();
            target->raise();
            target->activateWindow();
        });
    }
}

void CV4AppDelegate::fillRecentMenu(QMenu *menu)
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
CV4TableView *rowCommandTable(QWidget *focus, const char *method)
{
    const bool rowCommand = qstrcmp(method, "del") == 0 || qstrcmp(method, "selectAll") == 0;
    if (!focus || !rowCommand) return nullptr;
    if (auto *editor = qobject_cast<PopupFieldEditor *>(focus)) return editor->editingView();
    return qobject_cast<CV4TableView *>(focus);
}

cv::TableCommand rowCommand(const char *method)
{
    return qstrcmp(method, "del") == 0 ? cv::TableCommand::Delete : cv::TableCommand::SelectAll;
}

} // namespace

bool CV4AppDelegate::focusAnswers(const char *method) const
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus) return false;
    if (CV4TableView *table = rowCommandTable(focus, method))
    {
        const auto named = m_named.find(QString::fromLatin1(method));
        return table->validateCommand(rowCommand(method), named == m_named.end() ? nullptr : named->second);
    }
    // An editing table has no text to cut, copy or paste.
    if (qobject_cast<CV4TableView *>(focus)) return false;
    return focus->metaObject()->indexOfMethod(QByteArray(QByteArray(method) + "()").constData()) >= 0;
}

void CV4AppDelegate::editAction(const char *method)
{
    QWidget *focus = QApplication::focusWidget();
    if (CV4TableView *table = rowCommandTable(focus, method)) {
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

void CV4AppDelegate::openDocumentAsked()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        frontWindow(), cv::localizedString("Menu Open"), ControlsDocumentUI::documentsFolder(),
        cv::localizedString("Open Filter"));
    openFiles(files);
}

void CV4AppDelegate::saveFront(bool as)
{
    CV4Document *document = frontDocument();
    if (!document) return;
    if (!as) {
        m_documents->saveDocument(document);
    } else {
        QString suggested = document->fileName();
        if (suggested.isEmpty()) suggested = CV4DocumentController::displayName(*document) + QStringLiteral(".cvv2");
        const QString path = cv::documentUI().askSavePath(*document, suggested);
        if (!path.isEmpty()) m_documents->saveDocumentAs(document, path);
    }
    if (CV4WindowController *window = windowFor(document)) window->updateTitle();
}

void CV4AppDelegate::closeFront()
{
    if (CV4Document *document = frontDocument()) m_documents->closeDocument(document, true);
}

void CV4AppDelegate::runNewFromTemplate()
{
    const int code = m_panelRunner(false);
    const cv::StartupCode choice = cv::StartupCode::decode(code);
    if (choice.action == cv::StartupCode::CreateNew) newDocument(choice.templateIndex);
}
