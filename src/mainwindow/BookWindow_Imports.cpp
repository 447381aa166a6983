#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "import/ImportSheets.h"

namespace cv {

void BookWindow::importData(int tag, int account)
{
    if (!d->m_document || isShowingSheet()) return;
    selectTab(ViewerIndex);
    // The pages hear what the commit changed from the document's change set.
    cv::openImportSheet(tag, d->m_document, this, account);
}

} // namespace cv
