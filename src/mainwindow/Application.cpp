#include "mainwindow/Application.h"

#include "document/Book.h"
#include "document/BookBackup.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/SecuritiesWindow.h"
#include "mainwindow/StartupDialog.h"
#include "mainwindow/StartupCode.h"
#include "mainwindow/WindowDocumentUI.h"

#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QTimer>

namespace cv {

namespace {

// Follows a window's activation so the menus act on the last active one.
class ActivationWatcher : public QObject {
public:
    ActivationWatcher(BookWindow *window, std::function<void()> activated)
        : QObject(window), m_activated(std::move(activated))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate) m_activated();
        return false;
    }

private:
    std::function<void()> m_activated;
};

} // namespace

Application::Application(QSettings *settings, QObject *parent) : QObject(parent), m_settings(settings)
{
    if (!m_settings) {
        m_ownSettings = std::make_unique<QSettings>();
        m_settings = m_ownSettings.get();
    }
    m_preference = Preference(*m_settings);
    m_documents = std::make_unique<OpenBooks>(m_settings);
    m_ui = std::make_unique<cv::WindowDocumentUI>([this](Book &d) { return makeWindow(d); },
                                                  [this](Book &d) { return windowFor(&d); });
    cv::setDocumentUI(m_ui.get());
    connect(m_documents.get(), &OpenBooks::documentRemoved, this, &Application::documentRemoved);
    cv::PrepareBackupFolder();
    buildCommands();
    m_panelRunner = [this](bool isStartup) {
        StartupDialog panel(isStartup);
        if (isStartup) {
            panel.setMessage(m_startupMessage);
            const QStringList recent = m_documents->recentDocuments();
            panel.setRecentBook(recent.isEmpty() ? QString() : recent.constFirst());
            panel.neverAgainCheckbox()->setChecked(!m_preference.showInitialPanel());
        }
        return panel.exec();
    };
}

Application::~Application()
{
    // Windows go before their documents, and both before the UI they use.
    disconnect(m_documents.get(), nullptr, this, nullptr);
    m_documents.reset();
    // Closed windows wait for a deferred delete that may never run now.
    for (const QPointer<BookWindow> &window : m_madeWindows) delete window.data();
    if (&cv::documentUI() == m_ui.get()) cv::setDocumentUI(nullptr);
    for (Command &command : m_commands) delete command.action;
}

// ---------------------------------------------------------------- launch

void Application::applicationDidFinishLaunching(const QStringList &files)
{
    if (!files.isEmpty()) {
        openFiles(files);
        // Each file that failed has had its alert; the panel offers the rest.
        if (m_documents->documents().empty()) runStartupPanel(QString());
    } else if (m_documents->documents().empty() && m_preference.showInitialPanel()) {
        runStartupPanel(QString());
    } else if (m_documents->documents().empty()) {
        if (std::optional<QString> failed = openMostRecent()) runStartupPanel(*failed);
    }
    if (m_documents->documents().empty() && m_quitWithLastDocument) quitWhenNoDocument();
}

std::optional<QString> Application::openMostRecent()
{
    const QStringList recent = m_documents->recentDocuments();
    if (recent.isEmpty()) return cv::localizedString("InitialPanel No Recent");
    const QString name = QFileInfo(recent.first()).fileName();
    // A book that is gone is said once, on the panel, not in an alert first.
    if (!QFileInfo(recent.first()).isFile())
        return cv::formatString(cv::localizedString("InitialPanel Recent Missing %@"), {name});
    if (m_documents->openDocument(recent.first())) return std::nullopt;
    return cv::formatString(cv::localizedString("InitialPanel Recent Unreadable %@"), {name});
}

void Application::runStartupPanel(QString message)
{
    while (m_documents->documents().empty()) {
        m_startupMessage = message;
        const int code = m_panelRunner(true);
        m_startupMessage.clear();
        message.clear();
        const cv::StartupCode choice = cv::StartupCode::decode(code);
        if (choice.action == cv::StartupCode::OpenRecent) {
            applyNeverAgain(choice);
            if (std::optional<QString> failed = openMostRecent()) message = *failed;
        } else if (choice.action == cv::StartupCode::CreateNew) {
            handleStartupCode(code, true);
        } else {
            applyNeverAgain(choice);
            // No window would be left: say so rather than vanish.
            if (Alert::confirm(cv::localizedString("InitialPanel Quit Title"),
                               cv::localizedString("InitialPanel Quit Message"),
                               cv::localizedString("InitialPanel Quit"), cv::localizedString("InitialPanel Back")))
                return;
        }
    }
}

void Application::applyNeverAgain(const cv::StartupCode &choice)
{
    // At start-up the box shows the preference, so clearing it switches the panel back on.
    if (choice.switchPanelOff == !m_preference.showInitialPanel()) return;
    m_preference.setShowInitialPanel(!choice.switchPanelOff);
    m_preference.save(*m_settings);
}

bool Application::handleStartupCode(int code, bool isStartup)
{
    const cv::StartupCode choice = cv::StartupCode::decode(code);
    if (isStartup) applyNeverAgain(choice);
    if (choice.action == cv::StartupCode::CreateNew) return newDocument(choice.templateIndex) != nullptr;
    if (choice.action == cv::StartupCode::Close) return true;
    return !openMostRecent().has_value();
}

void Application::openFiles(const QStringList &files)
{
    for (const QString &file : files) m_documents->openDocument(file);
}

Book *Application::newDocument(int templateIndex)
{
    return m_documents->makeUntitledDocument(templateIndex);
}

// ---------------------------------------------------------------- windows

BookWindow *Application::makeWindow(Book &document)
{
    auto *window = new BookWindow(&document, m_settings);
    window->setPreference(&m_preference);
    window->setEntryPanelMaker(m_entryPanelMaker);
    window->setMenuBar(makeMenuBar(window));
    window->setMenuBarMaker([this](QWidget *parent) { return makeMenuBar(parent); });
    window->setCloseHandler([this](Book *d) { return m_documents->closeDocument(d, true); });
    new ActivationWatcher(window, [this, window] { windowActivated(window); });
    m_windows[&document] = window;
    std::erase_if(m_madeWindows, [](const QPointer<BookWindow> &w) { return w.isNull(); });
    m_madeWindows.emplace_back(window);
    m_lastActive = window;
    return window;
}

void Application::setEntryPanelMaker(cv::EntryPanelMaker maker)
{
    m_entryPanelMaker = std::move(maker);
    for (const QPointer<BookWindow> &window : m_madeWindows) {
        if (window) window->setEntryPanelMaker(m_entryPanelMaker);
    }
}

void Application::windowActivated(BookWindow *window)
{
    m_lastActive = window;
    validateMenus();
}

BookWindow *Application::windowFor(const Book *document) const
{
    const auto it = m_windows.find(document);
    return it == m_windows.end() ? nullptr : it->second.data();
}

BookWindow *Application::frontWindow() const
{
    QWidget *activeWindow = QApplication::activeWindow();
    // The securities window's menu speaks for its document window.
    if (auto *securities = qobject_cast<SecuritiesWindow *>(activeWindow)) activeWindow = securities->owner();
    if (auto *active = qobject_cast<BookWindow *>(activeWindow)) {
        if (active->document()) return active;
    }
    if (m_lastActive && m_lastActive->document()) return m_lastActive;
    // The most recently opened document's window.
    const auto &documents = m_documents->documents();
    return documents.empty() ? nullptr : windowFor(documents.back().get());
}

Book *Application::frontDocument() const
{
    BookWindow *window = frontWindow();
    return window ? window->document() : nullptr;
}

void Application::documentRemoved(Book *document)
{
    m_windows.erase(document);
    if (m_documents->documents().empty() && m_quitWithLastDocument && !m_quitting) quitWhenNoDocument();
}

// ---------------------------------------------------------------- quit

void Application::quitWhenNoDocument()
{
    // Asked again on the next turn: a revert closes the book before its fresh copy comes.
    QTimer::singleShot(0, this, [this] {
        if (m_documents->documents().empty() && m_quitWithLastDocument) QCoreApplication::quit();
    });
}

bool Application::applicationShouldTerminate()
{
    // Front window first, then the others newest first.
    std::vector<Book *> order;
    if (Book *front = frontDocument()) order.push_back(front);
    const auto &documents = m_documents->documents();
    for (auto it = documents.rbegin(); it != documents.rend(); ++it) {
        if (std::find(order.begin(), order.end(), it->get()) == order.end()) order.push_back(it->get());
    }
    m_quitting = true;
    for (Book *document : order) {
        if (!m_documents->closeDocument(document, true)) {
            m_quitting = false;
            return false;
        }
    }
    m_quitting = false;
    return true;
}

void Application::quit()
{
    if (applicationShouldTerminate() && m_quitWithLastDocument) QCoreApplication::quit();
}

} // namespace cv
