// Corvane: a household account book.
#include "app/EntryPanels.h"
#include "controls/ControlsAlertPresenter.h"
#include "desktop/ApplicationIcon.h"
#include "desktop/ScriptingService.h"
#include "document/Book.h"
#include "mainwindow/Application.h"
#include "mainwindow/BookWindow.h"
#include "mainwindow/SingleInstance.h"
#include "platform/widgets/QtTranslations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QApplication::setDesktopFileName(QLatin1String(cv::kDesktopName));
    QApplication::setWindowIcon(cv::applicationIcon());
    cv::installQtTranslations();
    // Windows go with their documents; the delegate quits with the last one.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Documents to open."),
                                 QStringLiteral("[files...]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();

    cv::SingleInstance instance;
    if (instance.handOffOrListen(files)) return 0;

    cv::ControlsAlertPresenter alerts;
    cv::setAlertPresenter(&alerts);
    cv::Application delegate;
    delegate.setEntryPanelMaker(cv::makeEntryPanel);
    cv::ScriptingService scripting(delegate.openBooks());
    scripting.registerOn(QDBusConnection::sessionBus());
    QObject::connect(&instance, &cv::SingleInstance::filesReceived, &delegate, [&delegate](const QStringList &paths) {
        if (paths.isEmpty()) {
            // A second launch without files: show what is open, or start again.
            if (auto *window = delegate.frontWindow()) {
                window->show();
                window->raise();
                window->activateWindow();
                return;
            }
            delegate.applicationDidFinishLaunching();
            return;
        }
        delegate.openFiles(paths);
    });
    QTimer::singleShot(0, &delegate, [&delegate, files] { delegate.applicationDidFinishLaunching(files); });
    const int code = app.exec();
    cv::setAlertPresenter(nullptr);
    return code;
}
