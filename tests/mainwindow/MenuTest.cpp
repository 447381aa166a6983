// The application menu's rules, and that every command checks its rule again.
#include "mainwindow/MainWindowTestSupport.h"

#include "mainwindow/DocumentToolbar.h"
#include "mainwindow/MenuRules.h"

#include <QDialog>
#include <QMenuBar>
#include <QTest>
#include <QSet>

namespace {

// clang-format off
const int kValidatedTags[] = {24000, 25000, 25001, 25009, 25010, 25008, 25012, 25200, 25204, 25210, 25211, 25300,
                              25350, 25399, 25201, 25202, 25203, 25100, 25101, 25020, 25021, 25022, 25023, 25024,
                              25025, 25026, 25027, 25028, 25029, 25030};
// clang-format on

cv::MenuContext mainTab()
{
    cv::MenuContext c;
    c.hasWindow = true;
    c.hasDocument = true;
    c.tabIdentifier = QStringLiteral("TB01");
    c.tabIndex = 0;
    return c;
}

} // namespace

TEST(MenuRulesTest, WithTheSecuritiesWindowKeyOnlyTheAlwaysItemsStayOn)
{
    cv::MenuContext c = mainTab();
    c.hasWindow = false; // the securities window is key
    for (int tag : kValidatedTags) EXPECT_EQ(cv::menuItemState(tag, c).enabled, cv::isAlwaysEnabledTag(tag)) << tag;
    for (int tag : kValidatedTags) EXPECT_TRUE(cv::menuItemState(tag, mainTab()).enabled) << tag;
}

TEST(MenuRulesTest, RulesByContext)
{
    // clang-format off
    struct Case {
        const char *what;
        std::function<void(cv::MenuContext &)> change;
        int tag;
        cv::MenuItemState state;
    } cases[] = {
        {"font 5", [](auto &c) { c.viewerFontSize = 5; }, 25028, {false, false}},
        {"font 5 smaller", [](auto &c) { c.viewerFontSize = 5; }, 25029, {true, false}},
        {"font 1", [](auto &c) { c.viewerFontSize = 1; }, 25029, {false, false}},
        {"font 1 larger", [](auto &c) { c.viewerFontSize = 1; }, 25028, {true, false}},
        {"budget page font", [](auto &c) { c.tabIdentifier = "TB03"; c.tabIndex = 2; }, 25030, {false, false}},
        {"investment page", [](auto &c) { c.tabIdentifier = "TB06"; }, 25025, {true, true}},
        {"modal", [](auto &c) { c.modalRunning = true; }, 25008, {false, false}},
        {"no document", [](auto &c) { c.hasDocument = false; }, 25202, {false, false}},
        {"no document calculator", [](auto &c) { c.hasDocument = false; }, 25100, {true, false}},
        {"calculator shown", [](auto &c) { c.calculatorVisible = true; }, 25100, {true, true}},
        {"default currency", [](auto &c) { c.transDefaultCurrency = 1; }, 25026, {true, true}},
        {"stock price off", [](auto &c) { c.displayStockPrice = false; }, 25027, {true, false}},
        {"untagged", [](auto &c) { c.hasWindow = false; }, 0, {true, false}},
    };
    // clang-format on
    for (const Case &c : cases) {
        cv::MenuContext context = mainTab();
        c.change(context);
        EXPECT_EQ(cv::menuItemState(c.tag, context), c.state) << c.what;
    }
}

TEST_F(DelegateTest, MenusCarryTheirTagsAndTheUsualShortcuts)
{
    delegate->newDocument();
    QMenuBar *bar = window()->menuBar();
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction *menu : bar->actions()) titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Account", "&Category", "&Search", "C&urrency", "&Tools",
                                   "&Window", "&Help"}));
    // Each menu's Alt key is its own, in both languages.
    for (const char *language : {"en", "ja"}) {
        cv::setLanguageOverride(QLatin1String(language));
        QSet<QKeySequence> keys;
        for (const char *key : {"Menu File", "Menu Edit", "Menu View", "Menu Account", "Menu Category", "Menu Search",
                                "Menu Currency", "Menu Tools", "Menu Window", "Menu Help"}) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(cv::localizedString(key));
            EXPECT_FALSE(mnemonic.isEmpty()) << language << " " << key;
            EXPECT_FALSE(keys.contains(mnemonic)) << language << " " << key;
            keys.insert(mnemonic);
        }
    }
    cv::setLanguageOverride(language());
    // clang-format off
    const std::pair<const char *, const char *> shortcuts[] = {
        {"new", "Ctrl+N"}, {"open", "Ctrl+O"}, {"save", "Ctrl+S"}, {"saveAs", "Ctrl+Shift+S"}, {"close", "Ctrl+W"},
        {"print", "Ctrl+P"}, {"undo", "Ctrl+Z"}, {"redo", "Ctrl+Shift+Z"}, {"quit", "Ctrl+Q"}};
    // clang-format on
    for (const auto &[name, keys] : shortcuts)
        EXPECT_EQ(delegate->actionNamed(QLatin1String(name))->shortcut(), QKeySequence(QLatin1String(keys))) << name;
    EXPECT_EQ(delegate->actionForTag(cv::tag::ViewBudget)->data().toInt(), cv::tag::ViewBudget);
}

// The menu as a user finds it, opened in each state of the window: on the
// viewer with nothing selected, on the empty search page, the budget and
// currency pages (no currency selected), with a sheet over the viewer, and
// with no book open.
TEST_F(DelegateTest, TheMenuFollowsTheWindowsState)
{
    enum State { Viewer, Search, BudgetState, CurrencyState, Sheet, NoBook, StateCount };
    // Per state: 0 off, 1 on, c on and checked.
    // clang-format off
    const std::pair<const char *, const char *> table[] = {
        {"new", "111111"}, {"open", "111111"}, {"preferences", "111111"}, {"about", "111111"},
        {"save", "111110"}, {"close", "111110"}, {"reports", "111110"}, {"charts", "111110"}, {"info", "111110"},
        {"viewSecurities", "111110"}, {"calculator", "111110"}, {"print", "101100"}, {"printPreview", "101100"},
        {"undo", "000000"},
        {"password", "111100"}, {"groups", "111100"}, {"settings", "111100"}, {"recalculate", "111100"},
        {"compact", "111100"}, {"importText", "111100"}, {"importOFX", "111100"}, {"importMobile", "111100"},
        {"calendar", "100010"}, {"fontLarger", "100010"}, {"wizard", "100000"}, {"newCash", "100000"},
        {"deleteAccount", "000000"}, {"accountImport", "000000"}, {"categoryImportText", "100000"},
        {"categoryImportOFX", "100000"}, {"categoryImportMobile", "100000"}, {"deleteCategory", "000000"},
        {"searchConditions", "111100"}, {"searchClear", "000000"}, {"currencyNew", "111100"},
        {"viewTB01", "c111c0"}, {"viewTB02", "1c1110"}, {"viewTB03", "11c110"}, {"viewTB05", "111c10"},
        {"viewTB06", "111110"}, {"newFromTemplate", "111111"}, {"saveAs", "111110"}, {"fontSmaller", "100010"},
        {"newBank", "100000"}, {"newInvestment", "100000"}, {"newOtherAsset", "100000"}, {"newLoan", "100000"},
        {"newCreditCard", "100000"}, {"newOtherDebt", "100000"}, {"newAccountSummary", "100000"},
        {"addSecurity", "000000"}, {"groupAccounts", "000000"}, {"newCategory", "000000"},
        {"newCategoryFolder", "000000"}, {"mergeCategory", "000000"}, {"searchRemoveRow", "000000"},
        {"searchExport", "000000"}, {"del", "000000"}, {"currencyRates", "000000"}, {"currencySwitch", "000000"},
        {"currencyImport", "000000"},
    };
    // clang-format on
    cv::Book *document = nullptr;
    cv::BookWindow *w = openNewWindow(document, 1000, 680);
    const char *pages[] = {"TB01", "TB02", "TB03", "TB05"};
    for (int state = 0; state < StateCount; ++state) {
        if (state < Sheet) w->selectTabWithIdentifier(QLatin1String(pages[state]));
        if (state == Sheet) {
            w->selectTabWithIdentifier(QStringLiteral("TB01"));
            w->openSettingsPanel();
            ASSERT_TRUE(w->isShowingSheet());
        }
        if (state == NoBook) delegate->openBooks().closeAll();
        delegate->validateMenus();
        for (const auto &[name, states] : table) {
            const QAction *action = delegate->actionNamed(QLatin1String(name));
            ASSERT_NE(action, nullptr) << name;
            EXPECT_EQ(action->isEnabled(), states[state] != '0') << name << " in state " << state;
            EXPECT_EQ(action->isChecked(), states[state] == 'c') << name << " in state " << state;
        }
        if (state == Viewer) EXPECT_TRUE(w->toolbar()->actionFor(QStringLiteral("TB07"))->isEnabled());
        if (state == Sheet) {
            for (QDialog *sheet : w->findChildren<QDialog *>()) sheet->reject();
            QTRY_VERIFY(!w->isShowingSheet());
        }
    }
}

TEST_F(DelegateTest, HandlersCheckTheirRuleAgainBeforeActing)
{
    cv::Book *document = delegate->newDocument();
    document->settings()->setViewerFontSize(4);
    QAction *larger = delegate->actionForTag(cv::tag::FontLarger);
    larger->trigger();
    ASSERT_EQ(document->settings()->viewerFontSize(), 5);
    // The menu was last validated at another size: the shortcut still reaches the handler.
    larger->setEnabled(true);
    larger->trigger();
    EXPECT_EQ(document->settings()->viewerFontSize(), 5);
    delegate->actionForTag(cv::tag::FontSmaller)->trigger();
    EXPECT_EQ(document->settings()->viewerFontSize(), 4);

    // Off the main tab a checkable view setting is put back as it was.
    window()->selectTabWithIdentifier(QStringLiteral("TB03"));
    QAction *stock = delegate->actionForTag(cv::tag::DisplayStockPrice);
    stock->setEnabled(true);
    const bool before = document->settings()->displayStockPrice();
    stock->setChecked(before);
    stock->trigger();
    EXPECT_EQ(document->settings()->displayStockPrice(), before);
    EXPECT_EQ(stock->isChecked(), before);

    window()->selectTabWithIdentifier(QStringLiteral("TB01"));
    delegate->validateMenus();
    stock->trigger();
    EXPECT_EQ(document->settings()->displayStockPrice(), !before);
}

TEST_F(DelegateTest, ToolsCalendarOpensAndClosesThePopupCalendarOnTheViewer)
{
    cv::Book *document = nullptr;
    cv::BookWindow *w = openNewWindow(document, 1000, 680);
    QAction *calendar = delegate->actionNamed(QStringLiteral("calendar"));
    for (auto [page, enabled, shown] :
         {std::tuple("TB02", false, false), {"TB01", true, true}, {"TB01", true, false}}) {
        if (w->selectedTabIdentifier() != QLatin1String(page))
            w->selectTabWithIdentifier(QLatin1String(page)); // closes popups
        delegate->validateMenus();
        EXPECT_EQ(calendar->isEnabled(), enabled) << page;
        calendar->trigger();
        delegate->validateMenus();
        EXPECT_EQ(std::pair(cv::BookWindow::isCalendarVisible(), calendar->isChecked()), std::pair(shown, shown))
            << page;
    }
}
