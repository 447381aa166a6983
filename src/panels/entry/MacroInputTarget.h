#pragma once
// What the repeated entry dialog needs of the panel that started it.

#include "model/CV4Actual.h"

#include <vector>

class MacroInputTarget {
public:
    virtual ~MacroInputTarget() = default;
    // The series goes before the panel's blank input row, which stays last.
    virtual void appendMacroRows(const std::vector<CV4ActualPtr> &rows) = 0;
    // 1 after OK (rows appended), -1 after Cancel.
    virtual void macroFinished(int code) = 0;
    virtual bool isTransferTarget() const = 0;
};
