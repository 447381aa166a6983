#include "desktop/ApplicationIcon.h"

namespace cv {

QIcon applicationIcon()
{
    // PNG needs no image plugin, unlike SVG.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(kDesktopName)).arg(size), QSize(size, size));
    return icon;
}

} // namespace cv
