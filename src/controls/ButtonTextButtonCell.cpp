#include "controls/ButtonTextButtonCell.h"

#include "controls/PopupFieldEditor.h"
#include "controls/ShapeDrawing.h"
#include "platform/widgets/ScaleToFit.h"

#include <QPainter>

namespace cv {

QRect ButtonTextButtonCell::textRect(const QRect &bounds, const cv::PreparedCell &cell) const
{
    QRect rect = bounds.adjusted(kTextInset, 0, -kTextInset, 0);
    if (cell.hasButtons()) {
        const int left = leftImage().isNull() ? 0 : kButtonSize;
        const int right = rightImage().isNull() ? 0 : kButtonSize;
        rect.setLeft(rect.left() + left);
        rect.setWidth(qMax(0, rect.width() - right));
    }
    return rect;
}

QRect ButtonTextButtonCell::leftButtonRect(const QRect &bounds) const
{
    if (leftImage().isNull()) return {};
    const int side = qMin(kButtonSize, bounds.height());
    return QRect(bounds.left(), bounds.top() + (bounds.height() - side) / 2, side, side);
}

QRect ButtonTextButtonCell::rightButtonRect(const QRect &bounds) const
{
    if (rightImage().isNull()) return {};
    const int side = qMin(kButtonSize, bounds.height());
    return QRect(bounds.left() + bounds.width() - kButtonSize, bounds.top() + (bounds.height() - side) / 2, kButtonSize,
                 side);
}

void ButtonTextButtonCell::paint(QPainter *painter, const QRect &frame, const cv::CellPaint &what,
                                 const QPalette &palette, const QFont &font) const
{
    if (what.prepared.labelColor.isValid()) {
        const QRect label = textRect(frame, what.prepared).adjusted(3, 2, 0, 2).intersected(frame);
        cv::fillRoundRect(painter, label, kLabelRadius, what.prepared.labelColor);
    }
    if (what.prepared.hasButtons()) {
        // Images shrink to the frame less 2 pixels, never grow.
        const QSize box(frame.width(), frame.height() - 2);
        for (const auto &[image, rect] :
             {std::pair{leftImage(), leftButtonRect(frame)}, std::pair{rightImage(), rightButtonRect(frame)}}) {
            if (image.isNull() || rect.isEmpty()) continue;
            const QSize logical = image.size() / image.devicePixelRatio();
            const QSize size = cv::scaleToFit(logical, box.boundedTo(rect.size()));
            const QRect target(rect.left() + (rect.width() - size.width()) / 2,
                               rect.top() + (rect.height() - size.height()) / 2, size.width(), size.height());
            painter->drawPixmap(target, image);
        }
    }
    paintText(painter, textRect(frame, what.prepared), what, palette, font);
}

bool ButtonTextButtonCell::handleClick(const QPoint &pos, const QRect &frame, EditingTable *view,
                                       const cv::PreparedCell &cell) const
{
    if (!cell.hasButtons() || textRect(frame, cell).contains(pos)) return false;
    if (leftButtonRect(frame).contains(pos)) {
        clickedLeftButton(frame, view);
        return true;
    }
    if (rightButtonRect(frame).contains(pos)) {
        clickedRightButton(frame, view);
        return true;
    }
    return false;
}

void ButtonTextButtonCell::setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view,
                                            const cv::PreparedCell &cell) const
{
    editor->endPopupEdit();
    editor->willEditCell(cell, view);
}

void ButtonTextButtonCell::clickedLeftButton(const QRect &, EditingTable *) const {}

void ButtonTextButtonCell::clickedRightButton(const QRect &, EditingTable *) const {}

} // namespace cv
