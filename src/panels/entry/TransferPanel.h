#pragma once
// The transfers between the user's accounts over a period: of one transfer
// category (asset to asset, asset to debt, debt to asset, debt to debt) or of
// all of them. The category follows from the two accounts at the commit.
//
// Columns: 0 date, 1 amount (source currency), 2 grouping, 3 memo, 4 source,
// 5 destination, 6 converted (destination currency, only where the two
// accounts need an exchange).

#include "panels/entry/EntryListPanel.h"

class QLabel;

namespace cv {

class TransferPanel : public EntryListPanel {
    Q_OBJECT

public:
    enum Column {
        DateColumn = 0,
        AmountColumn,
        GroupColumn,
        MemoColumn,
        SourceColumn,
        DestinationColumn,
        ConvertedColumn
    };

    TransferPanel(Book *doc, NodePtr node, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~TransferPanel() override;

    bool isTransferTarget() const override { return true; }
    // The account chooser's pick for the source or the destination.
    void endAccountPopup(const cv::ChooserItem &result) override;

    // Table hooks
    int firstUnfinishedColumnForRow(int row) const override;
    int verifyEditableColumn(int column, int row, cv::Movement movement) override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    bool columnAllowsNegativeInput(int cid, int row) const override { return false; }

protected:
    // Without a node: the search results build their own table.
    TransferPanel(Book *doc, QWidget *parent);

    RowPtr newRow() override;
    void readRows() override;
    void commitRows() override;
    NodePtr findItem() const override;
    bool isNumericColumnID(int cid) const override { return cid == AmountColumn || cid == ConvertedColumn; }
    std::optional<Field> amountFieldForColumn(int cid) const override;
    std::optional<Field> accountFieldForColumn(int cid, const Entry &row) const override;
    cv::CellValue uniqueContentForItem(const Entry &row, int cid, const NodePtr &account) const override;
    void uniqueSetObjectValue(const QString &text, const EntryPtr &row, int cid, int rowIndex) override;
    void editSpecialPopupForColumn(int column, int row) override;
    // Whether the row's accounts are both set and hold different currencies.
    bool needsExchange(const Entry &row) const;
    int transferColumnSearch(int column, int row, cv::Movement movement) const;

private:
    void buildTable();

    QLabel *m_titleField = nullptr; // child
};

} // namespace cv
