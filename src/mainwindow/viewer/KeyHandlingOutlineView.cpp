#include "mainwindow/viewer/KeyHandlingOutlineView.h"

#include "controls/PenWheel.h"
#include "mainwindow/viewer/OutlineClickClient.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace cv {

namespace {
constexpr int kClickMovement = 2;
} // namespace

KeyHandlingOutlineView::KeyHandlingOutlineView(QWidget *parent) : QTreeView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void KeyHandlingOutlineView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Enter && !(event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void KeyHandlingOutlineView::wheelEvent(QWheelEvent *event)
{
    if (!scrollPenWheelVertically(*this, *event)) QTreeView::wheelEvent(event);
}

QModelIndex KeyHandlingOutlineView::indexAtRow(int column, int row) const
{
    // Rows count as shown, expanded children included.
    QModelIndex index = model() ? model()->index(0, 0, rootIndex()) : QModelIndex();
    for (int i = 0; i < row && index.isValid(); ++i) index = indexBelow(index);
    return index.isValid() ? index.siblingAtColumn(column) : QModelIndex();
}

int KeyHandlingOutlineView::shownRowOf(const QModelIndex &index) const
{
    int row = 0;
    for (QModelIndex above = indexAbove(index.siblingAtColumn(0)); above.isValid(); above = indexAbove(above)) ++row;
    return row;
}

void KeyHandlingOutlineView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = QTreeView::indexAt(event->position().toPoint());
    if (isDraggable() || !index.isValid()) {
        QTreeView::mousePressEvent(event);
        return;
    }
    performClickAtColumn(index.column(), shownRowOf(index), event, 1);
}

void KeyHandlingOutlineView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = QTreeView::indexAt(event->position().toPoint());
    if (isDraggable()) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    if (index.isValid()) performClickAtColumn(index.column(), shownRowOf(index), event, 2);
}

void KeyHandlingOutlineView::performClickAtColumn(int column, int row, QMouseEvent *event, int clickCount)
{
    if (column < 0 || row < 0) return;
    const int cid = m_client ? m_client->verifyEditableColumn(column, row, kClickMovement) : column;
    const QModelIndex index = indexAtRow(cid, row);
    if (!index.isValid()) return;
    if (cid == 0) {
        // The tree column: disclosure and selection as usual, then a fresh look.
        if (event && clickCount == 1) QTreeView::mousePressEvent(event);
        update(index);
        return;
    }
    if (clickCount > 1) {
        if (m_client) m_client->isColumnSelectable(cid, row);
        return;
    }
    if (clickCount == 0) return;
    if (m_client && (!m_client->isColumnSelectable(cid, row) || !m_client->shouldSelectTableColumn(cid))) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (m_client) {
        if (const std::optional<bool> consumed = m_client->handleClick(cid, row); consumed && *consumed) return;
        if (m_client->shouldEditTableColumn(cid, row)) startEditing(index);
    }
}

void KeyHandlingOutlineView::startEditing(const QModelIndex &index)
{
    edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

} // namespace cv
