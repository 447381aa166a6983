#pragma once
// The one way the window opens an import sheet: by the import request's
// tag (a menu item's or the import action's), as a sheet on the window
// under the sheet tracker.

class CV4Document;
class QWidget;

namespace cv {

void openImportSheet(int tag, CV4Document *document, QWidget *parent);

} // namespace cv
