#include "panels/sheets/InputFormCell.h"

namespace cv {

InputFormCell::InputFormCell(int tag, const QString &placeholder, QWidget *parent) : InputTextField(tag, parent)
{
    setPlaceholderText(placeholder);
}

void InputFormCell::focusInEvent(QFocusEvent *event)
{
    InputTextField::focusInEvent(event);
    Q_EMIT selected(this);
}

} // namespace cv
