#pragma once
// The document side's windows: makes, shows and closes each document's
// window and carries the edited mark to it. Everything else (busy window,
// password dialog, save panel) is the controls' implementation.

#include "controls/ControlsDocumentUI.h"

#include <functional>

namespace cv {

class BookWindow;

class WindowDocumentUI : public ControlsDocumentUI {
public:
    using WindowMaker = std::function<BookWindow *(Book &)>;
    using WindowFinder = std::function<BookWindow *(Book &)>;
    WindowDocumentUI(WindowMaker maker, WindowFinder finder) : m_maker(std::move(maker)), m_finder(std::move(finder)) {}

    void makeWindows(Book &document) override;
    void showWindows(Book &document) override;
    void closeWindows(Book &document) override;

private:
    WindowMaker m_maker;
    WindowFinder m_finder;
};

} // namespace cv
