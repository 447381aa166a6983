#include "mainwindow/CV4WindowController.h"

#include "import/ImportSheets.h"
#include "mainwindow/WindowPage.h"

#include <QPointer>

void CV4WindowController::importData(int tag)
{
    if (!m_document || isShowingSheet()) return;
    selectTab(ViewerIndex);
    QPointer<CV4WindowController> self(this);
    cv::openImportSheet(tag, m_document, this, [self](int code) {
        if (!self || code < 1) return;
        // The cache was rebuilt after the entries' signals: the shown page reads again.
        self->dataChanged();
        if (cv::WindowPage *shown = self->m_switcher.currentPage()) shown->reloadData();
    });
}
