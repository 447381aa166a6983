#include "platform/TrailingZeroes.h"

namespace cv {

QString stringWithoutTrailingZeroes(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) return text;
    if (text.size() - point - 1 == 2 && text.at(point + 1) != QLatin1Char('0')) return text;
    qsizetype end = text.size();
    while (end > point + 1 && text.at(end - 1) == QLatin1Char('0')) --end;
    if (end == point + 1) --end;
    return text.left(end);
}

} // namespace cv
