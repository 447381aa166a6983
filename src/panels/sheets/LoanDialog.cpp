#include "panels/sheets/LoanDialog.h"

#include "controls/EditingTable.h"
#include "controls/ChooserPopup.h"
#include "controls/OpenSheet.h"
#include "controls/ChooserModel.h"
#include "document/Book.h"
#include "model/Currency.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cv {

namespace {

constexpr int kLoanUsageCategory = 33; // the fixed unspecified-loan category

} // namespace

LoanDialog::LoanDialog(Book *document, NodePtr account, QWidget *parent)
    : QDialog(parent), m_document(document), m_currentItem(std::move(account)), m_currencyFormatter(document, 0)
{
    Q_ASSERT(document && m_currentItem);
    m_init = true;
    setWindowTitle(cv::localizedString("Loan-Panel-Title"));
    auto *layout = new QVBoxLayout(this);
    m_tabView = new QTabWidget(this);
    m_tabView->addTab(buildConditionsPage(), cv::localizedString("Loan-Tab-Conditions"));
    m_tabView->addTab(buildSchedulePage(), cv::localizedString("Loan-Tab-Schedule"));
    layout->addWidget(m_tabView);
    m_messageField = new QLabel(this);
    m_messageField->setWordWrap(true);
    layout->addWidget(m_messageField);
    auto *buttons = new QHBoxLayout;
    auto *printButton = new QPushButton(cv::localizedString("Loan-Print"), this);
    auto *cancelButton = new QPushButton(cv::localizedString("Cancel"), this);
    m_okButton = new QPushButton(cv::localizedString("OK"), this);
    m_okButton->setDefault(true);
    m_okReason = new QLabel(this);
    m_okReason->setWordWrap(true);
    m_okReason->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buttons->addWidget(printButton);
    buttons->addStretch(1);
    buttons->addWidget(m_okReason, 4);
    buttons->addWidget(cancelButton);
    buttons->addWidget(m_okButton);
    layout->addLayout(buttons);
    connect(printButton, &QPushButton::clicked, this, [this] { printPushed(); });
    connect(cancelButton, &QPushButton::clicked, this, &LoanDialog::cancelPushed);
    connect(m_okButton, &QPushButton::clicked, this, &LoanDialog::okPushed);

    // The currency popup.
    for (const CurrencyPtr &currency : m_document->currencyList()) {
        m_currencyButton->addItem(currency->name(), currency->ident());
        // A currency without an asset account cannot take the loan.
        if (assetAccountsInCurrency(currency->ident()).empty())
            if (auto *model = qobject_cast<QStandardItemModel *>(m_currencyButton->model()))
                model->item(m_currencyButton->count() - 1)->setEnabled(false);
    }
    m_selectedCurrency = m_currentItem->currency();
    m_oldCurrency = m_selectedCurrency;
    const int index = m_currencyButton->findData(m_selectedCurrency);
    if (index >= 0) m_currencyButton->setCurrentIndex(index);
    setCurrencyStatus();

    m_nameField->setText(m_currentItem->name());
    if (const auto stored = std::dynamic_pointer_cast<LoanTerms>(m_currentItem->extra())) {
        m_isNew = false;
        m_storedLoan = *stored;
        fillFromStoredLoan(*stored);
        m_tableSync = 0;
        m_changeCount = 0;
        m_overViewChangeCount = 0;
        // clang-format off
        for (QWidget *control : std::initializer_list<QWidget *>{
                 m_currencyButton, m_dateField, m_valueField, m_timesField, m_rateField, m_bonusField,
                 m_transferAccount, m_transferUsage, m_accountButton, m_usageButton, m_repaymentButton,
                 m_dueDateButton, m_holidayButton, m_loanTypeButton, m_option2, m_option3, m_option4,
                 m_bonusButton, m_initialDayCheckbox})
            // clang-format on
            control->setEnabled(false);
        m_oldName = m_nameField->text();
        m_oldMemo = m_memoField->text();
    } else {
        m_isNew = true;
        m_dateField->setText(cv::formatProgramDate(QDate::currentDate()));
        m_usage = kLoanUsageCategory;
        m_transferUsage->setChecked(true);
    }
    m_tabView->setCurrentIndex(0);
    connect(m_tabView, &QTabWidget::currentChanged, this, &LoanDialog::didSelectPage);
    m_init = false;
    m_messageField->setText(cv::localizedString("Loan-Message"));
    updateButtons();
    resize(760, 520);
}

LoanDialog::~LoanDialog()
{
    // A chooser still open on the sheet closes without acting on it.
    m_closing = true;
    if (cv::ChooserPopup *popup = cv::ChooserPopup::existing();
        popup && popup->isVisible() && popup->targetView() && isAncestorOf(popup->targetView()))
        popup->mustClose();
    if (m_tableView) m_tableView->setClient(nullptr);
}

LoanDialog *LoanDialog::openLoanPanel(Book *document, const NodePtr &account, QWidget *parent,
                                      std::function<void(int, LoanDialog *)> done)
{
    if (!document || !account) return nullptr;
    auto *panel = new LoanDialog(document, account, parent);
    if (account->extra()) panel->setLoanData(document->getLoan(account->ident()));
    panel->setAttribute(Qt::WA_DeleteOnClose, false);
    return cv::openSheet(panel, parent, std::move(done));
}

// ---------------------------------------------------------------- status

void LoanDialog::updateButtons()
{
    bool ok = readyToCalc() && m_loanData.has_value() && getDate().has_value();
    if (m_tabView->currentIndex() == 0 && !m_currentItem->extra()) ok = false;
    if (m_changeCount > m_tableSync) ok = false;
    m_okButton->setEnabled(ok);
    // A gate nobody names looks like a fault.
    const bool scheduleUnseen = m_tabView->currentIndex() != 1 && readyToCalc() && getDate().has_value() &&
                                (!m_loanData || m_changeCount > m_tableSync || !m_currentItem->extra());
    m_okReason->setText(!ok && scheduleUnseen ? cv::localizedString("Loan-OK-Needs-Schedule") : QString());
    if (m_isNew) {
        m_accountButton->setEnabled(!m_accountFrozen && m_transferAccount->isChecked());
        m_usageButton->setEnabled(m_transferUsage->isChecked());
        m_bonusField->setEnabled(m_bonusButton->currentIndex() != 0);
    }
    m_accountButton->setText(accountName(m_inAccount));
    const NodePtr usage = m_usage ? m_document->findExpense(m_usage) : nullptr;
    m_usageButton->setText(usage ? m_document->displayName(*usage) : QString());
    // The default category's name speaks of repayment: say what it is for.
    m_usageButton->setToolTip(m_usage == kLoanUsageCategory ? cv::localizedString("Loan-Usage-Unspecified-Purpose")
                                                            : QString());
    m_repaymentButton->setText(accountName(m_repayment));
}

QString LoanDialog::accountName(int ident) const
{
    const NodePtr node = ident ? m_document->findAccount(ident) : nullptr;
    return node ? m_document->displayName(*node) : QString();
}

// ---------------------------------------------------------------- pages

void LoanDialog::showPage(int page)
{
    m_tabView->setCurrentIndex(page);
}

void LoanDialog::didSelectPage(int page)
{
    m_messageField->clear();
    if (page != 1) {
        m_messageField->setText(cv::localizedString("Loan-Message"));
        updateButtons();
        return;
    }
    if (readyToCalc()) {
        if (m_changeCount > m_tableSync) {
            m_tableSync = m_changeCount;
            auto model = std::make_shared<LoanTerms>();
            setupLoanModel(*model);
            m_currentItem->setExtra(model);
            LoanSchedule schedule = model->calcPayment();
            if (schedule.empty()) {
                m_loanData.reset();
                const QString reason = model->notReadyReason();
                if (!reason.isNull()) m_messageField->setText(reason);
            } else {
                m_loanData = std::move(schedule);
            }
            reload();
        }
        recalcRest();
    } else if (!m_isNew) {
        const QString reason = m_storedLoan.notReadyReason();
        if (!reason.isNull()) m_messageField->setText(reason);
    } else if (const QString missing = missingField(); !missing.isEmpty()) {
        m_messageField->setText(cv::formatString(cv::localizedString("Sheet-Missing-Field"), {missing}));
    }
    updateButtons();
}

QString LoanDialog::messageText() const
{
    return m_messageField->text();
}
QString LoanDialog::okReasonText() const
{
    return m_okReason->text();
}
bool LoanDialog::isOkEnabled() const
{
    return m_okButton->isEnabled();
}

// ---------------------------------------------------------------- end

bool LoanDialog::nothingChanged() const
{
    const bool changed =
        m_currentItem->ident() > 0 && (m_nameField->text() != m_oldName || m_memoField->text() != m_oldMemo);
    return m_changeCount < 1 && m_overViewChangeCount < 1 && !changed;
}

void LoanDialog::okPushed()
{
    if (!m_okButton->isEnabled() && !nothingChanged()) return; // the close box never counts as OK
    if (nothingChanged()) {
        done(0);
        return;
    }
    m_currentItem->setName(m_nameField->text());
    m_currentItem->setCurrency(m_selectedCurrency);
    auto model = std::dynamic_pointer_cast<LoanTerms>(m_currentItem->extra());
    if (!model) {
        model = std::make_shared<LoanTerms>();
        m_currentItem->setExtra(model);
    }
    setupLoanModel(*model);
    done(m_selectedCurrency != m_oldCurrency ? 2 : 1);
}

void LoanDialog::cancelPushed()
{
    if (!nothingChanged() && m_currentItem->ident() > 0 && !Alert::discardChanges()) return;
    done(0);
}

} // namespace cv
