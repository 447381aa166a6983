#pragma once

#include <QStringView>

// The names the XML reader takes for elements and attributes.
namespace cv::xml {

bool isXmlName(QStringView name);
// Lower-case ASCII names: the fast way, every name a book holds is one.
bool isPlainName(QStringView name);
bool isEntryAttribute(QStringView name);

} // namespace cv::xml
