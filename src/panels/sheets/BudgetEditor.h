#pragma once
// The sheet in which the monthly budgets of a category and of every
// category below it are typed, for a run of months from a start month. The
// table is one section per month listing the category and its descendants
// (pre-order, indented by depth):
//
//   start November, 3 months, Food with Lunch and Dinner:
//   11 Food | 11   Lunch | 11   Dinner | 12 Food | ... | 1 Food | ...
//
// Month numbers count from the start year: 13 is January of the next year.
// Typed values are pending until OK, which sets each changed month alone
// (the month after keeps its budget) and ends with 1; OK without changes
// and Cancel end with 0. The rows are categories, never records: nothing is
// added or deleted here.

#include "panels/entry/RowPanel.h"

#include <functional>
#include <map>

class QDialog;
class QLabel;

namespace cv {

class BudgetEditor : public RowPanel {
    Q_OBJECT
public:
    BudgetEditor(Book *doc, NodePtr item, const QDate &date, int months, QWidget *parent = nullptr);
    ~BudgetEditor() override;

    // Opens the editor window-modal on `parent` in a dialog of its own;
    // `done` runs with the end code before the dialog is freed.
    static QDialog *openBudgetEditor(Book *doc, const NodePtr &item, const QDate &date, int months, QWidget *parent,
                                     std::function<void(int)> done);

    int months() const { return m_months; }
    // Categories in the table, the subject first.
    int rowsPerSection() const { return rowCount(); }
    // The category and month number (start month + section) of a table row.
    Node *categoryOfRow(int row) const;
    int monthOfRow(int row) const;
    // The budget shown for the category in the month number: the pending one
    // or the category's own.
    double budgetForItem(const Node &category, int month) const;
    std::optional<double> changeForItem(const Node &category, int month) const;
    void change(Node &category, int month, double value);
    bool hasPendingChanges() const { return !m_changedItems.empty(); }
    // The row's background: months alternate white and light blue.
    QColor backgroundColorForRow(int row) const;

    void okPushed();
    void cancelPushed();

    // TableClient
    int numberOfRows(const EditingTable *table) const override;
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    int verifyEditableColumn(int column, int row, cv::Movement movement) override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    bool shouldEditColumn(const EditingTable *table, int cid, int row) const override;
    void prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const override;
    bool handleEscape() override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    bool columnAllowsNegativeInput(int, int) const override { return false; }
    std::optional<QString> proposedString(PopupFieldEditor *editor, const QString &oldText,
                                          cv::TextSelection oldSelection, const QString &newText, int currency,
                                          int fractionLength) override;
    void addItem(EditingTable *) override {}
    bool answersDelete() const override { return false; }
    void deleteRows(EditingTable *) override {}
    std::optional<bool> canDeleteRow(int) const override { return false; }

Q_SIGNALS:
    // OK (1 when budgets were set) or Cancel (0).
    void ended(int code);

protected:
    RowPtr newRow() override { return nullptr; }
    void setChanged(const RowPtr &) override {}
    void readRows() override;
    bool rowGoesBefore(const RowPtr &, const RowPtr &) const override { return false; }
    // Budgets change through change(category, month, value), not through row fields.
    QVariant fieldValue(const RowPtr &, int) const override { return {}; }
    void setFieldValue(const RowPtr &, int, const QVariant &) override {}
    void updateButtons() override;

private:
    void applyChanges();
    // The category's own budget (not its descendants') in the month number.
    double storedBudget(const Node &category, int month) const;

    int m_months;                                                 // sections
    std::map<const Node *, std::map<int, double>> m_changedItems; // pending: category -> month -> value
    QLabel *m_titleField;                                         // child
    QLabel *m_dateField;                                          // child
    QPushButton *m_cancelButton;                                  // child
};

} // namespace cv
