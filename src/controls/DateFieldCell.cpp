#include "controls/DateFieldCell.h"

#include "controls/PopupFieldEditor.h"

#include <QPainter>

namespace cv {

QPixmap DateImage()
{
    // A small calendar sheet: a coloured top band over a grid of days.
    static const QPixmap image = [] {
        constexpr int side = 16;
        QPixmap pixmap(QSize(side, side) * 2);
        pixmap.setDevicePixelRatio(2);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF sheet(2.5, 3.5, 11, 10);
        painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(sheet, 1.5, 1.5);
        painter.fillRect(QRectF(3, 4, 10, 2.5), QColor(0xc0, 0x30, 0x30));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x70, 0x70, 0x70));
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 3; ++c) painter.drawRect(QRectF(4.5 + c * 2.8, 8 + r * 2.6, 1.6, 1.4));
        }
        return pixmap;
    }();
    return image;
}

void DateFieldCell::clickedRightButton(const QRect &frame, EditingTable *view) const
{
    GetPopupFieldEditor()->openCalendar(view, frame);
}

QPixmap DateFieldCell::rightImage() const
{
    return DateImage();
}

} // namespace cv
