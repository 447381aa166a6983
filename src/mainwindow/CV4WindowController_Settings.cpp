#include "mainwindow/CV4WindowController.h"

#include "document/CV4Document.h"
#include "mainwindow/BudgetPage.h"
#include "mainwindow/SearchPage.h"
#include "mainwindow/ViewerPage.h"
#include "panels/EntryListPanelController.h"
#include "panels/GroupDialogController.h"
#include "panels/SettingsPanelController.h"

#include <QPointer>

void CV4WindowController::openSettingsPanel()
{
    if (!m_document || !m_document->settings() || isShowingSheet()) return;
    QPointer<CV4WindowController> self(this);
    SettingsPanelController::openSettingsPanel(m_document, this, [self](int code, SettingsPanelController *) {
        if (self) self->settingsSheetDidEnd(code);
    });
}

void CV4WindowController::settingsSheetDidEnd(int code)
{
    if (code == 0 || !m_document) return;
    cv::ViewerPage *viewer = viewerPage();
    if (viewer && m_currentTabViewIndex == ViewerIndex) viewer->updatePeriod(viewer->columns().unit());
    auto *budget = qobject_cast<cv::BudgetPage *>(page(BudgetIndex));
    if (budget && m_currentTabViewIndex == BudgetIndex) budget->updateBudgetPeriod(budget->columns().unit());
    // Hidden pages snap their dates and read their values when next shown.
    dataChanged();
}

void CV4WindowController::openGroupPanel()
{
    if (!m_document || isShowingSheet()) return;
    GroupDialogController::runGroupDialog(m_document, 0, this);
}

void CV4WindowController::groupsDeleted(const QList<int> &idents)
{
    if (cv::SearchPage *search = searchPage()) search->groupsDeleted(idents);
    // The account book keeps its rows' groupings until it stores them.
    if (m_temporaryPage)
        if (auto *panel = qobject_cast<EntryListPanelController *>(m_temporaryPage->panel())) panel->updateGroup(idents);
}
