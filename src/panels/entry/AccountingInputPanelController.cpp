#include "panels/entry/AccountingInputPanelController.h"

#include "controls/AccountDataSource.h"
#include "controls/ActualDataSource.h"
#include "controls/CV4TableView.h"
#include "controls/CustomPopup.h"
#include "controls/GroupDataSource.h"
#include "controls/PopupFieldEditor.h"
#include "document/AmountText.h"
#include "document/CV4Document.h"
#include "model/CV4EditFlags.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "platform/widgets/CV4MiscUtilitiesWidgets.h"

#include <QAction>
#include <QItemSelectionModel>

#include <cmath>

namespace {
constexpr int kDateWindowYears = 100;
}

AccountingInputPanelController::AccountingInputPanelController(CV4Document *doc, CVUnitModelPtr item,
                                                               const QDate &from, const QDate &to, QWidget *parent)
    : InputPanelController(doc, std::move(item), from, to, parent),
      m_groupSource(std::make_unique<cv::GroupDataSource>()),
      m_accountSource(std::make_unique<cv::AccountDataSource>()),
      m_categorySource(std::make_unique<cv::ActualDataSource>())
{
}

AccountingInputPanelController::~AccountingInputPanelController() = default;

CV4ActualPtr AccountingInputPanelController::copyOf(const CV4ActualPtr &row) const
{
    const auto it = m_oldValues.find(row);
    return it == m_oldValues.end() ? nullptr : it->second;
}

// ---- rows

void AccountingInputPanelController::setChanged(const RowPtr &row)
{
    const CV4ActualPtr entry = actual(row);
    if (!(entry->flags() & (cv::EditChanged | cv::EditNew))) m_oldValues[entry] = entry->clone();
    entry->setFlags(entry->flags() | cv::EditChanged);
    doc()->updateChangeCount(CV4DocumentChanges::ChangeDone);
    markChanged();
    setButtonStatus();
}

bool AccountingInputPanelController::rowGoesBefore(const RowPtr &a, const RowPtr &b) const
{
    return CV4Actual::rowOrder(actual(a), actual(b));
}

QVariant AccountingInputPanelController::rowValue(const RowPtr &row, const QString &key) const
{
    const CV4Actual &e = *actual(row);
    if (key == u"date") return e.date();
    if (key == u"kind") return cv::raw(e.kind());
    if (key == u"category") return e.category();
    if (key == u"account") return e.account();
    if (key == u"destination") return e.destination();
    if (key == u"group") return e.group();
    if (key == u"amount") return e.amount();
    if (key == u"converted") return e.converted();
    if (key == u"memo") return e.memo();
    Q_ASSERT_X(false, "rowValue", qPrintable(key));
    return {};
}

void AccountingInputPanelController::setRowValue(const RowPtr &row, const QString &key, const QVariant &value)
{
    CV4Actual &e = *actual(row);
    if (key == u"date") e.setDate(value.toDate());
    else if (key == u"kind") e.setKind(cv::EntryKind(value.toInt()));
    else if (key == u"category") e.setCategory(value.toInt());
    else if (key == u"account") e.setAccount(value.toInt());
    else if (key == u"destination") e.setDestination(value.toInt());
    else if (key == u"group") e.setGroup(value.toInt());
    else if (key == u"amount") e.setAmount(value.toDouble());
    else if (key == u"converted") e.setConverted(value.toDouble());
    else if (key == u"memo") e.setMemo(value.toString());
    else Q_ASSERT_X(false, "setRowValue", qPrintable(key));
}

void AccountingInputPanelController::settleAfterCommit()
{
    m_oldValues.clear();
    InputPanelController::settleAfterCommit();
}

void AccountingInputPanelController::dropDeletedGroupings(CV4Actual &row) const
{
    if (row.group() != 0 && !doc()->findGrouping(row.group())) row.setGroup(0);
}

bool AccountingInputPanelController::selectEntry(int ident)
{
    if (ident < 0) return false;
    for (const RowPtr &row : items()) {
        if (actual(row)->ident() == ident) {
            selectItem(row);
            return true;
        }
    }
    return false;
}

void AccountingInputPanelController::updateGroup(const QList<int> &deletedGroups)
{
    for (const RowPtr &row : items())
        if (deletedGroups.contains(actual(row)->group())) actual(row)->setGroup(0);
    for (const RowPtr &row : deletedItems())
        if (deletedGroups.contains(actual(row)->group())) actual(row)->setGroup(0);
    if (deletedGroups.contains(m_lastGroup)) m_lastGroup = 0;
    reloadTable();
}

// ---- loans

bool AccountingInputPanelController::isLoan(int row) const
{
    const CV4ActualPtr e = actualAt(row);
    if (!e) return false;
    auto isLoanAccount = [this](int ident) {
        const CVUnitModelPtr node = ident > 0 ? doc()->findAccount(ident) : nullptr;
        return node && node->kind() == cv::NodeKind::Loan;
    };
    if (e->kind() != cv::EntryKind::Transfer && e->destination() == 0) return isLoanAccount(e->account());
    return isLoanAccount(e->account()) || isLoanAccount(e->destination());
}

bool AccountingInputPanelController::isColumnSelectable(const CV4TableView *, int cid, int row) const
{
    if (row < 0 || row >= int(items().size())) return false;
    return !isLoan(row) || isColumnEditable(cid, row);
}

bool AccountingInputPanelController::isColumnEditable(int, int row) const
{
    return !isLoan(row);
}

bool AccountingInputPanelController::shouldEditColumn(const CV4TableView *, int cid, int row) const
{
    return isColumnEditable(cid, row);
}

// ---- display

QString AccountingInputPanelController::amountKeyForAmountColumnId(int cid) const
{
    return cid == 1 ? QStringLiteral("amount") : QString();
}

QString AccountingInputPanelController::accountKeyForAmountColumnId(int cid, const CV4Actual &) const
{
    return cid == 1 ? QStringLiteral("account") : QString();
}

cv::CellValue AccountingInputPanelController::uniqueContentForItem(const CV4Actual &, int, const CVUnitModelPtr &) const
{
    return QString();
}

void AccountingInputPanelController::uniqueSetObjectValue(const QString &, const CV4ActualPtr &, int, int) {}

void AccountingInputPanelController::editSpecialPopupForColumn(int, int) {}

cv::CellValue AccountingInputPanelController::amountValue(double value, int currency) const
{
    cv::StyledText text;
    text.text = doc()->stringWithPrefixForValue(value, currency);
    text.alignment = Qt::AlignRight | Qt::AlignVCenter;
    text.negative = value < 0;
    if (value < 0) text.color = cv::negativeColor();
    return QVariant::fromValue(text);
}

cv::CellValue AccountingInputPanelController::objectValue(const CV4TableView *, int cid, int row) const
{
    const CV4ActualPtr e = actualAt(row);
    if (!e) return {};
    const QString accountKey = accountKeyForAmountColumnId(cid, *e);
    if (e->account() > 0 && !accountKey.isEmpty()) {
        const int account = rowValue(e, accountKey).toInt();
        return amountValue(rowValue(e, amountKeyForAmountColumnId(cid)).toDouble(), doc()->currencyOfAccount(account));
    }
    switch (cid) {
    case 0: return cv::formatProgramDate(e->date());
    case 2: {
        const CV4GroupingPtr grouping = e->group() != 0 ? doc()->findGrouping(e->group()) : nullptr;
        return grouping ? grouping->name() : QString();
    }
    case 3: return e->memo();
    default:
        return uniqueContentForItem(*e, cid, e->account() > 0 ? doc()->findAccount(e->account()) : nullptr);
    }
}

void AccountingInputPanelController::prepareCell(const CV4TableView *table, cv::PreparedCell &cell, int cid,
                                                 int row) const
{
    const CV4ActualPtr e = actualAt(row);
    if (!e) return;
    cell.placeholder = isColumnSelectable(table, cid, row) ? QString() : QStringLiteral("----");
    if (cid == 0) {
        const bool selected = table && table->selectionModel()->isRowSelected(row, QModelIndex());
        cell.color = (e->flags() & (cv::EditChanged | cv::EditNew)) && !selected ? QColor(Qt::blue) : QColor(Qt::black);
    }
}

std::optional<cv::CellCurrency> AccountingInputPanelController::currencyForColumn(int cid, int row) const
{
    const CV4ActualPtr e = actualAt(row);
    if (!e || cid != 1) return std::nullopt;
    const CV4CurrencyPtr currency = doc()->findCurrency(doc()->currencyOfAccount(e->account()));
    if (!currency) return std::nullopt;
    return cv::CellCurrency{currency->ident(), currency->fraction()};
}

// ---- typing

bool AccountingInputPanelController::isAcceptableDate(const QDate &date, const QDate &today)
{
    if (!date.isValid()) return false;
    const int year = today.year();
    return date.year() > year - kDateWindowYears && date.year() < year + kDateWindowYears;
}

double AccountingInputPanelController::amountForText(const QString &text, int currency) const
{
    const CV4CurrencyPtr c = doc()->findCurrency(currency);
    const std::optional<QString> digits = cv::AmountText::typedAmountText(text, c ? c->prefix() : QString());
    double value = digits ? CV4Document::numberForRoundString(*digits, c ? c->fraction() : 0) : 0;
    if (std::isnan(value)) value = 0;
    const PopupFieldEditor *editor = ExistingPopupFieldEditor();
    if (editor && editor->lastCurrencyValueWasNegative()) value = -std::fabs(value);
    return value;
}

std::optional<int> AccountingInputPanelController::typedAmountCurrency(int cid, const CV4Actual &row) const
{
    const QString key = accountKeyForAmountColumnId(cid, row);
    if (key.isEmpty()) return std::nullopt;
    return doc()->currencyOfAccount(key == u"destination" ? row.destination() : row.account());
}

bool AccountingInputPanelController::refusesText(const QString &text, int cid, int row) const
{
    const CV4ActualPtr e = actualAt(row);
    if (!e) return false;
    if (cid == 0) {
        const std::optional<QDate> date = cv::parseProgramDate(text);
        return !date || !acceptsDate(*date);
    }
    const std::optional<int> currency = typedAmountCurrency(cid, *e);
    if (!currency) return false;
    const CV4CurrencyPtr c = doc()->findCurrency(*currency);
    return !cv::AmountText::typedAmountText(text, c ? c->prefix() : QString());
}

void AccountingInputPanelController::setObjectValue(CV4TableView *, const QString &text, int cid, int row)
{
    const CV4ActualPtr e = actualAt(row);
    if (!e) return;
    const QString accountKey = accountKeyForAmountColumnId(cid, *e);
    if (!accountKey.isEmpty()) {
        const int account = rowValue(e, accountKey).toInt();
        const double value = amountForText(text, doc()->currencyOfAccount(account));
        const QString amountKey = amountKeyForAmountColumnId(cid);
        if (rowValue(e, amountKey).toDouble() == value) return;
        change(e, amountKey, value, cv::localizedString(QStringLiteral("Change Amount")));
        updateTotal();
        return;
    }
    switch (cid) {
    case 0: {
        const std::optional<QDate> date = cv::parseProgramDate(text);
        if (!date || !acceptsDate(*date) || *date == e->date()) return;
        change(e, QStringLiteral("date"), *date, cv::localizedString(QStringLiteral("Change Date")));
        return;
    }
    case 3:
        if (text == e->memo()) return;
        change(e, QStringLiteral("memo"), text, cv::localizedString(QStringLiteral("Change Memo")));
        return;
    default: uniqueSetObjectValue(text, e, cid, row);
    }
}

// ---- choosers

QString AccountingInputPanelController::changeTitle(const QString &key)
{
    QString name = key;
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return cv::localizedString(QStringLiteral("Undo-Change-Part")) + QLatin1Char(' ') + cv::localizedString(name);
}

void AccountingInputPanelController::editColumn(int column, int row, PopupFieldEditor *)
{
    m_popupColumn = column;
    m_popupRow = row;
    if (tableView()->cidOfColumn(column) == 2)
        runGroupPopup(column, row);
    else
        editSpecialPopupForColumn(column, row);
}

void AccountingInputPanelController::runGroupPopup(int column, int row)
{
    const CV4ActualPtr e = actualAt(row);
    if (!e) return;
    m_groupSource->setDocument(doc(), 0);
    QPointer<AccountingInputPanelController> self(this);
    cv::CustomPopup::get()->runForCell(tableView(), column, row, m_groupSource.get(),
                                   m_groupSource->objectWithIdentifier(e->group()),
                                   [self](const cv::ChooserItem &item) {
                                       if (self) self->endPopupWithResult(item, self->m_lastGroup, QStringLiteral("group"));
                                   });
}

void AccountingInputPanelController::runAccountPopup(int column, int row, const QString &key, int exceptIdent)
{
    m_popupDataKey = key;
    m_accountSource->setDocument(doc(), 223);
    if (exceptIdent > 0)
        if (const CVUnitModelPtr except = doc()->findAccount(exceptIdent)) m_accountSource->exclude(except);
    const cv::ChooserItem value = m_lastAccount > 0 ? m_accountSource->objectWithIdentifier(m_lastAccount) : cv::ChooserItem();
    QPointer<AccountingInputPanelController> self(this);
    cv::CustomPopup::get()->runForCell(tableView(), column, row, m_accountSource.get(), value,
                                   [self](const cv::ChooserItem &item) {
                                       if (!self) return;
                                       self->endAccountPopup(item);
                                       if (self) self->m_popupDataKey.clear();
                                   });
}

void AccountingInputPanelController::runCategoryPopup(int column, int row, int mode, int current)
{
    m_categorySource->setDocument(doc(), mode);
    QPointer<AccountingInputPanelController> self(this);
    cv::CustomPopup::get()->runForCell(tableView(), column, row, m_categorySource.get(),
                                       m_categorySource->objectWithIdentifier(current),
                                       [self](const cv::ChooserItem &item) {
                                           if (self)
                                               self->endPopupWithResult(item, self->m_lastCategory,
                                                                        QStringLiteral("category"));
                                       });
}

void AccountingInputPanelController::endAccountPopup(const cv::ChooserItem &result)
{
    endPopupWithResult(result, m_lastAccount, m_popupDataKey);
}

void AccountingInputPanelController::endPopupWithResult(const cv::ChooserItem &result, int &lastField,
                                                        const QString &key)
{
    if (result && result.ident() >= 0) {
        lastField = result.ident();
        change(rowAt(m_popupRow), key, result.ident(), changeTitle(key));
    }
    reeditPopupCell();
}

void AccountingInputPanelController::reeditPopupCell()
{
    if (m_popupRow < 0 || m_popupRow >= int(items().size())) return;
    tableView()->QTableView::selectRow(m_popupRow);
    tableView()->editColumn(std::max(m_popupColumn, 0), m_popupRow, nullptr, true);
}

// ---- calendar and calculator

void AccountingInputPanelController::performInputDate(const QDate &date)
{
    if (!acceptsDate(date)) return;
    int changed = 0;
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows()) {
        const CV4ActualPtr e = actualAt(index.row());
        if (!e || e->date() == date) continue;
        change(e, QStringLiteral("date"), date, cv::localizedString(QStringLiteral("Change Date")));
        ++changed;
    }
    if (changed) reloadTable();
}

void AccountingInputPanelController::performInputValue(const QString &text)
{
    int changed = 0;
    for (const QModelIndex &index : tableView()->selectionModel()->selectedRows()) {
        const CV4ActualPtr e = actualAt(index.row());
        if (!e || isLoan(index.row())) continue;
        const std::optional<double> value = doc()->numberForString(text, doc()->currencyOfAccount(e->account()));
        if (!value) continue;
        change(e, QStringLiteral("amount"), *value, cv::localizedString(QStringLiteral("Change Amount")));
        ++changed;
    }
    if (changed) {
        updateTotal();
        reloadTable();
    }
}

std::optional<bool> AccountingInputPanelController::validateMenuItem(const CV4TableView *table,
                                                                     const QAction *action) const
{
    // Edit > Delete and Select All are the table's own commands.
    if (!action || !isPanelMenuTag(action->data().toInt())) return std::nullopt;
    const bool rowSelected = table && table->selectionModel() && table->selectionModel()->hasSelection();
    switch (action->data().toInt()) {
    case SelectedRowsTag:
    case RevertTag: return rowSelected;
    case AddOrDeleteTag: return !isEditOnly();
    default: return false;
    }
}
