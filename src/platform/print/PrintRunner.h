#pragma once
// Puts a paged document on paper: a printer (with or without the print
// dialog), the print preview, or a PDF file. The printer takes the whole
// sheet; the document keeps its own margins.

#include "platform/print/PageSetup.h"

#include <QString>

class QPrinter;
class QWidget;

namespace cv {

class PagedDocument;

class PrintRunner {
public:
    enum class Mode { Direct, Dialog, Preview, Pdf };
    struct Result {
        bool printed = false; // false: cancelled or the printer failed
        PageSetup setup;      // the paper and orientation the run ended with
    };

    // Shows the dialogs modally on the parent. A paper or orientation the
    // user picks lays the document out again before it is drawn.
    static Result run(PagedDocument &document, Mode mode, QWidget *parent, const QString &pdfPath = {});

    // Sheets from..to (1-based, 0 = all) onto a prepared printer.
    static bool render(PagedDocument &document, QPrinter &printer);

private:
    static void preparePrinter(const PagedDocument &document, QPrinter &printer);
    static void followPrinter(PagedDocument &document, const QPrinter &printer);
};

} // namespace cv
