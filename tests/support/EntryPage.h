#pragma once
// Page objects of the entry panels: a cell typed into, a row picked in the
// open chooser, a row deleted, OK pressed, as a user does them, so tests read
// the store afterwards instead of setting rows' fields.

#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/ChooserList.h"
#include "controls/ChooserModel.h"
#include "controls/PopupFieldEditor.h"
#include "controls/StyledText.h"
#include "panels/entry/RowPanel.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace cvtest::page {

// The rows an open chooser offers, top level first, each followed by its
// children ("  " per level); empty when no chooser is open.
inline QStringList offered()
{
    cv::ChooserPopup *popup = cv::ChooserPopup::existing();
    const QAbstractItemModel *list = popup && popup->isVisible() ? popup->outline()->model() : nullptr;
    QStringList names;
    const std::function<void(const QModelIndex &, int)> walk = [&](const QModelIndex &parent, int depth) {
        for (int row = 0; list && row < list->rowCount(parent); ++row) {
            const QModelIndex index = list->index(row, 0, parent);
            names << QString(depth * 2, u' ') + index.data().toString();
            walk(index, depth + 1);
        }
    };
    walk(QModelIndex(), 0);
    return names;
}

// Picks the item in the open chooser as the keyboard does (the row made
// current, Tab); false, with the chooser closed, when the list does not offer it.
inline bool pick(const cv::ChooserItem &item)
{
    cv::ChooserPopup *popup = cv::ChooserPopup::existing();
    if (!popup || !popup->isVisible()) return false;
    cv::ChooserList *list = popup->outline();
    const auto *source = qobject_cast<const cv::ChooserModel *>(list->model());
    const QModelIndex row = source ? source->indexOfItem(item) : QModelIndex();
    if (!row.isValid()) {
        popup->mustClose();
        return false;
    }
    for (QModelIndex up = row.parent(); up.isValid(); up = up.parent()) list->expand(up);
    list->setCurrentIndex(row);
    QTest::keyClick(list, Qt::Key_Tab);
    return true;
}

// The text a cell shows.
inline QString cellText(const cv::RowPanel &panel, int cid, int row)
{
    const cv::CellValue value = panel.objectValue(panel.tableView(), cid, row);
    return value.userType() == qMetaTypeId<cv::StyledText>() ? value.value<cv::StyledText>().text : value.toString();
}

// An entry panel (account book, income and expense, transfers, trades).
class Entries {
public:
    explicit Entries(cv::RowPanel *panel) : m_panel(panel) {}
    cv::RowPanel *panel() const { return m_panel; }
    explicit operator bool() const { return m_panel != nullptr; }

    int rows() const { return m_panel->numberOfRows(m_panel->tableView()); }
    int newRow() const { return rows() - 1; }
    QString cell(int cid, int row) const { return cellText(*m_panel, cid, row); }
    // Edits the cell, types the keys and ends the edit as a click elsewhere does.
    void type(int cid, int row, const QString &keys) const
    {
        cv::EditingTable *table = m_panel->tableView();
        table->editColumn(table->columnWithIdentifier(cid), row, nullptr, true);
        QTest::keyClicks(cv::GetPopupFieldEditor(), keys);
        table->forceEndFieldEditing(true);
    }
    // Opens the cell's chooser and picks the item in it.
    bool choose(int cid, int row, const cv::ChooserItem &item) const
    {
        cv::EditingTable *table = m_panel->tableView();
        table->editColumn(table->columnWithIdentifier(cid), row, nullptr, true);
        m_panel->editColumn(table->columnWithIdentifier(cid), row, cv::GetPopupFieldEditor());
        const bool picked = pick(item);
        QApplication::processEvents();
        return picked;
    }
    bool choose(int cid, int row, const cv::NodePtr &node) const
    {
        return choose(cid, row, cv::ChooserItem::fromNode(node));
    }
    // What the chooser of the cell offers; it is closed again.
    QStringList chooserOf(int cid, int row) const
    {
        cv::EditingTable *table = m_panel->tableView();
        m_panel->editColumn(table->columnWithIdentifier(cid), row, cv::GetPopupFieldEditor());
        const QStringList names = offered();
        cv::ChooserPopup::get()->mustClose();
        return names;
    }
    // Return at the end of a row: a new row to type into.
    void nextRow() const { m_panel->addItem(m_panel->tableView()); }
    void selectRow(int row) const { m_panel->tableView()->QTableView::selectRow(row); }
    // Edit > Delete on the row.
    void deleteRow(int row) const
    {
        selectRow(row);
        m_panel->tableView()->deleteRows();
    }
    // Presses OK: on the window's temporary page this commits and closes it.
    void ok() const { QTest::mouseClick(m_panel->okButton(), Qt::LeftButton); }
    // What leaving the page does for a panel shown on its own.
    int leave() const { return m_panel->commitPanel(); }

private:
    cv::RowPanel *m_panel;
};

} // namespace cvtest::page
