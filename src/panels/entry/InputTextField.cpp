#include "panels/entry/InputTextField.h"

#include "document/CV4Document.h"

InputTextField::InputTextField(int tag, QWidget *parent) : QLineEdit(parent), m_tag(tag)
{
    if (tag != 0) setInputMethodHints(Qt::ImhPreferLatin);
}

void InputTextField::focusInEvent(QFocusEvent *event)
{
    CV4Document::changeTextInputSource(this, m_tag == 0);
    QLineEdit::focusInEvent(event);
}
