#pragma once
// A plain text cell, amounts included.

#include "controls/TableCell.h"

class PlainFieldCell : public cv::TableCell {
public:
    void setUpFieldEditor(PopupFieldEditor *editor, CV4TableView *view, const cv::PreparedCell &cell) const override;
};
