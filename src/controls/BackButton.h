#pragma once
// A button whose key equivalent is Ctrl+Enter: plain Enter and Return are
// left to the dialog's default button.

#include <QPushButton>

namespace cv {

class BackButton : public QPushButton {
    Q_OBJECT

public:
    explicit BackButton(const QString &text, QWidget *parent = nullptr);

    // true when the key pressed the button. The window passes on keys it
    // does not handle itself.
    bool performKeyEquivalent(const QKeyEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace cv
