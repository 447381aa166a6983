#include "platform/print/PrintRunner.h"

#include "platform/print/PagedDocument.h"
#include "platform/print/PainterCanvas.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QGuiApplication>
#include <QPrinter>

namespace cv {

void PrintRunner::preparePrinter(const PagedDocument &document, QPrinter &printer)
{
    const PageSetup setup = document.pageSetup();
    printer.setFullPage(true);
    printer.setPageSize(setup.pageSize());
    printer.setPageOrientation(setup.orientation == PageSetup::Landscape ? QPageLayout::Landscape
                                                                         : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

void PrintRunner::followPrinter(PagedDocument &document, const QPrinter &printer)
{
    PageSetup setup = document.pageSetup();
    const QPageLayout layout = printer.pageLayout();
    PageSetup chosen = setup;
    chosen.orientation = layout.orientation() == QPageLayout::Landscape ? PageSetup::Landscape : PageSetup::Portrait;
    if (!layout.pageSize().isEquivalentTo(setup.pageSize())) chosen.paperName = layout.pageSize().key();
    if (!(chosen == setup)) document.setPageSetup(chosen);
}

bool PrintRunner::render(PagedDocument &document, QPrinter &printer)
{
    const int count = document.sheetCount();
    int first = 1;
    int last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (int sheet = first; sheet <= last; ++sheet) {
        if (sheet > first && !printer.newPage()) {
            painter.end();
            return false;
        }
        PainterCanvas canvas(painter);
        document.drawSheet(sheet, canvas);
    }
    return painter.end();
}

PrintRunner::Result PrintRunner::run(PagedDocument &document, Mode mode, QWidget *parent, const QString &pdfPath)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(document, printer);
    bool printed = false;
    switch (mode) {
    case Mode::Pdf:
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printed = !pdfPath.isEmpty() && render(document, printer);
        break;
    case Mode::Direct: printed = render(document, printer); break;
    case Mode::Dialog: {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, std::max(1, document.sheetCount()));
        if (dialog.exec() == QDialog::Accepted) {
            followPrinter(document, printer);
            printed = render(document, printer);
        }
        break;
    }
    case Mode::Preview: {
        QPrintPreviewDialog dialog(&printer, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&document](QPrinter *target) {
            followPrinter(document, *target);
            render(document, *target);
        });
        // Big enough for the whole toolbar and a readable page.
        if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
            dialog.resize(QSize(960, 760).boundedTo(screen->availableGeometry().size()));
        printed = dialog.exec() == QDialog::Accepted;
        break;
    }
    }
    return Result{printed, document.pageSetup()};
}

} // namespace cv
