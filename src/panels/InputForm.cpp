#include "panels/InputForm.h"

#include "panels/InputFormCell.h"

#include <QFormLayout>

InputForm::InputForm(QWidget *parent) : QWidget(parent), m_layout(new QFormLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
}

InputFormCell *InputForm::addCell(const QString &label, int tag, const QString &placeholder)
{
    auto *cell = new InputFormCell(tag, placeholder, this);
    const int index = count();
    m_cells.push_back(cell);
    m_layout->addRow(label, cell);
    connect(cell, &InputFormCell::selected, this, [this, index] { m_selected = index; });
    connect(cell, &QLineEdit::textEdited, this, [this, index] { Q_EMIT cellTextChanged(index); });
    return cell;
}

InputFormCell *InputForm::cellAtIndex(int index) const
{
    return index >= 0 && index < count() ? m_cells[size_t(index)] : nullptr;
}

QString InputForm::stringValue(int index) const
{
    const InputFormCell *cell = cellAtIndex(index);
    return cell ? cell->text() : QString();
}

void InputForm::selectCellAtRow(int index)
{
    InputFormCell *cell = cellAtIndex(index);
    if (!cell) return;
    m_selected = index;
    cell->setFocus();
    cell->selectAll();
}
