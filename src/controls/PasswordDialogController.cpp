#include "controls/PasswordDialogController.h"

#include "controls/DialogButtons.h"
#include "model/CV4Settings.h"
#include "platform/Localization.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PasswordDialogController::PasswordDialogController(const CV4Settings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(cv::localizedString(QStringLiteral("Password")));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(cv::localizedString(QStringLiteral("Enter the password of this document:")), this));
    m_passwordField = new QLineEdit(this);
    m_passwordField->setEchoMode(QLineEdit::Password);
    layout->addWidget(m_passwordField);
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;
}

void PasswordDialogController::okPushed()
{
    const bool right = m_settings.verifyPassword(m_passwordField->text());
    // The typed text goes as soon as it has been checked.
    m_passwordField->clear();
    done(right ? 1 : 0);
}

void PasswordDialogController::cancelPushed()
{
    m_passwordField->clear();
    done(-1);
}
