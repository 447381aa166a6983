#pragma once
// The base of every table entry panel: the rows it edits, which of them are
// changed, new or deleted, undoable changes on the document's undo stack,
// adding and deleting rows, and one commit when the panel is left.
//
// The panel is a QWidget that the main window's temporary page hosts through
// cv::HostedPanel: commitPendingInput() before another page is shown or the
// book is saved, commitPanel() when the page is left, and
// closeMaximizedPanelRequested() (OK, Ctrl+Return) asking the page to close.
//
// Rows are the subclass's records (entries, trades, prices) held by identity
// as cv::PanelRow; each panel names the fields of its record in a Field enum,
// and undo steps carry the row, the field and both values. Callers reach the
// rows through rowCount(), rowAt(), indexOfRow(), pendingRows() and
// deletedItems(), and change the list through the named row operations, so
// that a store fetching rows on demand can stand behind them; only totals and
// balances walk items().
// A panel that reads its rows page by page leaves the unread ones null in the
// list; rowAt reads them, and loops over the list pass them by (an unread row
// is unchanged).

#include "controls/BackButton.h"
#include "controls/HostedPanel.h"
#include "controls/TableClient.h"
#include "model/Node.h"
#include "panels/entry/PanelRow.h"
#include "panels/entry/RowList.h"

#include <QDate>
#include <QPointer>
#include <QUndoCommand>
#include <QVariant>
#include <QWidget>

#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QUndoStack;
class QPushButton;

namespace cv {

class Book;
class EditingTable;

class RowPanel : public QWidget, public cv::TableClient, public cv::HostedPanel {
    Q_OBJECT

public:
    using RowPtr = cv::PanelRow;
    // A step of the book's undo stack that writes the book (not a panel's row
    // step): a panel open while one is undone or redone reads its rows again.
    class BookStep : public QUndoCommand {
    public:
        using QUndoCommand::QUndoCommand;
    };

    RowPanel(Book *doc, NodePtr item, const QDate &from, const QDate &to, QWidget *parent = nullptr);
    ~RowPanel() override;

    Book *doc() const { return m_doc; }
    const NodePtr &item() const { return m_item; }
    EditingTable *tableView() const { return m_tableView; }
    QPushButton *okButton() const { return m_okButton; }
    QDate firstDay() const { return m_from; }
    QDate lastDay() const { return m_to; }
    bool hasChanged() const { return m_hasChanged; }
    bool isEditOnly() const { return m_isEditOnly; }

    // ---- the temporary page's protocol
    // Ends the cell edit (storing its text) and commits; the panel stays open
    // with its rows read back, so a later commit writes nothing twice.
    void commitPendingInput() override;
    // The commit of leaving the page: commitPendingInput, didEnd, and the
    // panel's undo steps are cleared. Answers the return code.
    int commitPanel() override;
    // Rows written by the last commit; 1 or more: the viewer must refresh.
    int returnCode() const override { return m_rc; }
    // Commits when anything changed (apply: of the protocol).
    void apply();
    virtual void didEnd() {}
    // A panel without a cancel shows no cancel button.
    virtual bool hasCancel() const { return false; }
    // The item found again in the book read back; the rows are read again
    // unless input is pending, which stays (the store did not change under it).
    bool reloadItem() override;
    bool hasPendingInput() const override { return m_hasChanged; }

    // ---- rows
    void addItem(EditingTable *table = nullptr) override;
    void reloadAndEditLastRow();
    // addItem's new row at the end, not yet in the table; false when none may be added.
    bool appendNewRow();
    void editRow(int row);
    void selectItem(const RowPtr &row);
    void deleteRow();
    void toggleItemDeleted(const RowPtr &row);
    // ---- the rows' store
    int rowCount() const { return int(m_items.size()); }
    RowPtr rowAt(int row) const;
    int indexOfRow(const RowPtr &row) const;
    // The rows a commit writes: changed and new ones in table order, then the deleted ones.
    std::vector<RowPtr> pendingRows() const;
    // Rows deleted since the last commit that have left the table.
    const std::vector<RowPtr> &deletedItems() const { return m_deletedItems; }

    // ---- undoable changes
    // `field` is a value of the panel's Field enum.
    void changeField(const RowPtr &row, int field, const QVariant &value, const QString &title);
    void beginBatchChangeWithTitle(const QString &title);
    void endBatchChange();
    bool isBatchChanging() const { return m_batchChanging; }

    // ---- table hooks
    int numberOfRows(const EditingTable *table) const override;
    void closeMaximizedPanel() override { Q_EMIT closeMaximizedPanelRequested(); }
    // A picked date, from the table's calendar or the calendar window.
    void performInputDate(const QDate &date) override {}
    bool answersDelete() const override { return true; }
    void deleteRows(EditingTable *table) override;
    std::optional<bool> canDeleteRow(int row) const override { return row >= 0; }
    const cv::AmountText *amountText() const override;

    // ---- the table's context menu
    struct PanelMenuEntry {
        int tag;
        QString title;
    };
    // The menu as it stands for the selected rows, each item tagged and
    // enabled by validateMenuItem; null when the panel has none.
    QMenu *makeContextMenu(QWidget *parent);
    // A context menu item was chosen (its tag).
    virtual void panelMenuSelected(int tag) { Q_UNUSED(tag); }

Q_SIGNALS:
    void closeMaximizedPanelRequested();

protected:
    // Ctrl+Enter that no child took presses OK, as it does in a cell.
    void keyPressEvent(QKeyEvent *event) override;
    // Subclasses build the table's columns, then call finishSetup().
    void finishSetup();
    // One column of a panel's table: its id, the string key of its title, its width, its cells.
    struct ColumnDef {
        int cid;
        const char *title;
        int width;
        cv::CellKind kind;
    };
    // Adds the columns in order, finishes the setup, and gives the last column the rest of the width.
    void buildColumns(std::initializer_list<ColumnDef> columns);
    // Lays out the title (bold), the total (when given), the table and OK.
    void layoutPanel(QWidget *title, QWidget *totalTitle, QWidget *total);
    void setEditOnly(bool editOnly) { m_isEditOnly = editOnly; }
    // A panel whose filter changes the period reads its rows again after this.
    void setPeriod(const QDate &from, const QDate &to)
    {
        m_from = from;
        m_to = to;
    }
    void setItems(const std::vector<RowPtr> &rows) { setRowList(RowList(rows)); }
    void setRowList(RowList rows);
    // The rows of a store read; none when the read failed.
    template <typename List> void setItems(const std::optional<List> &found)
    {
        setItems(found ? std::vector<RowPtr>(found->begin(), found->end()) : std::vector<RowPtr>());
    }
    // Every row shown; for what is derived from all of them (totals, balances).
    const RowList &items() const { return m_items; }
    // The changes of the rows' order and membership besides adding and deleting.
    void appendRow(const RowPtr &row);
    void insertRows(int before, const std::vector<RowPtr> &rows);
    void replaceRow(int index, const RowPtr &row);
    void removeRowAt(int index);
    // Rows were added, removed, reordered or reloaded: what a panel derives
    // from all of them is stale.
    virtual void rowsChanged() {}
    void markChanged() { m_hasChanged = true; }
    void setReturnCode(int rc) { m_rc = rc; }
    void reloadTable();
    virtual void sortItems();
    // Flips the deleted flag of a row that stays in the table (undoable).
    void toggleDeletedInPlace(const RowPtr &row);
    // Ends the cell edit without storing, closes a chooser over the table and
    // takes the panel off it: the most derived panel's destructor calls it,
    // so no message reaches a panel that is partly destroyed.
    void detachFromTable();
    // Forgets everything pending after a commit and reads the rows again.
    virtual void settleAfterCommit();
    // The rows are read again because Edit > Undo or Redo moved the book under the panel.
    bool isFollowingBookStep() const { return m_rereading; }
    // What the last commit wrote as one step of the book's undo stack, which
    // takes the place of the panel's row steps; null: those steps are dropped
    // with the rest of the stack.
    virtual std::unique_ptr<QUndoCommand> takeCommitStep() { return nullptr; }
    // A commit taken back stored nothing: a panel whose rows can be written
    // again as they are readies them for that and answers true, and they stay
    // as typed; else they are read again from the store.
    virtual bool keepRowsOfFailedCommit() { return false; }

    // The items of the table's context menu; none: the table has no menu.
    virtual std::vector<PanelMenuEntry> panelMenuEntries() const { return {}; }

    // A fresh row for addItem (flag 2 and the date are set by the base).
    virtual RowPtr newRow() = 0;
    // Keeps a copy of a stored row before its first change, sets flag 1.
    virtual void setChanged(const RowPtr &row) = 0;
    // Fills the rows from the store.
    virtual void readRows() = 0;
    // The commit hook: writes the rows through the document, sets the return code.
    virtual void commitRows() {}
    // The book's node for the item, by its ident, after the book was read
    // again; none when the book does not hold it. Asked only for an item.
    virtual NodePtr findItem() const { return nullptr; }
    virtual void updateButtons() {}

    // Paging hooks: read the page that holds the unread row (filling it with
    // fillUnreadRow); read every unread row; a row leaves the list at index.
    virtual void readRowPage(int row) const { Q_UNUSED(row); }
    virtual void readAllRows() {}
    virtual void rowRemovedAt(int row) { Q_UNUSED(row); }
    void fillUnreadRow(int row, RowPtr value) const
    {
        if (!m_items[size_t(row)]) m_items.set(size_t(row), std::move(value));
    }

    // Row hooks.
    int rowFlags(const RowPtr &row) const { return row.flags(); }
    virtual void setRowFlags(const RowPtr &row, int flags) { row.setFlags(flags); }
    QDate rowDate(const RowPtr &row) const { return row.date(); }
    virtual void setRowDate(const RowPtr &row, const QDate &date) { row.setDate(date); }
    // The row order: true when a goes before b (new rows last, then by date).
    virtual bool rowGoesBefore(const RowPtr &a, const RowPtr &b) const = 0;
    // Stable: rows that tie keep the order they were read or typed in.
    void sortRows(std::vector<RowPtr> &rows) const;
    // A field of the panel's Field enum.
    virtual QVariant fieldValue(const RowPtr &row, int field) const = 0;
    virtual void setFieldValue(const RowPtr &row, int field, const QVariant &value) = 0;

    int m_popupRow = -1; // the cell whose chooser is open, edited again after it
    int m_popupColumn = -1;

private:
    friend class PanelStep;
    friend class PanelChangeCommand;
    friend class PanelToggleDeletedCommand;
    friend class PanelFlipFlagCommand;
    // The row steps since the panel opened or last committed give way to the commit's step.
    void replaceRowSteps();
    // The stack moved to the index: a book step undone or redone under the panel.
    void followBookSteps(const QUndoStack *stack, int index);
    // The book moved under the panel: its rows are read again, its own steps go dead.
    void rereadRows(int undoIndex);
    void applyChange(const RowPtr &row, int field, const QVariant &value);
    void flipDeleted(const RowPtr &row);
    void flipDeletedInPlace(const RowPtr &row);
    void insertSorted(const RowPtr &row);
    // A new row is listed (a new row is never unread).
    bool hasNewRow() const;

    Book *m_doc;                           // not owned; outlives the panel
    NodePtr m_item;                        // the account or category the panel shows
    QDate m_from;                          // first day of the period
    QDate m_to;                            // last day of the period
    mutable RowList m_items;               // rows shown, in table order; null: not read yet
    std::vector<RowPtr> m_deletedItems;    // rows deleted since the panel opened
    EditingTable *m_tableView;             // child
    BackButton *m_okButton;                // child; Enter is left to the cells
    int m_rc = 0;                          // rows written by the last commit
    bool m_hasChanged = false;             // anything changed since the last commit
    bool m_batchChanging = false;          // changes are grouped into one undo step
    bool m_isEditOnly = false;             // no rows may be added
    int m_editGeneration = 0;              // a deferred edit of a newer row wins
    int m_undoBase = 0;                    // the undo stack's index before the panel's first row step
    int m_lastIndex = 0;                   // the undo stack's index when it last moved
    bool m_unwinding = false;              // row steps are being taken off the stack: they do nothing
    bool m_rereading = false;              // the rows are read again after a book step, no commit
    static inline bool s_settling = false; // a panel puts its commit on the stack: no book step moves
    int m_stepGeneration = 0;              // row steps of an older generation refer to rows read before
};

} // namespace cv
