#include "controls/ControlsDocumentUI.h"

#include "controls/BusyDialog.h"
#include "controls/PasswordPrompt.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>
#include <QStandardPaths>

namespace cv {

ControlsDocumentUI::~ControlsDocumentUI()
{
    delete m_busy;
}

void ControlsDocumentUI::beginBusy(const QString &title)
{
    delete m_busy;
    m_busy = new BusyDialog(title);
    m_busy->show();
    // Paint it once: the reading that follows keeps the event loop busy.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ControlsDocumentUI::endBusy()
{
    delete m_busy;
}

int ControlsDocumentUI::askPassword(const Settings &settings, const QString &book, bool retry)
{
    QPointer<PasswordPrompt> dialog = new PasswordPrompt(settings, book, retry, QApplication::activeWindow());
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

QString ControlsDocumentUI::askSavePath(Book &, const QString &suggestedPath)
{
    // A new book is offered in the documents folder, never where the program happened to start.
    const QString start =
        QFileInfo(suggestedPath).isAbsolute() ? suggestedPath : QDir(documentsFolder()).filePath(suggestedPath);
    QFileDialog dialog(
        QApplication::activeWindow(), cv::localizedString(QStringLiteral("Save Document")), start,
        cv::localizedString(QStringLiteral("Corvane Documents (*.cvv2);;Corvane XML Documents (*.cvxf)")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an extension takes the chosen type's, so the
    // overwrite question names the file that will be written.
    const auto suffixOf = [](const QString &filter) {
        const qsizetype star = filter.indexOf(QLatin1String("*."));
        return star < 0 ? QString()
                        : filter.mid(star + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0);
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString &filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    QString path = dialog.selectedFiles().constFirst();
    // Some platform dialogs leave the default suffix to the caller.
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += QLatin1Char('.') + suffixOf(dialog.selectedNameFilter());
    return path;
}

} // namespace cv
