#pragma once
// The one window of a document: the five pages plus the temporary page in a
// stack switched only through the page switcher, the toolbar, the dates the
// pages share, per-page dirty flags, menu validation for the window's own
// items, the busy indicator, the title with its edited mark and the frame.
//
// Files: CV4WindowController.cpp (life, pages, toolbar, dates),
// CV4WindowController_Menu.cpp (menu validation and commands).

#include "mainwindow/PageSwitcher.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class CV4Document;
class QProgressBar;
class QSettings;
class QUndoStack;

#include "mainwindow/TemporaryPage.h"

namespace cv {
class DocumentToolbar;
class SearchPage;
} // namespace cv

class CV4WindowController : public QMainWindow, public cv::PageSwitcherClient {
    Q_OBJECT
public:
    enum PageIndex { ViewerIndex = 0, SearchIndex = 1, BudgetIndex = 2, CurrencyIndex = 3, InvestmentIndex = 4,
                     TemporaryIndex = 5 };
    static constexpr int kPageCount = 5;
    static constexpr int kFlagCount = 10;
    // Asked when the user closes the window; true when the document closed.
    using CloseHandler = std::function<bool(CV4Document *)>;

    // `settings` (not owned; null: the application's) keeps the toolbar's choices.
    explicit CV4WindowController(CV4Document *document, QSettings *settings = nullptr, QWidget *parent = nullptr);
    ~CV4WindowController() override;

    CV4Document *document() const { return m_document; }
    void setCloseHandler(CloseHandler handler) { m_closeHandler = std::move(handler); }
    // The document is going: the window lets go of it and is freed later.
    void documentClosing();

    // ---- pages
    cv::PageSwitcher &pageSwitcher() { return m_switcher; }
    int currentTabViewIndex() const { return m_currentTabViewIndex; }
    QString selectedTabIdentifier() const { return m_switcher.currentIdentifier(); }
    cv::WindowPage *page(int index) const { return m_switcher.page(index); }
    cv::SearchPage *searchPage() const;
    cv::TemporaryPage *temporaryPage() const { return m_temporaryPage; }
    void selectTab(int index);
    void selectTabWithIdentifier(const QString &identifier);
    // The entry panel's widget goes into a temporary page after the five.
    void addTemporaryTab(QWidget *panel);
    void removeTemporaryTab();
    bool pageIsDirty(int index) const;
    // A change notification: marks every hidden page that shows book data.
    void dataChanged();

    // PageSwitcherClient
    bool shouldSelectPage(int index) override;
    void willSelectPage(int index) override;
    void didSelectPage(int index) override;

    // ---- toolbar
    cv::DocumentToolbar *toolbar() const { return m_toolbar; }
    void execToolbar(const QString &identifier);

    // ---- dates shared by the pages
    const QDate &topDate() const { return m_topDate; }
    void setTopDate(const QDate &date);
    const QDate &reportDate() const { return m_reportDate; }
    void setReportDate(const QDate &date) { m_reportDate = date; }
    const QDate &preBudgetDate() const { return m_preBudgetDate; }
    void setPreBudgetDate(const QDate &date) { m_preBudgetDate = date; }
    QDate fiscalDate(const QDate &date, int mode) const;
    void adjustTopDate(int unit);
    void moveDateWithMode(int unit, int direction);
    void forwardTopDate(int unit) { moveDateWithMode(unit, 1); }
    void backwardTopDate(int unit) { moveDateWithMode(unit, -1); }
    void todayTopDate(int unit, const QDate &today = QDate::currentDate());

    // ---- hand-offs from the calculator and the popup calendar
    // A picked date: the viewer, budget and currency pages move their first
    // day, the investment page its date; elsewhere the focused field or the
    // nearest parent that answers performInputDate(QDate) takes it.
    Q_INVOKABLE void performInputDate(const QDate &date);
    // The calculator's text goes to the entry panel when it answers
    // performInputValue(QString); without a panel nothing happens.
    Q_INVOKABLE void performInputValue(const QString &value);

    // ---- menus (CV4WindowController_Menu.cpp)
    // The window's own items, by tag; the application asks for the others.
    bool validateMenuItem(int tag) const;
    // Whether a sheet or the securities window takes the window's commands.
    bool isShowingSheet() const;
    bool isBrandWindowKey() const { return false; }
    // The document's undo stack; none until the document keeps one.
    QUndoStack *undoStack() const { return nullptr; }
    void viewSettingChanged(int tag, bool checked);
    void changeFontSize(bool larger);
    void doRecalculation();
    void compactDB();
    void openPasswordPanel();

    // ---- title, busy indicator, frame
    void documentEditedChanged(bool edited);
    void updateTitle();
    bool isBusy() const { return m_busyDepth > 0; }
    // The frame moved and shrunk so that it lies within the available area.
    static QRect clampToScreen(const QRect &frame, const QRect &available);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPages();
    void connectBusyIndicator();
    void connectEditedMark();
    void startBusyIndicator();
    void stopBusyIndicator();
    void restoreFrame();
    void storeFrame();

    CV4Document *m_document;                    // not owned; outlives the window
    CloseHandler m_closeHandler;
    QStackedWidget *m_stack;                    // child
    cv::PageSwitcher m_switcher;
    QPointer<cv::TemporaryPage> m_temporaryPage; // while an entry panel is open
    cv::DocumentToolbar *m_toolbar;             // child
    QProgressBar *m_busyIndicator;              // child, in the status bar
    int m_busyDepth = 0;
    int m_currentTabViewIndex = 0;
    int m_mainViewTabIndex = 0;                 // page shown when the temporary page came
    std::array<bool, kFlagCount> m_tabViewFlags{};
    QDate m_topDate;                            // first day of the viewer
    QDate m_reportDate;                         // date of the investment status
    QDate m_preBudgetDate;                      // the viewer's date while the budget page shows
};
