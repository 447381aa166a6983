#include "controls/PasswordSheet.h"

#include "controls/DialogButtons.h"
#include "platform/Localization.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace cv {

PasswordSheet::PasswordSheet(SettingsPtr settings, QWidget *parent) : QDialog(parent), m_settings(std::move(settings))
{
    setWindowTitle(cv::localizedString(QStringLiteral("Set Password")));
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    auto *note = new QLabel(cv::localizedString(QStringLiteral("PasswordPanelNote")), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto *form = new QFormLayout;
    auto field = [this] {
        auto *edit = new QLineEdit(this);
        edit->setEchoMode(QLineEdit::Password);
        return edit;
    };
    m_currentPasswordField = field();
    m_newPasswordField1 = field();
    m_newPasswordField2 = field();
    form->addRow(cv::localizedString(QStringLiteral("Current password:")), m_currentPasswordField);
    form->addRow(cv::localizedString(QStringLiteral("New password:")), m_newPasswordField1);
    form->addRow(cv::localizedString(QStringLiteral("Confirm new password:")), m_newPasswordField2);
    layout->addLayout(form);
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;

    for (QLineEdit *edit : {m_currentPasswordField, m_newPasswordField1, m_newPasswordField2})
        connect(edit, &QLineEdit::textChanged, this, &PasswordSheet::controlTextDidChange);
    controlTextDidChange();
}

// A key derivation costs a noticeable pause: typing only asks for an entry
// where a password is set; OK checks it.
void PasswordSheet::controlTextDidChange()
{
    const bool protectedBook = m_settings && m_settings->hasPassword();
    m_okButton->setEnabled(m_settings && m_currentPasswordField->text().isEmpty() != protectedBook &&
                           m_newPasswordField1->text() == m_newPasswordField2->text());
}

void PasswordSheet::okPushed()
{
    // Return in a field must not get past the rule of the OK button.
    if (!m_okButton->isEnabled() || !m_settings) return;
    if (!m_settings->verifyPassword(m_currentPasswordField->text())) {
        QApplication::beep();
        m_currentPasswordField->clear();
        m_currentPasswordField->setFocus();
        return;
    }
    m_settings->setPassword(m_newPasswordField1->text());
    m_settings->setChanged();
    done(1);
}

void PasswordSheet::cancelPushed()
{
    done(0);
}

} // namespace cv
