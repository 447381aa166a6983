#pragma once
// The book of one cash, bank, other asset, card, loan or other debt account
// over a period: every entry that touches the account in date order, with in
// and out columns, the balance at the end of each day and the balance carried
// into the period. A row's kind is picked in one chooser (income and expense
// categories, and the transfer row, which opens the transfer popup).
//
// The rows are laid out from the store's counts of the account's entries per
// week and read a week at a time when shown (AccountBookPanel_Pages.cpp);
// a running balance follows the dates, not the rows' order: typed rows count
// at their day as soon as their date is known.
//
// Columns: 0 date, 1 kind, 2 category (read-only), 3 in, 4 out, 5 balance,
// 6 memo.

#include "panels/entry/EntryPanel.h"

#include <map>

class QLabel;

namespace cv {

class TransferFieldDialog;

class CategoryChooserModel;

class AccountBookPanel : public EntryPanel {
    Q_OBJECT

public:
    enum Column { DateColumn = 0, KindColumn, CategoryColumn, InColumn, OutColumn, BalanceColumn, MemoColumn };

    // Reads the account's entries of the period and offers one new row.
    AccountBookPanel(Book *doc, NodePtr account, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~AccountBookPanel() override;

    int accountIdent() const;
    QString carriedBalanceText() const;
    QLabel *totalField() const { return m_totalField; }
    TransferFieldDialog *transferFieldDialog();

    // The kind chooser's pick (ident 1: the transfer row opens the popup).
    void endKindPopup(const cv::ChooserItem &item);
    // The transfer popup's OK: the row becomes this transfer, in one undo step.
    void finishedEditing(const EntryPtr &row, int account, int destination, double amount, double converted);
    void toggleRowDeletedFlag(int tag) override;
    // The title of the delete item (AddOrDeleteTag) for the selected row: "Delete" or "Undelete".
    QString deleteItemTitle() const;

    // Table hooks
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    int verifyEditableColumn(int column, int row, cv::Movement movement) override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    bool shouldEditColumn(const EditingTable *table, int cid, int row) const override;
    void prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    std::optional<bool> validateMenuItem(const EditingTable *table, const QAction *action) const override;
    // The context menu's one item (AddOrDeleteTag): the selected rows are deleted, or
    // restored when the first of them is deleted.
    void panelMenuSelected(int tag) override;

Q_SIGNALS:
    // Rows were written: the main window empties its search results.
    void searchListShouldClear();

protected:
    std::vector<PanelMenuEntry> panelMenuEntries() const override;
    void rowsChanged() override
    {
        m_balances.clear();
        m_pendingBuilt = false;
        m_dayBalances.clear();
    }
    void readRowPage(int row) const override;
    void readAllRows() override;
    void rowRemovedAt(int row) override;
    void sortItems() override;
    void setRowFlags(const RowPtr &row, int flags) override
    {
        EntryPanel::setRowFlags(row, flags);
        rowsChanged();
    }
    void setRowDate(const RowPtr &row, const QDate &date) override
    {
        EntryPanel::setRowDate(row, date);
        rowsChanged();
    }
    void setFieldValue(const RowPtr &row, int field, const QVariant &value) override
    {
        EntryPanel::setFieldValue(row, field, value);
        rowsChanged();
    }
    RowPtr newRow() override;
    void readRows() override;
    void commitRows() override;
    NodePtr findItem() const override;
    void updateButtons() override;
    bool isNumericColumnID(int cid) const override { return cid >= InColumn && cid <= BalanceColumn; }
    int memoColumnId() const override { return MemoColumn; }
    std::optional<Field> accountFieldForColumn(int cid, const Entry &row) const override;
    std::optional<int> typedAmountCurrency(int cid, const Entry &) const override
    {
        if (cid != InColumn && cid != OutColumn) return std::nullopt;
        return currencyIdent();
    }
    bool isColumnEditable(int cid, int row) const override;
    void editSpecialPopupForColumn(int column, int row) override;

private:
    void buildTable();
    void runKindPopup(int column, int row);
    bool isLoanAccount() const;
    int currencyIdent() const;
    // The amount of a transfer that arrived here, in this account's currency.
    double arrivedAmount(const Entry &row) const;
    bool isTransferIn(const Entry &row) const;
    QString kindText(const Entry &row) const;
    // What the row adds to this account's balance, in its currency.
    double balanceChange(const Entry &row) const;
    cv::CellValue balanceValue(int row) const;

    // ---- paging (AccountBookPanel_Pages.cpp)
    // One week of the period, Monday to Sunday, cut to the period at its
    // ends; its stored rows stand together in the list from `offset`. A page
    // is read whole or not at all.
    struct BookPage {
        QDate first;
        QDate last;
        int offset;
        int count;
    };
    // Lays the period out from the counts; false when they do not read.
    bool layOutPages();
    void readEveryRow();
    size_t pageOfRow(int row) const;
    std::vector<RowPtr> readPage(const BookPage &page) const;
    // The running balance after the row in date order, when the rows are laid out in pages.
    double pagedBalance(int row) const;
    double rowDelta(const RowPtr &row) const;

    std::vector<BookPage> m_pages;                        // empty: every row of the period is read
    int m_storedRows = 0;                                 // the pages' rows; new rows follow them
    bool m_sorted = false;                                // the list was sorted: pages read later are sorted too
    bool m_pageMissed = false;                            // a page read other rows than counted: all are read instead
    std::vector<std::pair<size_t, RowPtr>> m_removedRows; // stored rows taken out of the list, by page
    mutable double m_carried = 0;                         // the balance carried into the period
    mutable bool m_pendingBuilt = false;                  // the two below are current
    mutable std::vector<int> m_touchedRows;               // rows changed, new or deleted
    mutable std::vector<std::pair<QDate, double>> m_pendingByDay; // what edits changed through each day, summed
    mutable std::map<QDate, std::vector<std::pair<int, double>>> m_dayBalances; // day -> (row, balance after it)

    QLabel *m_accountField;                                 // the account's name; child
    QLabel *m_dateTotalTitleField;                          // "Report-Carry"; child
    QLabel *m_totalField;                                   // the carried balance; child
    TransferFieldDialog *m_transferFieldDialog = nullptr;   // child, made on first use
    std::unique_ptr<cv::CategoryChooserModel> m_kindSource; // the kind chooser's list
    mutable std::vector<double> m_balances;                 // running balance after each row; empty: to be summed again
};

} // namespace cv
