#include "panels/sheets/InputTextField.h"

#include "platform/Localization.h"

namespace cv {

InputTextField::InputTextField(int tag, QWidget *parent) : QLineEdit(parent), m_tag(tag)
{
    if (tag != 0) setInputMethodHints(Qt::ImhPreferLatin);
}

void InputTextField::focusInEvent(QFocusEvent *event)
{
    cv::changeTextInputSource(this, m_tag == 0);
    QLineEdit::focusInEvent(event);
}

} // namespace cv
