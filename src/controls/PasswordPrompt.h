#pragma once
// Asks for a document's password when it opens. exec() answers 1 for a right
// entry, 0 for a wrong one, -1 for Cancel, Esc or the close box.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace cv {

class Settings;

class PasswordPrompt : public QDialog {
    Q_OBJECT

public:
    // The settings are not owned and must outlive the dialog. `book` names
    // the file in the prompt; `retry` says that the last entry was wrong.
    explicit PasswordPrompt(const Settings &settings, const QString &book = QString(), bool retry = false,
                            QWidget *parent = nullptr);

    QLineEdit *passwordField() const { return m_passwordField; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    void okPushed();
    void cancelPushed();
    void accept() override { okPushed(); }
    void reject() override { cancelPushed(); }

private:
    const Settings &m_settings;
    QLineEdit *m_passwordField;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace cv
