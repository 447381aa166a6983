#include "panels/entry/AccountBookPanel.h"

#include "controls/CategoryChooserModel.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/TableColumn.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "model/EditFlags.h"
#include "panels/entry/TransferFieldDialog.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>

#include <cmath>
#include <numeric>

namespace cv {

namespace {
constexpr int kTransferRow = 1;  // the chooser's "SYS:Transfer" row
constexpr int kMiscExpense = 30; // "SYS:Expense-Misc"

} // namespace

AccountBookPanel::AccountBookPanel(Book *doc, NodePtr account, const QDate &from, const QDate &to, QWidget *parent)
    : EntryPanel(doc, std::move(account), from, to, parent), m_accountField(new QLabel(this)),
      m_dateTotalTitleField(new QLabel(this)), m_totalField(new QLabel(this)),
      m_kindSource(std::make_unique<cv::CategoryChooserModel>())
{
    Q_ASSERT(item());
    readRows();
    m_lastKind = cv::EntryKind::Expense;
    m_lastCategory = kMiscExpense;
    if (const EntryPtr lastRow = entryAt(rowCount() - 1)) {
        const Entry &last = *lastRow;
        if (last.kind() != cv::EntryKind::Transfer) {
            m_lastKind = last.kind();
            m_lastCategory = last.category();
        }
    }

    // The new row joins before the table is made, so that the table sizes
    // its per-row layout once, not again for one more row.
    const bool added = appendNewRow();
    layoutPanel(m_accountField, m_dateTotalTitleField, m_totalField);

    buildTable();
    m_accountField->setText(item() ? doc->displayName(*item()) : QString());
    m_dateTotalTitleField->setText(cv::localizedString("Report-Carry"));
    m_totalField->setText(carriedBalanceText());
    m_totalField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (isLoanAccount()) tableView()->setSelectionMode(QAbstractItemView::NoSelection);
    updateButtons();
    if (added) reloadAndEditLastRow();
}

AccountBookPanel::~AccountBookPanel()
{
    detachFromTable();
}

void AccountBookPanel::buildTable()
{
    buildColumns({
        {DateColumn, "BankBook-Date", 112, cv::CellKind::Date},
        {KindColumn, "BankBook-Kind", 160, cv::CellKind::Chooser},
        {CategoryColumn, "BankBook-Category", 110, cv::CellKind::Plain},
        {InColumn, "BankBook-In", 100, cv::CellKind::Plain},
        {OutColumn, "BankBook-Out", 100, cv::CellKind::Plain},
        {BalanceColumn, "BankBook-Balance", 110, cv::CellKind::Plain},
        {MemoColumn, "BankBook-Memo", 160, cv::CellKind::Plain},
    });
    // "Transfer → <account>": the partner tells two accounts of one bank apart.
    // Kind and category take the room their names need before the memo.
    for (int cid : {KindColumn, CategoryColumn}) tableView()->setColumnFitsContent(cid);
}

int AccountBookPanel::accountIdent() const
{
    return item() ? item()->ident() : 0;
}

int AccountBookPanel::currencyIdent() const
{
    return doc()->currencyOfAccount(accountIdent());
}

bool AccountBookPanel::isLoanAccount() const
{
    return item() && item()->kind() == cv::NodeKind::Loan;
}

QString AccountBookPanel::carriedBalanceText() const
{
    const double value = doc()->rawValueForAccount(item(), firstDay().addDays(-1));
    const QString text = doc()->stringForValue(std::fabs(value), currencyIdent(), false);
    return value < 0 ? QLatin1Char('-') + text : text;
}

TransferFieldDialog *AccountBookPanel::transferFieldDialog()
{
    if (!m_transferFieldDialog) m_transferFieldDialog = new TransferFieldDialog(this);
    return m_transferFieldDialog;
}

// ---- rows

RowPanel::RowPtr AccountBookPanel::newRow()
{
    auto row = std::make_shared<Entry>();
    row->setKind(m_lastKind);
    row->setCategory(m_lastCategory);
    row->setAccount(accountIdent());
    row->setGroup(m_lastGroup);
    return row;
}

NodePtr AccountBookPanel::findItem() const
{
    return doc()->findAccount(item()->ident());
}

void AccountBookPanel::readRows()
{
    m_pages.clear();
    m_removedRows.clear();
    m_sorted = false;
    m_pageMissed = false;
    if (!layOutPages()) readEveryRow();
}

void AccountBookPanel::updateButtons()
{
    okButton()->setEnabled(hasChanged());
}

bool AccountBookPanel::isTransferIn(const Entry &row) const
{
    return row.kind() == cv::EntryKind::Transfer && row.destination() == accountIdent() &&
           row.account() != accountIdent();
}

double AccountBookPanel::arrivedAmount(const Entry &row) const
{
    double converted = row.amount();
    doc()->getTransferValues(row, &converted, nullptr);
    return converted;
}

// ---- display

QString AccountBookPanel::kindText(const Entry &row) const
{
    switch (row.kind()) {
    case cv::EntryKind::Income: return cv::localizedString("BankBook-Income");
    case cv::EntryKind::Expense: return cv::localizedString("BankBook-Expense");
    case cv::EntryKind::Transfer: {
        const bool in = isTransferIn(row);
        const NodePtr other = doc()->findAccount(in ? row.account() : row.destination());
        const QString name = other ? doc()->displayName(*other) : QString();
        return cv::formatString(in ? QStringLiteral("%@ ← %@") : QStringLiteral("%@ → %@"),
                                {cv::localizedString(in ? "BankBook-CacheIn" : "BankBook-CacheOut"), name});
    }
    default: return QString();
    }
}

double AccountBookPanel::balanceChange(const Entry &row) const
{
    double in = 0;
    double out = 0;
    if (row.kind() == cv::EntryKind::Income)
        in = row.amount();
    else if (row.kind() == cv::EntryKind::Expense)
        out = row.amount();
    else if (row.kind() == cv::EntryKind::Transfer && isTransferIn(row))
        in = arrivedAmount(row);
    else if (row.kind() == cv::EntryKind::Transfer)
        out = row.amount();
    // A debt grows with what goes out of it.
    return cv::isDebtAccountKind(item()->kind()) ? out - in : in - out;
}

// The running balance in date order, typed rows included: the balance
// carried into the period plus every row of an earlier day, and the rows of
// its own day above it. Stored rows alone give the balance the viewer shows.
cv::CellValue AccountBookPanel::balanceValue(int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e || (e->flags() & cv::EditDeleted) || ((e->flags() & cv::EditNew) && e->amount() == 0)) return QString();
    const QDate carryDay = firstDay().addDays(-1);
    if (m_pages.empty() && m_balances.size() != items().size()) {
        // One pass for all rows: painting asks row by row.
        std::vector<size_t> order(items().size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(),
                         [this](size_t a, size_t b) { return rowDate(items()[a]) < rowDate(items()[b]); });
        m_balances.assign(items().size(), 0.0);
        double sum = doc()->valueForAccount(item(), carryDay, doc()->findCurrency(currencyIdent()));
        for (size_t k : order) m_balances[k] = sum += rowDelta(items()[k]);
    }
    double value = m_pages.empty() ? m_balances[size_t(row)] : pagedBalance(row);
    // An account opened within the period: its opening balance from that day.
    const bool opensInPeriod = item()->kind() != cv::NodeKind::Loan && !item()->validAtDate(carryDay);
    if (opensInPeriod && item()->validAtDate(e->date())) value += item()->assetInitialValue();
    return amountValue(cv::roundDown(value, 6), currencyIdent());
}

cv::CellValue AccountBookPanel::objectValue(const EditingTable *, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return {};
    switch (cid) {
    case DateColumn: return cv::formatProgramDate(e->date());
    case KindColumn: return kindText(*e);
    case CategoryColumn: {
        if (e->kind() == cv::EntryKind::Transfer) return QString();
        const NodePtr category =
            e->kind() == cv::EntryKind::Income ? doc()->findIncome(e->category()) : doc()->findExpense(e->category());
        return category ? doc()->displayName(*category) : QString();
    }
    case InColumn:
        // A new row shows its amount once one was typed.
        if ((e->flags() & cv::EditNew) && e->amount() == 0) return QString();
        if (e->kind() == cv::EntryKind::Income) return amountValue(e->amount(), currencyIdent());
        if (isTransferIn(*e)) return amountValue(arrivedAmount(*e), currencyIdent());
        return QString();
    case OutColumn:
        if ((e->flags() & cv::EditNew) && e->amount() == 0) return QString();
        if (e->kind() == cv::EntryKind::Expense || (e->kind() == cv::EntryKind::Transfer && !isTransferIn(*e)))
            return amountValue(e->amount(), currencyIdent());
        return QString();
    case BalanceColumn: return balanceValue(row);
    case MemoColumn: return e->memo();
    default: return QString();
    }
}

void AccountBookPanel::prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    if (cid == CategoryColumn) {
        cell.color = palette().color(QPalette::Disabled, QPalette::Text);
    } else if (cid == DateColumn) {
        const bool selected = table && table->selectionModel()->isRowSelected(row, QModelIndex());
        cell.color = (e->flags() & (cv::EditChanged | cv::EditNew)) && !selected ? QColor(Qt::blue) : QColor(Qt::black);
    }
    if (e->flags() & cv::EditDeleted) cell.color = palette().color(QPalette::Disabled, QPalette::Text);
}

// ---- editing decisions

bool AccountBookPanel::isColumnSelectable(const EditingTable *, int cid, int row) const
{
    if (row < 0 || row >= rowCount() || isLoan(row)) return false;
    return cid != CategoryColumn;
}

bool AccountBookPanel::isColumnEditable(int cid, int row) const
{
    return cid != BalanceColumn && EntryPanel::isColumnEditable(cid, row);
}

bool AccountBookPanel::shouldEditColumn(const EditingTable *, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e || (e->flags() & cv::EditDeleted) || cid == CategoryColumn) return false;
    return isColumnEditable(cid, row);
}

int AccountBookPanel::verifyEditableColumn(int column, int row, cv::Movement movement)
{
    if (row < 0) return column;
    if (isLoanAccount()) return MemoColumn;
    const EntryPtr e = entryAt(row);
    const int count = tableView()->numberOfColumns();
    for (int guard = 0; guard < count + 1 && column >= 0 && column < count; ++guard) {
        const int cid = tableView()->cidOfColumn(column);
        int rightSide = -1; // the amount column of this row
        if (e && e->kind() == cv::EntryKind::Income) rightSide = InColumn;
        if (e && e->kind() == cv::EntryKind::Expense) rightSide = OutColumn;
        if (e && e->kind() == cv::EntryKind::Transfer)
            rightSide = e->destination() == accountIdent() ? InColumn : OutColumn;
        const bool amountColumn = cid == InColumn || cid == OutColumn;
        if (amountColumn && rightSide >= 0 && cid != rightSide && movement == cv::Movement::Click)
            return tableView()->columnWithIdentifier(rightSide);
        const bool skip = cid == CategoryColumn || cid == BalanceColumn || (amountColumn && cid != rightSide);
        if (!skip) return column;
        column += movement == cv::Movement::Backward ? -1 : 1;
    }
    // Past the last column moving forward: the row has no further column.
    return movement == cv::Movement::Backward ? std::max(column, 0) : 0;
}

std::optional<cv::CellCurrency> AccountBookPanel::currencyForColumn(int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e || (cid != InColumn && cid != OutColumn)) return std::nullopt;
    int account = 0;
    if (e->kind() != cv::EntryKind::Transfer)
        account = e->account();
    else if (cid == InColumn && e->destination() == accountIdent())
        account = e->destination();
    else if (cid == OutColumn && e->account() == accountIdent())
        account = e->account();
    if (account <= 0) return std::nullopt;
    const CurrencyPtr currency = doc()->findCurrency(doc()->currencyOfAccount(account));
    if (!currency) return std::nullopt;
    return cv::CellCurrency{currency->ident(), currency->fraction()};
}

std::optional<AccountBookPanel::Field> AccountBookPanel::accountFieldForColumn(int cid, const Entry &) const
{
    if (cid == InColumn) return Field::Account;
    if (cid == OutColumn) return Field::Destination;
    return std::nullopt;
}

// ---- typing

void AccountBookPanel::setObjectValue(EditingTable *, const QString &text, int cid, int row)
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    switch (cid) {
    case DateColumn: {
        const std::optional<QDate> date = cv::parseProgramDate(text);
        if (!date || !acceptsDate(*date) || *date == e->date()) return;
        change(e, Field::Date, *date, cv::localizedString("Change Date"));
        return;
    }
    case InColumn:
    case OutColumn: {
        const double value = amountForText(text, currencyIdent()).value_or(0);
        // What arrived here in another currency is the converted amount; the
        // source amount stays in the source's currency.
        const bool converted = isTransferIn(*e) && doc()->accountNeedsExchange(e->account(), e->destination());
        const Field field = converted ? Field::Converted : Field::Amount;
        if (fieldValue(e, int(field)).toDouble() == value) return;
        change(e, field, value, cv::localizedString(converted ? "Change Converted Amount" : "Change Amount"));
        return;
    }
    case MemoColumn:
        if (text == e->memo()) return;
        change(e, Field::Memo, text, cv::localizedString("Change Memo"));
        return;
    default: return;
    }
}

// ---- the kind chooser and the transfer popup

void AccountBookPanel::editSpecialPopupForColumn(int column, int row)
{
    if (tableView()->cidOfColumn(column) == KindColumn) runKindPopup(column, row);
}

void AccountBookPanel::runKindPopup(int column, int row)
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    m_kindSource->setDocument(doc(), 16);
    const int selected = e->kind() == cv::EntryKind::Transfer ? kTransferRow : e->category();
    QPointer<AccountBookPanel> self(this);
    cv::ChooserPopup::get()->runForCell(tableView(), column, row, m_kindSource.get(),
                                        m_kindSource->objectWithIdentifier(selected),
                                        [self](const cv::ChooserItem &item) {
                                            if (self) self->endKindPopup(item);
                                        });
}

void AccountBookPanel::endKindPopup(const cv::ChooserItem &item)
{
    const EntryPtr e = entryAt(m_popupRow);
    if (!item || !e) {
        reeditPopupCell();
        return;
    }
    if (item.ident() == kTransferRow) {
        m_lastKind = cv::EntryKind::Expense;
        m_lastCategory = kMiscExpense;
        const QRect cell = tableView()->cellFrame(m_popupColumn, m_popupRow);
        transferFieldDialog()->runForPanel(this, e, tableView()->viewport()->mapToGlobal(cell.topLeft()));
        return;
    }
    const QString title =
        cv::formatString(QStringLiteral("%@ %@"), {cv::localizedString("Change"), cv::localizedString("Kind")});
    beginBatchChangeWithTitle(title);
    if (item.ident() != e->category()) {
        m_lastCategory = item.ident();
        change(e, Field::Category, item.ident(), title);
    }
    if (m_kindSource->objects().empty()) m_kindSource->setDocument(doc(), 16);
    const cv::EntryKind kind = m_kindSource->kindOfCategory(item.ident());
    if (kind != e->kind()) {
        if (isTransferIn(*e)) {
            // Booked on this account: what arrived here becomes the amount.
            change(e, Field::Amount, arrivedAmount(*e), title);
            change(e, Field::Account, accountIdent(), title);
        }
        change(e, Field::Converted, 0.0, title);
        change(e, Field::Kind, cv::raw(kind), title);
        change(e, Field::Destination, 0,
               cv::formatString(QStringLiteral("%@ %@"),
                                {cv::localizedString("Change"), cv::localizedString("Destination")}));
        m_lastKind = kind;
    }
    endBatchChange();
}

void AccountBookPanel::finishedEditing(const EntryPtr &row, int account, int destination, double amount,
                                       double converted)
{
    if (indexOfRow(row) < 0) return;
    const QString title =
        cv::formatString(QStringLiteral("%@ %@"), {cv::localizedString("Change"), cv::localizedString("Kind")});
    Entry probe = *row;
    probe.setAccount(account);
    probe.setDestination(destination);
    doc()->fixupTransferCategory(probe);
    beginBatchChangeWithTitle(title);
    setChanged(row);
    change(row, Field::Account, account, title);
    change(row, Field::Destination, destination, title);
    change(row, Field::Amount, amount, title);
    change(row, Field::Converted, converted, title);
    change(row, Field::Kind, cv::raw(cv::EntryKind::Transfer), title);
    change(row, Field::Category, probe.category(), title);
    endBatchChange();
}

void AccountBookPanel::toggleRowDeletedFlag(int tag)
{
    if (tag >= 0) toggleDeletedInPlace(rowAt(tag));
}

QString AccountBookPanel::deleteItemTitle() const
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    const EntryPtr row = selected.isEmpty() ? nullptr : entryAt(selected.first().row());
    return cv::localizedString(row && (row->flags() & cv::EditDeleted) ? "Undelete" : "Delete");
}

std::optional<bool> AccountBookPanel::validateMenuItem(const EditingTable *table, const QAction *action) const
{
    if (!action || !isPanelMenuTag(action->data().toInt())) return std::nullopt;
    if (action->data().toInt() != AddOrDeleteTag) return false;
    const QModelIndexList selected =
        table && table->selectionModel() ? table->selectionModel()->selectedRows() : QModelIndexList();
    return !selected.isEmpty() && canDeleteRow(selected.first().row()).value_or(false);
}

std::vector<RowPanel::PanelMenuEntry> AccountBookPanel::panelMenuEntries() const
{
    return {{AddOrDeleteTag, deleteItemTitle()}};
}

void AccountBookPanel::panelMenuSelected(int tag)
{
    if (tag != AddOrDeleteTag) return;
    // Deleted rows stay in place, red, until the commit: the same item
    // brings them back.
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    std::vector<RowPtr> rows;
    for (const QModelIndex &index : selected)
        if (RowPtr row = rowAt(index.row()); row && canDeleteRow(index.row()).value_or(false)) rows.push_back(row);
    if (rows.empty()) return;
    const bool restoring = entryOf(rows.front())->flags() & cv::EditDeleted;
    doc()->undoStack()->beginMacro(cv::localizedString(restoring ? "Undelete" : "Delete"));
    for (const RowPtr &row : rows)
        if (bool(entryOf(row)->flags() & cv::EditDeleted) == restoring) toggleDeletedInPlace(row);
    doc()->undoStack()->endMacro();
    updateButtons();
}

// ---- commit

void AccountBookPanel::commitRows()
{
    int rc = 0;
    {
        cv::EditScope edit(*doc());
        for (const RowPtr &ptr : pendingRows()) {
            const EntryPtr row = entryOf(ptr);
            const EntryPtr copy = copyOf(row);
            const int flags = row->flags();
            const bool touched = flags & (cv::EditChanged | cv::EditNew);
            if (touched) dropDeletedGroupings(*row);
            // Zero means "delete" only for what the user entered or changed;
            // stored zero entries (imports, XML) stay.
            if (touched && row->amount() == 0) {
                if (flags & cv::EditNew) continue;
                row->setFlags(flags | cv::EditDeleted);
            }
            if (row->flags() & cv::EditDeleted) {
                if (flags & cv::EditNew) continue;
                writeEntry(nullptr, copy ? copy : row);
                ++rc;
                continue;
            }
            if (!touched) continue;
            if (copy && copy->kind() != row->kind()) {
                writeEntry(nullptr, copy);
                writeEntry(row, nullptr);
            } else {
                writeEntry(row, copy);
            }
            ++rc;
        }
        doc()->commitCategoryTrees();
    }
    setReturnCode(rc);
    if (rc > 0) Q_EMIT searchListShouldClear();
}

} // namespace cv
