#pragma once
// The one window of a document: the five pages plus the temporary page in a
// stack switched only through the page switcher, the toolbar, the dates the
// pages share, per-page dirty flags, menu validation for the window's own
// items, the busy indicator, the title with its edited mark and the frame.
//
// Files: BookWindow.cpp (life, pages, toolbar, dates),
// BookWindow_Menu.cpp (menu validation and commands),
// BookWindow_Trades.cpp (a trade of the search results opens its panel),
// BookWindow_Commands.cpp (the grids' selection, the new item wizard;
// the account and category commands and their sheets' ends are handed on to
// cv::BookCommands), BookWindow_Settings.cpp (fiscal settings and
// groupings). The window's data lives in BookWindowPrivate.h, which
// only these files include.

#include "controls/DateReceiver.h"
#include "controls/MainWindow.h"
#include "mainwindow/EntryPanelMaker.h"
#include "mainwindow/MenuRules.h"
#include "model/LoanPayment.h"
#include "mainwindow/PageSwitcher.h"
#include "platform/print/PrintRunner.h"

#include <QDate>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMenuBar;
class QProgressBar;
class QTabBar;
class QSettings;
class QUndoStack;
class QTableView;

namespace cv {

class Book;
class Preference;
class Node;
using NodePtr = std::shared_ptr<Node>;

class TemporaryPage;
class WindowPage;

class Security;
class OpeningHoldingSheet;
using SecurityPtr = std::shared_ptr<Security>;

struct ChangeSet;
class SecuritiesWindow;
class CommandRow;
class DocumentToolbar;
class HostedPanel;
class SearchPage;
class ViewerPage;

// A MainWindow: an outside click ends the cell edit of its tables. A
// DateReceiver: the popup calendar posts picked dates here.
class BookWindow : public MainWindow, public cv::PageSwitcherClient, public cv::DateReceiver {
    Q_OBJECT
public:
    enum PageIndex {
        ViewerIndex = 0,
        SearchIndex = 1,
        BudgetIndex = 2,
        CurrencyIndex = 3,
        InvestmentIndex = 4,
        TemporaryIndex = 5
    };
    static constexpr int kPageCount = 5;
    static constexpr int kFlagCount = 10;
    // Asked when the user closes the window; true when the document closed.
    using CloseHandler = std::function<bool(Book *)>;

    // `settings` (not owned; null: the application's) keeps the toolbar's choices.
    explicit BookWindow(Book *document, QSettings *settings = nullptr, QWidget *parent = nullptr);
    ~BookWindow() override;

    Book *document() const;
    void setCloseHandler(CloseHandler handler);
    // The document is going: the window lets go of it and is freed later.
    void documentClosing();

    // ---- pages
    cv::PageSwitcher &pageSwitcher();
    int currentTabViewIndex() const;
    QString selectedTabIdentifier() const;
    cv::WindowPage *page(int index) const;
    cv::SearchPage *searchPage() const;
    cv::ViewerPage *viewerPage() const;
    // The application's preferences (colours, margins); none: the defaults.
    void setPreference(const Preference *preference);
    const Preference *preference() const;
    // Entry panels for the viewer's cells; none opens nothing.
    void setEntryPanelMaker(cv::EntryPanelMaker maker);
    const cv::EntryPanelMaker &entryPanelMaker() const;
    // Searches the entries of the accounts within the days into the search
    // page; the number found.
    int execSearchForAccount(const std::vector<NodePtr> &accounts, const QDate &from, const QDate &to);
    cv::TemporaryPage *temporaryPage() const;
    void selectTab(int index);
    // Closes the chooser and the popup calendar: before a page switch and
    // when a menu opens, so no popup edits a cell that is going away.
    static void closePopups();
    static bool isCalendarVisible();
    // Tools > Calendar: closes the popup calendar, else opens it on the viewer's date.
    void toggleCalendar();
    void selectTabWithIdentifier(const QString &identifier);
    // The entry panel's widget goes into a temporary page after the five.
    void addTemporaryTab(QWidget *panel);
    void removeTemporaryTab();
    // The temporary page's panel; none while no panel is open.
    cv::HostedPanel *hostedPanel() const;
    // An entry panel wrote rows: the search results may be out of date.
    void clearSearchList();
    // The trade panel of the account over the days, with the trade selected
    // (a trade cell of the search results asked for it).
    void openTradePanel(int account, const QDate &from, const QDate &to, int tradeIdent);
    bool pageIsDirty(int index) const;
    // A change notification: marks every hidden page that shows book data.
    void dataChanged();
    // The hidden viewer, search and budget pages read again when entered.
    void documentChanged(const cv::ChangeSet &changes);

    // PageSwitcherClient
    bool shouldSelectPage(int index) override;
    void willSelectPage(int index) override;
    void didSelectPage(int index) override;

    // ---- toolbar
    cv::DocumentToolbar *toolbar() const;
    // The toolbar's items act only while the window shows the document's own
    // view (the one it was built with); nothing in the program replaces it yet.
    bool validateToolbarItem() const;
    void validateToolbarItems();
    // The page tabs over the pages; a click selects as the toolbar does.
    QTabBar *tabBar() const;
    void execToolbar(const QString &identifier);

    // ---- dates shared by the pages
    const QDate &topDate() const;
    void setTopDate(const QDate &date);
    const QDate &reportDate() const;
    void setReportDate(const QDate &date);
    const QDate &preBudgetDate() const;
    void setPreBudgetDate(const QDate &date);
    // The budget page's week rule moves the top date and keeps the dates remembered.
    void moveTopDate(const QDate &date);
    QDate fiscalDate(const QDate &date, int mode) const;
    // Snaps the top date to the unit; the remembered date stays.
    void adjustTopDate(int unit);
    // A change of unit starts from the remembered unsnapped date when there
    // is one, else from the top date, and remembers that start. Any step,
    // Today or a picked date (setTopDate) forgets it.
    void changeTopDateUnit(int unit);
    const QDate &oldTopDate() const;
    void moveDateWithMode(int unit, int direction);
    void forwardTopDate(int unit) { moveDateWithMode(unit, 1); }
    void backwardTopDate(int unit) { moveDateWithMode(unit, -1); }
    void todayTopDate(int unit, const QDate &today = QDate::currentDate());

    // ---- hand-offs from the calculator and the popup calendar
    // A picked date: the viewer, budget and currency pages move their first
    // day, the investment page its date; elsewhere the
    // temporary page's panel, else the focused field or its nearest parent
    // that is a DateReceiver, takes it.
    Q_INVOKABLE void performInputDate(const QDate &date) override;
    // The calculator's text goes to the temporary page's panel; without one
    // nothing happens.
    Q_INVOKABLE void performInputValue(const QString &value);

    // ---- menus (BookWindow_Menu.cpp)
    // The window's own items, by tag (0: an item without one, such as Edit >
    // Delete in the securities window); the application asks for the others.
    bool validateMenuItem(int tag) const;
    // Gives the securities window its menu bar over the application's commands.
    using MenuBarMaker = std::function<QMenuBar *(QWidget *window)>;
    void setMenuBarMaker(MenuBarMaker maker);
    // Whether a sheet or the securities window takes the window's commands.
    bool isShowingSheet() const;
    bool isSecuritiesWindowKey() const;
    // The document's undo stack: entry panels push onto it, a commit clears it.
    QUndoStack *undoStack() const;
    void viewSettingChanged(int tag, bool checked);
    void changeFontSize(bool larger);
    void doRecalculation();
    void compactDB();
    void openPasswordPanel();
    // The chart and financial overview sheets (BookWindow_Charts.cpp).
    void openChartPanel(const Preference &preference);
    void openOverview();

    // ---- account and category commands (BookWindow_Commands.cpp)
    // Each acts on the selected row of its grid and asks its menu rule again
    // first. A new node is the context of its sheet until the sheet's end
    // appends it to a tree or lets it go.
    enum class AccountSheet { Cash, Bank, CreditCard, Loan, Summary };
    // How a sheet ended: 0 cancel, 1 OK, 2 OK with the account's currency
    // changed; a loan sheet's schedule.
    struct SheetResult {
        int code = 0;
        std::optional<LoanSchedule> loanData;
    };
    using SheetDone = std::function<void(const SheetResult &)>;
    // Opens the sheet of the kind for the node (a new one has ident -1); the
    // program's own sheets unless a test installs another opener.
    using AccountSheetOpener = std::function<void(BookWindow &, AccountSheet, const NodePtr &, SheetDone)>;
    // Opens the sheet of a new security; `done` gets the security once it is
    // in the book, none after Cancel.
    using SecuritySheetOpener = std::function<void(BookWindow &, std::function<void(const SecurityPtr &)>)>;
    // Asks which category receives the entries of the one given; 0 none
    // (tests; the program runs MergeCategoryDialog).
    using MergeChooser = std::function<int(BookWindow &, const NodePtr &)>;
    void setAccountSheetOpener(AccountSheetOpener opener);
    void setSecuritySheetOpener(SecuritySheetOpener opener);
    void setMergeChooser(MergeChooser chooser);

    NodePtr selectedAccountNode() const;
    NodePtr selectedCategoryNode() const;
    cv::TreeSelection accountSelection() const;
    cv::TreeSelection categorySelection() const;
    // Whether the tag's command may run on the grids' selection now.
    bool gridCommandAllowed(int tag) const;
    // Runs the tag's account or category command.
    void execGridCommand(int tag);

    // The account's sheet; none: the selected account's.
    void editAccount(const NodePtr &account = nullptr);
    // A category summary's sheet.
    void editCategorySummary(const NodePtr &summary);

    // Expands the node's ancestors in its grid and selects its row.
    void expandMe(const NodePtr &node);

    // The new item wizard for the menu id (25300..25320), then the command it chose.
    void wizardAction(int menuId);
    // Runs the wizard and answers its code; none: WizardDialog.
    using WizardRunner = std::function<int(Book *, int menuId, QWidget *parent)>;
    void setWizardRunner(WizardRunner runner);

    // ---- fiscal settings and groupings (BookWindow_Settings.cpp)
    // The fiscal settings sheet; its end commits and re-lays the periods.
    void openSettingsPanel();
    // Code 0 does nothing; else the settings are stored, the monthly series
    // rebuilt when the first day of the month changed (64), and the shown
    // viewer's or budget page's period laid out again (hidden pages on their
    // next entry).
    void settingsSheetDidEnd(int code);
    // The grouping dialog, application-modal.
    void openGroupPanel();
    // A grouping left the document: the search results and an open income,
    // expense or transfer panel show none on its rows.
    void groupsDeleted(const QList<int> &idents);

    // ---- imports (BookWindow_Imports.cpp)
    // The import sheet of the request's tag on the viewer; a commit marks the pages changed.
    // `account`: the statement's account, chosen in the sheet beforehand.
    void importData(int tag, int account = 0);

    // ---- printing (BookWindow_Menu.cpp)
    // Whether the shown page has a print view; the temporary page has none.
    bool canPrint() const;
    // Prints the shown page through its view: the dialog, the preview, or
    // straight to a PDF file (tests, benches).
    cv::PrintRunner::Result printView(const Preference &preference, cv::PrintRunner::Mode mode,
                                      const QString &pdfPath = {});

    // ---- title, busy indicator, frame
    void documentEditedChanged(bool edited);
    void updateTitle();
    bool isBusy() const;
    // The frame moved and shrunk so that it lies within the available area.
    static QRect clampToScreen(const QRect &frame, const QRect &available);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void startBusyIndicator();
    void stopBusyIndicator();
    // The document is about to save: panels commit, the viewer and the frame are stored.
    void willSave();
    void tabClicked(int index);

    struct Private;
    std::unique_ptr<Private> d;

    // ---- the securities window and the holding sheet (BookWindow_Securities.cpp)
public:
    // Makes the securities window on first use, reads its list again and brings it to the front.
    void showSecuritiesWindow();
    // The securities window; none until first shown.
    cv::SecuritiesWindow *securityWindow() const;
    // The securities table (the window is made when needed).
    QTableView *securityView();
    // The chooser's "CreateNewBrand" row: the new-security sheet on the
    // securities window; the security goes back to the chooser through the
    // row, nothing after Cancel. Registered for every chooser once, with the
    // choosers' new investment account (addInvestAccountCommand).
    void securityNewForCommand(const std::shared_ptr<cv::CommandRow> &row);
    static void registerChooserCommands();
    // The viewer's delete on a holding: its holdings and trades in that account.
    bool maybeDeleteSecurity(const SecurityPtr &security, const NodePtr &account);
    // The opening-holding sheet of a holding node; `account` is where a node
    // without a parent goes after OK (else its own parent is the account).
    OpeningHoldingSheet *editHolding(const NodePtr &node, const NodePtr &account = nullptr);
    // After OK: the node joins the account when new, the caches are rebuilt
    // and the account tree is committed.
    void openingHoldingSheetDidEnd(int code, const NodePtr &node, const NodePtr &account);
};

} // namespace cv
