#include "controls/NameDialogController.h"

#include "platform/CV4Alert.h"
#include "platform/Localization.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NameDialogController::NameDialogController(const QString &name, const QString &title, bool mustChange,
                                           QWidget *parent)
    : QDialog(parent), m_name(name), m_must(mustChange)
{
    setWindowTitle(title);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    if (!title.isEmpty()) layout->addWidget(new QLabel(title, this));
    // Names are typed in the user's own input method, so no Latin hint here.
    m_nameField = new QLineEdit(name, this);
    m_nameField->selectAll();
    layout->addWidget(m_nameField);
    auto *buttons = new QDialogButtonBox(this);
    m_okButton = buttons->addButton(cv::localizedString(QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    m_cancelButton = buttons->addButton(cv::localizedString(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    m_okButton->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_nameField, &QLineEdit::textChanged, this, [this] { m_okButton->setEnabled(isAcceptable()); });
    m_okButton->setEnabled(isAcceptable());
}

QString NameDialogController::name() const
{
    return m_nameField->text();
}

bool NameDialogController::isAcceptable() const
{
    return cv::isAcceptableName(name(), m_name, m_must);
}

void NameDialogController::accept()
{
    // Return in the field must not get past a refused name.
    if (isAcceptable()) QDialog::accept();
}
