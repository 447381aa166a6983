#pragma once
// The localised texts of a list of string keys, in order.

#include "platform/Localization.h"

#include <QStringList>

#include <initializer_list>

namespace cv {

inline QStringList PrintedPagesTitles(std::initializer_list<const char *> keys)
{
    QStringList out;
    for (const char *key : keys) out.append(cv::localizedString(key));
    return out;
}

} // namespace cv
