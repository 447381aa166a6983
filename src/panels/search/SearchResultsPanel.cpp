#include "panels/search/SearchResultsPanel.h"

#include "controls/CategoryChooserModel.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/TableColumn.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "model/Security.h"
#include "model/EditFlags.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTimer>

#include <set>

namespace cv {

namespace {

QString plainText(const cv::CellValue &value)
{
    if (value.userType() == qMetaTypeId<cv::StyledText>()) return value.value<cv::StyledText>().text;
    return value.toString();
}
} // namespace

SearchResultsPanel::SearchResultsPanel(Book *doc, QWidget *parent) : TransferPanel(doc, parent)
{
    setEditOnly(true);
    layoutPanel(nullptr, nullptr, nullptr);
    okButton()->hide();
    buildTable();
}

SearchResultsPanel::~SearchResultsPanel()
{
    detachFromTable();
}

void SearchResultsPanel::buildTable()
{
    buildColumns({
        {DateColumn, "Report-Date", 112, cv::CellKind::Date},
        {CategoryColumn, "Report-Search-Category", 140, cv::CellKind::Chooser},
        {AccountColumn, "Report-Account", 120, cv::CellKind::Chooser},
        {DestinationColumn, "Report-Search-Destination", 120, cv::CellKind::Chooser},
        {IncomeColumn, "Report-Search-Income", 100, cv::CellKind::Plain},
        {ExpenseColumn, "Report-Search-Expense", 100, cv::CellKind::Plain},
        {GroupColumn, "Report-Group", 100, cv::CellKind::Chooser},
        {MemoColumn, "Report-Memo", 180, cv::CellKind::Plain},
    });
    for (int cid : {CategoryColumn, AccountColumn, DestinationColumn}) tableView()->setColumnFitsContent(cid);
}

// ---- the list

void SearchResultsPanel::setResults(const std::vector<SearchRecord> &results)
{
    tableView()->forceEndFieldEditing(false);
    m_oldTrades.clear();
    m_oldValues.clear();
    std::vector<RowPtr> rows;
    rows.reserve(results.size());
    for (const SearchRecord &record : results) {
        if (record.trade) {
            rows.push_back(record.trade);
        } else if (record.entry) {
            rows.push_back(record.entry);
        }
    }
    setItems(std::move(rows));
    reloadTable();
}

bool SearchResultsPanel::isTrade(int row) const
{
    const RowPtr r = rowAt(row);
    return r && isTradeRow(r);
}

TradePtr SearchResultsPanel::tradeAt(int row) const
{
    const RowPtr r = rowAt(row);
    return r && isTradeRow(r) ? trade(r) : nullptr;
}

void SearchResultsPanel::removeRow(int row)
{
    const RowPtr r = rowAt(row);
    if (!r) return;
    tableView()->forceEndFieldEditing(false);
    removeRowAt(row);
    reloadTable();
}

void SearchResultsPanel::readRows()
{
    // The results are not read again: what was written stays, what was deleted goes.
    // Copies of entries that an undo changed under them are dropped whole, as a write elsewhere drops them.
    if (isFollowingBookStep()) {
        setItems({});
        return;
    }
    std::vector<RowPtr> kept;
    for (const RowPtr &row : items()) {
        if (rowFlags(row) & cv::EditDeleted) continue;
        setRowFlags(row, 0);
        kept.push_back(row);
    }
    setItems(std::move(kept));
}

void SearchResultsPanel::settleAfterCommit()
{
    m_oldTrades.clear();
    TransferPanel::settleAfterCommit();
}

void SearchResultsPanel::groupsDeleted(const QList<int> &idents)
{
    const auto dropGroup = [&](const RowPtr &row) {
        if (!isTradeRow(row) && idents.contains(entryOf(row)->group())) entryOf(row)->setGroup(0);
    };
    for (const RowPtr &row : items()) dropGroup(row);
    for (const RowPtr &row : deletedItems()) dropGroup(row);
    reloadTable();
}

// ---- row hooks: trades first

void SearchResultsPanel::setChanged(const RowPtr &row)
{
    if (!isTradeRow(row)) {
        TransferPanel::setChanged(row);
        return;
    }
    const TradePtr t = trade(row);
    if (!(t->flags() & (cv::EditChanged | cv::EditNew))) m_oldTrades[t] = t->clone();
    t->setFlags(t->flags() | cv::EditChanged);
    doc()->updateChangeCount(BookChanges::ChangeDone);
    markChanged();
}

bool SearchResultsPanel::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    return rowDate(a) < rowDate(b);
}

// A trade row changes only its date here; the trade panel edits the rest.
QVariant SearchResultsPanel::fieldValue(const RowPtr &row, int field) const
{
    if (!isTradeRow(row)) return TransferPanel::fieldValue(row, field);
    Q_ASSERT(Field(field) == Field::Date);
    return Field(field) == Field::Date ? QVariant(rowDate(row)) : QVariant();
}

void SearchResultsPanel::setFieldValue(const RowPtr &row, int field, const QVariant &value)
{
    if (!isTradeRow(row)) {
        TransferPanel::setFieldValue(row, field, value);
        return;
    }
    Q_ASSERT(Field(field) == Field::Date);
    if (Field(field) == Field::Date) setRowDate(row, value.toDate());
}

// ---- cells

QString SearchResultsPanel::accountName(int ident) const
{
    const NodePtr node = ident > 0 ? doc()->findAccount(ident) : nullptr;
    return node ? doc()->displayName(*node) : QString();
}

cv::CellValue SearchResultsPanel::amountCell(double value, int account) const
{
    if (!doc()->findAccount(account)) return QString();
    return amountValue(value, doc()->currencyOfAccount(account));
}

cv::CellValue SearchResultsPanel::tradeValue(const Trade &t, int cid) const
{
    switch (cid) {
    case DateColumn: return cv::formatProgramDate(t.date());
    case IncomeColumn: return t.amount() > 0 ? amountCell(t.amount(), t.account()) : QString();
    case MemoColumn: return t.memo();
    case AccountColumn: return accountName(t.account());
    case DestinationColumn: return t.kind() == cv::TradeKind::TransferUnits ? accountName(t.transfer()) : QString();
    case ExpenseColumn: return t.amount() < 0 ? amountCell(-t.amount(), t.account()) : QString();
    case CategoryColumn: {
        const SecurityPtr security = doc()->findSecurity(t.security());
        return cv::formatString(QStringLiteral("%@ %@"), {t.operationName(), security ? security->name() : QString()});
    }
    default: return QString();
    }
}

cv::CellValue SearchResultsPanel::entryValue(const Entry &e, int cid) const
{
    switch (cid) {
    case DateColumn: return cv::formatProgramDate(e.date());
    case IncomeColumn: return e.kind() == cv::EntryKind::Income ? amountCell(e.amount(), e.account()) : QString();
    case GroupColumn: {
        const GroupingPtr grouping = e.group() != 0 ? doc()->findGrouping(e.group()) : nullptr;
        return grouping ? grouping->name() : QString();
    }
    case MemoColumn: return e.memo();
    case AccountColumn: return accountName(e.account());
    case DestinationColumn: return e.kind() == cv::EntryKind::Transfer ? accountName(e.destination()) : QString();
    case ExpenseColumn:
        return e.kind() == cv::EntryKind::Expense || e.kind() == cv::EntryKind::Transfer
                   ? amountCell(e.amount(), e.account())
                   : QString();
    case CategoryColumn: {
        if (e.kind() == cv::EntryKind::Transfer) return cv::localizedString("Money Transfer");
        const NodePtr category =
            e.kind() == cv::EntryKind::Income ? doc()->findIncome(e.category()) : doc()->findExpense(e.category());
        const QString name = category ? doc()->displayName(*category) : QString();
        if (!name.isEmpty()) return name;
        return cv::localizedString(e.kind() == cv::EntryKind::Income ? "Report-Search-Income"
                                                                     : "Report-Search-Expense");
    }
    default: return QString();
    }
}

cv::CellValue SearchResultsPanel::valueOfColumnId(int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r) return QString();
    return isTradeRow(r) ? tradeValue(*trade(r), cid) : entryValue(*entryOf(r), cid);
}

QString SearchResultsPanel::textOfColumnId(int cid, int row) const
{
    return plainText(valueOfColumnId(cid, row));
}

cv::CellValue SearchResultsPanel::objectValue(const EditingTable *, int cid, int row) const
{
    return valueOfColumnId(cid, row);
}

QStringList SearchResultsPanel::reportHeaderTitles()
{
    QStringList titles;
    for (const char *key : {"Report-Date", "Report-Search-Category", "Report-Account", "Report-Search-Destination",
                            "Report-Search-Income", "Report-Search-Expense", "Report-Group", "Report-Memo"})
        titles << cv::localizedString(key);
    return titles;
}

QStringList SearchResultsPanel::searchReportCallback(int level, int index) const
{
    if (level == kHeaderLevel) return reportHeaderTitles();
    QStringList cells;
    for (int cid : {DateColumn, CategoryColumn, AccountColumn, DestinationColumn, IncomeColumn, ExpenseColumn,
                    GroupColumn, MemoColumn})
        cells << textOfColumnId(cid, index);
    return cells;
}

void SearchResultsPanel::prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r) return;
    if (isTradeRow(r)) {
        cell.showsButtons = false; // a trade's chooser cells are not edited here
        return;
    }
    TransferPanel::prepareCell(table, cell, cid, row);
    cell.placeholder.clear();
    cell.showsButtons = isColumnSelectable(table, cid, row);
}

// ---- editing decisions

bool SearchResultsPanel::touchesLoan(int row) const
{
    return !isTrade(row) && isLoan(row);
}

bool SearchResultsPanel::isColumnSelectable(const EditingTable *table, int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r) return false;
    if (isTradeRow(r)) return cid == DateColumn;
    if (touchesLoan(row)) return false;
    const Entry &e = *entryOf(r);
    if (e.kind() != cv::EntryKind::Transfer) return cid != DestinationColumn;
    // A transfer's amounts are not edited here.
    if (cid == IncomeColumn || cid == ExpenseColumn) return false;
    return TransferPanel::isColumnSelectable(table, cid, row);
}

bool SearchResultsPanel::isColumnEditable(int cid, int row) const
{
    if (isTrade(row)) return cid == DateColumn;
    return cid == CategoryColumn || TransferPanel::isColumnEditable(cid, row);
}

std::optional<bool> SearchResultsPanel::canDeleteRow(int row) const
{
    return row >= 0 && row < count() && !touchesLoan(row);
}

bool SearchResultsPanel::columnAllowsNegativeInput(int, int row) const
{
    const RowPtr r = rowAt(row);
    return r && !isTradeRow(r) && entryOf(r)->kind() != cv::EntryKind::Transfer;
}

int SearchResultsPanel::firstUnfinishedColumnForRow(int row) const
{
    const RowPtr r = rowAt(row);
    if (!r || isTradeRow(r)) return -1;
    const Entry &e = *entryOf(r);
    if (e.account() < 1) return AccountColumn;
    if (e.kind() == cv::EntryKind::Transfer && e.destination() < 1) return DestinationColumn;
    return e.amount() == 0 ? IncomeColumn : -1;
}

std::optional<SearchResultsPanel::Field> SearchResultsPanel::amountFieldForColumn(int cid) const
{
    return cid == IncomeColumn || cid == ExpenseColumn ? std::optional(Field::Amount) : std::nullopt;
}

std::optional<SearchResultsPanel::Field> SearchResultsPanel::accountFieldForColumn(int cid, const Entry &row) const
{
    const int column = row.kind() == cv::EntryKind::Expense ? ExpenseColumn : IncomeColumn;
    return cid == column ? std::optional(Field::Account) : std::nullopt;
}

std::optional<cv::CellCurrency> SearchResultsPanel::currencyForColumn(int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r || isTradeRow(r) || (cid != IncomeColumn && cid != ExpenseColumn)) return std::nullopt;
    const CurrencyPtr currency = doc()->findCurrency(doc()->currencyOfAccount(entryOf(r)->account()));
    if (!currency) return std::nullopt;
    return cv::CellCurrency{currency->ident(), currency->fraction()};
}

// ---- typing and choosers

void SearchResultsPanel::setObjectValue(EditingTable *table, const QString &text, int cid, int row)
{
    const RowPtr r = rowAt(row);
    if (!r) return;
    if (!isTradeRow(r)) {
        TransferPanel::setObjectValue(table, text, cid, row);
        return;
    }
    if (cid != DateColumn) return;
    const std::optional<QDate> date = cv::parseProgramDate(text);
    if (!date || !acceptsDate(*date) || *date == rowDate(r)) return;
    change(r, Field::Date, *date, cv::localizedString("Change Date"));
}

void SearchResultsPanel::performInputDate(const QDate &date)
{
    if (!acceptsDate(date)) return;
    int changed = 0;
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows()) {
        const RowPtr r = rowAt(index.row());
        if (!r || rowDate(r) == date || touchesLoan(index.row())) continue;
        change(r, Field::Date, date, cv::localizedString("Change Date"));
        ++changed;
    }
    if (changed) reloadTable();
}

void SearchResultsPanel::editSpecialPopupForColumn(int column, int row)
{
    const int cid = tableView()->cidOfColumn(column);
    const RowPtr r = rowAt(row);
    if (!r || isTradeRow(r)) return;
    const EntryPtr e = entryOf(r);
    if (cid == AccountColumn) {
        runAccountPopup(column, row, Field::Account, e->kind() == cv::EntryKind::Transfer ? e->destination() : 0);
        return;
    }
    if (cid == DestinationColumn) {
        runAccountPopup(column, row, Field::Destination, e->account());
        return;
    }
    if (cid != CategoryColumn) return;
    const int mode = e->kind() == cv::EntryKind::Expense ? 2 : e->kind() == cv::EntryKind::Income ? 1 : 8;
    runCategoryPopup(column, row, mode, e->category());
}

void SearchResultsPanel::endAccountPopup(const cv::ChooserItem &result)
{
    const RowPtr r = rowAt(m_popupRow);
    if (r && !isTradeRow(r) && result && result.ident() >= 0 && entryOf(r)->kind() == cv::EntryKind::Transfer) {
        const Entry &e = *entryOf(r);
        const int current = m_popupField == Field::Destination ? e.destination() : e.account();
        if (current > 0 && doc()->currencyOfAccount(current) != doc()->currencyOfAccount(result.ident())) {
            Alert::warn(cv::localizedString("Search-Cannot-Change-Currency-Warning"));
            reeditPopupCell();
            return;
        }
    }
    TransferPanel::endAccountPopup(result);
}

bool SearchResultsPanel::handleClick(EditingTable *, const QMouseEvent *, int cid, int row)
{
    const TradePtr t = tradeAt(row);
    if (!t || cid == DateColumn) return false;
    // Read everything first: the page switch commits these rows and may clear the list.
    const int account = t->account();
    const int ident = t->ident();
    const QDate from = rowDate(rowAt(0));
    const QDate to = rowDate(rowAt(rowCount() - 1));
    QPointer<SearchResultsPanel> self(this);
    QTimer::singleShot(0, this, [self, account, from, to, ident] {
        if (self) Q_EMIT self->openTradeRequested(account, from, to, ident);
    });
    return true;
}

// ---- commit

void SearchResultsPanel::commitRows()
{
    std::set<SecurityPtr> securities;
    bool tradeApplied = false;
    int rc = 0;
    {
        cv::EditScope edit(*doc());
        for (const RowPtr &ptr : pendingRows()) {
            if (isTradeRow(ptr)) {
                const TradePtr t = trade(ptr);
                if (!(t->flags() & (cv::EditChanged | cv::EditDeleted))) continue;
                doc()->applyTrade(t, doc()->findAccount(t->account()), m_oldTrades, securities, m_autoPriceUpdate);
                tradeApplied = true;
                ++rc;
                continue;
            }
            const EntryPtr row = entryOf(ptr);
            const EntryPtr copy = copyOf(row);
            if (row->amount() == 0 && (row->flags() & cv::EditChanged)) row->setFlags(row->flags() | cv::EditDeleted);
            const bool deleted = row->flags() & cv::EditDeleted;
            if (!deleted && !(row->flags() & cv::EditChanged)) continue;
            if (!deleted) {
                dropDeletedGroupings(*row);
                if (row->kind() == cv::EntryKind::Transfer) doc()->fixupTransferCategory(*row);
            }
            const EntryPtr entry = deleted ? nullptr : row;
            const EntryPtr old = deleted ? (copy ? copy : row) : copy;
            writeEntry(entry, old);
            ++rc;
        }
        if (tradeApplied) doc()->applySecurities(securities);
    }
    setReturnCode(rc);
    if (rc > 0) Q_EMIT searchListShouldClear();
}

} // namespace cv
