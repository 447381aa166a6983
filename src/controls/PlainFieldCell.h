#pragma once
// A plain text cell, amounts included.

#include "controls/TableCell.h"

namespace cv {

class PlainFieldCell : public cv::TableCell {
public:
    void setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const cv::PreparedCell &cell) const override;
};

} // namespace cv
