#pragma once
// Opens a sheet window-modal on its parent (application-modal without one)
// under the sheet tracker: `done(code, sheet)` runs when it ends, and the
// tracker frees the sheet after.

#include "controls/RetainedWindowManager.h"

#include <QDialog>

#include <functional>

namespace cv {

template <class Sheet> Sheet *openSheet(Sheet *sheet, QWidget *parent, std::function<void(int, Sheet *)> done)
{
    sheet->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(sheet, &QDialog::finished, sheet, [sheet, done = std::move(done)](int code) {
        if (done) done(code, sheet);
    });
    sheetManager()->begin(sheet);
    sheet->open();
    return sheet;
}

} // namespace cv
