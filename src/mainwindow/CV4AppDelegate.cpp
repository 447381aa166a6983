#include "mainwindow/CV4AppDelegate.h"

#include "document/CV4DocumentBackup.h"
#include "mainwindow/CV4WindowController.h"
#include "mainwindow/InitialPanelController.h"
#include "mainwindow/StartupCode.h"
#include "mainwindow/WindowDocumentUI.h"

#include "platform/CV4Alert.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QTimer>

namespace {

// Follows a window's activation so the menus act on the last active one.
class ActivationWatcher : public QObject {
public:
    ActivationWatcher(CV4WindowController *window, std::function<void()> activated)
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

CV4AppDelegate::CV4AppDelegate(QSettings *settings, QObject *parent) : QObject(parent), m_settings(settings)
{
    if (!m_settings) {
        m_ownSettings = std::make_unique<QSettings>();
        m_settings = m_ownSettings.get();
    }
    m_preference = CV4Preference(*m_settings);
    m_documents = std::make_unique<CV4DocumentController>(m_settings);
    m_ui = std::make_unique<cv::WindowDocumentUI>([this](CV4Document &d) { return makeWindow(d); },
                                                  [this](CV4Document &d) { return windowFor(&d); });
    cv::setDocumentUI(m_ui.get());
    connect(m_documents.get(), &CV4DocumentController::documentRemoved, this, &CV4AppDelegate::documentRemoved);
    cv::PrepareBackupFolder();
    buildCommands();
    m_panelRunner = [this](bool isStartup) {
        InitialPanelController panel(isStartup);
        if (isStartup) {
            panel.setMessage(m_startupMessage);
            const QStringList recent = m_documents->recentDocuments();
            panel.setRecentBook(recent.isEmpty() ? QString() : recent.constFirst());
            panel.neverAgainCheckbox()->setChecked(!m_preference.showInitialPanel());
        }
        return panel.exec();
    };
}

CV4AppDelegate::~CV4AppDelegate()
{
    // Windows go before their documents, and both before the UI they use.
    disconnect(m_documents.get(), nullptr, this, nullptr);
    m_documents.reset();
    // Closed windows wait for a deferred delete that may never run now.
    for (const QPointer<CV4WindowController> &window : m_madeWindows) delete window.data();
    if (&cv::documentUI() == m_ui.get()) cv::setDocumentUI(nullptr);
    for (Command &command : m_commands) delete command.action;
}

// ---------------------------------------------------------------- launch

void CV4AppDelegate::applicationDidFinishLaunching(const QStringList &files)
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

std::optional<QString> CV4AppDelegate::openMostRecent()
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

void CV4AppDelegate::runStartupPanel(QString message)
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
            if (CV4Alert::confirm(cv::localizedString("InitialPanel Quit Title"),
                                  cv::localizedString("InitialPanel Quit Message"),
                                  cv::localizedString("InitialPanel Quit"), cv::localizedString("InitialPanel Back")))
                return;
        }
    }
}

void CV4AppDelegate::applyNeverAgain(const cv::StartupCode &choice)
{
    // At start-up the box shows the preference, so clearing it switches the panel back on.
    if (choice.switchPanelOff == !m_preference.showInitialPanel()) return;
    m_preference.setShowInitialPanel(!choice.switchPanelOff);
    m_preference.save(*m_settings);
}

bool CV4AppDelegate::handleStartupCode(int code, bool isStartup)
{
    const cv::StartupCode choice = cv::StartupCode::decode(code);
    if (isStartup) applyNeverAgain(choice);
    if (choice.action == cv::StartupCode::CreateNew) return newDocument(choice.templateIndex) != nullptr;
    if (choice.action == cv::StartupCode::Close) return true;
    return !openMostRecent().has_value();
}

void CV4AppDelegate::openFiles(const QStringList &files)
{
    for (const QString &file : files) m_documents->openDocument(file);
}

CV4Document *CV4AppDelegate::newDocument(int templateIndex)
{
    return m_documents->makeUntitledDocument(templateIndex);
}

// ---------------------------------------------------------------- windows

CV4WindowController *CV4AppDelegate::makeWindow(CV4Document &document)
{
    auto *window = new CV4WindowController(&document, m_settings);
    window->setPreference(&m_preference);
    window->setEntryPanelMaker(m_entryPanelMaker);
    window->setMenuBar(makeMenuBar(window));
    window->setCloseHandler([this](CV4Document *d) { return m_documents->closeDocument(d, true); });
    new ActivationWatcher(window, [this, window] { windowActivated(window); });
    m_windows[&document] = window;
    std::erase_if(m_madeWindows, [](const QPointer<CV4WindowController> &w) { return w.isNull(); });
    m_madeWindows.emplace_back(window);
    m_lastActive = window;
    return window;
}

void CV4AppDelegate::setEntryPanelMaker(cv::EntryPanelMaker maker)
{
    m_entryPanelMaker = std::move(maker);
    for (const QPointer<CV4WindowController> &window : m_madeWindows) {
        if (window) window->setEntryPanelMaker(m_entryPanelMaker);
    }
}

void CV4AppDelegate::windowActivated(CV4WindowController *window)
{
    m_lastActive = window;
    validateMenus();
}

CV4WindowController *CV4AppDelegate::windowFor(const CV4Document *document) const
{
    const auto it = m_windows.find(document);
    return it == m_windows.end() ? nullptr : it->second.data();
}

CV4WindowController *CV4AppDelegate::frontWindow() const
{
    if (auto *active = qobject_cast<CV4WindowController *>(QApplication::activeWindow())) {
        if (active->document()) return active;
    }
    if (m_lastActive && m_lastActive->document()) return m_lastActive;
    // The most recently opened document's window.
    const auto &documents = m_documents->documents();
    return documents.empty() ? nullptr : windowFor(documents.back().get());
}

CV4Document *CV4AppDelegate::frontDocument() const
{
    CV4WindowController *window = frontWindow();
    return window ? window->document() : nullptr;
}

void CV4AppDelegate::documentRemoved(CV4Document *document)
{
    m_windows.erase(document);
    if (m_documents->documents().empty() && m_quitWithLastDocument && !m_quitting)
        quitWhenNoDocument();
}

// ---------------------------------------------------------------- quit

void CV4AppDelegate::quitWhenNoDocument()
{
    // Asked again on the next turn: a revert closes the book before its fresh copy comes.
    QTimer::singleShot(0, this, [this] {
        if (m_documents->documents().empty() && m_quitWithLastDocument) QCoreApplication::quit();
    });
}

bool CV4AppDelegate::applicationShouldTerminate()
{
    // Front window first, then the others newest first.
    std::vector<CV4Document *> order;
    if (CV4Document *front = frontDocument()) order.push_back(front);
    const auto &documents = m_documents->documents();
    for (auto it = documents.rbegin(); it != documents.rend(); ++it) {
        if (std::find(order.begin(), order.end(), it->get()) == order.end()) order.push_back(it->get());
    }
    m_quitting = true;
    for (CV4Document *document : order) {
        if (!m_documents->closeDocument(document, true)) {
            m_quitting = false;
            return false;
        }
    }
    m_quitting = false;
    return true;
}

void CV4AppDelegate::quit()
{
    if (applicationShouldTerminate() && m_quitWithLastDocument) QCoreApplication::quit();
}
