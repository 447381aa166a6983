#pragma once
// What the popup tracker calls when a click outside a chooser lands in a
// window: the field editor ends the cell edit (storing when modified) and
// closes the chooser. A window that hosts editing tables implements it.

namespace cv {

class OutsideClickClient {
public:
    virtual ~OutsideClickClient() = default;
    virtual void clickedOutside() = 0;
};

} // namespace cv
