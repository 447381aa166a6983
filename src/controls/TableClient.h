#pragma once
// The owner of an editing table: every decision about which cell may be
// edited, what a typed text means and when a row is finished is asked here.
// Panels override only what they need; every optional message has a default
// that means "not answered". Columns are spoken of by id (cid) except where
// a message says "column index".

#include "controls/PreparedCell.h"
#include "controls/StyledText.h"
#include "platform/CaretKeeping.h"

#include <QDate>
#include <QString>

#include <optional>

class QAction;
class QMouseEvent;

namespace cv {

class EditingTable;
class PopupFieldEditor;

class AmountText;

// Which way editing moves when a column is asked for.
enum class Movement {
    Backward = 0,
    Forward = 1,
    Click = 2, // a click or a row selection
};

// The moments at which the table decides the input method of the next cell.
enum class InputSourceMoment {
    Click,         // a click on a cell
    FallbackClick, // a click beside the columns or below the rows
    Advance,       // moving forward within the row
    Wrap,          // moving forward past the last column
};

// The currency of an amount cell and the fraction digits typed in it.
struct CellCurrency {
    int currency = 0;
    int fractionLength = 0;
};

// Commands a table validates for menus.
enum class TableCommand { Delete, SelectAll, ToggleRowDeleted, Other };

class TableClient {
public:
    virtual ~TableClient() = default;

    // Data
    virtual int numberOfRows(const EditingTable *table) const = 0;
    virtual CellValue objectValue(const EditingTable *table, int cid, int row) const = 0;
    // Stores the edited text. Must be idempotent: the same text may arrive
    // when the editor moves on and again when editing ends.
    virtual void setObjectValue(EditingTable *table, const QString &text, int cid, int row) = 0;
    // Why the edited text cannot be stored in the cell ("not an amount", "not
    // a date", "no such date"); empty when it can. The table beeps, marks the cell with the
    // reason and keeps it in edit, or drops the text when the edit must end.
    virtual QString refusalOf(const QString &text, int cid, int row) const
    {
        Q_UNUSED(text);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return {};
    }
    // The cid of the first column of the row that still needs input; negative
    // when the row is complete.
    virtual int firstUnfinishedColumnForRow(int row) const
    {
        Q_UNUSED(row);
        return -1;
    }

    // Editing decisions
    // The column index that will really be edited; moving forward, 0 means
    // that the row has no further editable column.
    virtual int verifyEditableColumn(int column, int row, Movement movement)
    {
        Q_UNUSED(row);
        Q_UNUSED(movement);
        return column;
    }
    virtual bool isColumnSelectable(const EditingTable *table, int cid, int row) const
    {
        Q_UNUSED(table);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return true;
    }
    virtual bool shouldSelectColumn(const EditingTable *table, int cid) const
    {
        Q_UNUSED(table);
        Q_UNUSED(cid);
        return true;
    }
    virtual bool shouldEditColumn(const EditingTable *table, int cid, int row) const
    {
        Q_UNUSED(table);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return true;
    }
    // Prepares a cell as for drawing (kind, buttons, colour, placeholder).
    virtual void prepareCell(const EditingTable *table, PreparedCell &cell, int cid, int row) const
    {
        Q_UNUSED(table);
        Q_UNUSED(cell);
        Q_UNUSED(cid);
        Q_UNUSED(row);
    }
    // true: the click was handled and no editing starts.
    virtual bool handleClick(EditingTable *table, const QMouseEvent *event, int cid, int row)
    {
        Q_UNUSED(table);
        Q_UNUSED(event);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return false;
    }
    // true: Esc ends editing (storing the text) and the chooser edit.
    virtual bool handleEscape() { return false; }
    // Ctrl+Return in a cell: close the panel shown in the temporary page.
    virtual void closeMaximizedPanel() {}
    // Moving forward past the last finished row: append a row.
    virtual void addItem(EditingTable *table) { Q_UNUSED(table); }
    // Opens the chooser of the cell (column index, row).
    virtual void editColumn(int column, int row, PopupFieldEditor *editor)
    {
        Q_UNUSED(column);
        Q_UNUSED(row);
        Q_UNUSED(editor);
    }
    // A date picked in the popup calendar for the edited cell.
    virtual void performInputDate(const QDate &date) { Q_UNUSED(date); }

    // Whether the input method is on for the next cell. The switch acts only
    // when Japanese is the user's first language.
    virtual bool textInputOn(InputSourceMoment moment, int cid, int column) const;

    // Menus and deletion
    virtual std::optional<bool> validateMenuItem(const EditingTable *table, const QAction *action) const
    {
        Q_UNUSED(table);
        Q_UNUSED(action);
        return std::nullopt;
    }
    virtual bool answersDelete() const { return false; }
    virtual void deleteRows(EditingTable *table) { Q_UNUSED(table); }
    virtual std::optional<bool> canDeleteRow(int row) const
    {
        Q_UNUSED(row);
        return std::nullopt;
    }
    virtual void toggleRowDeletedFlag(int tag) { Q_UNUSED(tag); }

    // Typing
    virtual const AmountText *amountText() const { return nullptr; }
    // The date format of date cells, in the program's date text
    // (platform/DateFormat.h: %Y/%m/%d ...).
    virtual QString dateFormat() const;
    // The currency of an amount cell; none for other cells.
    virtual std::optional<CellCurrency> currencyForColumn(int cid, int row) const
    {
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return std::nullopt;
    }
    virtual bool columnAllowsNegativeInput(int cid, int row) const
    {
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return true;
    }
    // true: the Delete or forward-Delete key was handled.
    virtual bool handleDeleteKey(int key, PopupFieldEditor *editor, int cid, int row)
    {
        Q_UNUSED(key);
        Q_UNUSED(editor);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return false;
    }
    // true: the character was handled and is not typed.
    virtual bool handleTypedCharacter(EditingTable *table, QChar c, PopupFieldEditor *editor, int cid, int row)
    {
        Q_UNUSED(table);
        Q_UNUSED(c);
        Q_UNUSED(editor);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        return false;
    }
    // The text to show instead of a typed amount; none keeps the typed text.
    // By default the document's live regrouping.
    virtual std::optional<QString> proposedString(PopupFieldEditor *editor, const QString &oldText,
                                                  TextSelection oldSelection, const QString &newText, int currency,
                                                  int fractionLength);
    // A replacement for text typed into other cells; none keeps it.
    virtual std::optional<QString> typingChangedText(const QString &oldText, PopupFieldEditor *editor, int cid, int row,
                                                     const QString &newText)
    {
        Q_UNUSED(oldText);
        Q_UNUSED(editor);
        Q_UNUSED(cid);
        Q_UNUSED(row);
        Q_UNUSED(newText);
        return std::nullopt;
    }
};

} // namespace cv
