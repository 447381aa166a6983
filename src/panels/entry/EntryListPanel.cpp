#include "panels/entry/EntryListPanel.h"

#include "controls/EditingTable.h"
#include "model/EditFlags.h"
#include "platform/Localization.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QPushButton>

namespace cv {

EntryListPanel::EntryListPanel(Book *doc, NodePtr node, const QDate &from, const QDate &to, QWidget *parent)
    : EntryPanel(doc, std::move(node), from, to, parent)
{
}

EntryListPanel::~EntryListPanel()
{
    closeRepeatDialog();
}

void EntryListPanel::updateButtons()
{
    okButton()->setEnabled(hasChanged());
}

cv::CellValue EntryListPanel::objectValue(const EditingTable *table, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (e && cid == 1 && (e->flags() & cv::EditNew) && e->amount() == 0) return QString();
    return EntryPanel::objectValue(table, cid, row);
}

bool EntryListPanel::handleToolbar(const QString &identifier)
{
    if (identifier != u"TB_Batch") return false;
    repeatInputPushed();
    return true;
}

void EntryListPanel::menuSelected(int tag)
{
    switch (tag) {
    case AddOrDeleteTag:
        if (!isEditOnly()) addItem();
        break;
    case SelectedRowsTag: deleteRows(tableView()); break;
    case RevertTag: revertSelected(); break;
    case BatchTag:
        if (!isEditOnly()) repeatInputPushed();
        break;
    default: break;
    }
}

std::vector<RowPanel::PanelMenuEntry> EntryListPanel::panelMenuEntries() const
{
    const QModelIndexList selected = tableView() && tableView()->selectionModel()
                                         ? tableView()->selectionModel()->selectedRows()
                                         : QModelIndexList();
    const EntryPtr first = selected.isEmpty() ? nullptr : entryAt(selected.first().row());
    const bool deleted = first && (first->flags() & cv::EditDeleted);
    return {{AddOrDeleteTag, cv::localizedString("Panel-Menu-Add")},
            {SelectedRowsTag, cv::localizedString(deleted ? "Undelete" : "Delete")},
            {RevertTag, cv::localizedString("Revert")},
            {BatchTag, cv::localizedString("Panel-Menu-Repeat")}};
}

std::optional<bool> EntryListPanel::validateMenuTag(int tag) const
{
    if (tag == BatchTag) return !isEditOnly();
    return std::nullopt;
}

std::optional<bool> EntryListPanel::validateMenuItem(const EditingTable *table, const QAction *action) const
{
    if (action && action->data().toInt() == BatchTag) return !isEditOnly();
    return EntryPanel::validateMenuItem(table, action);
}

void EntryListPanel::revertSelected()
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    for (const QModelIndex &index : selected) {
        const EntryPtr row = entryAt(index.row());
        if (!row || !(row->flags() & cv::EditChanged)) continue;
        const auto it = m_oldValues.find(row);
        if (it == m_oldValues.end()) continue;
        EntryPtr copy = it->second;
        m_oldValues.erase(it);
        copy->setFlags(0);
        replaceRow(index.row(), copy);
    }
    updateTotal();
    reloadTable();
}

void EntryListPanel::repeatInputPushed()
{
    if (isEditOnly()) return;
    tableView()->forceEndFieldEditing(true);
    closeRepeatDialog();
    m_repeatDialog = RepeatedEntryDialog::runWithDocument(doc(), item(), firstDay(), this);
}

void EntryListPanel::closeRepeatDialog()
{
    if (m_repeatDialog) m_repeatDialog->abandon();
    m_repeatDialog = nullptr;
}

void EntryListPanel::appendRepeatedRows(const std::vector<EntryPtr> &series)
{
    tableView()->forceEndFieldEditing(false);
    // A blank last row stays last.
    int at = rowCount();
    if (const EntryPtr last = entryAt(at - 1); last && RepeatedEntryDialog::isBlankRow(*last)) --at;
    insertRows(at, std::vector<RowPtr>(series.begin(), series.end()));
}

void EntryListPanel::repeatFinished(int code)
{
    if (code < 0) return;
    markChanged();
    updateButtons();
    reloadTable();
}

} // namespace cv
