#pragma once
// The layer of the panels whose rows are entries: the common columns (0 date,
// 1 amount, 2 grouping, 3 memo), typed dates and amounts, the grouping and
// account choosers, the last picks that new rows inherit, the copies of
// stored rows before their first change, read-only loan rows, and input from
// the calendar and the calculator. Other columns go to the hooks below.

#include "panels/entry/RowPanel.h"

#include "controls/ChooserItem.h"
#include "controls/Tags.h"
#include "model/Entry.h"

#include <map>

namespace cv {

class GroupChooserModel;
class AccountChooserModel;
class CategoryChooserModel;

class EntryPanel : public RowPanel {
    Q_OBJECT

public:
    // Menu tags the panels' context menus use.
    enum MenuTag {
        AddOrDeleteTag = cv::tag::EntryPanelMenu.first,
        SelectedRowsTag = AddOrDeleteTag + 2,
        RevertTag = AddOrDeleteTag + 4,
    };
    static bool isPanelMenuTag(int tag) { return cv::tag::EntryPanelMenu.contains(tag); }

    // The fields of an entry row a change names.
    enum class Field { Date, Kind, Category, Account, Destination, Group, Amount, Converted, Memo };

    EntryPanel(Book *doc, NodePtr item, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~EntryPanel() override;

    static EntryPtr entryOf(const RowPtr &row) { return row.entry(); }
    EntryPtr entryAt(int row) const { return entryOf(rowAt(row)); }
    // The stored row as it was before its first change; null when unchanged or new.
    EntryPtr copyOf(const EntryPtr &row) const;

    cv::EntryKind lastKind() const { return m_lastKind; }
    int lastCategory() const { return m_lastCategory; }
    int lastGroup() const { return m_lastGroup; }

    // Selects and edits the row of the stored entry with the ident (an entry
    // of another list, a search result for example); false when none shows it.
    bool selectEntry(int ident);
    // Rows that use a deleted grouping show none; not a change of the row.
    void updateGroup(const QList<int> &deletedGroups);
    // The calculator's entered value for every selected row.
    void performInputValue(const QString &text) override;

    // Whether the row touches a loan account (its cells are read-only).
    bool isLoan(int row) const;
    // A loan's entries belong to its schedule: read-only here, and never deleted.
    std::optional<bool> canDeleteRow(int row) const override { return row >= 0 && row < rowCount() && !isLoan(row); }
    // A typed date is kept only within 100 years of this year.
    static bool isAcceptableDate(const QDate &date, const QDate &today = QDate::currentDate());
    // A typed amount in the currency, its sign in the text: prefix and ","
    // dropped, rounded down on the decimal text; none when it is no amount.
    std::optional<double> amountForText(const QString &text, int currency) const;

    // One undoable change of an entry's field.
    void change(const RowPtr &row, Field field, const QVariant &value, const QString &title)
    {
        changeField(row, int(field), value, title);
    }

    // Table hooks
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    // Dates that do not read or lie outside the window, and amounts that are
    // no number or carry more digits than a stored amount keeps, are refused.
    QString refusalOf(const QString &text, int cid, int row) const override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    bool shouldEditColumn(const EditingTable *table, int cid, int row) const override;
    void prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const override;
    void editColumn(int column, int row, PopupFieldEditor *editor) override;
    void performInputDate(const QDate &date) override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    std::optional<bool> validateMenuItem(const EditingTable *table, const QAction *action) const override;
    // The input method is on in the memo, however the cell is reached, and
    // off everywhere else.
    bool textInputOn(cv::InputSourceMoment moment, int cid, int column) const override
    {
        Q_UNUSED(column);
        return moment != cv::InputSourceMoment::Wrap && cid == memoColumnId();
    }

protected:
    // ---- hooks of the subclasses
    virtual bool isNumericColumnID(int cid) const { return cid == 1; }
    virtual int memoColumnId() const { return 3; }
    virtual std::optional<Field> amountFieldForColumn(int cid) const;
    // The field whose account gives the column's currency; none: no amount column.
    virtual std::optional<Field> accountFieldForColumn(int cid, const Entry &row) const;
    // The currency an amount typed into the column is read in; none: no amount column.
    virtual std::optional<int> typedAmountCurrency(int cid, const Entry &row) const;
    virtual cv::CellValue uniqueContentForItem(const Entry &row, int cid, const NodePtr &account) const;
    virtual void uniqueSetObjectValue(const QString &text, const EntryPtr &row, int cid, int rowIndex);
    virtual void editSpecialPopupForColumn(int column, int row);
    virtual bool isColumnEditable(int cid, int row) const;
    virtual void updateTotal() {}
    // Whether a picked date is taken (the date column of every panel).
    virtual bool acceptsDate(const QDate &date) const { return isAcceptableDate(date); }

    // ---- choosers
    void runGroupPopup(int column, int row);
    void runAccountPopup(int column, int row, Field field, int exceptIdent);
    // The category chooser of the given list mode over a cell, showing `current`; the pick sets the category.
    void runCategoryPopup(int column, int row, int mode, int current);
    void endPopupWithResult(const cv::ChooserItem &result, int &lastField, Field field);
    // The account chooser's pick for the field in m_popupField.
    virtual void endAccountPopup(const cv::ChooserItem &result);
    // Edits the cell of the last chooser again.
    void reeditPopupCell();
    // "Change" and the localised field name, the title of an undo step.
    static QString changeTitle(Field field);
    cv::CellValue amountValue(double value, int currency) const;

    // ---- rows
    void setChanged(const RowPtr &row) override;
    bool rowGoesBefore(const RowPtr &a, const RowPtr &b) const override;
    QVariant fieldValue(const RowPtr &row, int field) const override;
    void setFieldValue(const RowPtr &row, int field, const QVariant &value) override;
    void settleAfterCommit() override;
    // Writes the entry (none: removes `old`) through the document as the kind
    // of the row decides: the one place a commit looks at the kind. The write
    // is kept for the commit's undo step.
    void writeEntry(const EntryPtr &entry, const EntryPtr &old);
    std::unique_ptr<QUndoCommand> takeCommitStep() override;
    bool keepRowsOfFailedCommit() override;
    // What the last commit wrote: the stored state before and after (none: absent).
    std::vector<std::pair<EntryPtr, EntryPtr>> m_written;
    // Groupings that were deleted while the panel was open leave the row.
    void dropDeletedGroupings(Entry &row) const;

    cv::EntryKind m_lastKind = cv::EntryKind::Income; // entry kind new rows take
    int m_lastCategory = 0;                           // category new rows take
    int m_lastAccount = 0;                            // account new rows take; preselected in the account chooser
    int m_lastGroup = 0;                              // grouping new rows take
    std::map<EntryPtr, EntryPtr> m_oldValues;         // row (by identity) -> its stored state
    std::optional<Field> m_popupField;                // the field the open account chooser sets

private:
    std::unique_ptr<cv::GroupChooserModel> m_groupSource;       // the grouping chooser's list
    std::unique_ptr<cv::AccountChooserModel> m_accountSource;   // the account chooser's list
    std::unique_ptr<cv::CategoryChooserModel> m_categorySource; // the category chooser's list
};

} // namespace cv
