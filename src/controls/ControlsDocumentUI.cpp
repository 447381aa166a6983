#include "controls/ControlsDocumentUI.h"

#include "controls/BusyWindowController.h"
#include "controls/PasswordDialogController.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>
#include <QStandardPaths>

ControlsDocumentUI::~ControlsDocumentUI()
{
    delete m_busy;
}

void ControlsDocumentUI::beginBusy(const QString &title)
{
    delete m_busy;
    m_busy = new BusyWindowController(title);
    m_busy->show();
    // Paint it once: the reading that follows keeps the event loop busy.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ControlsDocumentUI::endBusy()
{
    delete m_busy;
}

int ControlsDocumentUI::askPassword(const CV4Settings &settings)
{
    QPointer<PasswordDialogController> dialog = new PasswordDialogController(settings, QApplication::activeWindow());
    const int code = dialog->exec();
    if (!dialog) return -1;
    delete dialog;
    return code;
}

void ControlsDocumentUI::beep()
{
    QApplication::beep();
}

QString ControlsDocumentUI::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString ControlsDocumentUI::askSavePath(CV4Document &, const QString &suggestedPath)
{
    // A new book is offered in the documents folder, never where the program happened to start.
    const QString start = QFileInfo(suggestedPath).isAbsolute() ? suggestedPath
                                                                : QDir(documentsFolder()).filePath(suggestedPath);
    return QFileDialog::getSaveFileName(
        QApplication::activeWindow(), cv::localizedString(QStringLiteral("Save Document")), start,
        cv::localizedString(QStringLiteral("Corvane Documents (*.cvv2);;Corvane XML Documents (*.cvxf)")));
}
