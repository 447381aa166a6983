#include "import/ImportSheets.h"

#include "controls/Tags.h"
#include "import/ImportMobileDataSheet.h"
#include "import/ImportOFXSheet.h"
#include "import/ImportTextSheet.h"

#include <QComboBox>

namespace cv {

void openImportSheet(int tag, Book *document, QWidget *parent, int account)
{
    if (!document) return;
    switch (tag) {
    case tag::ImportMobile:
    case tag::CategoryImportMobile:
        ImportSheet::openOnWindow(new ImportMobileDataSheet(document, parent), parent, {});
        break;
    case tag::ImportText:
    case tag::CategoryImportText:
    case tag::AccountImport: {
        auto *sheet = new ImportTextSheet(document, parent);
        if (const int index = sheet->accountBox()->findData(account); account > 0 && index >= 0) {
            sheet->accountBox()->setCurrentIndex(index);
            sheet->accountPushed(index);
        }
        ImportSheet::openOnWindow(sheet, parent, {});
        break;
    }
    default: ImportSheet::openOnWindow(new ImportOFXSheet(document, 0, parent), parent, {}); break;
    }
}

} // namespace cv
