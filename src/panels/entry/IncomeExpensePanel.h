#pragma once
// The income or expense entries of one category, or of every category below
// a category folder, over a period, with their total in the document's
// default currency (each entry converted at its own date). Offers repeated
// entry through the repeated entry dialog.
//
// Columns: 0 date, 1 amount, 2 grouping, 3 memo, 4 category, 5 account.

#include "panels/entry/EntryListPanel.h"

class QLabel;

namespace cv {

class CategoryChooserModel;

class IncomeExpensePanel : public EntryListPanel {
    Q_OBJECT

public:
    enum Column { DateColumn = 0, AmountColumn, GroupColumn, MemoColumn, CategoryColumn, AccountColumn };

    IncomeExpensePanel(Book *doc, NodePtr node, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~IncomeExpensePanel() override;

    bool isExpense() const { return m_isExpense; }
    QLabel *totalField() const { return m_totalField; }
    QString totalText() const;
    int lastAccount() const { return m_lastAccount; }

    void updateTotal() override;

    // RepeatedEntryTarget
    bool isTransferTarget() const override { return false; }

    // The account chooser's pick: the amount is rounded to the new account's currency.
    void endAccountPopup(const cv::ChooserItem &result) override;

    // Table hooks
    int firstUnfinishedColumnForRow(int row) const override;

protected:
    RowPtr newRow() override;
    void readRows() override;
    void commitRows() override;
    NodePtr findItem() const override;
    cv::CellValue uniqueContentForItem(const Entry &row, int cid, const NodePtr &account) const override;
    bool isColumnEditable(int cid, int row) const override;
    void editSpecialPopupForColumn(int column, int row) override;

private:
    void buildTable();
    void setDefaults();

    QLabel *m_titleField; // the node's name; child
    QLabel *m_totalField; // the total of the rows; child
    bool m_isExpense = false;
    bool m_defaultsSet = false;
};

} // namespace cv
