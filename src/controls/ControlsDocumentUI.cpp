#include "controls/ControlsDocumentUI.h"

#include "controls/BusyWindowController.h"
#include "controls/PasswordDialogController.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QProgressBar>

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

QString ControlsDocumentUI::askSavePath(CV4Document &, const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(
        QApplication::activeWindow(), cv::localizedString(QStringLiteral("Save Document")), suggestedPath,
        cv::localizedString(QStringLiteral("Corvane Documents (*.cvv2);;Corvane XML Documents (*.cvxf)")));
}
