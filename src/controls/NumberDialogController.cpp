#include "controls/NumberDialogController.h"

#include "platform/Localization.h"
#include "platform/NumberText.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NumberDialogController::NumberDialogController(double number, const KavriNumberFormatter *formatter,
                                               const QString &title, QWidget *parent)
    : QDialog(parent), m_number(number)
{
    if (formatter) m_formatter = *formatter;
    setWindowTitle(title);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    m_numberField = new QLineEdit(this);
    m_numberField->setInputMethodHints(Qt::ImhPreferLatin);
    m_numberField->setText(m_formatter ? m_formatter->stringForObjectValue(number) : QString::number(number, 'g', 15));
    m_numberField->selectAll();
    layout->addWidget(m_numberField);
    auto *buttons = new QDialogButtonBox(this);
    m_okButton = buttons->addButton(cv::localizedString(QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    m_cancelButton = buttons->addButton(cv::localizedString(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    m_okButton->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // OK only while the text is a number: nothing unreadable becomes 0 unseen.
    connect(m_numberField, &QLineEdit::textChanged, this,
            [this] { m_okButton->setEnabled(enteredNumber().has_value()); });
    m_okButton->setEnabled(enteredNumber().has_value());
}

std::optional<double> NumberDialogController::enteredNumber() const
{
    const QString text = m_numberField->text();
    if (m_formatter) return m_formatter->numberFromString(text);
    return cv::parseDouble(text);
}

void NumberDialogController::accept()
{
    const std::optional<double> value = enteredNumber();
    if (!value) return;
    m_number = *value;
    QDialog::accept();
}
