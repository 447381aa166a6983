#include "controls/PlainFieldCell.h"

#include "controls/PopupFieldEditor.h"

void PlainFieldCell::setUpFieldEditor(PopupFieldEditor *editor, CV4TableView *view, const cv::PreparedCell &cell) const
{
    editor->endPopupEdit();
    editor->willEditCell(cell, view);
}
