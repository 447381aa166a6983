#pragma once

#include <QSize>

namespace cv {

// The size shrunk proportionally so that its height, then its width, fit the
// box; never enlarged.
QSize scaleToFit(const QSize &size, const QSize &box);

} // namespace cv
