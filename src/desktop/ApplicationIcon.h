#pragma once
// The program's icon (an account book with a yen coin), the one the desktop
// entry names: windows and the about box show it.

#include <QIcon>

namespace cv {

// The name of the desktop entry, the icon and the bus service alike.
inline constexpr const char *kDesktopName = "org.corvane.Corvane";

// Every size of the icon, from the compiled-in PNG files.
QIcon applicationIcon();

} // namespace cv
