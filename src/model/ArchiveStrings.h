#pragma once
// Strings in the model's keyed archives: a none string is "$null", as the
// stored documents have it, and reads back as a null QString.

#include "platform/KeyedArchiver.h"

namespace cv {

inline ArchiveValue archiveOptionalString(const QString &s)
{
    return s.isNull() ? ArchiveValue() : ArchiveValue(s);
}

// Missing or "$null" reads as a null string; another type fails the archive.
inline QString decodeOptionalString(KeyedUnarchiver &coder, const QString &key)
{
    return coder.decodeStringForKey(key).value_or(QString());
}

} // namespace cv
