#pragma once
// Where File > Print and Print Preview of the main window, and the loan
// editor's print, hand over a print view: the run takes the document's paper
// and orientation with the preferences' margins, prints amounts in print
// form, and leaves the document's orientation as it found it.

#include "print/PrintedPages.h"
#include "platform/print/PrintRunner.h"

#include <functional>
#include <memory>

class QWidget;

namespace cv {

class Book;
class ReadOnlyBook;
class Preference;

// Makes the view of the shown page for the setup (a view may fix the
// orientation in it); none when the page has nothing to print.
using PagesMaker = std::function<std::unique_ptr<PrintedPages>(PageSetup &setup)>;
// The same for any paged document (the charts).
using PagedMaker = std::function<std::unique_ptr<PagedDocument>(PageSetup &setup)>;

PageSetup documentPageSetup(const ReadOnlyBook &document, const Preference &preference);

PrintRunner::Result printPages(Book &document, const Preference &preference, const PagesMaker &make, QWidget *parent,
                               PrintRunner::Mode mode, const QString &pdfPath = {});
PrintRunner::Result printPaged(Book &document, const Preference &preference, const PagedMaker &make, QWidget *parent,
                               PrintRunner::Mode mode, const QString &pdfPath = {});

} // namespace cv
