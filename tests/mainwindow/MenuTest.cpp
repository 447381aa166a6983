// The application menu's rules, and that every command checks its rule again.
#include "mainwindow/MainWindowTestSupport.h"

#include "mainwindow/DocumentToolbar.h"
#include "mainwindow/MenuRules.h"
#include "support/WindowPage.h"

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
// currency pages (no currency selected), with a sheet over the viewer, in the
// securities window's own menu bar while that window is key (nothing
// selected), and with no book open. The toolbar's items stay on wherever a
// window shows its own view.
TEST_F(DelegateTest, TheMenuFollowsTheWindowsState)
{
    enum State { Viewer, Search, BudgetState, CurrencyState, Sheet, SecuritiesKey, NoBook, StateCount };
    // Per state: 0 off, 1 on, c on and checked, x off and checked.
    // clang-format off
    const std::pair<const char *, const char *> table[] = {
        {"new", "1111111"}, {"open", "1111111"}, {"preferences", "1111111"}, {"about", "1111111"},
        {"save", "1111110"}, {"close", "1111110"}, {"reports", "1111100"}, {"charts", "1111100"}, {"info", "1111100"},
        {"viewSecurities", "1111100"}, {"calculator", "1111100"}, {"print", "1011010"}, {"printPreview", "1011010"},
        {"undo", "0000000"},
        {"password", "1111000"}, {"groups", "1111000"}, {"settings", "1111000"}, {"recalculate", "1111000"},
        {"compact", "1111000"}, {"importText", "1111000"}, {"importOFX", "1111000"}, {"importMobile", "1111000"},
        {"calendar", "1000100"}, {"fontLarger", "1000100"}, {"wizard", "1000000"}, {"newCash", "1000000"},
        {"deleteAccount", "0000000"}, {"accountImport", "0000000"}, {"categoryImportText", "1000000"},
        {"categoryImportOFX", "1000000"}, {"categoryImportMobile", "1000000"}, {"deleteCategory", "0000000"},
        {"searchConditions", "1111000"}, {"searchClear", "0000000"}, {"currencyNew", "1111000"},
        {"viewTB01", "c111cx0"}, {"viewTB02", "1c11100"}, {"viewTB03", "11c1100"}, {"viewTB05", "111c100"},
        {"viewTB06", "1111100"}, {"newFromTemplate", "1111111"}, {"saveAs", "1111110"}, {"fontSmaller", "1000100"},
        {"newBank", "1000000"}, {"newInvestment", "1000000"}, {"newOtherAsset", "1000000"}, {"newLoan", "1000000"},
        {"newCreditCard", "1000000"}, {"newOtherDebt", "1000000"}, {"newAccountSummary", "1000000"},
        {"addSecurity", "0000000"}, {"groupAccounts", "0000000"}, {"newCategory", "0000000"},
        {"newCategoryFolder", "0000000"}, {"mergeCategory", "0000000"}, {"searchRemoveRow", "0000000"},
        {"searchExport", "0000000"}, {"del", "0000000"}, {"currencyRates", "0000000"}, {"currencySwitch", "0000000"},
        {"currencyImport", "0000000"},
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
        if (state == SecuritiesKey) {
            const auto securities = cvtest::page::Window(*delegate, w).securities();
            ASSERT_TRUE(w->isSecuritiesWindowKey());
            ASSERT_NE(securities->findChild<QMenuBar *>(), nullptr);
        }
        if (state == NoBook) delegate->openBooks().closeAll();
        delegate->validateMenus();
        for (const auto &[name, states] : table) {
            const QAction *action = delegate->actionNamed(QLatin1String(name));
            ASSERT_NE(action, nullptr) << name;
            const char expected = states[state];
            EXPECT_EQ(action->isEnabled(), expected == '1' || expected == 'c') << name << " in state " << state;
            EXPECT_EQ(action->isChecked(), expected == 'c' || expected == 'x') << name << " in state " << state;
        }
        if (state != NoBook) {
            for (const QAction *item : w->toolbar()->actions())
                EXPECT_TRUE(item->isEnabled() || !item->isVisible()) << item->text().toStdString() << " " << state;
        }
        if (state == SecuritiesKey) w->securityWindow()->close();
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
