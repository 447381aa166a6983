#include "platform/QuietLog.h"

#include "platform/Localization.h"

#include <cstdio>

namespace cv {

void QuietLog(const QString &format, const QVariantList &args)
{
    const QByteArray line = (formatString(format, args) + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

} // namespace cv
