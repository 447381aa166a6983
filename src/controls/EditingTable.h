#pragma once
// The spreadsheet-like table under every entry panel and editable page,
// edited cell by cell with the one shared PopupFieldEditor. The table knows
// nothing of entries or amounts: it asks its TableClient. A single click
// edits the clicked cell; Tab, Right and Return move to the next editable
// cell, wrap to the next row and ask the owner for a new row at the end;
// Backtab and Left move back; Shift or Ctrl with Up and Down change rows.
//
// Files: EditingTable.cpp (columns, data, editing, fonts, painting),
// EditingTable_Keys.cpp (clicks, key commands, advancing).

#include "controls/DateTableTarget.h"
#include "controls/SelectionSafeTableView.h"
#include "controls/TableClient.h"
#include "controls/TableColumn.h"

#include <QFont>
#include <QPointer>

#include <memory>
#include <vector>

namespace cv {

class PopupFieldEditor;

class TableModelAdapter;

class EditingTable : public SelectionSafeTableView, public cv::DateTableTarget {
    Q_OBJECT

public:
    explicit EditingTable(QWidget *parent = nullptr);
    ~EditingTable() override;

    void setClient(cv::TableClient *client);
    // Null once a client that is a QObject has gone away.
    cv::TableClient *client() const;

    void addColumn(std::unique_ptr<cv::TableColumn> column);
    // Drops the columns from the index on (pages whose columns follow the width).
    void removeColumnsFrom(int column);
    // Titles or header colours of existing columns changed.
    void refreshColumnHeaders();
    int numberOfColumns() const { return int(m_columns.size()); }
    int numberOfRows() const;
    const cv::TableColumn *tableColumn(int column) const;
    cv::TableColumn *tableColumn(int column);
    int columnWithIdentifier(int cid) const;
    int cidOfColumn(int column) const;

    // After the owner changed its rows: new rows are inserted, values are
    // repainted, the selection stays.
    void reloadData();
    void noteNumberOfRowsChanged();

    // What the cell (column index, row) is in this paint or edit.
    cv::PreparedCell preparedCell(int column, int row) const;
    QRect cellFrame(int column, int row) const;
    // The text the cell paints, and the same text when the cell cuts it
    // (the cell's tooltip); empty when it shows whole.
    QString shownText(int column, int row) const;
    QString cutText(int column, int row) const;
    // The column widens to its widest text on screen, up to a third of the
    // table, never narrower than it was made: names that tell accounts apart
    // stay whole while a stretching memo column has room to give.
    void setColumnFitsContent(int cid);

    // Clicks (also simulated by owners)
    void performClickAtColumn(int column, int row, const QMouseEvent *event);
    void selectRow(int row, int columnHint, const QMouseEvent *event) override;
    // The key commands of the edited cell; sent by the field editor.
    void cellCommandKeyDown(QKeyEvent *event, PopupFieldEditor *editor);
    void advanceColumn(int column, int row);
    void addRowOrAdvance(int &row, int &column, bool &shouldReselect);
    void reselectColumn(int column, int row, bool extendingSelection);

    // Editing
    void editColumn(int column, int row, const QMouseEvent *event, bool select);
    bool isEditing() const { return m_editedRow >= 0; }
    int editedColumn() const { return m_editedColumn; }
    int editedRow() const { return m_editedRow; }
    // Ends the edit, storing the text when save is set and it was modified.
    void forceEndFieldEditing(bool saveData = true);
    // Stores a modified text and closes the editor, without re-editing.
    void endFieldEditing();
    // The editor lost the focus to something else: store and close.
    void textDidEndEditing();

    // A date picked in the popup calendar: the owner stores it in the
    // selected row, which is then selected alone with column 0 edited.
    void postDateToSelectedRow(const QDate &date) override;

    // Menus
    bool validateCommand(cv::TableCommand command, const QAction *action = nullptr) const;
    void deleteRows();
    void toggleRowDeleted(int tag);

    // Fonts: sizes in pixels, only strictly between 6 and 32.
    QFont tableFont() const { return m_font; }
    void setTableFont(const QFont &font);
    void setFontSize(int pixelSize);
    void changeFontSize(int step);

    virtual bool isDraggable() const { return false; }
    // No type-select: it would read every row's value to find a match.
    void keyboardSearch(const QString &) override {}

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void fitColumns();
    friend class PopupFieldEditor;
    void resetModel();
    // False when the owner refused the text (nothing was stored).
    bool storeEditedText(int column, int row);
    void closeEditor();
    void placeEditor();
    void switchTextInput(cv::InputSourceMoment moment, int cid, int column);
    bool validCell(int column, int row) const;

    QPointer<QObject> m_clientObject; // set when the client is a QObject
    cv::TableClient *m_client = nullptr;
    bool m_clientIsObject = false; // then m_clientObject tells whether it lives
    std::vector<std::unique_ptr<cv::TableColumn>> m_columns;
    cv::TableModelAdapter *m_model; // owned as a child
    QFont m_font;
    int m_editedColumn = -1;
    int m_editedRow = -1;
    bool m_endingPopupEdit = false;                   // the table itself moves the edit
    bool m_ignoreEndEditing = false;                  // editing ends without the usual end
    std::vector<std::pair<int, int>> m_fittedColumns; // cid, the width it was made with
};

} // namespace cv
