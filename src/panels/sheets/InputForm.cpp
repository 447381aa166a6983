#include "panels/sheets/InputForm.h"

#include "panels/sheets/InputFormCell.h"

#include <QGridLayout>
#include <QLabel>

namespace cv {

InputForm::InputForm(QGridLayout *grid, int firstRow, QWidget *owner)
    : QObject(owner), m_grid(grid), m_firstRow(firstRow), m_owner(owner)
{
}

InputFormCell *InputForm::addCell(const QString &label, int tag, const QString &placeholder)
{
    auto *cell = new InputFormCell(tag, placeholder, m_owner);
    const int index = count();
    m_grid->addWidget(new QLabel(label, m_owner), m_firstRow + index, 0);
    m_grid->addWidget(cell, m_firstRow + index, 1);
    m_cells.push_back(cell);
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

} // namespace cv
