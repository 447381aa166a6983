#pragma once
// A document the print runner can put on paper: a number of sheets, each
// drawn on its own from the page setup it was laid out for.

#include "platform/print/PageSetup.h"

namespace cv {

class Canvas;

class PagedDocument {
public:
    virtual ~PagedDocument() = default;
    virtual PageSetup pageSetup() const = 0;
    // Lays the document out again for other paper (the print dialog's choice).
    virtual void setPageSetup(const PageSetup &setup) = 0;
    virtual int sheetCount() const = 0;
    // Sheets are numbered from 1.
    virtual void drawSheet(int sheet, Canvas &canvas) = 0;
};

} // namespace cv
