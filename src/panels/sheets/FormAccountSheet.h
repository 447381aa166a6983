#pragma once
// An account sheet whose details are a form of labelled cells (the bank and
// credit-card sheets): one cell holds the start date, some hold amounts of
// the selected currency, and the calculator's value goes into the selected
// cell when it is one that takes values.

#include "panels/sheets/AccountSheet.h"

#include <vector>

namespace cv {

class InputForm;

class FormAccountSheet : public AccountSheet {
    Q_OBJECT
public:
    InputForm *form() const { return m_form; }

    std::optional<QDate> getDate() const;
    void setDate(const QDate &date);
    // Ignores a null text.
    void setStringCell(int cell, const QString &text);
    Q_INVOKABLE void performInputDate(const QDate &date) override;
    Q_INVOKABLE void performInputValue(const QString &value);

protected:
    // The form's cells start at `firstRow` of the sheet's grid.
    FormAccountSheet(Book *document, NodePtr account, QWidget *parent, int firstRow);
    // After the cells are added: the date cell, the cells the calculator
    // fills, and those of them that are amounts (typed as amounts).
    void setCellRoles(int dateCell, std::vector<int> valueCells, std::vector<int> amountCells);
    std::vector<QLineEdit *> amountFields() const override;
    // Every amount cell reads.
    bool amountsRead() const;
    double amountOf(int cell) const;

private:
    InputForm *m_form; // child
    int m_dateCell = -1;
    std::vector<int> m_valueCells;
    std::vector<int> m_amountCells;
};

} // namespace cv
