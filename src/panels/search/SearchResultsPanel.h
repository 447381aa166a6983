#pragma once
// The rows of the search page: the entries (income, expense, transfers) and
// trades a search found, mixed. Entries are corrected in place; a trade can
// only be re-dated here, and a click on any other of its cells asks for its
// account's trade panel. It never adds rows. It also answers the printed
// search results (eight texts per row) and the cells of the export.
//
// Columns: 0 date, 1 income, 2 grouping, 3 memo, 4 account, 5 destination,
// 6 expense, 7 category (a trade: operation and security).
//
// Trade rows are not entries: every hook of the entry layer that reads a row
// is answered here for trades first.

#include "panels/entry/TransferPanel.h"

#include "document/store/StoreRecords.h"
#include "model/Trade.h"

#include <map>

namespace cv {

class CategoryChooserModel;

class SearchResultsPanel : public TransferPanel {
    Q_OBJECT

public:
    enum Column {
        DateColumn = 0,
        IncomeColumn,
        GroupColumn,
        MemoColumn,
        AccountColumn,
        DestinationColumn,
        ExpenseColumn,
        CategoryColumn
    };
    static constexpr int kColumnCount = 8;
    // The print row level of the header.
    static constexpr int kHeaderLevel = -10;

    explicit SearchResultsPanel(Book *doc, QWidget *parent = nullptr);
    ~SearchResultsPanel() override;

    // A new result list; the rows of the last one are forgotten unwritten.
    void setResults(const std::vector<SearchRecord> &results);
    int count() const { return rowCount(); }
    bool isTrade(int row) const;
    TradePtr tradeAt(int row) const;
    // Takes the row out of the list (the document is not changed).
    void removeRow(int row);
    void setAutoPriceUpdate(bool on) { m_autoPriceUpdate = on; }

    // The cell of the column; a styled text for amounts.
    cv::CellValue valueOfColumnId(int cid, int row) const;
    // The cell as plain text, the sign of a negative amount kept.
    QString textOfColumnId(int cid, int row) const;
    // The eight printed texts of a row (level kHeaderLevel: the column titles).
    QStringList searchReportCallback(int level, int index) const;
    static QStringList reportHeaderTitles();

    // Groupings deleted meanwhile leave entries and trades alike.
    void groupsDeleted(const QList<int> &idents);

    bool isTransferTarget() const override { return false; }
    void endAccountPopup(const cv::ChooserItem &result) override;

    // Table hooks
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    void prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const override;
    bool handleClick(EditingTable *table, const QMouseEvent *event, int cid, int row) override;
    std::optional<bool> canDeleteRow(int row) const override;
    bool columnAllowsNegativeInput(int cid, int row) const override;
    int firstUnfinishedColumnForRow(int row) const override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    void performInputDate(const QDate &date) override;

Q_SIGNALS:
    // A trade cell other than its date was clicked: open the account's trade
    // panel over the results' period and select the trade. The values were
    // read before the signal, as showing another page commits the results.
    void openTradeRequested(int account, const QDate &from, const QDate &to, int tradeIdent);

protected:
    RowPtr newRow() override { return nullptr; }
    void readRows() override;
    void commitRows() override;
    void setChanged(const RowPtr &row) override;
    bool rowGoesBefore(const RowPtr &a, const RowPtr &b) const override;
    QVariant fieldValue(const RowPtr &row, int field) const override;
    void setFieldValue(const RowPtr &row, int field, const QVariant &value) override;
    void settleAfterCommit() override;
    // Trades are written beside the entries: no step could take back the commit whole.
    std::unique_ptr<QUndoCommand> takeCommitStep() override
    {
        m_written.clear();
        return nullptr;
    }
    std::optional<Field> amountFieldForColumn(int cid) const override;
    std::optional<Field> accountFieldForColumn(int cid, const Entry &row) const override;
    bool isColumnEditable(int cid, int row) const override;
    void editSpecialPopupForColumn(int column, int row) override;

private:
    static bool isTradeRow(const RowPtr &row) { return bool(row.trade()); }
    static TradePtr trade(const RowPtr &row) { return row.trade(); }
    bool touchesLoan(int row) const;
    QString accountName(int ident) const;
    cv::CellValue amountCell(double value, int account) const;
    cv::CellValue tradeValue(const Trade &t, int cid) const;
    cv::CellValue entryValue(const Entry &e, int cid) const;
    void buildTable();

    std::map<TradePtr, TradePtr> m_oldTrades; // trade -> its stored state
    bool m_autoPriceUpdate = true;
};

} // namespace cv
