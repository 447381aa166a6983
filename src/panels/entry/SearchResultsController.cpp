#include "panels/entry/SearchResultsController.h"

#include "controls/ActualDataSource.h"
#include "controls/CV4TableView.h"
#include "controls/CustomPopup.h"
#include "controls/TableColumn.h"
#include "document/CV4Document.h"
#include "document/EditScope.h"
#include "model/CV4Brand.h"
#include "model/CV4EditFlags.h"
#include "platform/CV4Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTimer>

#include <set>

namespace {

QString plainText(const cv::CellValue &value)
{
    if (value.userType() == qMetaTypeId<cv::StyledText>()) return value.value<cv::StyledText>().text;
    return value.toString();
}
} // namespace

SearchResultsController::SearchResultsController(CV4Document *doc, QWidget *parent)
    : TransferPanelController(doc, parent)
{
    setEditOnly(true);
    layoutPanel(nullptr, nullptr, nullptr);
    okButton()->hide();
    buildTable();
}

SearchResultsController::~SearchResultsController()
{
    detachFromTable();
}

void SearchResultsController::buildTable()
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

void SearchResultsController::setResults(const std::vector<CV4SearchRecord> &results)
{
    tableView()->forceEndFieldEditing(false);
    m_oldTrades.clear();
    m_oldValues.clear();
    std::vector<RowPtr> rows;
    rows.reserve(results.size());
    for (const CV4SearchRecord &record : results) {
        if (record.trade) {
            rows.push_back(record.trade);
        } else if (record.actual) {
            rows.push_back(record.actual);
        }
    }
    setItems(std::move(rows));
    reloadTable();
}

bool SearchResultsController::isTrade(int row) const
{
    const RowPtr r = rowAt(row);
    return r && isTradeRow(r);
}

CV4TradePtr SearchResultsController::tradeAt(int row) const
{
    const RowPtr r = rowAt(row);
    return r && isTradeRow(r) ? trade(r) : nullptr;
}

void SearchResultsController::removeRow(int row)
{
    const RowPtr r = rowAt(row);
    if (!r) return;
    tableView()->forceEndFieldEditing(false);
    removeRowAt(row);
    reloadTable();
}

void SearchResultsController::collectData()
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

void SearchResultsController::settleAfterCommit()
{
    m_oldTrades.clear();
    TransferPanelController::settleAfterCommit();
}

void SearchResultsController::groupsDeleted(const QList<int> &idents)
{
    for (const auto *list : {&items(), &deletedItems()}) {
        for (const RowPtr &row : *list)
            if (!isTradeRow(row) && idents.contains(actual(row)->group())) actual(row)->setGroup(0);
    }
    reloadTable();
}

// ---- row hooks: trades first

void SearchResultsController::setChanged(const RowPtr &row)
{
    if (!isTradeRow(row)) {
        TransferPanelController::setChanged(row);
        return;
    }
    const CV4TradePtr t = trade(row);
    if (!(t->flags() & (cv::EditChanged | cv::EditNew))) m_oldTrades[t] = t->clone();
    t->setFlags(t->flags() | cv::EditChanged);
    doc()->updateChangeCount(CV4DocumentChanges::ChangeDone);
    markChanged();
}

bool SearchResultsController::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    return rowDate(a) < rowDate(b);
}

// A trade row changes only its date here; the trade panel edits the rest.
QVariant SearchResultsController::fieldValue(const RowPtr &row, int field) const
{
    if (!isTradeRow(row)) return TransferPanelController::fieldValue(row, field);
    Q_ASSERT(Field(field) == Field::Date);
    return Field(field) == Field::Date ? QVariant(rowDate(row)) : QVariant();
}

void SearchResultsController::setFieldValue(const RowPtr &row, int field, const QVariant &value)
{
    if (!isTradeRow(row)) {
        TransferPanelController::setFieldValue(row, field, value);
        return;
    }
    Q_ASSERT(Field(field) == Field::Date);
    if (Field(field) == Field::Date) setRowDate(row, value.toDate());
}

// ---- cells

QString SearchResultsController::accountName(int ident) const
{
    const CVUnitModelPtr node = ident > 0 ? doc()->findAccount(ident) : nullptr;
    return node ? doc()->displayName(*node) : QString();
}

cv::CellValue SearchResultsController::amountCell(double value, int account) const
{
    if (!doc()->findAccount(account)) return QString();
    return amountValue(value, doc()->currencyOfAccount(account));
}

cv::CellValue SearchResultsController::tradeValue(const CV4Trade &t, int cid) const
{
    switch (cid) {
    case DateColumn: return cv::formatProgramDate(t.date());
    case IncomeColumn: return t.amount() > 0 ? amountCell(t.amount(), t.account()) : QString();
    case MemoColumn: return t.memo();
    case AccountColumn: return accountName(t.account());
    case DestinationColumn: return t.kind() == cv::TradeKind::TransferUnits ? accountName(t.transfer()) : QString();
    case ExpenseColumn: return t.amount() < 0 ? amountCell(-t.amount(), t.account()) : QString();
    case CategoryColumn: {
        const CV4BrandPtr brand = doc()->findBrand(t.brand());
        return cv::formatString(QStringLiteral("%@ %@"), {t.operationName(), brand ? brand->name() : QString()});
    }
    default: return QString();
    }
}

cv::CellValue SearchResultsController::entryValue(const CV4Actual &e, int cid) const
{
    switch (cid) {
    case DateColumn: return cv::formatProgramDate(e.date());
    case IncomeColumn: return e.kind() == cv::EntryKind::Income ? amountCell(e.amount(), e.account()) : QString();
    case GroupColumn: {
        const CV4GroupingPtr grouping = e.group() != 0 ? doc()->findGrouping(e.group()) : nullptr;
        return grouping ? grouping->name() : QString();
    }
    case MemoColumn: return e.memo();
    case AccountColumn: return accountName(e.account());
    case DestinationColumn: return e.kind() == cv::EntryKind::Transfer ? accountName(e.destination()) : QString();
    case ExpenseColumn:
        return e.kind() == cv::EntryKind::Expense || e.kind() == cv::EntryKind::Transfer ? amountCell(e.amount(), e.account())
                                                                                : QString();
    case CategoryColumn: {
        if (e.kind() == cv::EntryKind::Transfer) return cv::localizedString("Money Transfer");
        const CVUnitModelPtr category =
            e.kind() == cv::EntryKind::Income ? doc()->findIncome(e.category()) : doc()->findExpense(e.category());
        const QString name = category ? doc()->displayName(*category) : QString();
        if (!name.isEmpty()) return name;
        return cv::localizedString(e.kind() == cv::EntryKind::Income ? "Report-Search-Income" : "Report-Search-Expense");
    }
    default: return QString();
    }
}

cv::CellValue SearchResultsController::valueOfColumnId(int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r) return QString();
    return isTradeRow(r) ? tradeValue(*trade(r), cid) : entryValue(*actual(r), cid);
}

QString SearchResultsController::textOfColumnId(int cid, int row) const
{
    return plainText(valueOfColumnId(cid, row));
}

cv::CellValue SearchResultsController::objectValue(const CV4TableView *, int cid, int row) const
{
    return valueOfColumnId(cid, row);
}

QStringList SearchResultsController::reportHeaderTitles()
{
    QStringList titles;
    for (const char *key : {"Report-Date", "Report-Search-Category", "Report-Account", "Report-Search-Destination",
                            "Report-Search-Income", "Report-Search-Expense", "Report-Group", "Report-Memo"})
        titles << cv::localizedString(key);
    return titles;
}

QStringList SearchResultsController::searchReportCallback(int level, int index) const
{
    if (level == kHeaderLevel) return reportHeaderTitles();
    QStringList cells;
    for (int cid : {DateColumn, CategoryColumn, AccountColumn, DestinationColumn, IncomeColumn, ExpenseColumn,
                    GroupColumn, MemoColumn})
        cells << textOfColumnId(cid, index);
    return cells;
}

void SearchResultsController::prepareCell(const CV4TableView *table, cv::PreparedCell &cell, int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r) return;
    if (isTradeRow(r)) {
        cell.showsButtons = false;  // a trade's chooser cells are not edited here
        return;
    }
    TransferPanelController::prepareCell(table, cell, cid, row);
    cell.placeholder.clear();
    cell.showsButtons = isColumnSelectable(table, cid, row);
}

// ---- editing decisions

bool SearchResultsController::touchesLoan(int row) const
{
    return !isTrade(row) && isLoan(row);
}

bool SearchResultsController::isColumnSelectable(const CV4TableView *table, int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r) return false;
    if (isTradeRow(r)) return cid == DateColumn;
    if (touchesLoan(row)) return false;
    const CV4Actual &e = *actual(r);
    if (e.kind() != cv::EntryKind::Transfer) return cid != DestinationColumn;
    // A transfer's amounts are not edited here.
    if (cid == IncomeColumn || cid == ExpenseColumn) return false;
    return TransferPanelController::isColumnSelectable(table, cid, row);
}

bool SearchResultsController::isColumnEditable(int cid, int row) const
{
    if (isTrade(row)) return cid == DateColumn;
    return cid == CategoryColumn || TransferPanelController::isColumnEditable(cid, row);
}

std::optional<bool> SearchResultsController::canDeleteRow(int row) const
{
    return row >= 0 && row < count() && !touchesLoan(row);
}

bool SearchResultsController::columnAllowsNegativeInput(int, int row) const
{
    const RowPtr r = rowAt(row);
    return r && !isTradeRow(r) && actual(r)->kind() != cv::EntryKind::Transfer;
}

int SearchResultsController::firstUnfinishedColumnForRow(int row) const
{
    const RowPtr r = rowAt(row);
    if (!r || isTradeRow(r)) return -1;
    const CV4Actual &e = *actual(r);
    if (e.account() < 1) return AccountColumn;
    if (e.kind() == cv::EntryKind::Transfer && e.destination() < 1) return DestinationColumn;
    return e.amount() == 0 ? IncomeColumn : -1;
}

std::optional<SearchResultsController::Field> SearchResultsController::amountFieldForColumn(int cid) const
{
    return cid == IncomeColumn || cid == ExpenseColumn ? std::optional(Field::Amount) : std::nullopt;
}

std::optional<SearchResultsController::Field> SearchResultsController::accountFieldForColumn(int cid,
                                                                                          const CV4Actual &row) const
{
    const int column = row.kind() == cv::EntryKind::Expense ? ExpenseColumn : IncomeColumn;
    return cid == column ? std::optional(Field::Account) : std::nullopt;
}

std::optional<cv::CellCurrency> SearchResultsController::currencyForColumn(int cid, int row) const
{
    const RowPtr r = rowAt(row);
    if (!r || isTradeRow(r) || (cid != IncomeColumn && cid != ExpenseColumn)) return std::nullopt;
    const CV4CurrencyPtr currency = doc()->findCurrency(doc()->currencyOfAccount(actual(r)->account()));
    if (!currency) return std::nullopt;
    return cv::CellCurrency{currency->ident(), currency->fraction()};
}

// ---- typing and choosers

void SearchResultsController::setObjectValue(CV4TableView *table, const QString &text, int cid, int row)
{
    const RowPtr r = rowAt(row);
    if (!r) return;
    if (!isTradeRow(r)) {
        TransferPanelController::setObjectValue(table, text, cid, row);
        return;
    }
    if (cid != DateColumn) return;
    const std::optional<QDate> date = cv::parseProgramDate(text);
    if (!date || !acceptsDate(*date) || *date == rowDate(r)) return;
    change(r, Field::Date, *date, cv::localizedString("Change Date"));
}

void SearchResultsController::performInputDate(const QDate &date)
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

void SearchResultsController::editSpecialPopupForColumn(int column, int row)
{
    const int cid = tableView()->cidOfColumn(column);
    const RowPtr r = rowAt(row);
    if (!r || isTradeRow(r)) return;
    const CV4ActualPtr e = actual(r);
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

void SearchResultsController::endAccountPopup(const cv::ChooserItem &result)
{
    const RowPtr r = rowAt(m_popupRow);
    if (r && !isTradeRow(r) && result && result.ident() >= 0 && actual(r)->kind() == cv::EntryKind::Transfer) {
        const CV4Actual &e = *actual(r);
        const int current = m_popupField == Field::Destination ? e.destination() : e.account();
        if (current > 0 && doc()->currencyOfAccount(current) != doc()->currencyOfAccount(result.ident())) {
            CV4Alert::warn(cv::localizedString("Search-Cannot-Change-Currency-Warning"));
            reeditPopupCell();
            return;
        }
    }
    TransferPanelController::endAccountPopup(result);
}

bool SearchResultsController::handleClick(CV4TableView *, const QMouseEvent *, int cid, int row)
{
    const CV4TradePtr t = tradeAt(row);
    if (!t || cid == DateColumn) return false;
    // Read everything first: the page switch commits these rows and may clear the list.
    const int account = t->account();
    const int ident = t->ident();
    const QDate from = rowDate(rowAt(0));
    const QDate to = rowDate(rowAt(rowCount() - 1));
    QPointer<SearchResultsController> self(this);
    QTimer::singleShot(0, this, [self, account, from, to, ident] {
        if (self) Q_EMIT self->openTradeRequested(account, from, to, ident);
    });
    return true;
}

// ---- commit

void SearchResultsController::commitRows()
{
    std::set<CV4BrandPtr> brands;
    bool tradeApplied = false;
    int rc = 0;
    {
        cv::EditScope edit(*doc());
        for (const RowPtr &ptr : pendingRows()) {
            if (isTradeRow(ptr)) {
                const CV4TradePtr t = trade(ptr);
                if (!(t->flags() & (cv::EditChanged | cv::EditDeleted))) continue;
                doc()->applyTrade(t, doc()->findAccount(t->account()), m_oldTrades, brands, m_autoPriceUpdate);
                tradeApplied = true;
                ++rc;
                continue;
            }
            const CV4ActualPtr row = actual(ptr);
            const CV4ActualPtr copy = copyOf(row);
            if (row->amount() == 0 && (row->flags() & cv::EditChanged)) row->setFlags(row->flags() | cv::EditDeleted);
            const bool deleted = row->flags() & cv::EditDeleted;
            if (!deleted && !(row->flags() & cv::EditChanged)) continue;
            if (!deleted) {
                dropDeletedGroupings(*row);
                if (row->kind() == cv::EntryKind::Transfer) doc()->fixupTransferCategory(*row);
            }
            const CV4ActualPtr entry = deleted ? nullptr : row;
            const CV4ActualPtr old = deleted ? (copy ? copy : row) : copy;
            writeEntry(entry, old);
            ++rc;
        }
        if (tradeApplied) doc()->applyBrands(brands);
        doc()->accumulateAccount(nullptr);
    }
    setReturnCode(rc);
    if (rc > 0) Q_EMIT searchListShouldClear();
}
