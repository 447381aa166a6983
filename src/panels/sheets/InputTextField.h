#pragma once
// A text field of the account sheets that says which input it takes: tag 0
// is free text (names, memos: the user's input method), any other tag Latin
// input (numbers, dates). Focus applies the choice.

#include <QLineEdit>

namespace cv {

class InputTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit InputTextField(int tag = 0, QWidget *parent = nullptr);

    int tag() const { return m_tag; }

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    int m_tag; // 0 free text, else Latin
};

} // namespace cv
