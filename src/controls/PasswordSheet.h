#pragma once
// The sheet that sets, changes or removes a document's password. OK is
// enabled when the current password is given (empty when there is none) and
// the two new entries agree; OK then checks it, and a wrong one keeps the
// sheet open. An empty new password removes the protection.
// Finishes with 1 (OK, the settings changed) or 0 (Cancel).

#include "model/Settings.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace cv {

class PasswordSheet : public QDialog {
    Q_OBJECT

public:
    // The settings are not owned and must outlive the sheet.
    explicit PasswordSheet(SettingsPtr settings, QWidget *parent = nullptr);

    QLineEdit *currentPasswordField() const { return m_currentPasswordField; }
    QLineEdit *newPasswordField1() const { return m_newPasswordField1; }
    QLineEdit *newPasswordField2() const { return m_newPasswordField2; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    void okPushed();
    void cancelPushed();
    void controlTextDidChange();
    void accept() override { okPushed(); }
    void reject() override { cancelPushed(); }

private:
    SettingsPtr m_settings;
    QLineEdit *m_currentPasswordField;
    QLineEdit *m_newPasswordField1;
    QLineEdit *m_newPasswordField2;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace cv
