#pragma once
// A window whose clicks outside a chooser end the cell edit: the popup
// tracker finds it under the press. The shared field editor stores what was
// typed, closes the chooser and ends the edit. Windows that host editing
// tables (the main window, panels) are clients.

namespace cv {

class OutsideClickClient {
public:
    virtual ~OutsideClickClient() = default;
    virtual void clickedOutside();
};

} // namespace cv
