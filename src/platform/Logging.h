#pragma once
// Diagnostics go to Qt logging categories, one per library.
#include <QLoggingCategory>

namespace cv {

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcModel)
Q_DECLARE_LOGGING_CATEGORY(lcDocument)
// Impossible states met in a release build (platform/Assert.h).
Q_DECLARE_LOGGING_CATEGORY(lcAssert)

} // namespace cv
