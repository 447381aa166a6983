#pragma once
// The one way the window opens an import sheet: by the import request's
// tag (a menu item's or the import action's), as a sheet on the window
// under the sheet tracker.

class QWidget;

namespace cv {

class Book;

// `account` (text statements): the account the statement is of, chosen
// beforehand; 0 leaves the choice to the user.
void openImportSheet(int tag, Book *document, QWidget *parent, int account = 0);

} // namespace cv
