#include "mainwindow/CV4WindowController.h"
#include "mainwindow/CV4WindowControllerPrivate.h"

#include "import/ImportSheets.h"

void CV4WindowController::importData(int tag, int account)
{
    if (!d->m_document || isShowingSheet()) return;
    selectTab(ViewerIndex);
    // The pages hear what the commit changed from the document's change set.
    cv::openImportSheet(tag, d->m_document, this, account);
}
