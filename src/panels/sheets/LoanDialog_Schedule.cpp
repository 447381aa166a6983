#include "panels/sheets/LoanDialog.h"

#include "print/LoanSchedulePrint.h"
#include "print/PrintPages.h"
#include "controls/AccountChooserModel.h"
#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/NumberDialog.h"
#include "controls/StyledText.h"
#include "controls/TableColumn.h"
#include "document/Book.h"
#include "document/Preference.h"
#include "panels/dialogs/ExtraPaymentDialog.h"
#include "platform/Assert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QCursor>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

// ---------------------------------------------------------------- building

namespace cv {

QWidget *LoanDialog::buildSchedulePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_tableView = new EditingTable(page);
    // clang-format off
    const struct {
        int cid;
        const char *title;
        int width;
    } columns[] = {{Times, "Report-Times", 44},          {Date, "Report-Date", 90},
                   {Rate, "Report-Rate", 64},              {Principal, "Report-Loan-Principal", 90},
                   {Interest, "Report-Loan-Interest", 80}, {Total, "Report-Loan-Total", 90},
                   {Rest, "Report-Loan-Rest", 100},      {Account, "Report-Account", 110}};
    // clang-format on
    for (const auto &c : columns)
        m_tableView->addColumn(std::make_unique<cv::TableColumn>(c.cid, cv::localizedString(c.title), c.width));
    m_tableView->setClient(this);
    m_tableView->setColumnFitsContent(Account);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tableView, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        std::unique_ptr<QMenu> menu(makeScheduleMenu(nullptr));
        menu->exec(m_tableView->viewport()->mapToGlobal(at));
    });
    layout->addWidget(m_tableView, 1);
    for (QLabel *&line : m_summary) {
        line = new QLabel(page);
        layout->addWidget(line);
    }
    return page;
}

// ---------------------------------------------------------------- computing

void LoanDialog::recalcTable(bool fresh, int recalcIndex)
{
    const LoanTerms model = currentModel();
    if (fresh)
        m_loanData = model.calcPayment();
    else if (m_loanData)
        model.recalcPayment(*m_loanData, std::max(0, recalcIndex));
    reload();
}

void LoanDialog::recalcRest()
{
    if (m_loanData) currentModel().recalcPaymentRest(*m_loanData);
    reload();
}

void LoanDialog::reload()
{
    m_tableView->reloadData();
    displayLoanInfo();
}

void LoanDialog::displayLoanInfo()
{
    const LoanTerms model = currentModel();
    m_summary[0]->setText(cv::formatString(cv::localizedString("loan %@, bonus %@"),
                                           {m_currencyFormatter.stringForObjectValue(model.initialValue()),
                                            m_currencyFormatter.stringForObjectValue(model.bonusAmount())}));
    double total = 0;
    double interest = 0;
    if (m_loanData)
        for (const LoanPaymentPtr &row : *m_loanData) {
            total += row->principal() + row->interest();
            interest += row->interest();
        }
    m_summary[1]->setText(cv::formatString(
        cv::localizedString("total %@ (interest %@)"),
        {m_currencyFormatter.stringForObjectValue(total), m_currencyFormatter.stringForObjectValue(interest)}));
    // An empty schedule has an empty period.
    QString first, last;
    if (effectiveDataCount() > 0) {
        first = cv::formatProgramDate(m_loanData->front()->date());
        last = cv::formatProgramDate(m_loanData->back()->date());
    }
    m_summary[2]->setText(cv::formatString(cv::localizedString("priod %@ - %@"), {first, last}));
}

QString LoanDialog::summaryText(int line) const
{
    return line >= 0 && line < 3 ? m_summary[line]->text() : QString();
}

void LoanDialog::setLoanData(std::optional<LoanSchedule> data)
{
    m_loanData = std::move(data);
    reload();
    updateButtons();
}

// ---------------------------------------------------------------- printing

void LoanDialog::printPushed(const QString &pdfPath)
{
    std::vector<LoanSchedulePrintParam> rows;
    rows.emplace_back(-10, 0);
    for (int i = 0; i < effectiveDataCount(); ++i) rows.emplace_back(0, i);
    const Preference preference = Preference::fromUserDefaults();
    auto make = [this, rows](cv::PageSetup &setup) -> std::unique_ptr<PrintedPages> {
        auto callback = [this](const LoanSchedulePrintParam &row) {
            QStringList cells;
            if (row.level() == -10) return LoanSchedulePrint::headerTitles();
            for (int cid = Times; cid <= Account; ++cid) cells << cellText(cid, row.index());
            return cells;
        };
        return std::make_unique<LoanSchedulePrint>(callback, rows, setup);
    };
    cv::printPages(*m_document, preference, make, this,
                   pdfPath.isEmpty() ? cv::PrintRunner::Mode::Dialog : cv::PrintRunner::Mode::Pdf, pdfPath);
}

// ---------------------------------------------------------------- the table

int LoanDialog::numberOfRows(const EditingTable *) const
{
    return effectiveDataCount();
}

QString LoanDialog::cellText(int cid, int row) const
{
    if (row < 0 || row >= effectiveDataCount()) return QString();
    const LoanPayment &payment = *(*m_loanData)[size_t(row)];
    switch (cid) {
    case Times: {
        if (payment.kind() == cv::LoanPaymentKind::Bonus) return QStringLiteral("B");
        if (payment.kind() >= cv::LoanPaymentKind::ExtraLowerRegular) return QStringLiteral("E");
        int ordinal = 0;
        for (int i = 0; i <= row; ++i) ordinal += (*m_loanData)[size_t(i)]->kind() == cv::LoanPaymentKind::Regular;
        return QString::number(ordinal);
    }
    case Date: return cv::formatProgramDate(payment.date());
    case Rate: return QString::asprintf("%.4f", payment.rate() * 100);
    case Principal: return m_currencyFormatter.stringForObjectValue(payment.principal());
    case Interest: return m_currencyFormatter.stringForObjectValue(payment.interest());
    case Total: return m_currencyFormatter.stringForObjectValue(payment.principal() + payment.interest());
    case Rest: return m_currencyFormatter.stringForObjectValue(payment.rest());
    case Account: return accountName(payment.account());
    default: return QString();
    }
}

cv::CellValue LoanDialog::objectValue(const EditingTable *, int cid, int row) const
{
    const QString shown = cellText(cid, row);
    if (cid == Times || cid == Date || cid == Account) return shown;
    cv::StyledText styled;
    styled.text = shown;
    styled.alignment = Qt::AlignRight | Qt::AlignVCenter;
    if (cid == Rest && row < effectiveDataCount()) {
        const double rest = (*m_loanData)[size_t(row)]->rest();
        styled.negative = rest < 0;
        if (rest < 0) styled.color = m_currencyFormatter.attributedStringForObjectValue(rest).color;
    }
    return QVariant::fromValue(styled);
}

bool LoanDialog::shouldEditColumn(const EditingTable *, int cid, int) const
{
    return !m_isNew && cid >= Date && cid <= Interest;
}

bool LoanDialog::isColumnSelectable(const EditingTable *, int, int) const
{
    return !m_isNew;
}

const cv::AmountText *LoanDialog::amountText() const
{
    return &m_document->amountText();
}

void LoanDialog::setObjectValue(EditingTable *, const QString &typed, int cid, int row)
{
    if (row < 0 || row >= effectiveDataCount() || m_isNew) return;
    LoanPayment &payment = *(*m_loanData)[size_t(row)];
    switch (cid) {
    case Date: {
        const auto date = cv::parseProgramDate(typed);
        if (!date || *date == payment.date()) return;
        payment.setDate(*date);
        ++m_overViewChangeCount;
        reload();
        break;
    }
    case Rate: {
        bool ok = false;
        const double percent = typed.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(percent) || percent < 0) return; // a negative rate is refused
        if (percent / 100 == payment.rate()) return;
        payment.setRate(percent / 100);
        ++m_overViewChangeCount;
        // From the edited row on: the rows before it keep their amounts.
        if (!m_noRecalcCheckbox->isChecked())
            recalcTable(false, row);
        else
            reload();
        break;
    }
    case Principal:
    case Interest: {
        double value = 0;
        if (typed.trimmed().isEmpty() || !m_currencyFormatter.getObjectValue(value, typed)) return;
        // The book would not open again with negative interest or a negative extra repayment.
        if (value < 0 && (cid == Interest || payment.kind() >= cv::LoanPaymentKind::ExtraLowerRegular)) return;
        const double old = cid == Principal ? payment.principal() : payment.interest();
        if (value != old) {
            if (cid == Principal)
                payment.setPrincipal(value);
            else
                payment.setInterest(value);
            ++m_overViewChangeCount;
        }
        if (cid == Principal)
            recalcRest();
        else
            reload();
        break;
    }
    default: return;
    }
    updateButtons();
}

// ---------------------------------------------------------------- the menu

void LoanDialog::selectRows(const std::vector<int> &rows)
{
    QItemSelectionModel *selection = m_tableView->selectionModel();
    selection->clearSelection();
    for (int row : rows)
        selection->select(m_tableView->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<int> LoanDialog::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_tableView->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QMenu *LoanDialog::makeScheduleMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const struct {
        int tag;
        const char *title;
    } items[] = {{InsertPayment, "Loan-Menu-Insert"},
                 {DeleteRepayment, "Loan-Menu-Delete"},
                 {ChangeRate, "Loan-Menu-Rate"},
                 {ChangeAccount, "Loan-Menu-Account"}};
    QPointer<LoanDialog> self(this);
    for (const auto &item : items) {
        QAction *action = menu->addAction(cv::localizedString(item.title));
        action->setData(item.tag);
        action->setEnabled(validateMenuTag(item.tag));
        connect(action, &QAction::triggered, this, [self, tag = item.tag] {
            if (self) self->execMenu(tag);
        });
    }
    return menu;
}

bool LoanDialog::validateMenuTag(int tag) const
{
    if (m_isNew) return false;
    const std::vector<int> rows = selectedRows();
    switch (tag) {
    // An extra repayment goes after the selected row: with none it would do nothing.
    case InsertPayment:
    case ChangeRate:
    case ChangeAccount: return !rows.empty();
    case DeleteRepayment:
        return std::any_of(rows.begin(), rows.end(), [this](int row) {
            return row < effectiveDataCount() &&
                   (*m_loanData)[size_t(row)]->kind() >= cv::LoanPaymentKind::ExtraLowerRegular;
        });
    default: return true;
    }
}

void LoanDialog::execMenu(int tag)
{
    if (!validateMenuTag(tag)) return;
    const std::vector<int> rows = selectedRows();
    // Each command reads the first selected row: a slipped rule must not reach an empty list.
    CV_ASSERT_OR(tag == DeleteRepayment || (!rows.empty() && rows.front() < effectiveDataCount()), return );
    switch (tag) {
    case InsertPayment: {
        ExtraPaymentDialog dialog((*m_loanData)[size_t(rows.front())]->date(), &m_currencyFormatter, this);
        if (dialog.exec() < 1) return;
        const auto date = dialog.date();
        if (date) insertExtraPayment(*date, dialog.amount(), dialog.targetIsBonus(), dialog.isCountReduction());
        break;
    }
    case DeleteRepayment: deleteRepayment(); break;
    case ChangeRate: {
        NumberDialog dialog((*m_loanData)[size_t(rows.front())]->rate() * 100, nullptr,
                            cv::localizedString("Loan rate"), this);
        if (dialog.exec() > 0) changeRate(dialog.number());
        break;
    }
    case ChangeAccount: chooseRowAccount(); break;
    default: break;
    }
}

bool LoanDialog::insertExtraPayment(const QDate &date, double amount, bool targetIsBonus, bool shortenTerm)
{
    const std::vector<int> rows = selectedRows();
    if (m_isNew || rows.empty() || !date.isValid() || amount < 0) return false;
    const int selected = rows.front();
    auto payment = std::make_shared<LoanPayment>();
    const cv::LoanPaymentKind part = targetIsBonus ? cv::LoanPaymentKind::Bonus : cv::LoanPaymentKind::Regular;
    payment->setKind(shortenTerm ? cv::shortenTermKindOf(part) : cv::lowerPaymentsKindOf(part));
    payment->setPrincipal(amount);
    payment->setDate(date);
    LoanSchedule &schedule = *m_loanData;
    const auto later = std::find_if(schedule.begin(), schedule.end(),
                                    [&date](const LoanPaymentPtr &row) { return row->date() > date; });
    if (later == schedule.end()) return false;
    payment->setAccount((*later)->account());
    payment->setRate((*later)->rate());
    const int at = int(later - schedule.begin());
    schedule.insert(later, payment);
    ++m_overViewChangeCount;
    // An extra dated before the selected row recomputes from its own position.
    recalcTable(false, std::min(selected, at));
    updateButtons();
    return true;
}

void LoanDialog::deleteRepayment()
{
    if (m_isNew || !m_loanData) return;
    const std::vector<int> selectedList = selectedRows();
    auto isSelected = [&](int row) { return std::binary_search(selectedList.begin(), selectedList.end(), row); };
    LoanSchedule &old = *m_loanData;
    std::vector<LoanPaymentPtr> keptExtras;
    int firstRegularRemoval = -1;
    int firstBonusRemoval = -1;
    bool removed = false;
    LoanSchedule remaining = old;
    for (int row = int(old.size()) - 1; row >= 0; --row) {
        const LoanPaymentPtr &payment = old[size_t(row)];
        if (payment->kind() < cv::LoanPaymentKind::ExtraLowerRegular) continue;
        if (!isSelected(row)) {
            keptExtras.insert(keptExtras.begin(), payment);
            continue;
        }
        removed = true;
        remaining.erase(remaining.begin() + row);
        if (firstRegularRemoval > row) --firstRegularRemoval;
        if (firstBonusRemoval > row) --firstBonusRemoval;
        const bool againstBonus = payment->kind() == cv::LoanPaymentKind::ExtraLowerBonus ||
                                  payment->kind() == cv::LoanPaymentKind::ExtraShortenBonus;
        if (againstBonus)
            firstBonusRemoval = row;
        else
            firstRegularRemoval = row;
    }
    if (!removed) return;
    ++m_overViewChangeCount;
    const LoanTerms model = currentModel();
    LoanSchedule fresh = model.calcPayment();
    int index = 0;
    for (const LoanPaymentPtr &extra : keptExtras) {
        const auto later = std::find_if(fresh.begin(), fresh.end(),
                                        [&extra](const LoanPaymentPtr &row) { return row->date() > extra->date(); });
        if (later != fresh.end()) {
            index = int(later - fresh.begin());
            fresh.insert(later, extra);
        }
        model.recalcPayment(fresh, index);
    }
    // Regular and bonus rows before the first removed extra of their sort keep their stored amounts.
    int regularLimit = firstRegularRemoval < 0 ? int(remaining.size()) : firstRegularRemoval;
    int bonusLimit = firstBonusRemoval < 0 ? int(remaining.size()) : firstBonusRemoval;
    if (firstRegularRemoval >= 0 && firstBonusRemoval >= 0)
        regularLimit = bonusLimit = std::min(regularLimit, bonusLimit);
    for (size_t i = 0; i < remaining.size() && i < fresh.size(); ++i) {
        const LoanPayment &from = *remaining[i];
        const bool carry = (from.kind() == cv::LoanPaymentKind::Regular && int(i) < regularLimit) ||
                           (from.kind() == cv::LoanPaymentKind::Bonus && int(i) < bonusLimit);
        if (!carry) continue;
        LoanPayment &to = *fresh[i];
        to.setKind(from.kind());
        to.setDate(from.date());
        to.setRate(from.rate());
        to.setInterest(from.interest());
        to.setPrincipal(from.principal());
        to.setAccount(from.account());
    }
    model.recalcPaymentRest(fresh);
    m_loanData = std::move(fresh);
    reload();
    updateButtons();
}

void LoanDialog::changeRate(double percent)
{
    const std::vector<int> rows = selectedRows();
    // A negative rate, or no number, is refused.
    if (m_isNew || rows.empty() || !std::isfinite(percent) || percent < 0) return;
    CV_ASSERT_OR(rows.back() < effectiveDataCount(), return );
    bool changed = false;
    for (int row : rows) {
        LoanPayment &payment = *(*m_loanData)[size_t(row)];
        if (payment.rate() != percent / 100) {
            payment.setRate(percent / 100);
            changed = true;
        }
    }
    if (!changed) return;
    ++m_overViewChangeCount;
    if (!m_noRecalcCheckbox->isChecked())
        recalcTable(false, 0);
    else
        reload();
    updateButtons();
}

void LoanDialog::changeAccount(int ident)
{
    if (m_isNew || ident < 1) return;
    CV_ASSERT_OR(selectedRows().empty() || selectedRows().back() < effectiveDataCount(), return );
    bool changed = false;
    for (int row : selectedRows()) {
        LoanPayment &payment = *(*m_loanData)[size_t(row)];
        if (payment.account() != ident) {
            payment.setAccount(ident);
            changed = true;
        }
    }
    if (!changed) return;
    ++m_overViewChangeCount;
    reload();
    updateButtons();
}

// ---------------------------------------------------------------- the row account

void LoanDialog::chooseRowAccount()
{
    const std::vector<int> rows = selectedRows();
    if (m_isNew || rows.empty()) return;
    CV_ASSERT_OR(rows.front() < effectiveDataCount(), return );
    m_chooserSource = assetSource(m_currentItem->currency());
    const cv::ChooserItem value = m_chooserSource->objectWithIdentifier((*m_loanData)[size_t(rows.front())]->account());
    QPointer<LoanDialog> self(this);
    const auto picked = [self](const cv::ChooserItem &item) {
        if (self && !self->m_closing && item.node()) self->changeAccount(item.node()->ident());
    };
    if (rows.size() < 2)
        cv::ChooserPopup::get()->runForCell(m_tableView, Account, rows.front(), m_chooserSource.get(), value, picked);
    else
        cv::ChooserPopup::get()->run(m_tableView, QRect(QCursor::pos(), QSize(1, 1)), cv::ChooserPopup::Anchor::Point,
                                     m_chooserSource.get(), value, picked);
}

bool LoanDialog::handleClick(EditingTable *, const QMouseEvent *event, int cid, int row)
{
    // A click in the account column chooses the row's account (Control extends the selection).
    if (m_isNew || cid != Account || row < 0 || (event && (event->modifiers() & Qt::ControlModifier))) return false;
    selectRows({row});
    chooseRowAccount();
    return true;
}

} // namespace cv
