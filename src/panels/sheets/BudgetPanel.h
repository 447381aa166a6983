#pragma once
// The sheet that sets one category's budget for the twelve months of a
// fiscal year at once: a row per month with its budget and actual amount;
// a value typed in the field is applied to every selected month alone (the
// month after keeps its budget). The panel works on a copy of the budget
// and puts it in place only on OK (end code 1); Cancel (0) leaves the
// category as it was.
//
//   fiscal year from April, opened on 15 Feb 2008: rows April 2007 to March 2008

#include "controls/TrackedDialog.h"
#include "model/Budget.h"
#include "model/Node.h"

#include <QDate>

#include <functional>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace cv {

class Book;

class BudgetPanel : public TrackedDialog {
    Q_OBJECT
public:
    enum Column { MonthColumn = 0, BudgetColumn = 1, ActualColumn = 2 };
    static constexpr int kRows = 12;

    BudgetPanel(Book *document, const QDate &date, NodePtr item, QWidget *parent = nullptr);
    ~BudgetPanel() override;

    // Opens the panel window-modal on `parent`; `done` runs with the end
    // code before the panel is freed.
    static BudgetPanel *openBudgetPanel(Book *document, const QDate &date, const NodePtr &item, QWidget *parent,
                                        std::function<void(int)> done);

    // The calendar year the shown fiscal year begins in, and its first month (1-12).
    int year() const { return m_year; }
    int startMonth() const { return m_startMonth; }
    void setYear(int year);
    // The year and month (1-12) of a row, and its date: the fiscal first day of that month.
    std::pair<int, int> monthOfRow(int row) const;
    QDate dateOfRow(int row) const;
    // The edited copy.
    const BudgetPtr &budget() const { return m_budget; }

    QTableWidget *tableView() const { return m_tableView; }
    QLineEdit *budgetTextField() const { return m_budgetTextField; }
    QPushButton *applyButton() const { return m_applyButton; }
    QSpinBox *yearStepper() const { return m_yearStepper; }

    // The field's value (empty: 0) for every selected month.
    void applyPushed();
    void applyValue(double value);
    // The calculator's result, applied like the field's.
    Q_INVOKABLE void performInputValue(const QString &value);
    void okPushed();
    void cancelPushed();
    void reject() override { cancelPushed(); }

private:
    void reloadTable();
    void selectionChanged();
    QString money(double value) const;

    Book *m_document; // not owned; outlives the panel
    NodePtr m_actual; // the category
    int m_year = 0;
    int m_startMonth = 1;
    BudgetPtr m_budget;      // the edited copy
    QLabel *m_categoryField; // children
    QSpinBox *m_yearStepper;
    QTableWidget *m_tableView;
    QLineEdit *m_budgetTextField;
    QPushButton *m_applyButton;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace cv
