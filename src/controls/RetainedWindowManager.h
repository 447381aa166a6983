#pragma once
// The sheet tracker: besides the window it holds the window's controller
// (the window itself unless another is given), so an opener can let go of
// a sheet right after opening it. The controller is freed once the window
// ended, after the end handlers connected to it ran.

#include "controls/SheetManager.h"

#include <QHash>

namespace cv {

class RetainedWindowManager : public SheetManager {
    Q_OBJECT

public:
    using SheetManager::SheetManager;

    void begin(QWidget *window) override;
    void begin(QWidget *window, QObject *controller);
    // Tracks the window but frees nothing when it ends: a sheet its owner
    // keeps to open again.
    void track(QWidget *window);

protected:
    void closed(QWidget *window) override;

private:
    QHash<QWidget *, QPointer<QObject>> m_controllers;
};

// The process-wide sheet tracker, made on first use.
RetainedWindowManager *sheetManager();

} // namespace cv
