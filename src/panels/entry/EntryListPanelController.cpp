#include "panels/entry/EntryListPanelController.h"

#include "controls/CV4TableView.h"
#include "model/CV4EditFlags.h"
#include "platform/Localization.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QPushButton>

EntryListPanelController::EntryListPanelController(CV4Document *doc, CVUnitModelPtr node, const QDate &from,
                                                   const QDate &to, QWidget *parent)
    : AccountingInputPanelController(doc, std::move(node), from, to, parent)
{
}

EntryListPanelController::~EntryListPanelController()
{
    closeMacroDialog();
}

void EntryListPanelController::setButtonStatus()
{
    okButton()->setEnabled(hasChanged());
}

cv::CellValue EntryListPanelController::objectValue(const CV4TableView *table, int cid, int row) const
{
    const CV4ActualPtr e = actualAt(row);
    if (e && cid == 1 && (e->flags() & cv::EditNew) && e->amount() == 0) return QString();
    return AccountingInputPanelController::objectValue(table, cid, row);
}

bool EntryListPanelController::handleToolbar(const QString &identifier)
{
    if (identifier != u"TB_Batch") return false;
    macroInputPushed();
    return true;
}

void EntryListPanelController::menuSelected(int tag)
{
    switch (tag) {
    case AddOrDeleteTag:
        if (!isEditOnly()) addItem();
        break;
    case SelectedRowsTag: deleteRows(tableView()); break;
    case RevertTag: revertSelected(); break;
    case BatchTag:
        if (!isEditOnly()) macroInputPushed();
        break;
    default: break;
    }
}

std::vector<InputPanelController::PanelMenuEntry> EntryListPanelController::panelMenuEntries() const
{
    const QModelIndexList selected =
        tableView() && tableView()->selectionModel() ? tableView()->selectionModel()->selectedRows() : QModelIndexList();
    const CV4ActualPtr first = selected.isEmpty() ? nullptr : actualAt(selected.first().row());
    const bool deleted = first && (first->flags() & cv::EditDeleted);
    return {{AddOrDeleteTag, cv::localizedString("Panel-Menu-Add")},
            {SelectedRowsTag, cv::localizedString(deleted ? "Undelete" : "Delete")},
            {RevertTag, cv::localizedString("Revert")},
            {BatchTag, cv::localizedString("Panel-Menu-Repeat")}};
}

std::optional<bool> EntryListPanelController::validateMenuTag(int tag) const
{
    if (tag == BatchTag) return !isEditOnly();
    return std::nullopt;
}

std::optional<bool> EntryListPanelController::validateMenuItem(const CV4TableView *table,
                                                               const QAction *action) const
{
    if (action && action->data().toInt() == BatchTag) return !isEditOnly();
    return AccountingInputPanelController::validateMenuItem(table, action);
}

void EntryListPanelController::revertSelected()
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    for (const QModelIndex &index : selected) {
        const CV4ActualPtr row = actualAt(index.row());
        if (!row || !(row->flags() & cv::EditChanged)) continue;
        const auto it = m_oldValues.find(row);
        if (it == m_oldValues.end()) continue;
        CV4ActualPtr copy = it->second;
        m_oldValues.erase(it);
        copy->setFlags(0);
        replaceRow(index.row(), copy);
    }
    updateTotal();
    reloadTable();
}

void EntryListPanelController::macroInputPushed()
{
    if (isEditOnly()) return;
    tableView()->forceEndFieldEditing(true);
    closeMacroDialog();
    m_macroDialog = MacroInputDialogController::runWithDocument(doc(), item(), firstDay(), this);
}

void EntryListPanelController::closeMacroDialog()
{
    if (m_macroDialog) m_macroDialog->abandon();
    m_macroDialog = nullptr;
}

void EntryListPanelController::appendMacroRows(const std::vector<CV4ActualPtr> &series)
{
    tableView()->forceEndFieldEditing(false);
    // A blank last row stays last.
    int at = rowCount();
    if (const CV4ActualPtr last = actualAt(at - 1); last && MacroInputDialogController::isBlankRow(*last)) --at;
    insertRows(at, std::vector<RowPtr>(series.begin(), series.end()));
}

void EntryListPanelController::macroFinished(int code)
{
    if (code < 0) return;
    markChanged();
    setButtonStatus();
    reloadTable();
}
