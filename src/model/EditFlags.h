#pragma once
// Edit flags of the rows that panels and imports edit before they are stored.

namespace cv {

enum EditFlag : int {
    EditChanged = 1,
    EditNew = 2,
    EditDeleted = 4,
};

inline bool isNewRow(int flags)
{
    return flags & EditNew;
}

} // namespace cv
