#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "document/Book.h"
#include "mainwindow/pages/BudgetPage.h"
#include "mainwindow/pages/SearchPage.h"
#include "mainwindow/viewer/ViewerPage.h"
#include "panels/entry/EntryListPanel.h"
#include "panels/dialogs/GroupDialog.h"
#include "panels/sheets/SettingsDialog.h"

#include <QPointer>

namespace cv {

void BookWindow::openSettingsPanel()
{
    if (!d->m_document || !d->m_document->settings() || isShowingSheet()) return;
    QPointer<BookWindow> self(this);
    SettingsDialog::openSettingsPanel(d->m_document, this, [self](int code, SettingsDialog *) {
        if (self) self->settingsSheetDidEnd(code);
    });
}

void BookWindow::settingsSheetDidEnd(int code)
{
    // The sheet stored the settings through the document; the pages heard it.
    Q_UNUSED(code);
}

void BookWindow::openGroupPanel()
{
    if (!d->m_document || isShowingSheet()) return;
    GroupDialog::runGroupDialog(d->m_document, 0, this);
}

void BookWindow::groupsDeleted(const QList<int> &idents)
{
    if (cv::SearchPage *search = searchPage()) search->groupsDeleted(idents);
    // The account book keeps its rows' groupings until it stores them.
    if (d->m_temporaryPage)
        if (auto *panel = qobject_cast<EntryListPanel *>(d->m_temporaryPage->panel())) panel->updateGroup(idents);
}

} // namespace cv
