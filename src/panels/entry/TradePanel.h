#pragma once
// The trades of one investment account, or of one holding, over a period.
// One row is one trade; each trade kind uses its own cells (the mask of
// Trade::validFieldsForKind), enforced while typing and again when the
// panel commits. A security of another currency than the account's can be
// neither picked nor edited. Rows are written through the document's trade
// application when the panel is left.
//
// Columns: 0 date, 1 security, 2 kind, 3 count, 4 unit price, 5 total (on a
// transfer of units the destination account), 6 commission, 7 memo, 8 units
// held on the trade's date (read-only).
//
// Files: TradePanel.cpp (rows, display, typing, choosers),
// TradePanel_Commands.cpp (context menu, trade dialog, filter,
// revert, calculator, closing and the commit).

#include "panels/entry/RowPanel.h"

#include "controls/ChooserItem.h"
#include "controls/Tags.h"
#include "model/Trade.h"
#include "panels/dialogs/TradeFilterDialog.h"

#include <QPointer>

#include <map>

class QLabel;

namespace cv {

class AccountChooserModel;
class SecurityChooserModel;
class ChooserModel;
class TradeOperationChooserModel;

class TradePanel : public RowPanel {
    Q_OBJECT

public:
    enum Column {
        DateColumn = 0,
        SecurityColumn,
        KindColumn,
        CountColumn,
        UnitPriceColumn,
        TotalColumn,
        CommissionColumn,
        MemoColumn,
        HoldingColumn,
    };
    // The context menu.
    enum MenuTag { AddTag = cv::tag::TradePanelMenu.first, EditTag, DeleteTag, UndeleteTag, RevertTag, FilterTag };
    static_assert(FilterTag == cv::tag::TradePanelMenu.last);

    // `item` is an investment account or a holding; either date may be invalid (open).
    TradePanel(Book *doc, NodePtr item, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~TradePanel() override;

    // The fields of a trade row a change names.
    enum class Field { Date, Kind, Security, Transfer, Count, UnitPrice, Commission, Memo };

    static TradePtr trade(const RowPtr &row) { return row.trade(); }
    TradePtr tradeForRow(int row) const { return trade(rowAt(row)); }
    // The stored row as it was before its first change; null when unchanged or new.
    TradePtr copyOf(const TradePtr &row) const;
    // The kinds listed (bit k: kind k); 0 lists every kind.
    quint32 flags() const { return m_flags; }
    QLabel *titleField() const { return m_titleField; }
    // Whether the trades record their unit price as the security's price.
    void setAutoPriceUpdate(bool on) { m_autoPriceUpdate = on; }
    // The investment account the rows belong to, and the holding's security (-1: any).
    int accountIdent() const;
    int subjectSecurity() const;
    bool rowIsEmptyAndNew(int row) const;
    // A new row; without a first day (a period open at its start) it is dated today.
    void addItem(EditingTable *table = nullptr) override;
    // Selects and edits the row of the stored trade with the ident; false when none shows it.
    bool selectTrade(int ident);

    // ---- context menu (TradePanel_Commands.cpp)
    void menuSelected(int tag);
    bool isMenuTagEnabled(int tag) const;
    std::optional<bool> validateMenuItem(const EditingTable *table, const QAction *action) const override;
    // The selected row in the trade dialog; its values come back on OK.
    void editSelected();
    // The selected changed rows get their stored values back.
    void revertSelected();
    // The filter dialog; on OK pending rows are committed and the rows read again.
    void runFilter();
    TradeFilterDialog *filterDialog() const { return m_filterDialog; }
    void toggleRowDeletedFlag(int tag) override;
    // Ctrl+Return: incomplete rows are marked deleted, then the page closes the panel.
    void closeMaximizedPanel() override;
    void performInputValue(const QString &text) override;
    void performInputDate(const QDate &date) override;

    // ---- choosers
    void endSecurityPopup(const cv::ChooserItem &item);
    void endOperationPopup(const cv::ChooserItem &item);
    void endTransferAccountPopup(const cv::ChooserItem &item);
    // The rows' currency rule: a security priced in another currency than
    // the account blocks the row's other cells (with the warning).
    bool currencyValidForRow(int row, int cid) const;

    // ---- table hooks
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    int firstUnfinishedColumnForRow(int row) const override;
    int verifyEditableColumn(int column, int row, cv::Movement movement) override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    bool shouldEditColumn(const EditingTable *table, int cid, int row) const override;
    void prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const override;
    void editColumn(int column, int row, PopupFieldEditor *editor) override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    bool columnAllowsNegativeInput(int cid, int row) const override;
    bool textInputOn(cv::InputSourceMoment moment, int cid, int column) const override;

Q_SIGNALS:
    // Rows were written: the main window empties its search results.
    void searchListShouldClear();

protected:
    RowPtr newRow() override;
    void setChanged(const RowPtr &row) override;
    void readRows() override;
    void commitRows() override;
    NodePtr findItem() const override;
    bool keepRowsOfFailedCommit() override;
    void updateButtons() override;
    void settleAfterCommit() override;
    bool rowGoesBefore(const RowPtr &a, const RowPtr &b) const override;
    QVariant fieldValue(const RowPtr &row, int field) const override;
    void setFieldValue(const RowPtr &row, int field, const QVariant &value) override;

private:
    void buildTable();
    void buildContextMenu();
    QString titleText() const;
    // Sets a field of the row, marking it changed when the value differs.
    void setField(const TradePtr &row, Field field, const QVariant &value);
    void endPopupWithResult(const cv::ChooserItem &item, Field field);
    void reeditPopupCell();
    void runPopup(int column, int row, cv::ChooserModel *source, const cv::ChooserItem &current,
                  void (TradePanel::*end)(const cv::ChooserItem &));
    void runSecurityPopup(int column, int row);
    void runOperationPopup(int column, int row);
    void runTransferAccountPopup(int column, int row);
    // 0 stock, 1 investment trust, 2 bond; a row without a security counts as a stock.
    cv::SecurityKind securityKindOfRow(const Trade &row) const;
    bool isStockRow(const Trade &row) const { return securityKindOfRow(row) == cv::SecurityKind::Stock; }
    int accountCurrency(const Trade &row) const;
    int fractionOfCurrency(int currency) const;
    // Typed text as a number of `digits` places, read as amounts are (the
    // account currency's prefix allowed); none when it is no number.
    std::optional<double> typedNumber(const QString &text, const Trade &row, int digits) const;
    double roundedCount(double count, const Trade &row) const;
    cv::CellValue amountCell(const QString &text) const;
    QString totalText(const Trade &row) const;
    QString holdingText(const Trade &row) const;

    QLabel *m_titleField;                                              // the subject; child
    quint32 m_flags = 0;                                               // kinds listed, 0 = all
    bool m_autoPriceUpdate = true;                                     // trades record price points
    std::map<TradePtr, TradePtr> m_oldValues;                          // row (by identity) -> its stored state
    QPointer<TradeFilterDialog> m_filterDialog;                        // child, made on first use
    mutable int m_lastEditedCid = -1;                                  // the calculator's target column
    std::unique_ptr<cv::AccountChooserModel> m_accountChooser;         // destination chooser
    std::unique_ptr<cv::SecurityChooserModel> m_securityChooser;       // security chooser
    std::unique_ptr<cv::TradeOperationChooserModel> m_operationSource; // kind chooser
};

} // namespace cv
