#include "panels/entry/EntryPanel.h"

#include "controls/AccountChooserModel.h"
#include "controls/CategoryChooserModel.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/GroupChooserModel.h"
#include "controls/PopupFieldEditor.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "document/BookReads.h"
#include "document/EditScope.h"
#include "model/EditFlags.h"
#include "platform/Assert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"

#include <QAction>
#include <QPointer>
#include <QUndoCommand>
#include <QItemSelectionModel>

namespace cv {

namespace {
constexpr int kDateWindowYears = 100;
}

EntryPanel::EntryPanel(Book *doc, NodePtr item, const QDate &from, const QDate &to, QWidget *parent)
    : RowPanel(doc, std::move(item), from, to, parent), m_groupSource(std::make_unique<cv::GroupChooserModel>()),
      m_accountSource(std::make_unique<cv::AccountChooserModel>()),
      m_categorySource(std::make_unique<cv::CategoryChooserModel>())
{
}

EntryPanel::~EntryPanel() = default;

EntryPtr EntryPanel::copyOf(const EntryPtr &row) const
{
    const auto it = m_oldValues.find(row);
    return it == m_oldValues.end() ? nullptr : it->second;
}

// ---- rows

void EntryPanel::setChanged(const RowPtr &row)
{
    const EntryPtr entry = entryOf(row);
    if (!(entry->flags() & (cv::EditChanged | cv::EditNew))) m_oldValues[entry] = entry->clone();
    entry->setFlags(entry->flags() | cv::EditChanged);
    doc()->updateChangeCount(BookChanges::ChangeDone);
    markChanged();
    updateButtons();
}

bool EntryPanel::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    return Entry::rowOrder(entryOf(a), entryOf(b));
}

QVariant EntryPanel::fieldValue(const RowPtr &row, int field) const
{
    const EntryPtr entry = entryOf(row);
    CV_ASSERT_OR(entry, return {});
    const Entry &e = *entry;
    switch (Field(field)) {
    case Field::Date: return e.date();
    case Field::Kind: return cv::raw(e.kind());
    case Field::Category: return e.category();
    case Field::Account: return e.account();
    case Field::Destination: return e.destination();
    case Field::Group: return e.group();
    case Field::Amount: return e.amount();
    case Field::Converted: return e.converted();
    case Field::Memo: return e.memo();
    }
    Q_ASSERT(false);
    return {};
}

void EntryPanel::setFieldValue(const RowPtr &row, int field, const QVariant &value)
{
    const EntryPtr entry = entryOf(row);
    CV_ASSERT_OR(entry, return );
    Entry &e = *entry;
    switch (Field(field)) {
    case Field::Date: e.setDate(value.toDate()); return;
    case Field::Kind: e.setKind(cv::EntryKind(value.toInt())); return;
    case Field::Category: e.setCategory(value.toInt()); return;
    case Field::Account: e.setAccount(value.toInt()); return;
    case Field::Destination: e.setDestination(value.toInt()); return;
    case Field::Group: e.setGroup(value.toInt()); return;
    case Field::Amount: e.setAmount(value.toDouble()); return;
    case Field::Converted: e.setConverted(value.toDouble()); return;
    case Field::Memo: e.setMemo(value.toString()); return;
    }
    Q_ASSERT(false);
}

void EntryPanel::settleAfterCommit()
{
    m_oldValues.clear();
    RowPanel::settleAfterCommit();
}

namespace {

void writeTo(Book &doc, const EntryPtr &entry, const EntryPtr &old)
{
    const EntryPtr &row = entry ? entry : old;
    CV_ASSERT_OR(row, return );
    switch (row->kind()) {
    case cv::EntryKind::Expense: doc.updateExpense(entry, old); break;
    case cv::EntryKind::Transfer: doc.updateTransfer(entry, old); break;
    default: doc.updateIncome(entry, old); break;
    }
}

// The entries one commit wrote, written back on undo and again on redo. The
// book may have changed them since by a road the stack does not see (an
// account deleted, an import): then the step does nothing and leaves the stack.
class CommittedEntriesStep : public RowPanel::BookStep {
public:
    using Write = std::pair<EntryPtr, EntryPtr>; // before, after
    CommittedEntriesStep(Book *doc, std::vector<Write> writes)
        : BookStep(cv::localizedString(QStringLiteral("Panel-Commit-Step"))), m_doc(doc), m_writes(std::move(writes))
    {
    }
    void redo() override
    {
        if (std::exchange(m_written, false)) return; // the commit itself wrote it
        apply(true);
    }
    void undo() override { apply(false); }

private:
    void apply(bool forward)
    {
        if (!m_doc) return;
        for (const auto &[before, after] : m_writes) {
            const EntryPtr &from = forward ? before : after;
            if (from && !stored(*from)) {
                qCWarning(lcAssert) << "entries changed since their commit: its undo step is dropped";
                setObsolete(true);
                return;
            }
        }
        cv::EditScope edit(*m_doc);
        const auto step = [&](Write &write) {
            const EntryPtr &from = forward ? write.first : write.second;
            const EntryPtr &to = forward ? write.second : write.first;
            EntryPtr fresh = to ? to->clone() : nullptr;
            // Back in the book under an ident of its own: the old one may be another's by now.
            if (fresh && !from) fresh->setIdent(-1);
            writeTo(*m_doc, fresh, from ? from->clone() : nullptr);
            if (fresh && !from) to->setIdent(fresh->ident());
        };
        if (forward)
            std::for_each(m_writes.begin(), m_writes.end(), step);
        else
            std::for_each(m_writes.rbegin(), m_writes.rend(), step);
        m_doc->commitCategoryTrees();
    }
    bool stored(const Entry &e) const
    {
        bool found = false;
        m_doc->reads().readAccountEntries(e.account(), e.date(), e.date(), [&](const Entry &s) {
            found = found || (s.ident() == e.ident() && s.kind() == e.kind() && s.amount() == e.amount() &&
                              s.converted() == e.converted() && s.category() == e.category() &&
                              s.destination() == e.destination() && s.group() == e.group() && s.memo() == e.memo());
        });
        return found;
    }

    QPointer<Book> m_doc;
    std::vector<Write> m_writes;
    bool m_written = true;
};

} // namespace

void EntryPanel::writeEntry(const EntryPtr &entry, const EntryPtr &old)
{
    const EntryPtr before = old ? old->clone() : nullptr;
    writeTo(*doc(), entry, old);
    m_written.emplace_back(before, entry ? entry->clone() : nullptr);
}

std::unique_ptr<QUndoCommand> EntryPanel::takeCommitStep()
{
    if (m_written.empty()) return nullptr;
    return std::make_unique<CommittedEntriesStep>(doc(), std::exchange(m_written, {}));
}

bool EntryPanel::keepRowsOfFailedCommit()
{
    // Nothing to undo; a new row's insert was taken back, and its row id may go to another entry.
    m_written.clear();
    for (const RowPtr &row : pendingRows())
        if (const EntryPtr entry = entryOf(row); entry->flags() & cv::EditNew) entry->setIdent(-1);
    return true;
}

void EntryPanel::dropDeletedGroupings(Entry &row) const
{
    if (row.group() != 0 && !doc()->findGrouping(row.group())) row.setGroup(0);
}

bool EntryPanel::selectEntry(int ident)
{
    if (ident < 0) return false;
    for (const bool readAll : {false, true}) {
        // Rows not read yet are read only when the read ones do not hold it.
        if (readAll) readAllRows();
        for (const RowPtr &row : items()) {
            if (row && entryOf(row)->ident() == ident) {
                selectItem(row);
                return true;
            }
        }
    }
    return false;
}

void EntryPanel::updateGroup(const QList<int> &deletedGroups)
{
    for (const RowPtr &row : items())
        if (row && deletedGroups.contains(entryOf(row)->group())) entryOf(row)->setGroup(0);
    for (const RowPtr &row : deletedItems())
        if (deletedGroups.contains(entryOf(row)->group())) entryOf(row)->setGroup(0);
    if (deletedGroups.contains(m_lastGroup)) m_lastGroup = 0;
    reloadTable();
}

// ---- loans

bool EntryPanel::isLoan(int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return false;
    auto isLoanAccount = [this](int ident) {
        const NodePtr node = ident > 0 ? doc()->findAccount(ident) : nullptr;
        return node && node->kind() == cv::NodeKind::Loan;
    };
    if (e->kind() != cv::EntryKind::Transfer && e->destination() == 0) return isLoanAccount(e->account());
    return isLoanAccount(e->account()) || isLoanAccount(e->destination());
}

bool EntryPanel::isColumnSelectable(const EditingTable *, int cid, int row) const
{
    if (row < 0 || row >= rowCount()) return false;
    return !isLoan(row) || isColumnEditable(cid, row);
}

bool EntryPanel::isColumnEditable(int, int row) const
{
    return !isLoan(row);
}

bool EntryPanel::shouldEditColumn(const EditingTable *, int cid, int row) const
{
    return isColumnEditable(cid, row);
}

// ---- display

std::optional<EntryPanel::Field> EntryPanel::amountFieldForColumn(int cid) const
{
    return cid == 1 ? std::optional(Field::Amount) : std::nullopt;
}

std::optional<EntryPanel::Field> EntryPanel::accountFieldForColumn(int cid, const Entry &) const
{
    return cid == 1 ? std::optional(Field::Account) : std::nullopt;
}

cv::CellValue EntryPanel::uniqueContentForItem(const Entry &, int, const NodePtr &) const
{
    return QString();
}

void EntryPanel::uniqueSetObjectValue(const QString &, const EntryPtr &, int, int) {}

void EntryPanel::editSpecialPopupForColumn(int, int) {}

cv::CellValue EntryPanel::amountValue(double value, int currency) const
{
    cv::StyledText text;
    text.text = doc()->stringWithPrefixForValue(value, currency);
    text.alignment = Qt::AlignRight | Qt::AlignVCenter;
    text.negative = value < 0;
    if (value < 0) text.color = cv::negativeColor();
    return QVariant::fromValue(text);
}

cv::CellValue EntryPanel::objectValue(const EditingTable *, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return {};
    const std::optional<Field> accountField = accountFieldForColumn(cid, *e);
    const std::optional<Field> amountField = amountFieldForColumn(cid);
    if (e->account() > 0 && accountField && amountField) {
        const int account = fieldValue(e, int(*accountField)).toInt();
        return amountValue(fieldValue(e, int(*amountField)).toDouble(), doc()->currencyOfAccount(account));
    }
    switch (cid) {
    case 0: return cv::formatProgramDate(e->date());
    case 2: {
        const GroupingPtr grouping = e->group() != 0 ? doc()->findGrouping(e->group()) : nullptr;
        return grouping ? grouping->name() : QString();
    }
    case 3: return e->memo();
    default: return uniqueContentForItem(*e, cid, e->account() > 0 ? doc()->findAccount(e->account()) : nullptr);
    }
}

void EntryPanel::prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    cell.placeholder = isColumnSelectable(table, cid, row) ? QString() : QStringLiteral("----");
    if (cid == 0) {
        const bool selected = table && table->selectionModel()->isRowSelected(row, QModelIndex());
        cell.color = (e->flags() & (cv::EditChanged | cv::EditNew)) && !selected ? QColor(Qt::blue) : QColor(Qt::black);
    }
}

std::optional<cv::CellCurrency> EntryPanel::currencyForColumn(int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e || cid != 1) return std::nullopt;
    const CurrencyPtr currency = doc()->findCurrency(doc()->currencyOfAccount(e->account()));
    if (!currency) return std::nullopt;
    return cv::CellCurrency{currency->ident(), currency->fraction()};
}

// ---- typing

bool EntryPanel::isAcceptableDate(const QDate &date, const QDate &today)
{
    if (!date.isValid()) return false;
    const int year = today.year();
    return date.year() > year - kDateWindowYears && date.year() < year + kDateWindowYears;
}

std::optional<double> EntryPanel::amountForText(const QString &text, int currency) const
{
    return doc()->amountText().typedAmountIn(text, currency);
}

std::optional<int> EntryPanel::typedAmountCurrency(int cid, const Entry &row) const
{
    const std::optional<Field> field = accountFieldForColumn(cid, row);
    if (!field) return std::nullopt;
    return doc()->currencyOfAccount(*field == Field::Destination ? row.destination() : row.account());
}

QString EntryPanel::refusalOf(const QString &text, int cid, int row) const
{
    const EntryPtr e = entryAt(row);
    if (!e) return {};
    if (cid == 0) {
        const cv::DateReading read = cv::readProgramDate(text);
        if (read.date && acceptsDate(*read.date)) return {};
        return cv::localizedString(read.date || read.impossible ? "Typed-No-Such-Date" : "Typed-Not-A-Date");
    }
    const std::optional<int> currency = typedAmountCurrency(cid, *e);
    return currency && !amountForText(text, *currency) ? cv::localizedString(QStringLiteral("Typed-Not-An-Amount"))
                                                       : QString();
}

void EntryPanel::setObjectValue(EditingTable *, const QString &text, int cid, int row)
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    const std::optional<Field> accountField = accountFieldForColumn(cid, *e);
    const std::optional<Field> amountField = amountFieldForColumn(cid);
    if (accountField && amountField) {
        const int account = fieldValue(e, int(*accountField)).toInt();
        const double value = amountForText(text, doc()->currencyOfAccount(account)).value_or(0);
        if (fieldValue(e, int(*amountField)).toDouble() == value) return;
        change(e, *amountField, value, cv::localizedString(QStringLiteral("Change Amount")));
        updateTotal();
        return;
    }
    switch (cid) {
    case 0: {
        const std::optional<QDate> date = cv::parseProgramDate(text);
        if (!date || !acceptsDate(*date) || *date == e->date()) return;
        change(e, Field::Date, *date, cv::localizedString(QStringLiteral("Change Date")));
        return;
    }
    case 3:
        if (text == e->memo()) return;
        change(e, Field::Memo, text, cv::localizedString(QStringLiteral("Change Memo")));
        return;
    default: uniqueSetObjectValue(text, e, cid, row);
    }
}

// ---- choosers

QString EntryPanel::changeTitle(Field field)
{
    static const char *const names[] = {"Date",  "Kind",   "Category",  "Account", "Destination",
                                        "Group", "Amount", "Converted", "Memo"};
    return cv::localizedString(QStringLiteral("Undo-Change-Part")) + QLatin1Char(' ') +
           cv::localizedString(QString::fromLatin1(names[int(field)]));
}

void EntryPanel::editColumn(int column, int row, PopupFieldEditor *)
{
    m_popupColumn = column;
    m_popupRow = row;
    if (tableView()->cidOfColumn(column) == 2)
        runGroupPopup(column, row);
    else
        editSpecialPopupForColumn(column, row);
}

void EntryPanel::runGroupPopup(int column, int row)
{
    const EntryPtr e = entryAt(row);
    if (!e) return;
    m_groupSource->setDocument(doc(), 0);
    QPointer<EntryPanel> self(this);
    cv::ChooserPopup::get()->runForCell(tableView(), column, row, m_groupSource.get(),
                                        m_groupSource->objectWithIdentifier(e->group()),
                                        [self](const cv::ChooserItem &item) {
                                            if (self) self->endPopupWithResult(item, self->m_lastGroup, Field::Group);
                                        });
}

void EntryPanel::runAccountPopup(int column, int row, Field field, int exceptIdent)
{
    m_popupField = field;
    m_accountSource->setDocument(doc(), 223);
    if (exceptIdent > 0)
        if (const NodePtr except = doc()->findAccount(exceptIdent)) m_accountSource->exclude(except);
    const cv::ChooserItem value =
        m_lastAccount > 0 ? m_accountSource->objectWithIdentifier(m_lastAccount) : cv::ChooserItem();
    QPointer<EntryPanel> self(this);
    cv::ChooserPopup::get()->runForCell(tableView(), column, row, m_accountSource.get(), value,
                                        [self](const cv::ChooserItem &item) {
                                            if (!self) return;
                                            self->endAccountPopup(item);
                                            if (self) self->m_popupField.reset();
                                        });
}

void EntryPanel::runCategoryPopup(int column, int row, int mode, int current)
{
    m_categorySource->setDocument(doc(), mode);
    QPointer<EntryPanel> self(this);
    cv::ChooserPopup::get()->runForCell(tableView(), column, row, m_categorySource.get(),
                                        m_categorySource->objectWithIdentifier(current),
                                        [self](const cv::ChooserItem &item) {
                                            if (self)
                                                self->endPopupWithResult(item, self->m_lastCategory, Field::Category);
                                        });
}

void EntryPanel::endAccountPopup(const cv::ChooserItem &result)
{
    if (m_popupField) endPopupWithResult(result, m_lastAccount, *m_popupField);
}

void EntryPanel::endPopupWithResult(const cv::ChooserItem &result, int &lastField, Field field)
{
    if (result && result.ident() >= 0) {
        lastField = result.ident();
        change(rowAt(m_popupRow), field, result.ident(), changeTitle(field));
    }
    reeditPopupCell();
}

void EntryPanel::reeditPopupCell()
{
    if (m_popupRow < 0 || m_popupRow >= rowCount()) return;
    tableView()->QTableView::selectRow(m_popupRow);
    tableView()->editColumn(std::max(m_popupColumn, 0), m_popupRow, nullptr, true);
}

// ---- calendar and calculator

void EntryPanel::performInputDate(const QDate &date)
{
    if (!acceptsDate(date)) return;
    int changed = 0;
    int lastChanged = -1;
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows()) {
        const EntryPtr e = entryAt(index.row());
        if (!e || e->date() == date) continue;
        change(e, Field::Date, date, cv::localizedString(QStringLiteral("Change Date")));
        ++changed;
        lastChanged = index.row();
    }
    if (changed) reloadTable();
    // One row: typing goes on where it was.
    if (changed == 1) editRow(lastChanged);
}

void EntryPanel::performInputValue(const QString &text)
{
    int changed = 0;
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows()) {
        const EntryPtr e = entryAt(index.row());
        if (!e || isLoan(index.row())) continue;
        const std::optional<double> value = amountForText(text, doc()->currencyOfAccount(e->account()));
        if (!value) continue;
        change(e, Field::Amount, *value, cv::localizedString(QStringLiteral("Change Amount")));
        ++changed;
    }
    if (changed) {
        updateTotal();
        reloadTable();
    }
}

std::optional<bool> EntryPanel::validateMenuItem(const EditingTable *table, const QAction *action) const
{
    // Edit > Delete and Select All are the table's own commands.
    if (!action || !isPanelMenuTag(action->data().toInt())) return std::nullopt;
    const QModelIndexList selected =
        table && table->selectionModel() ? table->selectionModel()->selectedRows() : QModelIndexList();
    const bool rowSelected = !selected.isEmpty();
    switch (action->data().toInt()) {
    case SelectedRowsTag: return rowSelected && canDeleteRow(selected.first().row()).value_or(false);
    case RevertTag: return rowSelected;
    case AddOrDeleteTag: return !isEditOnly();
    default: return false;
    }
}

} // namespace cv
