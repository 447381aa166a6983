#pragma once
// Asks for one number. exec() answers 1 for OK with number() the entered
// value, 0 for Cancel, Esc or the close box with number() left as it was.

#include "document/PatternFormatter.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace cv {

class NumberDialog : public QDialog {
    Q_OBJECT

public:
    // Without a formatter the number is shown and read as plain decimal text.
    NumberDialog(double number, const PatternFormatter *formatter, const QString &title, QWidget *parent = nullptr);

    double number() const { return m_number; }
    QLineEdit *numberField() const { return m_numberField; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    void accept() override;

private:
    std::optional<double> enteredNumber() const;

    double m_number;
    std::optional<PatternFormatter> m_formatter;
    QLineEdit *m_numberField;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace cv
