#pragma once
// A text cell with an optional image button at its left and right edge.

#include "controls/TableCell.h"

#include <QPixmap>

namespace cv {

class ButtonTextButtonCell : public cv::TableCell {
public:
    QRect textRect(const QRect &bounds, const cv::PreparedCell &cell) const override;
    QRect leftButtonRect(const QRect &bounds) const;
    QRect rightButtonRect(const QRect &bounds) const;
    void paint(QPainter *painter, const QRect &frame, const cv::CellPaint &what, const QPalette &palette,
               const QFont &font) const override;
    bool handleClick(const QPoint &pos, const QRect &frame, EditingTable *view,
                     const cv::PreparedCell &cell) const override;
    void setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const cv::PreparedCell &cell) const override;

    virtual void clickedLeftButton(const QRect &frame, EditingTable *view) const;
    virtual void clickedRightButton(const QRect &frame, EditingTable *view) const;

protected:
    // Null: no button on that side.
    virtual QPixmap leftImage() const { return {}; }
    virtual QPixmap rightImage() const { return {}; }
    static constexpr int kButtonSize = 16;
    static constexpr int kLabelRadius = 90; // capped to a pill by the path
};

} // namespace cv
