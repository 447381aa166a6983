#include "controls/FieldEditorCell.h"

#include "controls/EditingTable.h"
#include "controls/PopupFieldEditor.h"

#include <QPainter>
#include <QPainterPath>

namespace cv {

bool FieldEditorCell::handleClick(const QPoint &pos, const QRect &frame, EditingTable *view,
                                  const cv::PreparedCell &cell) const
{
    return cell.hasButtons() && ButtonTextButtonCell::handleClick(pos, frame, view, cell);
}

void FieldEditorCell::setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const cv::PreparedCell &cell) const
{
    editor->willEditCell(cell, view);
    // Button mode while the button shows: typing opens the chooser.
    if (cell.hasButtons())
        editor->beginPopupEditForTableView(view);
    else
        editor->endPopupEdit();
}

void FieldEditorCell::clickedRightButton(const QRect &frame, EditingTable *view) const
{
    Q_UNUSED(frame);
    if (!view) return;
    PopupFieldEditor *editor = GetPopupFieldEditor();
    const int column = view->isEditing() ? view->editedColumn() : editor->column();
    const int row = view->isEditing() ? view->editedRow() : editor->row();
    editor->willEditCell(view->preparedCell(column, row), view);
    editor->beginPopupEditForTableView(view);
    editor->edit();
}

QPixmap FieldEditorCell::rightImage() const
{
    // The reveal image: a small grey chevron pointing down.
    static const QPixmap image = [] {
        QPixmap pixmap(QSize(kButtonSize, kButtonSize) * 2);
        pixmap.setDevicePixelRatio(2);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.moveTo(4.5, 6.5);
        path.lineTo(8, 10);
        path.lineTo(11.5, 6.5);
        painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        return pixmap;
    }();
    return image;
}

} // namespace cv
