#pragma once
// A chooser cell: its right button shows the reveal image and opens the
// chooser; while it shows its button, typing opens the chooser too.

#include "controls/ButtonTextButtonCell.h"

namespace cv {

class FieldEditorCell : public ButtonTextButtonCell {
public:
    bool handleClick(const QPoint &pos, const QRect &frame, EditingTable *view,
                     const cv::PreparedCell &cell) const override;
    void setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const cv::PreparedCell &cell) const override;
    void clickedRightButton(const QRect &frame, EditingTable *view) const override;

protected:
    QPixmap rightImage() const override;
};

} // namespace cv
