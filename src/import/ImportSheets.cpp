#include "import/ImportSheets.h"

#include "import/ImportMobileDataPanelController.h"
#include "import/ImportOFXPanelController.h"
#include "import/ImportTextPanelController.h"

namespace cv {

void openImportSheet(int tag, CV4Document *document, QWidget *parent, std::function<void(int)> done)
{
    switch (tag) {
    case 25011:
    case 30016: ImportMobileDataPanelController::openImportPanel(document, parent, std::move(done)); break;
    case 25012:
    case 30017: ImportTextPanelController::openImportPanel(document, parent, std::move(done)); break;
    default: ImportOFXPanelController::openImportPanel(document, parent, std::move(done)); break;
    }
}

} // namespace cv
