#pragma once
// The process-wide tracker of open popups (chooser, calendar, macro entry).
// The sheet tracker's list holds them in opening order; the last is the
// topmost. An outside press closes the topmost popup (through its own
// controller, or through the window's field editor, which also ends the cell
// edit) and is swallowed, so it never acts on the window below. A popup that
// keeps outside clicks swallows them and stays open.

#include "controls/SheetManager.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QMouseEvent;

namespace cv {

class PopupManager : public SheetManager {
    Q_OBJECT
public:
    struct Options {
        bool keepsOutsideClicks = false;
        // The popup's own controller closing it; without one the window's
        // OutsideClickClient is asked, else the popup itself closes.
        std::function<void()> controllerClose;
    };

    // Made on first use, deleted when the application quits.
    static PopupManager *popupManager();

    // Tracks the popup until it hides; a popup tracked already moves to the top.
    void begin(QWidget *popup) override { begin(popup, Options()); }
    void begin(QWidget *popup, Options options);
    // True when the press was used up: it must not reach `window` (the
    // top-level window under the press, null over no window of ours).
    bool testOutsideClicks(QWidget *window, const QPoint &globalPos);

    // A popup's mouse press: true when it lay outside and the tracker used it up.
    bool popupMousePress(QWidget *popup, QMouseEvent *event);

    QWidget *topmost() const;

protected:
    void closed(QWidget *popup) override;

private:
    struct Entry {
        QPointer<QWidget> popup;
        Options options;
    };
    Options optionsOf(QWidget *popup) const;

    std::vector<Entry> m_options; // for popups begun with options; order is the base's
};

} // namespace cv
