#pragma once
// The application: the preferences, what happens when launching has
// finished, the one menu bar of every document window with its commands and
// their enabling rules, opening files handed over by later launches, and
// quitting (each edited document is asked about; a cancel stops the quit).
//
// Files: Application.cpp (launch, documents, quit),
// Application_Menus.cpp (the command table, menus and validation).

#include "document/OpenBooks.h"
#include "document/Preference.h"
#include "mainwindow/EntryPanelMaker.h"
#include "mainwindow/MenuRules.h"
#include "mainwindow/StartupCode.h"

#include <QImage>
#include <QKeySequence>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QSettings;

namespace cv {

class BookWindow;

class WindowDocumentUI;

class Application : public QObject {
    Q_OBJECT
public:
    using MenuContext = cv::MenuContext;
    using MenuItemState = cv::MenuItemState;
    // Runs the start-up panel modally and answers its code (a seam for tests).
    using PanelRunner = std::function<int(bool isStartup)>;
    // A row of the menu command table (Application_Menus.cpp).
    struct CommandRow;

    // `settings` (not owned; null: the application's own) holds the
    // preferences, the recent documents and the toolbar's choices.
    explicit Application(QSettings *settings = nullptr, QObject *parent = nullptr);
    ~Application() override;

    OpenBooks &openBooks() { return *m_documents; }
    Preference &preference() { return m_preference; }
    // Images kept for the whole run by the windows that draw items.
    QList<QImage> &itemImages() { return m_itemImages; }
    void setPanelRunner(PanelRunner runner) { m_panelRunner = std::move(runner); }
    // Off in tests: closing the last document then leaves the process running.
    void setQuitWithLastDocument(bool quit) { m_quitWithLastDocument = quit; }

    // ---- launch
    // Opens the files, else decides by the start-up panel and the preferences.
    // Never ends with no book and no word: a book used last that is gone or
    // unreadable brings the panel up with a message, and leaving the panel
    // without a book asks before the program quits.
    void applicationDidFinishLaunching(const QStringList &files = {});
    // Acts on a start-up panel code; at start-up the never-again bit counts.
    // Whether a book came of it (Close: none wanted, also true).
    bool handleStartupCode(int code, bool isStartup);
    // What the start-up panel says on its next run (why it is up); empty: nothing.
    QString startupMessage() const { return m_startupMessage; }
    void openFiles(const QStringList &files);
    Book *newDocument(int templateIndex = 0);

    // ---- windows
    // Entry panels for the viewer's cells, in every window, open or later.
    void setEntryPanelMaker(cv::EntryPanelMaker maker);
    BookWindow *windowFor(const Book *document) const;
    // The window the menu commands act on: the active one, else the last active.
    BookWindow *frontWindow() const;
    Book *frontDocument() const;

    // ---- menus (Application_Menus.cpp)
    // Every document window gets its own menu bar over the shared actions.
    QMenuBar *makeMenuBar(QWidget *parent);
    QAction *actionForTag(int tag) const;
    QAction *actionNamed(const QString &name) const;
    MenuContext menuContext() const;
    // Recomputes every action's enabled state and check mark.
    void validateMenus();

    // ---- quit
    // Asks about every edited document, front first; false when one was cancelled.
    bool applicationShouldTerminate();
    void quit();

private:
    struct Command {
        int tag = 0;               // 0: a command without a tag
        QAction *action = nullptr; // owned by the delegate
        std::function<MenuItemState()> rule;
        std::function<void(bool checked)> run;
    };

    void buildCommands();
    QAction *addCommand(const QString &name, int tag, const char *titleKey, const QKeySequence &shortcut,
                        std::function<MenuItemState()> rule, std::function<void(bool)> run, bool checkable = false);
    // Runs the command when its rule allows it now (shortcuts skip menus).
    void trigger(const Command &command, bool checked);
    MenuItemState tagRule(int tag) const;
    void fillWindowMenu(QMenu *menu);
    void fillRecentMenu(QMenu *menu);
    void editAction(const char *method);
    bool focusAnswers(const char *method) const;

    BookWindow *makeWindow(Book &document);
    void windowActivated(BookWindow *window);
    void documentRemoved(Book *document);
    // On this desktop a program without a window would be left behind unseen.
    void quitWhenNoDocument();
    void openDocumentAsked();
    void saveFront(bool as);
    void closeFront();
    void runNewFromTemplate();
    // The start-up panel until a book is open or the user chose to quit.
    void runStartupPanel(QString message);
    // Opens the book used last; a message for the panel when that failed.
    std::optional<QString> openMostRecent();
    void applyNeverAgain(const cv::StartupCode &choice);

    QSettings *m_settings;
    std::unique_ptr<QSettings> m_ownSettings;
    Preference m_preference;
    QList<QImage> m_itemImages;
    std::unique_ptr<OpenBooks> m_documents;
    std::unique_ptr<cv::WindowDocumentUI> m_ui;
    std::map<const Book *, QPointer<BookWindow>> m_windows;
    std::vector<QPointer<BookWindow>> m_madeWindows; // every window not yet freed
    QPointer<BookWindow> m_lastActive;
    std::vector<Command> m_commands;
    std::map<QString, QAction *> m_named;
    PanelRunner m_panelRunner;
    cv::EntryPanelMaker m_entryPanelMaker; // handed to every window
    bool m_quitWithLastDocument = true;
    bool m_quitting = false;
    QString m_startupMessage;
};

} // namespace cv
