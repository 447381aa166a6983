// The trade panel's commands: the context menu, the trade dialog, revert,
// the filter, deletion in place, the calculator and calendar, closing and
// the commit.
#include "panels/entry/TradePanel.h"

#include "controls/EditingTable.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "model/EditFlags.h"
#include "panels/entry/EntryPanel.h"
#include "panels/dialogs/TradeDialog.h"
#include "panels/dialogs/TradeFilterDialog.h"
#include "platform/Localization.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>

#include <cmath>
#include <set>

namespace cv {

namespace {

int countHoldings(const NodePtr &node)
{
    if (!node) return 0;
    int count = node->kind() == cv::NodeKind::Holding ? 1 : 0;
    for (const NodePtr &child : node->children()) count += countHoldings(child);
    return count;
}

} // namespace

void TradePanel::buildContextMenu()
{
    EditingTable *table = tableView();
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &at) {
        const QModelIndexList selected = table->selectionModel()->selectedRows();
        const TradePtr first = selected.isEmpty() ? nullptr : tradeForRow(selected.first().row());
        const bool deleted = first && (first->flags() & cv::EditDeleted);
        const struct {
            int tag;
            const char *title;
        } entries[] = {{AddTag, "Trade-Menu-Add"},
                       {EditTag, "Trade-Menu-Edit"},
                       {deleted ? UndeleteTag : DeleteTag, deleted ? "Undelete" : "Delete"},
                       {RevertTag, "Trade-Menu-Revert"},
                       {FilterTag, "Trade-Menu-Filter"}};
        QMenu menu(this);
        for (const auto &entry : entries) {
            QAction *action = menu.addAction(cv::localizedString(entry.title));
            action->setData(entry.tag);
            action->setEnabled(isMenuTagEnabled(entry.tag));
        }
        if (QAction *picked = menu.exec(table->viewport()->mapToGlobal(at))) menuSelected(picked->data().toInt());
    });
}

bool TradePanel::isMenuTagEnabled(int tag) const
{
    const bool rowSelected = tableView()->selectionModel() && tableView()->selectionModel()->hasSelection();
    switch (tag) {
    case AddTag: return !doc()->securityList().empty();
    case EditTag:
    case DeleteTag:
    case UndeleteTag:
    case RevertTag: return rowSelected;
    case FilterTag: return true;
    default: return false;
    }
}

std::optional<bool> TradePanel::validateMenuItem(const EditingTable *, const QAction *action) const
{
    // The table's own commands (Delete, Select All) are not the context menu's.
    const int tag = action ? action->data().toInt() : 0;
    if (tag < AddTag || tag > FilterTag) return std::nullopt;
    return isMenuTagEnabled(tag);
}

void TradePanel::menuSelected(int tag)
{
    if (!isMenuTagEnabled(tag)) return;
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    switch (tag) {
    case AddTag: addItem(); break;
    case EditTag: editSelected(); break;
    case DeleteTag:
    case UndeleteTag:
        if (!selected.isEmpty()) toggleRowDeletedFlag(selected.first().row());
        break;
    case RevertTag: revertSelected(); break;
    case FilterTag: runFilter(); break;
    default: break;
    }
}

void TradePanel::editSelected()
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    const TradePtr row = selected.isEmpty() ? nullptr : tradeForRow(selected.first().row());
    if (!row) return;
    tableView()->forceEndFieldEditing(true);
    TradeDialog dialog(doc(), row, this);
    if (dialog.exec() <= 0) return;
    setChanged(row);
    dialog.pickResult(*row);
    reloadTable();
}

void TradePanel::revertSelected()
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    tableView()->forceEndFieldEditing(false);
    for (const QModelIndex &index : selected) {
        const TradePtr row = tradeForRow(index.row());
        if (!row || !(row->flags() & cv::EditChanged)) continue;
        const auto it = m_oldValues.find(row);
        if (it == m_oldValues.end()) continue;
        TradePtr copy = it->second;
        m_oldValues.erase(it);
        copy->setFlags(0);
        replaceRow(index.row(), copy);
    }
    reloadTable();
}

void TradePanel::runFilter()
{
    if (!m_filterDialog) m_filterDialog = new TradeFilterDialog(firstDay(), lastDay(), this);
    if (m_filterDialog->exec() != 1) return;
    // What was typed is written before the rows are read under the new filter.
    tableView()->forceEndFieldEditing(true);
    if (hasChanged()) {
        apply();
        m_oldValues.clear();
    }
    setPeriod(m_filterDialog->date(0).value_or(QDate()), m_filterDialog->date(1).value_or(QDate()));
    m_flags = m_filterDialog->flags();
    settleAfterCommit();
}

void TradePanel::toggleRowDeletedFlag(int tag)
{
    const TradePtr row = tradeForRow(tag);
    if (!row) return;
    tableView()->forceEndFieldEditing(true);
    row->toggleDeleted();
    markChanged();
    updateButtons();
    reloadTable();
}

bool TradePanel::keepRowsOfFailedCommit()
{
    // A new trade's insert was taken back, and its row id may go to another trade.
    for (const RowPtr &row : pendingRows())
        if (trade(row)->flags() & cv::EditNew) trade(row)->setIdent(-1);
    return true;
}

void TradePanel::closeMaximizedPanel()
{
    tableView()->forceEndFieldEditing(true);
    if (hasChanged()) {
        for (const RowPtr &pending : pendingRows()) {
            Trade &row = *trade(pending);
            const int mask = Trade::validFieldsForKind(row.kind());
            const bool noPrice = (mask & Trade::UnitPriceField) && row.count() == 0 && row.unitPrice() == 0;
            const bool noCount = (mask & Trade::CountField) && row.count() == 0;
            if (noPrice || noCount) row.setFlags(row.flags() | cv::EditDeleted);
        }
    }
    RowPanel::closeMaximizedPanel();
}

// ---- the calculator and the calendar

void TradePanel::performInputValue(const QString &text)
{
    const std::optional<double> typed = cv::parseDouble(QString(text).remove(QLatin1Char(',')).trimmed());
    if (!typed || !std::isfinite(*typed) || *typed <= 0) return;
    const int cid = tableView()->isEditing() ? tableView()->cidOfColumn(tableView()->editedColumn()) : m_lastEditedCid;
    if (cid != CountColumn && cid != UnitPriceColumn && cid != CommissionColumn) return;
    tableView()->forceEndFieldEditing(false);
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows()) {
        const TradePtr row = tradeForRow(index.row());
        if (!row || !isColumnSelectable(tableView(), cid, index.row())) continue;
        // The calculator's value is rounded as typed text is.
        setObjectValue(tableView(), Book::stringForRoundValue(*typed, 6), cid, index.row());
    }
}

void TradePanel::performInputDate(const QDate &date)
{
    if (!EntryPanel::isAcceptableDate(date)) return;
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows())
        setField(tradeForRow(index.row()), Field::Date, date);
}

// ---- the commit

void TradePanel::commitRows()
{
    int rc = 0;
    {
        cv::EditScope edit(*doc());
        std::set<SecurityPtr> securities;
        const int holdingsBefore = countHoldings(doc()->accountTrees()->asset());
        for (const RowPtr &ptr : pendingRows()) {
            const TradePtr row = trade(ptr);
            const int flags = row->flags();
            doc()->applyTrade(row, item(), m_oldValues, securities, m_autoPriceUpdate);
            const bool stored = !(flags & cv::EditNew) || !(row->flags() & cv::EditDeleted);
            if (stored) ++rc;
        }
        doc()->applySecurities(securities);
        // Holdings the trades brought are part of the account tree.
        if (countHoldings(doc()->accountTrees()->asset()) != holdingsBefore) doc()->commitAccountTrees();
    }
    setReturnCode(rc);
    if (rc > 0) Q_EMIT searchListShouldClear();
}

} // namespace cv
