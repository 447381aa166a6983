#include "mainwindow/CV4WindowController.h"
#include "mainwindow/CV4WindowControllerPrivate.h"

#include "document/CV4Document.h"
#include "mainwindow/BudgetPage.h"
#include "mainwindow/SearchPage.h"
#include "mainwindow/ViewerPage.h"
#include "panels/entry/EntryListPanelController.h"
#include "panels/dialogs/GroupDialogController.h"
#include "panels/sheets/SettingsPanelController.h"

#include <QPointer>

void CV4WindowController::openSettingsPanel()
{
    if (!d->m_document || !d->m_document->settings() || isShowingSheet()) return;
    QPointer<CV4WindowController> self(this);
    SettingsPanelController::openSettingsPanel(d->m_document, this, [self](int code, SettingsPanelController *) {
        if (self) self->settingsSheetDidEnd(code);
    });
}

void CV4WindowController::settingsSheetDidEnd(int code)
{
    // The sheet stored the settings through the document; the pages heard it.
    Q_UNUSED(code);
}

void CV4WindowController::openGroupPanel()
{
    if (!d->m_document || isShowingSheet()) return;
    GroupDialogController::runGroupDialog(d->m_document, 0, this);
}

void CV4WindowController::groupsDeleted(const QList<int> &idents)
{
    if (cv::SearchPage *search = searchPage()) search->groupsDeleted(idents);
    // The account book keeps its rows' groupings until it stores them.
    if (d->m_temporaryPage)
        if (auto *panel = qobject_cast<EntryListPanelController *>(d->m_temporaryPage->panel())) panel->updateGroup(idents);
}
