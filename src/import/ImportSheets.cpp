#include "import/ImportSheets.h"

#include "controls/Tags.h"
#include "import/ImportMobileDataPanelController.h"
#include "import/ImportOFXPanelController.h"
#include "import/ImportTextPanelController.h"

namespace cv {

void openImportSheet(int tag, CV4Document *document, QWidget *parent, std::function<void(int)> done)
{
    switch (tag) {
    case tag::ImportMobile:
    case tag::CategoryImportMobile:
        ImportMobileDataPanelController::openImportPanel(document, parent, std::move(done));
        break;
    case tag::ImportText:
    case tag::CategoryImportText: ImportTextPanelController::openImportPanel(document, parent, std::move(done)); break;
    default: ImportOFXPanelController::openImportPanel(document, parent, std::move(done)); break;
    }
}

} // namespace cv
