#include "controls/PasswordPrompt.h"

#include "controls/DialogButtons.h"
#include "model/Settings.h"
#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace cv {

PasswordPrompt::PasswordPrompt(const Settings &settings, const QString &book, bool retry, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(cv::localizedString(QStringLiteral("Password")));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    const QString prompt =
        book.isEmpty() ? cv::localizedString(QStringLiteral("Enter the password of this document:"))
                       : cv::formatString(cv::localizedString(QStringLiteral("Enter the password of “%@”:")), {book});
    layout->addWidget(new QLabel(prompt, this));
    if (retry) {
        // Without sound the beep alone says nothing.
        auto *wrong = new QLabel(cv::localizedString(QStringLiteral("The password was wrong. Try again.")), this);
        wrong->setObjectName(QStringLiteral("wrongPassword"));
        QPalette palette = wrong->palette();
        palette.setColor(QPalette::WindowText, cv::negativeColor());
        wrong->setPalette(palette);
        layout->addWidget(wrong);
    }
    m_passwordField = new QLineEdit(this);
    m_passwordField->setEchoMode(QLineEdit::Password);
    layout->addWidget(m_passwordField);
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;
}

void PasswordPrompt::okPushed()
{
    const bool right = m_settings.verifyPassword(m_passwordField->text());
    // The typed text goes as soon as it has been checked.
    m_passwordField->clear();
    done(right ? 1 : 0);
}

void PasswordPrompt::cancelPushed()
{
    m_passwordField->clear();
    done(-1);
}

} // namespace cv
