#pragma once
// One labelled cell of an InputForm: a field with a tag (0 free text, else
// Latin input) and a placeholder. Getting the focus makes it the form's
// selected cell.

#include "panels/sheets/InputTextField.h"

namespace cv {

class InputFormCell : public InputTextField {
    Q_OBJECT
public:
    InputFormCell(int tag, const QString &placeholder, QWidget *parent = nullptr);

Q_SIGNALS:
    void selected(InputFormCell *cell);

protected:
    void focusInEvent(QFocusEvent *event) override;
};

} // namespace cv
