#include "print/PrintPages.h"

#include "document/Book.h"
#include "document/Preference.h"
#include "document/CurrencyPrintingScope.h"

namespace cv {

PageSetup documentPageSetup(const ReadOnlyBook &document, const Preference &preference)
{
    PageSetup setup;
    if (const PrintSettingsPtr &info = document.printSettings()) {
        setup.paperName = info->paperName();
        setup.orientation = info->orientation();
    }
    const QSizeF leftTop = preference.leftTopMargin();
    const QSizeF rightBottom = preference.rightBottomMargin();
    setup.margins = QMarginsF(leftTop.width(), leftTop.height(), rightBottom.width(), rightBottom.height());
    return setup;
}

PrintRunner::Result printPages(Book &document, const Preference &preference, const PagesMaker &make, QWidget *parent,
                               PrintRunner::Mode mode, const QString &pdfPath)
{
    const PagedMaker paged = [&make](PageSetup &setup) -> std::unique_ptr<PagedDocument> {
        return make ? make(setup) : nullptr;
    };
    return printPaged(document, preference, paged, parent, mode, pdfPath);
}

PrintRunner::Result printPaged(Book &document, const Preference &preference, const PagedMaker &make, QWidget *parent,
                               PrintRunner::Mode mode, const QString &pdfPath)
{
    PageSetup setup = documentPageSetup(document, preference);
    const PageSetup before = setup;
    PrintRunner::Result result;
    {
        // Amounts take their print form while the rows are asked for.
        CurrencyPrintingScope printing(document);
        std::unique_ptr<PagedDocument> view = make ? make(setup) : nullptr;
        if (view) result = PrintRunner::run(*view, mode, parent, pdfPath);
    }
    // A paper picked in the dialog stays with the document; the orientation
    // a view fixed for itself does not.
    if (result.printed && result.setup.paperName != before.paperName) {
        auto info =
            std::make_shared<PrintSettings>(document.printSettings() ? *document.printSettings() : PrintSettings());
        info->setPaperName(result.setup.paperName);
        info->setOrientation(before.orientation);
        document.setPrintSettings(info);
    }
    return result;
}

} // namespace cv
