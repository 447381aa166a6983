#pragma once
// A structural check of property-list bytes before libplist parses them.
// libplist follows every reference of a binary list afresh and recurses once
// per nesting level in both forms, so a few hundred hostile bytes can make it
// build billions of nodes or run off the stack. Only lists that pass are
// handed to it.

#include <QByteArrayView>

namespace cv {

struct PropertyListLimits {
    int maxDepth = 32;
};

// True when the bytes are a binary list ("bplist00") whose trailer, offsets,
// objects and references are consistent, acyclic, no deeper than the limit,
// without sets, with well-formed strings, and whose fully expanded size stays
// in proportion to the input; or an XML list no deeper than the limit.
bool propertyListIsSafe(QByteArrayView data, const PropertyListLimits &limits = {});

} // namespace cv
