#include "panels/sheets/FormAccountSheet.h"

#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "platform/DateFormat.h"

#include <algorithm>

namespace cv {

FormAccountSheet::FormAccountSheet(Book *document, NodePtr account, QWidget *parent, int firstRow)
    : AccountSheet(document, std::move(account), parent), m_form(new InputForm(formGrid(), firstRow, this))
{
    connect(m_form, &InputForm::cellTextChanged, this, [this] { commonChanged(m_form); });
}

void FormAccountSheet::setCellRoles(int dateCell, std::vector<int> valueCells, std::vector<int> amountCells)
{
    m_dateCell = dateCell;
    m_valueCells = std::move(valueCells);
    m_amountCells = std::move(amountCells);
    if (InputFormCell *date = m_form->cellAtIndex(dateCell))
        date->setPlaceholderText(formatProgramDate(QDate(2000, 1, 31)));
    for (int cell : m_valueCells)
        if (InputFormCell *field = m_form->cellAtIndex(cell)) field->setAlignment(Qt::AlignRight);
    for (QLineEdit *field : amountFields()) GetCurrencyFieldEditor()->attach(field);
}

std::vector<QLineEdit *> FormAccountSheet::amountFields() const
{
    std::vector<QLineEdit *> fields;
    for (int cell : m_amountCells)
        if (InputFormCell *field = m_form->cellAtIndex(cell)) fields.push_back(field);
    return fields;
}

bool FormAccountSheet::amountsRead() const
{
    const std::vector<QLineEdit *> fields = amountFields();
    return std::all_of(fields.begin(), fields.end(), [this](const QLineEdit *f) { return readAmount(f).has_value(); });
}

double FormAccountSheet::amountOf(int cell) const
{
    return readAmount(m_form->cellAtIndex(cell)).value_or(0);
}

std::optional<QDate> FormAccountSheet::getDate() const
{
    return readDate(m_form->stringValue(m_dateCell));
}

void FormAccountSheet::setDate(const QDate &date)
{
    setStringCell(m_dateCell, formatProgramDate(date));
}

void FormAccountSheet::setStringCell(int cell, const QString &value)
{
    if (InputFormCell *field = m_form->cellAtIndex(cell); field && !value.isNull()) field->setText(value);
}

void FormAccountSheet::performInputDate(const QDate &date)
{
    setDate(date);
    commonChanged(m_form);
}

void FormAccountSheet::performInputValue(const QString &value)
{
    const int cell = m_form->selectedIndex();
    if (std::find(m_valueCells.begin(), m_valueCells.end(), cell) == m_valueCells.end()) return;
    QLineEdit *field = m_form->cellAtIndex(cell);
    field->setText(value);
    const bool isAmount = std::find(m_amountCells.begin(), m_amountCells.end(), cell) != m_amountCells.end();
    if (isAmount)
        if (const std::optional<double> amount = readAmount(field)) field->setText(amountString(*amount));
    commonChanged(m_form);
}

} // namespace cv
