#include "controls/NumberDialog.h"

#include "controls/DialogButtons.h"
#include "platform/Localization.h"
#include "platform/NumberText.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace cv {

NumberDialog::NumberDialog(double number, const PatternFormatter *formatter, const QString &title, QWidget *parent)
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
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;
    // OK only while the text is a number: nothing unreadable becomes 0 unseen.
    connect(m_numberField, &QLineEdit::textChanged, this,
            [this] { m_okButton->setEnabled(enteredNumber().has_value()); });
    m_okButton->setEnabled(enteredNumber().has_value());
}

std::optional<double> NumberDialog::enteredNumber() const
{
    const QString text = m_numberField->text();
    const std::optional<double> value = m_formatter ? m_formatter->numberFromString(text) : cv::parseDouble(text);
    // "inf" and "nan" read as numbers but are no rate or amount.
    if (value && !std::isfinite(*value)) return std::nullopt;
    return value;
}

void NumberDialog::accept()
{
    const std::optional<double> value = enteredNumber();
    if (!value) return;
    m_number = *value;
    QDialog::accept();
}

} // namespace cv
