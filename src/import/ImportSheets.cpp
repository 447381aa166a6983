#include "import/ImportSheets.h"

#include "controls/Tags.h"
#include "import/ImportMobileDataPanelController.h"
#include "import/ImportOFXPanelController.h"
#include "import/ImportTextPanelController.h"

namespace cv {

void openImportSheet(int tag, CV4Document *document, QWidget *parent)
{
    if (!document) return;
    switch (tag) {
    case tag::ImportMobile:
    case tag::CategoryImportMobile:
        ImportSheet::openOnWindow(new ImportMobileDataPanelController(document, parent), parent, {});
        break;
    case tag::ImportText:
    case tag::CategoryImportText:
        ImportSheet::openOnWindow(new ImportTextPanelController(document, parent), parent, {});
        break;
    default: ImportSheet::openOnWindow(new ImportOFXPanelController(document, 0, parent), parent, {}); break;
    }
}

} // namespace cv
