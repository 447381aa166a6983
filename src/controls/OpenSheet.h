#pragma once
// The one way a sheet opens: window-modal on its parent (QDialog::open makes
// every opened dialog window-modal while it is shown), under the sheet
// tracker. `done(code, sheet)` runs when it ends; a sheet made for one use is
// then freed by the tracker, after the handler. A sheet its owner keeps to
// open again is only tracked.

#include "controls/RetainedWindowManager.h"

#include <QDialog>

#include <functional>
#include <type_traits>

namespace cv {

enum class SheetLife { FreedAfterEnd, KeptByOwner };

// `done` is taken as written (a lambda, a std::function or none); the sheet's
// type comes from the sheet alone.
template <class Sheet>
Sheet *openSheet(Sheet *sheet, QWidget *parent, std::type_identity_t<std::function<void(int, Sheet *)>> done,
                 SheetLife life = SheetLife::FreedAfterEnd)
{
    sheet->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    if (done) {
        // A kept sheet opens again: its handler of this opening must not run at the next end.
        const Qt::ConnectionType once = life == SheetLife::KeptByOwner ? Qt::SingleShotConnection : Qt::AutoConnection;
        QObject::connect(
            sheet, &QDialog::finished, sheet, [sheet, done = std::move(done)](int code) { done(code, sheet); }, once);
    }
    if (life == SheetLife::KeptByOwner)
        sheetManager()->track(sheet);
    else
        sheetManager()->begin(sheet);
    sheet->open();
    return sheet;
}

} // namespace cv
