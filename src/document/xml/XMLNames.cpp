#include "document/xml/XMLNames.h"

#include "document/xml/BookXMLInternal.h"

#include <QLatin1String>

namespace cv::xml {

using namespace names;

namespace {

// The Name production of XML 1.0 (fifth edition). The stream reader takes
// some names it should refuse; a flipped bit in one must not silently drop
// an entry's account or amount.
bool isNameStart(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c)
{
    return isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

} // namespace

bool isXmlName(QStringView name)
{
    if (name.isEmpty()) return false;
    bool first = true;
    for (const char32_t c : name.toUcs4()) {
        if (!(first ? isNameStart(c) : isNameChar(c))) return false;
        first = false;
    }
    return true;
}

// Lower-case ASCII names take the fast way: every name a book holds is one.
bool isPlainName(QStringView name)
{
    if (name.isEmpty() || !((name[0] >= u'a' && name[0] <= u'z') || name[0] == u'_')) return false;
    for (const QChar c : name)
        if (!((c >= u'a' && c <= u'z') || c == u'_' || (c >= u'0' && c <= u'9'))) return false;
    return true;
}

// What an entry carries; anything else is logged, as a damaged name would be.
bool isEntryAttribute(QStringView name)
{
    for (const char *known :
         {ATTR_KIND, ATTR_CATEGORY, ATTR_ACCOUNT, ATTR_DATE, ATTR_VALUE, ATTR_CONVERTED, ATTR_TRANSFER, ATTR_GROUPING})
        if (name == QLatin1String(known)) return true;
    return false;
}

} // namespace cv::xml
