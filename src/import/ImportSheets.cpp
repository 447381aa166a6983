#include "import/ImportSheets.h"

#include "import/ImportOFXPanelController.h"

namespace cv {

void openImportSheet(int tag, CV4Document *document, QWidget *parent, std::function<void(int)> done)
{
    switch (tag) {
    default: ImportOFXPanelController::openImportPanel(document, parent, std::move(done)); break;
    }
}

} // namespace cv
