#pragma once
// The document side's windows for now: the busy window while a file is read,
// the password dialog and the save panel. Document windows come with the
// main window.

#include "document/CV4DocumentUI.h"

#include <QPointer>

class BusyWindowController;

class ControlsDocumentUI : public CV4DocumentUI {
public:
    ~ControlsDocumentUI() override;
    void beginBusy(const QString &title) override;
    void endBusy() override;
    int askPassword(const CV4Settings &settings, const QString &book, bool retry) override;
    void beep() override;
    QString askSavePath(CV4Document &document, const QString &suggestedPath) override;
    // Where file dialogs start: the user's documents folder, else the home folder.
    static QString documentsFolder();

private:
    QPointer<BusyWindowController> m_busy;
};
