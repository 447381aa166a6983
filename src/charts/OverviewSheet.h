#pragma once
// The financial overview sheet: read-only figures of the book on a chosen
// date, by years or by months. A balance sheet by account kind with the net
// worth and its change against two earlier dates; income, expense and the
// cash flow through cash, bank and investment cash over three periods; the
// five largest expense categories at a chosen depth and the five most over
// budget. Nothing is written to the book.

#include "model/Node.h"

#include <QDate>
#include <QDialog>
#include <QPointer>

#include <array>

class QRadioButton;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace cv {

class Book;

class DateField;

class OverviewSheet : public QDialog {
    Q_OBJECT
public:
    enum Table { BalanceSheet, ProfitLoss, CashFlow, TopExpenses, OverBudget };
    static constexpr int kRanked = 5;

    struct Ranked {
        QString name; // empty: an empty slot
        double actual = 0;
        double budget = 0;
    };
    struct Period {
        QDate from;
        QDate to;
    };

    explicit OverviewSheet(Book *document, QWidget *parent = nullptr);

    bool monthMode() const;
    // The two earlier dates the net worth is compared with.
    const std::array<QDate, 2> &comparisonDates() const { return m_cmpDate; }
    // Period 0 holds the date; 1 and 2 are the two before.
    const std::array<Period, 3> &periods() const { return m_period; }

    void updateOverview();
    void updateStep();
    // The text of a cell, as the table shows it.
    QString objectValue(Table table, int row, int column) const;
    // The names of the category's ancestors below the root and its own, joined by "/".
    static QString getFullCatName(const Node &category);

    cv::DateField *dateField() const { return m_dateField; }
    QRadioButton *yearOption() const { return m_yearOption; }
    QRadioButton *monthOption() const { return m_monthOption; }
    QSpinBox *levelStepper() const { return m_levelStepper; }
    QTableWidget *tableView(Table table) const { return m_tables[size_t(table)]; }
    QTabWidget *tabView() const { return m_tabView; }
    QPushButton *okButton() const { return m_okButton; }

private:
    // OverviewSheet_Calc.cpp
    void calcOverview();
    void calcAccountValue(const NodePtr &node, const QDate &date);
    void getCashFlowValues(const NodePtr &node);
    void countAccount(const NodePtr &account, bool investmentCash);
    int periodOf(const QDate &date) const;
    void calcDiag();
    void calcDiagSub(const NodePtr &node, const QDate &start, bool year, int depth);
    static void place(std::array<Ranked, kRanked> &list, const Ranked &entry, double key,
                      double (*keyOf)(const Ranked &));

    struct Cell {
        Cell(QString text = {}, bool negative = false) : text(std::move(text)), negative(negative) {}
        QString text;
        bool negative; // shown in the viewer's colour of negative amounts
    };
    Cell cell(Table table, int row, int column) const;
    void updateColumns();
    void reloadTables(bool all);
    Cell currencyString(double value) const;

    QPointer<Book> m_doc;

    std::array<double, 8> m_asset{};
    std::array<double, 8> m_debt{};
    std::array<double, 8> m_cmp{};
    std::array<double, 4> m_income{};
    std::array<double, 4> m_expense{};
    std::array<double, 4> m_cashIn{};
    std::array<double, 4> m_cashOut{};
    int m_level = 1;
    std::array<Ranked, kRanked> m_topExp;
    std::array<Ranked, kRanked> m_topOvb;
    std::array<QDate, 2> m_cmpDate;
    std::array<Period, 3> m_period;

    QTabWidget *m_tabView;
    cv::DateField *m_dateField;
    QRadioButton *m_yearOption;
    QRadioButton *m_monthOption;
    QSpinBox *m_levelStepper;
    std::array<QTableWidget *, 5> m_tables{};
    QPushButton *m_okButton;
};

} // namespace cv
