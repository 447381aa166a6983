#pragma once
// A date cell: its right button shows the calendar image and opens the
// popup calendar at the cell.

#include "controls/ButtonTextButtonCell.h"

namespace cv {

class DateFieldCell : public ButtonTextButtonCell {
public:
    void clickedRightButton(const QRect &frame, EditingTable *view) const override;

protected:
    QPixmap rightImage() const override;
};

// The calendar button's image, made once.
QPixmap DateImage();

} // namespace cv
