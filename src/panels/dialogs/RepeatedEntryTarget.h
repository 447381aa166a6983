#pragma once
// What the repeated entry dialog needs of the panel that started it.

#include "model/Entry.h"

#include <vector>

namespace cv {

class RepeatedEntryTarget {
public:
    virtual ~RepeatedEntryTarget() = default;
    // The series goes before the panel's blank input row, which stays last.
    virtual void appendRepeatedRows(const std::vector<EntryPtr> &rows) = 0;
    // 1 after OK (rows appended), -1 after Cancel.
    virtual void repeatFinished(int code) = 0;
    virtual bool isTransferTarget() const = 0;
};

} // namespace cv
