#pragma once
// A chooser cell: its right button shows the reveal image and opens the
// chooser; while it shows its button, typing opens the chooser too.

#include "controls/ButtonTextButtonCell.h"

class FieldEditorCell : public ButtonTextButtonCell {
public:
    bool handleClick(const QPoint &pos, const QRect &frame, CV4TableView *view,
                     const cv::PreparedCell &cell) const override;
    void setUpFieldEditor(PopupFieldEditor *editor, CV4TableView *view, const cv::PreparedCell &cell) const override;
    void clickedRightButton(const QRect &frame, CV4TableView *view) const override;

protected:
    QPixmap rightImage() const override;
};
