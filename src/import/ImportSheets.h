#pragma once
// The one way the window opens an import sheet: by the import request's
// tag (a menu item's or the import action's), as a sheet on the window
// under the sheet tracker. `done` gets the sheet's end code: 1 after a
// commit, 0 on Cancel.

#include <functional>

class CV4Document;
class QWidget;

namespace cv {

void openImportSheet(int tag, CV4Document *document, QWidget *parent, std::function<void(int)> done);

} // namespace cv
