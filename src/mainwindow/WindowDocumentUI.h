#pragma once
// The document side's windows: makes, shows and closes each document's
// window and carries the edited mark to it. Everything else (busy window,
// password dialog, save panel) is the controls' implementation.

#include "controls/ControlsDocumentUI.h"

#include <functional>

class CV4WindowController;

namespace cv {

class WindowDocumentUI : public ControlsDocumentUI {
public:
    using WindowMaker = std::function<CV4WindowController *(CV4Document &)>;
    using WindowFinder = std::function<CV4WindowController *(CV4Document &)>;
    WindowDocumentUI(WindowMaker maker, WindowFinder finder) : m_maker(std::move(maker)), m_finder(std::move(finder)) {}

    void makeWindowControllers(CV4Document &document) override;
    void showWindows(CV4Document &document) override;
    void closeWindows(CV4Document &document) override;

private:
    WindowMaker m_maker;
    WindowFinder m_finder;
};

} // namespace cv
