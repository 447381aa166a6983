#pragma once
// Opens a sheet window-modal on its parent (application-modal without one):
// `done(code, sheet)` runs when it ends, and the sheet is freed after.

#include <QDialog>

#include <functional>

namespace cv {

template <class Sheet> Sheet *openSheet(Sheet *sheet, QWidget *parent, std::function<void(int, Sheet *)> done)
{
    sheet->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(sheet, &QDialog::finished, sheet, [sheet, done = std::move(done)](int code) {
        if (done) done(code, sheet);
        sheet->deleteLater();
    });
    sheet->open();
    return sheet;
}

} // namespace cv
