#include "mainwindow/BookWindow.h"
#include "mainwindow/BookWindowPrivate.h"

#include "import/ImportSheets.h"

namespace cv {

void BookWindow::importData(int tag, int account)
{
    if (!d->m_document || isShowingSheet()) return;
    // The entry panel is committed and closed as on any other switch: left
    // open, it would show the rows of before the import, and what was typed
    // into it afterwards would never be stored.
    removeTemporaryTab();
    selectTab(ViewerIndex);
    // The pages hear what the commit changed from the document's change set.
    cv::openImportSheet(tag, d->m_document, this, account);
}

} // namespace cv
