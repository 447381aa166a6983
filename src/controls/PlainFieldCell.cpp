#include "controls/PlainFieldCell.h"

#include "controls/PopupFieldEditor.h"

namespace cv {

void PlainFieldCell::setUpFieldEditor(PopupFieldEditor *editor, EditingTable *view, const cv::PreparedCell &cell) const
{
    editor->endPopupEdit();
    editor->willEditCell(cell, view);
}

} // namespace cv
