#include "panels/dialogs/ExtraPaymentDialog.h"

#include "controls/CurrencyFormatter.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cv {

ExtraPaymentDialog::ExtraPaymentDialog(const QDate &date, const CurrencyFormatter *formatter, QWidget *parent)
    : QDialog(parent), m_formatter(formatter)
{
    setWindowTitle(cv::localizedString("Loan-Extra-Title"));
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_amountField = new QLineEdit(this);
    m_amountField->setAlignment(Qt::AlignRight);
    m_amountField->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhFormattedNumbersOnly);
    m_dateField = new QLineEdit(cv::formatProgramDate(date), this);
    m_dateField->setInputMethodHints(Qt::ImhPreferLatin);
    form->addRow(cv::localizedString("Loan-Extra-Amount"), m_amountField);
    form->addRow(cv::localizedString("Loan-Extra-Date"), m_dateField);
    layout->addLayout(form);

    auto pair = [this, layout](const char *first, const char *second) {
        auto *row = new QHBoxLayout;
        auto *group = new QButtonGroup(this);
        auto *a = new QRadioButton(cv::localizedString(first), this);
        auto *b = new QRadioButton(cv::localizedString(second), this);
        a->setChecked(true);
        group->addButton(a);
        group->addButton(b);
        row->addWidget(a);
        row->addWidget(b);
        row->addStretch(1);
        layout->addLayout(row);
        return b;
    };
    m_bonusTarget = pair("Loan-Extra-Regular", "Loan-Extra-Bonus");
    m_shortenChoice = pair("Loan-Extra-Lower", "Loan-Extra-Shorten");
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(cv::localizedString("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(cv::localizedString("Cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(0); });
}

std::optional<QDate> ExtraPaymentDialog::date() const
{
    return cv::parseProgramDate(m_dateField->text());
}

double ExtraPaymentDialog::amount() const
{
    double value = 0;
    if (m_formatter) m_formatter->getObjectValue(value, m_amountField->text());
    return value;
}

bool ExtraPaymentDialog::targetIsBonus() const
{
    return m_bonusTarget->isChecked();
}
bool ExtraPaymentDialog::isCountReduction() const
{
    return m_shortenChoice->isChecked();
}

void ExtraPaymentDialog::performInputDate(const QDate &date)
{
    m_dateField->setText(cv::formatProgramDate(date));
}

void ExtraPaymentDialog::performInputValue(const QString &value)
{
    double number = 0;
    if (m_formatter && m_formatter->getObjectValue(number, value))
        m_amountField->setText(m_formatter->stringForObjectValue(number));
}

} // namespace cv
