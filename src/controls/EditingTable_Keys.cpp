// Clicks, key commands and advancing of the editing table.

#include "controls/EditingTable.h"

#include "controls/PopupFieldEditor.h"
#include "controls/TableCell.h"
#include "platform/Localization.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace cv {

using cv::InputSourceMoment;
using cv::Movement;

void EditingTable::switchTextInput(InputSourceMoment moment, int cid, int column)
{
    cv::TableClient *owner = client();
    if (!owner || !cv::isJapanese()) return;
    GetPopupFieldEditor()->setTextInputOn(owner->textInputOn(moment, cid, column));
}

void EditingTable::performClickAtColumn(int column, int row, const QMouseEvent *event)
{
    cv::TableClient *owner = client();
    if (!owner) return;
    const int rows = numberOfRows();
    if (column >= 0 && row >= 0 && row < rows) {
        const int v = owner->verifyEditableColumn(column, row, Movement::Click);
        const int cid = cidOfColumn(v);
        if (cid < 0) return;
        if (event && event->type() != QEvent::MouseButtonPress) return; // double clicks change nothing
        const cv::PreparedCell cell = preparedCell(v, row);
        if (!owner->isColumnSelectable(this, cid, row) || !owner->shouldSelectColumn(this, cid)) return;
        switchTextInput(InputSourceMoment::Click, cid, v);
        selectRow(row, -1, nullptr);
        if (owner->handleClick(this, event, cidOfColumn(column), row)) return;
        if (!client() || !owner->shouldEditColumn(this, cid, row)) return;
        editColumn(v, row, event, true);
        if (event && isEditing())
            cv::TableCell::forKind(cell.kind).handleClick(event->position().toPoint(), cellFrame(v, row), this, cell);
        return;
    }
    if (column >= 0 && row >= rows) return;
    // Beside the columns or below the rows: edit the selected cell. An empty
    // table has no row to fall back on.
    if (rows == 0) return;
    if (column < 0) column = isEditing() ? m_editedColumn : qMax(0, currentIndex().column());
    if (row >= rows) return;
    if (row < 0) {
        const QModelIndexList selected = selectionModel()->selectedRows();
        row = selected.isEmpty() ? 0 : selected.first().row();
    }
    if (event && event->type() != QEvent::MouseButtonPress) return;
    switchTextInput(InputSourceMoment::FallbackClick, cidOfColumn(column), column);
    const int v = owner->verifyEditableColumn(column, row, Movement::Click);
    selectRow(row, -1, nullptr);
    editColumn(v, row, event, true);
}

void EditingTable::selectRow(int row, int columnHint, const QMouseEvent *event)
{
    SelectionSafeTableView::selectRow(row, columnHint, event);
    cv::TableClient *owner = client();
    if (columnHint < 0 || !owner || row < 0 || row >= numberOfRows()) return;
    const int v = owner->verifyEditableColumn(columnHint, row, Movement::Click);
    if (v < 0 || v >= numberOfColumns()) return;
    if (!owner->shouldSelectColumn(this, cidOfColumn(v))) {
        for (int c = v - 1; c >= 0; --c) {
            if (owner->shouldSelectColumn(this, cidOfColumn(c))) {
                editColumn(c, row, event, true);
                return;
            }
        }
        return;
    }
    if (isContextClick(event)) return; // selected for the context menu only
    if (owner->shouldEditColumn(this, cidOfColumn(v), row)) editColumn(v, row, event, true);
}

void EditingTable::mousePressEvent(QMouseEvent *event)
{
    if (isDraggable()) {
        SelectionSafeTableView::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int column = columnAt(pos.x());
    const int row = rowAt(pos.y());
    if (isContextClick(event)) {
        if (row >= 0 && !selectionModel()->isRowSelected(row, {})) selectRow(row, column, event);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    performClickAtColumn(column, row, event);
}

void EditingTable::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (isDraggable()) SelectionSafeTableView::mouseDoubleClickEvent(event);
}

void EditingTable::mouseMoveEvent(QMouseEvent *event)
{
    if (isDraggable() || event->buttons() != Qt::NoButton) {
        SelectionSafeTableView::mouseMoveEvent(event);
        return;
    }
    // The pointing hand over chooser cells: a click there opens a choice.
    const QPoint pos = event->position().toPoint();
    const int column = columnAt(pos.x());
    const int row = rowAt(pos.y());
    const cv::PreparedCell cell = preparedCell(column, row);
    const bool chooser = row >= 0 && cell.kind == cv::CellKind::Chooser && cell.showsButtons;
    if (chooser)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void EditingTable::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(event->modifiers() & Qt::ControlModifier)) {
        const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
        if (!selected.isEmpty()) editColumn(0, selected.first().row(), nullptr, true);
        return;
    }
    SelectionSafeTableView::keyPressEvent(event);
}

void EditingTable::cellCommandKeyDown(QKeyEvent *event, PopupFieldEditor *editor)
{
    cv::TableClient *owner = client();
    if (!owner || !editor) return;
    int key = event->key();
    if (key == Qt::Key_Enter) key = Qt::Key_Return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool command = modifiers & Qt::ControlModifier;
    if (key == Qt::Key_Tab && shift) key = Qt::Key_Backtab;

    const bool normalText = editor->isEditingNormalText();
    int column = normalText ? m_editedColumn : editor->column();
    int row = normalText ? m_editedRow : editor->row();

    if (key == Qt::Key_Escape) {
        if (owner->handleEscape()) {
            if (editor->isModified() && storeEditedText(column, row)) editor->markStored();
            forceEndFieldEditing(true);
            editor->endPopupEdit();
            return;
        }
        // Esc takes back what was typed: the cell keeps its stored value.
        editor->endPopupEdit();
        const bool selected = isEditing();
        forceEndFieldEditing(false);
        if (selected && row >= 0 && row < numberOfRows()) SelectionSafeTableView::selectRow(row, -1, nullptr);
        return;
    }
    if (editor->isModified()) {
        // A text the cell cannot hold keeps the edit where it is.
        if (!storeEditedText(column, row)) return;
        editor->markStored();
    }
    if (column < 0 || row < 0) return;

    switch (key) {
    case Qt::Key_Return:
        if (command) {
            forceEndFieldEditing(true);
            owner->closeMaximizedPanel();
            editor->endPopupEdit();
            return;
        }
        [[fallthrough]];
    case Qt::Key_Tab:
    case Qt::Key_Right:
        endFieldEditing();
        advanceColumn(column, row);
        return;
    case Qt::Key_Backtab:
    case Qt::Key_Left:
        endFieldEditing();
        editor->endPopupEdit();
        if (column > 0) {
            column = owner->verifyEditableColumn(column - 1, row, Movement::Backward);
            if (cv::isJapanese()) editor->setTextInputOn(false);
        }
        reselectColumn(column, row, false);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!shift && !command) return;
        editor->endPopupEdit();
        bool reselect = true;
        if (key == Qt::Key_Down)
            addRowOrAdvance(row, column, reselect);
        else if (row >= 1)
            --row;
        if (reselect) reselectColumn(column, row, shift);
        return;
    }
    default: return;
    }
}

void EditingTable::advanceColumn(int column, int row)
{
    cv::TableClient *owner = client();
    if (!owner) return;
    GetPopupFieldEditor()->endPopupEdit();
    int c = column;
    if (c + 1 < numberOfColumns()) {
        c = owner->verifyEditableColumn(c + 1, row, Movement::Forward);
        switchTextInput(InputSourceMoment::Advance, cidOfColumn(c), c);
        if (c != 0) {
            reselectColumn(c, row, false);
            return;
        }
    } else {
        c = owner->verifyEditableColumn(0, row, Movement::Forward);
        switchTextInput(InputSourceMoment::Wrap, cidOfColumn(c), c);
    }
    bool reselect = true;
    addRowOrAdvance(row, c, reselect);
    if (!client()) return;
    reselectColumn(c, row, false);
}

void EditingTable::addRowOrAdvance(int &row, int &column, bool &shouldReselect)
{
    cv::TableClient *owner = client();
    if (!owner) return;
    const int unfinished = owner->firstUnfinishedColumnForRow(row);
    if (unfinished >= 0) {
        // The row is not left while it is incomplete.
        const int index = columnWithIdentifier(unfinished);
        if (index >= 0) column = index;
        shouldReselect = true;
    } else if (row + 1 < numberOfRows()) {
        ++row;
        shouldReselect = true;
    } else {
        forceEndFieldEditing(true);
        owner->addItem(this);
        noteNumberOfRowsChanged();
        shouldReselect = false;
    }
}

void EditingTable::reselectColumn(int column, int row, bool extendingSelection)
{
    if (row < 0 || row >= numberOfRows()) return;
    const QScopedValueRollback<bool> ending(m_endingPopupEdit, true);
    if (extendingSelection) {
        forceEndFieldEditing(true);
        selectionModel()->select(model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::NoUpdate);
        return;
    }
    SelectionSafeTableView::selectRow(row, -1, nullptr);
    editColumn(column, row, nullptr, true);
}

void EditingTable::postDateToSelectedRow(const QDate &date)
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty() || !client()) return;
    const int current = currentIndex().row();
    int row = selected.last().row();
    for (const QModelIndex &index : selected)
        if (index.row() == current) row = current;
    // What was typed is stored first: the picked date is the last word, and
    // re-editing must not store the old text over it.
    if (isEditing()) endFieldEditing();
    client()->performInputDate(date);
    reselectColumn(0, row, false);
}

} // namespace cv
