#pragma once
// The document side's windows for now: the busy window while a file is read,
// the password dialog and the save panel. Document windows come with the
// main window.

#include "document/BookUI.h"

#include <QPointer>

namespace cv {

class BusyDialog;

class ControlsDocumentUI : public BookUI {
public:
    ~ControlsDocumentUI() override;
    void beginBusy(const QString &title) override;
    void endBusy() override;
    int askPassword(const Settings &settings, const QString &book, bool retry) override;
    void beep() override;
    QString askSavePath(Book &document, const QString &suggestedPath) override;
    // Where file dialogs start: the user's documents folder, else the home folder.
    static QString documentsFolder();

private:
    QPointer<BusyDialog> m_busy;
};

} // namespace cv
