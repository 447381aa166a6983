#pragma once
// Keeping a window's frame on the visible part of its screen.

#include <QRect>

// A frame taller than the available area is first limited to its height;
// then the bottom edge is raised onto the area and the top edge (the title
// bar) kept on it. Nothing else changes.
class QWidget;

namespace cv {

QRect constrainFrameRect(const QRect &frame, const QRect &available);

// Applies constrainFrameRect to a shown top-level window on its screen.
void keepOnScreen(QWidget *window);

} // namespace cv
