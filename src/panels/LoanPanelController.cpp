#include "panels/LoanPanelController.h"

#include "charts/CV4PrLoanView.h"
#include "charts/PrintInfoView.h"
#include "controls/AccountDataSource.h"
#include "controls/ActualDataSource.h"
#include "controls/CV4TableView.h"
#include "controls/CustomPopup.h"
#include "controls/NumberDialogController.h"
#include "controls/OpenSheet.h"
#include "controls/StyledText.h"
#include "controls/TableColumn.h"
#include "document/AmountText.h"
#include "document/CV4Document.h"
#include "document/CV4Preference.h"
#include "model/CV4AccountModel.h"
#include "model/CV4ActualModel.h"
#include "model/CV4Currency.h"
#include "model/DomainEnums.h"
#include "panels/ExtraPaymentDialogController.h"
#include "platform/CV4Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Bonus popup index -> months (bit m-1 = month m).
constexpr int kBonusMonths[] = {0, 2080, 65, 130};
constexpr int kLoanUsageCategory = 33;  // the fixed unspecified-loan category

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;

} // namespace

LoanPanelController::LoanPanelController(CV4Document *document, CVUnitModelPtr account, QWidget *parent)
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
    buttons->addWidget(printButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(m_okButton);
    layout->addLayout(buttons);
    connect(printButton, &QPushButton::clicked, this, [this] { printPushed(); });
    connect(cancelButton, &QPushButton::clicked, this, &LoanPanelController::cancelPushed);
    connect(m_okButton, &QPushButton::clicked, this, &LoanPanelController::okPushed);

    // The currency popup.
    for (const CV4CurrencyPtr &currency : m_document->currencyList()) {
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
    if (const auto stored = std::dynamic_pointer_cast<CV4LoanModel>(m_currentItem->extra())) {
        m_isNew = false;
        m_storedLoan = *stored;
        fillFromStoredLoan(*stored);
        m_tableSync = 0;
        m_changeCount = 0;
        m_overViewChangeCount = 0;
        for (QWidget *control : std::initializer_list<QWidget *>{
                 m_currencyButton, m_dateField, m_valueField, m_timesField, m_rateField, m_bonusField,
                 m_transferAccount, m_transferUsage, m_accountButton, m_usageButton, m_repaymentButton,
                 m_dueDateButton, m_holidayButton, m_loanTypeButton, m_option2, m_option3, m_option4,
                 m_bonusButton, m_initialDayCheckbox})
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
    connect(m_tabView, &QTabWidget::currentChanged, this, &LoanPanelController::didSelectPage);
    m_init = false;
    m_messageField->setText(cv::localizedString("Loan-Message"));
    setButtonStatus();
    resize(760, 520);
}

LoanPanelController::~LoanPanelController()
{
    // A chooser still open on the sheet closes without acting on it.
    m_closing = true;
    if (cv::CustomPopup *popup = cv::CustomPopup::existing();
        popup && popup->isVisible() && popup->targetView() && isAncestorOf(popup->targetView()))
        popup->mustClose();
    if (m_tableView) m_tableView->setClient(nullptr);
}

LoanPanelController *LoanPanelController::openLoanPanel(CV4Document *document, const CVUnitModelPtr &account,
                                                        QWidget *parent,
                                                        std::function<void(int, LoanPanelController *)> done)
{
    if (!document || !account) return nullptr;
    auto *panel = new LoanPanelController(document, account, parent);
    if (account->extra()) panel->setLoanData(document->getLoan(account->ident()));
    panel->setAttribute(Qt::WA_DeleteOnClose, false);
    return cv::openSheet(panel, parent, std::move(done));
}

// ---------------------------------------------------------------- building

QWidget *LoanPanelController::buildConditionsPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto field = [page](bool right) {
        auto *f = new QLineEdit(page);
        if (right) {
            f->setAlignment(Qt::AlignRight);
            f->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhFormattedNumbersOnly);
        }
        return f;
    };
    m_nameField = field(false);
    m_currencyButton = new QComboBox(page);
    m_memoField = field(false);
    m_dateField = field(false);
    m_dateField->setInputMethodHints(Qt::ImhPreferLatin);
    m_valueField = field(true);
    m_timesField = field(true);
    m_rateField = field(true);
    m_bonusField = field(true);
    for (QLineEdit *amount : {m_valueField, m_bonusField}) GetCurrencyFieldEditor()->attach(amount);
    m_transferAccount = new QRadioButton(cv::localizedString("Loan-Into-Account"), page);
    m_transferUsage = new QRadioButton(cv::localizedString("Loan-For-Usage"), page);
    m_accountButton = new QPushButton(page);
    m_usageButton = new QPushButton(page);
    m_repaymentButton = new QPushButton(page);
    m_dueDateButton = new QComboBox(page);
    for (int day = 1; day <= 30; ++day)
        m_dueDateButton->addItem(cv::formatString(cv::localizedString("Loan-Due-Day"), {day}));
    m_dueDateButton->addItem(cv::localizedString("Loan-Due-Last-Day"));
    m_holidayButton = new QComboBox(page);
    m_holidayButton->addItems({cv::localizedString("Loan-Holiday-Next"), cv::localizedString("Loan-Holiday-Previous"), cv::localizedString("Loan-Holiday-Keep")});
    m_loanTypeButton = new QComboBox(page);
    m_loanTypeButton->addItems({cv::localizedString("Loan-Type-Annuity"), cv::localizedString("Loan-Type-Principal"), cv::localizedString("Loan-Type-Flat")});
    m_option2 = new QCheckBox(cv::localizedString("Loan-Option-Arrears"), page);
    m_option3 = new QCheckBox(cv::localizedString("Loan-Option-Next-Month"), page);
    m_option4 = new QCheckBox(cv::localizedString("Loan-Option-Last-Row"), page);
    m_initialDayCheckbox = new QCheckBox(cv::localizedString("Loan-Initial-Day"), page);
    m_noRecalcCheckbox = new QCheckBox(cv::localizedString("Loan-No-Recalc"), page);
    m_bonusButton = new QComboBox(page);
    m_bonusButton->addItems({cv::localizedString("Loan-Bonus-None"), cv::localizedString("Loan-Bonus-Jun-Dec"), cv::localizedString("Loan-Bonus-Jan-Jul"),
                             cv::localizedString("Loan-Bonus-Feb-Aug")});

    // Label and control pairs, two to a row; the account choice row has radio buttons for labels.
    const struct {
        const char *leftLabel;
        QWidget *left;
        const char *rightLabel;
        QWidget *right;
    } rows[] = {
        {"Loan-Name", m_nameField, "Loan-Currency", m_currencyButton},
        {"Loan-Memo", m_memoField, "Loan-Start-Date", m_dateField},
        {"Loan-Amount", m_valueField, "Loan-Times", m_timesField},
        {"Loan-Rate", m_rateField, "Loan-Type", m_loanTypeButton},
        {nullptr, m_accountButton, nullptr, m_usageButton},
        {"Loan-Repayment-Account", m_repaymentButton, "Loan-Due-Date", m_dueDateButton},
        {"Loan-Holiday", m_holidayButton, "Loan-Bonus", m_bonusButton},
    };
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(r.leftLabel ? static_cast<QWidget *>(new QLabel(cv::localizedString(r.leftLabel), page)) : m_transferAccount,
                        row, 0);
        grid->addWidget(r.left, row, 1);
        grid->addWidget(r.rightLabel ? static_cast<QWidget *>(new QLabel(cv::localizedString(r.rightLabel), page)) : m_transferUsage,
                        row, 2);
        grid->addWidget(r.right, row, 3);
        ++row;
    }
    grid->addWidget(new QLabel(cv::localizedString("Loan-Bonus-Amount"), page), row, 2);
    grid->addWidget(m_bonusField, row, 3);
    grid->addWidget(m_initialDayCheckbox, row, 0, 1, 2);
    ++row;
    grid->addWidget(m_option2, row, 0, 1, 2);
    grid->addWidget(m_option3, row, 2, 1, 2);
    ++row;
    grid->addWidget(m_option4, row, 0, 1, 2);
    grid->addWidget(m_noRecalcCheckbox, row, 2, 1, 2);
    grid->setRowStretch(row + 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    for (QLineEdit *f : {m_nameField, m_memoField, m_dateField, m_valueField, m_timesField, m_rateField, m_bonusField})
        connect(f, &QLineEdit::textEdited, this, [this, f] { contentChanged(f); });
    for (QComboBox *c : {m_dueDateButton, m_holidayButton, m_loanTypeButton, m_bonusButton})
        connect(c, &QComboBox::currentIndexChanged, this, [this, c] { contentChanged(c); });
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{
             m_option2, m_option3, m_option4, m_initialDayCheckbox, m_noRecalcCheckbox, m_transferAccount,
             m_transferUsage})
        connect(b, &QAbstractButton::toggled, this, [this, b] { contentChanged(b); });
    connect(m_currencyButton, &QComboBox::currentIndexChanged, this, &LoanPanelController::currencyChanged);
    connect(m_accountButton, &QPushButton::clicked, this, [this] { chooseAccount(m_accountButton, 0); });
    connect(m_usageButton, &QPushButton::clicked, this, [this] { chooseAccount(m_usageButton, 1); });
    connect(m_repaymentButton, &QPushButton::clicked, this, [this] { chooseAccount(m_repaymentButton, 2); });
    return page;
}

QWidget *LoanPanelController::buildSchedulePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_tableView = new CV4TableView(page);
    const struct {
        int cid;
        const char *title;
        int width;
    } columns[] = {{Times, "Report-Times", 44},          {Date, "Report-Date", 90},
                   {Rate, "Report-Rate", 64},            {Principal, "Report-Loan-Principal", 90},
                   {Interest, "Report-Loan-Interest", 80}, {Total, "Report-Loan-Total", 90},
                   {Rest, "Report-Loan-Rest", 100},      {Account, "Report-Account", 110}};
    for (const auto &c : columns)
        m_tableView->addColumn(std::make_unique<cv::TableColumn>(c.cid, cv::localizedString(c.title), c.width));
    m_tableView->setClient(this);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tableView, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(this);
        const struct {
            int tag;
            const char *title;
        } items[] = {{InsertPayment, "Loan-Menu-Insert"},
                     {DeleteRepayment, "Loan-Menu-Delete"},
                     {ChangeRate, "Loan-Menu-Rate"},
                     {ChangeAccount, "Loan-Menu-Account"}};
        for (const auto &item : items) {
            QAction *action = menu.addAction(cv::localizedString(item.title));
            action->setData(item.tag);
            action->setEnabled(validateMenuTag(item.tag));
        }
        if (QAction *picked = menu.exec(m_tableView->viewport()->mapToGlobal(at))) execMenu(picked->data().toInt());
    });
    layout->addWidget(m_tableView, 1);
    for (QLabel *&line : m_summary) {
        line = new QLabel(page);
        layout->addWidget(line);
    }
    return page;
}

// ---------------------------------------------------------------- form <-> model

void LoanPanelController::fillFromStoredLoan(const CV4LoanModel &loan)
{
    m_dateField->setText(loan.date().isValid() ? cv::formatProgramDate(loan.date()) : QString());
    m_valueField->setText(m_currencyFormatter.stringForObjectValue(loan.initialValue()));
    m_rateField->setText(QString::asprintf("%.4f", loan.rate() * 100));
    m_timesField->setText(QString::number(loan.times()));
    m_memoField->setText(loan.memo());
    if (loan.inAccount() != 0) {
        m_inAccount = loan.inAccount();
        m_transferAccount->setChecked(true);
    } else if (loan.outCategory() != 0) {
        m_usage = loan.outCategory();
        m_transferUsage->setChecked(true);
    }
    m_dueDateButton->setCurrentIndex(std::clamp(loan.dueDay(), 1, 31) - 1);
    m_loanTypeButton->setCurrentIndex(std::clamp(loan.loanType(), 0, 2));
    m_repayment = loan.repaymentAccount();
    const int flags = loan.repaymentFlags();
    m_holidayButton->setCurrentIndex((flags & CV4LoanModel::HolidayToPrevious) ? 1
                                     : (flags & CV4LoanModel::HolidayNoMove) ? 2
                                                                              : 0);
    m_option2->setChecked(flags & CV4LoanModel::InterestInArrears);
    m_option3->setChecked(flags & CV4LoanModel::FirstDueNextMonth);
    m_option4->setChecked(flags & CV4LoanModel::NoFirstRowAdjustment);
    m_initialDayCheckbox->setChecked(!(flags & CV4LoanModel::CountFromStartDate));
    m_noRecalcCheckbox->setChecked(loan.dataFlags() & 1);
    const int months = loan.bonusMonths();
    m_bonusButton->setCurrentIndex((months & 32) ? 1 : (months & 64) ? 2 : (months & 128) ? 3 : 0);
    // Shown through the formatter, so cents stay visible.
    if (months != 0) m_bonusField->setText(m_currencyFormatter.stringForObjectValue(loan.bonusAmount()));
}

std::optional<QDate> LoanPanelController::getDate() const
{
    const auto date = cv::parseProgramDate(m_dateField->text());
    if (!date || date->year() < kFirstYear || date->year() > kLastYear) return std::nullopt;
    return date;
}

double LoanPanelController::amountOf(const QLineEdit *field) const
{
    // Text that is no amount is none, never the digits it happens to hold.
    const CV4CurrencyPtr currency = m_document->findCurrency(m_selectedCurrency);
    if (!cv::AmountText::typedAmountText(field->text(), currency ? currency->prefix() : QString())) return 0;
    double value = 0;
    m_currencyFormatter.getObjectValue(value, field->text());
    return value;
}

void LoanPanelController::setupLoanModel(CV4LoanModel &model) const
{
    if (!m_isNew) {
        // A stored loan's terms are its own; the disabled fields never rebuild them.
        model = m_storedLoan;
        model.setMemo(m_memoField->text());
        model.setDataFlags(m_noRecalcCheckbox->isChecked() ? 1 : 0);
    } else {
        model.setDate(getDate().value_or(QDate()));
        model.setInitialValue(amountOf(m_valueField));
        model.setMemo(m_memoField->text());
        model.setTimes(m_timesField->text().trimmed().toInt());
        model.setRate(m_rateField->text().trimmed().toDouble() / 100);
        model.setBonusAmount(amountOf(m_bonusField));
        model.setDueDay(m_dueDateButton->currentIndex() + 1);
        if (m_transferAccount->isChecked()) model.setInAccount(m_inAccount);
        else model.setOutCategory(m_usage);
        model.setRepaymentAccount(m_repayment);
        model.setLoanType(m_loanTypeButton->currentIndex());
        int flags = 0;
        if (m_holidayButton->currentIndex() == 1) flags |= CV4LoanModel::HolidayToPrevious;
        if (m_holidayButton->currentIndex() == 2) flags |= CV4LoanModel::HolidayNoMove;
        if (m_option2->isChecked()) flags |= CV4LoanModel::InterestInArrears;
        if (m_option3->isChecked()) flags |= CV4LoanModel::FirstDueNextMonth;
        if (m_option4->isChecked()) flags |= CV4LoanModel::NoFirstRowAdjustment;
        if (!m_initialDayCheckbox->isChecked()) flags |= CV4LoanModel::CountFromStartDate;
        model.setRepaymentFlags(flags);
        model.setDataFlags(m_noRecalcCheckbox->isChecked() ? 1 : 0);
        model.setBonusMonths(kBonusMonths[std::clamp(m_bonusButton->currentIndex(), 0, 3)]);
    }
    const CV4CurrencyPtr currency = m_document->findCurrency(m_selectedCurrency);
    Q_ASSERT_X(currency, "src/LoanPanelController", "LoanPanelController - currency is NIL.");
    const int fraction = currency ? currency->fraction() : 0;
    model.setFraction(fraction);
    int unit = 1000;
    for (int i = 0; i < fraction && unit > 1; ++i) unit /= 10;
    model.setUnit(unit);
}

CV4LoanModel LoanPanelController::currentModel() const
{
    CV4LoanModel model;
    setupLoanModel(model);
    return model;
}

bool LoanPanelController::readyToCalc() const
{
    if (m_nameField->text().isEmpty()) return false;
    if (!m_isNew) return m_storedLoan.isReadyToCalc();
    return missingField().isEmpty();
}

QString LoanPanelController::missingField() const
{
    const char *key = nullptr;
    const QString rate = m_rateField->text().trimmed();
    bool rateOk = false;
    const double rateValue = rate.toDouble(&rateOk);
    if (m_nameField->text().isEmpty()) key = "Loan-Name";
    else if (amountOf(m_valueField) == 0) key = "Loan-Amount";
    else if (m_timesField->text().trimmed().toInt() == 0) key = "Loan-Times";
    else if (rate.isEmpty() || !rateOk || rateValue < 0) key = "Loan-Rate";
    else if (m_repayment == 0) key = "Loan-Repayment-Account";
    else if (m_transferAccount->isChecked() ? m_inAccount == 0 : m_usage == 0)
        key = m_transferAccount->isChecked() ? "Loan-Into-Account" : "Loan-For-Usage";
    if (!key) return QString();
    QString name = cv::localizedString(key);
    if (name.endsWith(u':') || name.endsWith(u'：')) name.chop(1);
    return name;
}

// ---------------------------------------------------------------- status

void LoanPanelController::setButtonStatus()
{
    bool ok = readyToCalc() && m_loanData.has_value() && getDate().has_value();
    if (m_tabView->currentIndex() == 0 && !m_currentItem->extra()) ok = false;
    if (m_changeCount > m_tableSync) ok = false;
    m_okButton->setEnabled(ok);
    if (m_isNew) {
        m_accountButton->setEnabled(!m_accountFrozen && m_transferAccount->isChecked());
        m_usageButton->setEnabled(m_transferUsage->isChecked());
        m_bonusField->setEnabled(m_bonusButton->currentIndex() != 0);
    }
    m_accountButton->setText(accountName(m_inAccount));
    const CVUnitModelPtr usage = m_usage ? m_document->findExpense(m_usage) : nullptr;
    m_usageButton->setText(usage ? m_document->displayName(*usage) : QString());
    m_repaymentButton->setText(accountName(m_repayment));
}

QString LoanPanelController::accountName(int ident) const
{
    const CVUnitModelPtr node = ident ? m_document->findAccount(ident) : nullptr;
    return node ? m_document->displayName(*node) : QString();
}

std::vector<CVUnitModelPtr> LoanPanelController::assetAccountsInCurrency(int currency) const
{
    std::vector<CVUnitModelPtr> found;
    std::function<void(const CVUnitModelPtr &)> walk = [&](const CVUnitModelPtr &node) {
        if (!node) return;
        if (cv::isAssetAccountKind(node->kind())) {
            if (node->currency() == currency) found.push_back(node);
            return;
        }
        for (const CVUnitModelPtr &child : node->children()) walk(child);
    };
    if (m_document->accountModel()) walk(m_document->accountModel()->asset());
    return found;
}

void LoanPanelController::setCurrencyStatus()
{
    const int previous = m_selectedCurrency;
    m_selectedCurrency = m_currencyButton->currentData().toInt();
    m_currencyFormatter.setCurrency(m_selectedCurrency);
    m_accountFrozen = assetAccountsInCurrency(m_selectedCurrency).empty();
    if (m_isNew) {
        m_accountButton->setEnabled(!m_accountFrozen);
        m_repaymentButton->setEnabled(!m_accountFrozen);
    }
    if (previous != m_selectedCurrency && !m_init) {
        m_inAccount = 0;
        m_repayment = 0;
        ++m_changeCount;
        setButtonStatus();
    }
}

void LoanPanelController::currencyChanged()
{
    if (m_init) return;
    ++m_changeCount;
    setCurrencyStatus();
    setButtonStatus();
}

std::unique_ptr<cv::AccountDataSource> LoanPanelController::assetSource(int currency) const
{
    auto source = std::make_unique<cv::AccountDataSource>();
    source->setDocument(m_document, 15);
    if (!assetAccountsInCurrency(currency).empty()) source->restrictKey(QStringLiteral("currency"), currency);
    return source;
}

void LoanPanelController::chooseAccount(QPushButton *button, int which)
{
    cv::PopupDataSource *source = nullptr;
    int current = 0;
    if (which == 1) {
        auto categories = std::make_unique<cv::ActualDataSource>();
        categories->setDocument(m_document, 2);
        m_chooserSource = std::move(categories);
        current = m_usage;
    } else {
        m_chooserSource = assetSource(m_selectedCurrency);
        current = which == 0 ? m_inAccount : m_repayment;
    }
    source = m_chooserSource.get();
    const QRect anchor(button->mapToGlobal(QPoint(0, 0)), button->size());
    QPointer<LoanPanelController> self(this);
    cv::CustomPopup::get()->run(button, anchor, cv::CustomPopup::Anchor::Button, source,
                                source->objectWithIdentifier(current), [self, which](const cv::ChooserItem &item) {
                                    if (!self || self->m_closing || !item.node()) return;
                                    const int ident = item.node()->ident();
                                    if (which == 0) self->setInAccount(ident);
                                    else if (which == 1) self->setUsage(ident);
                                    else self->setRepaymentAccount(ident);
                                });
}

void LoanPanelController::chooseRowAccount()
{
    const std::vector<int> rows = selectedRows();
    if (m_isNew || rows.empty()) return;
    m_chooserSource = assetSource(m_currentItem->currency());
    const cv::ChooserItem value = m_chooserSource->objectWithIdentifier((*m_loanData)[size_t(rows.front())]->account());
    QPointer<LoanPanelController> self(this);
    const auto picked = [self](const cv::ChooserItem &item) {
        if (self && !self->m_closing && item.node()) self->changeAccount(item.node()->ident());
    };
    if (rows.size() < 2)
        cv::CustomPopup::get()->runForCell(m_tableView, Account, rows.front(), m_chooserSource.get(), value, picked);
    else
        cv::CustomPopup::get()->run(m_tableView, QRect(QCursor::pos(), QSize(1, 1)), cv::CustomPopup::Anchor::Point,
                                    m_chooserSource.get(), value, picked);
}

bool LoanPanelController::handleClick(CV4TableView *, const QMouseEvent *event, int cid, int row)
{
    // A click in the account column chooses the row's account (Control extends the selection).
    if (m_isNew || cid != Account || row < 0 || (event && (event->modifiers() & Qt::ControlModifier))) return false;
    selectRows({row});
    chooseRowAccount();
    return true;
}

void LoanPanelController::setInAccount(int ident)
{
    m_inAccount = ident;
    ++m_changeCount;
    setButtonStatus();
}

void LoanPanelController::setUsage(int ident)
{
    m_usage = ident;
    ++m_changeCount;
    setButtonStatus();
}

void LoanPanelController::setRepaymentAccount(int ident)
{
    m_repayment = ident;
    ++m_changeCount;
    setButtonStatus();
}

void LoanPanelController::setTransferChoice(int tag) { (tag == 0 ? m_transferAccount : m_transferUsage)->setChecked(true); }

void LoanPanelController::contentChanged(QObject *control)
{
    if (m_init) return;
    if (control == m_timesField && m_timesField->text().trimmed().toInt() > kMaxTimes) {
        m_timesField->setText(QString::number(kMaxTimes));
        CV4Alert::alert(QString(), cv::localizedString("Alert-Loan-Max-Times-Limit"), this);
    }
    if (control == m_noRecalcCheckbox) ++m_overViewChangeCount;
    else if (control != m_nameField && control != m_memoField) ++m_changeCount;
    setButtonStatus();
}

// ---------------------------------------------------------------- pages

void LoanPanelController::showPage(int page) { m_tabView->setCurrentIndex(page); }

void LoanPanelController::didSelectPage(int page)
{
    m_messageField->clear();
    if (page != 1) {
        m_messageField->setText(cv::localizedString("Loan-Message"));
        setButtonStatus();
        return;
    }
    if (readyToCalc()) {
        if (m_changeCount > m_tableSync) {
            m_tableSync = m_changeCount;
            auto model = std::make_shared<CV4LoanModel>();
            setupLoanModel(*model);
            m_currentItem->setExtra(model);
            CV4LoanSchedule schedule = model->calcPayment();
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
    setButtonStatus();
}

void LoanPanelController::recalcTable(bool fresh, int recalcIndex)
{
    const CV4LoanModel model = currentModel();
    if (fresh) m_loanData = model.calcPayment();
    else if (m_loanData) model.recalcPayment(*m_loanData, std::max(0, recalcIndex));
    reload();
}

void LoanPanelController::recalcRest()
{
    if (m_loanData) currentModel().recalcPaymentRest(*m_loanData);
    reload();
}

void LoanPanelController::reload()
{
    m_tableView->reloadData();
    displayLoanInfo();
}

void LoanPanelController::displayLoanInfo()
{
    const CV4LoanModel model = currentModel();
    m_summary[0]->setText(cv::formatString(cv::localizedString("loan %@, bonus %@"),
                                           {m_currencyFormatter.stringForObjectValue(model.initialValue()),
                                            m_currencyFormatter.stringForObjectValue(model.bonusAmount())}));
    double total = 0;
    double interest = 0;
    if (m_loanData)
        for (const CV4LoanPaymentPtr &row : *m_loanData) {
            total += row->principal() + row->interest();
            interest += row->interest();
        }
    m_summary[1]->setText(cv::formatString(cv::localizedString("total %@ (interest %@)"),
                                           {m_currencyFormatter.stringForObjectValue(total),
                                            m_currencyFormatter.stringForObjectValue(interest)}));
    // An empty schedule has an empty period.
    QString first, last;
    if (effectiveDataCount() > 0) {
        first = cv::formatProgramDate(m_loanData->front()->date());
        last = cv::formatProgramDate(m_loanData->back()->date());
    }
    m_summary[2]->setText(cv::formatString(cv::localizedString("priod %@ - %@"), {first, last}));
}

QString LoanPanelController::summaryText(int line) const
{
    return line >= 0 && line < 3 ? m_summary[line]->text() : QString();
}

QString LoanPanelController::messageText() const { return m_messageField->text(); }
bool LoanPanelController::isOkEnabled() const { return m_okButton->isEnabled(); }

void LoanPanelController::setLoanData(std::optional<CV4LoanSchedule> data)
{
    m_loanData = std::move(data);
    reload();
    setButtonStatus();
}

void LoanPanelController::performInputDate(const QDate &date)
{
    if (m_tabView->currentIndex() != 0 || !m_isNew) return;
    m_dateField->setText(cv::formatProgramDate(date));
    contentChanged(m_dateField);
}

// ---------------------------------------------------------------- end

bool LoanPanelController::nothingChanged() const
{
    const bool changed = m_currentItem->ident() > 0 &&
                         (m_nameField->text() != m_oldName || m_memoField->text() != m_oldMemo);
    return m_changeCount < 1 && m_overViewChangeCount < 1 && !changed;
}

void LoanPanelController::okPushed()
{
    if (!m_okButton->isEnabled() && !nothingChanged()) return;  // the close box never counts as OK
    if (nothingChanged()) {
        done(0);
        return;
    }
    m_currentItem->setName(m_nameField->text());
    m_currentItem->setCurrency(m_selectedCurrency);
    auto model = std::dynamic_pointer_cast<CV4LoanModel>(m_currentItem->extra());
    if (!model) {
        model = std::make_shared<CV4LoanModel>();
        m_currentItem->setExtra(model);
    }
    setupLoanModel(*model);
    done(m_selectedCurrency != m_oldCurrency ? 2 : 1);
}

void LoanPanelController::cancelPushed()
{
    if (!nothingChanged() && m_currentItem->ident() > 0 && !CV4Alert::discardChanges()) return;
    done(0);
}

// ---------------------------------------------------------------- printing

void LoanPanelController::printPushed(const QString &pdfPath)
{
    std::vector<CV4PrLoanViewParam> rows;
    rows.emplace_back(-10, 0);
    for (int i = 0; i < effectiveDataCount(); ++i) rows.emplace_back(0, i);
    const CV4Preference preference = CV4Preference::fromUserDefaults();
    auto make = [this, rows](cv::PageSetup &setup) -> std::unique_ptr<CV4InfoView> {
        auto callback = [this](const CV4PrLoanViewParam &row) {
            QStringList cells;
            if (row.level() == -10) return CV4PrLoanView::headerTitles();
            for (int cid = Times; cid <= Account; ++cid) cells << cellText(cid, row.index());
            return cells;
        };
        return std::make_unique<CV4PrLoanView>(callback, rows, setup);
    };
    cv::printInfoView(*m_document, preference, make, this,
                      pdfPath.isEmpty() ? cv::PrintRunner::Mode::Dialog : cv::PrintRunner::Mode::Pdf, pdfPath);
}

// ---------------------------------------------------------------- the table

int LoanPanelController::numberOfRows(const CV4TableView *) const { return effectiveDataCount(); }

QString LoanPanelController::cellText(int cid, int row) const
{
    if (row < 0 || row >= effectiveDataCount()) return QString();
    const CV4LoanPayment &payment = *(*m_loanData)[size_t(row)];
    switch (cid) {
    case Times: {
        if (payment.kind() == CV4LoanPayment::Bonus) return QStringLiteral("B");
        if (payment.kind() >= CV4LoanPayment::ExtraLowerRegular) return QStringLiteral("E");
        int ordinal = 0;
        for (int i = 0; i <= row; ++i) ordinal += (*m_loanData)[size_t(i)]->kind() == CV4LoanPayment::Regular;
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

cv::CellValue LoanPanelController::objectValue(const CV4TableView *, int cid, int row) const
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

bool LoanPanelController::shouldEditColumn(const CV4TableView *, int cid, int) const
{
    return !m_isNew && cid >= Date && cid <= Interest;
}

bool LoanPanelController::isColumnSelectable(const CV4TableView *, int, int) const { return !m_isNew; }

const cv::AmountText *LoanPanelController::amountText() const { return &m_document->amountText(); }

void LoanPanelController::setObjectValue(CV4TableView *, const QString &typed, int cid, int row)
{
    if (row < 0 || row >= effectiveDataCount() || m_isNew) return;
    CV4LoanPayment &payment = *(*m_loanData)[size_t(row)];
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
        if (!ok || !std::isfinite(percent) || percent < 0) return;  // a negative rate is refused
        if (percent / 100 == payment.rate()) return;
        payment.setRate(percent / 100);
        ++m_overViewChangeCount;
        // From the edited row on: the rows before it keep their amounts.
        if (!m_noRecalcCheckbox->isChecked()) recalcTable(false, row);
        else reload();
        break;
    }
    case Principal:
    case Interest: {
        double value = 0;
        if (typed.trimmed().isEmpty() || !m_currencyFormatter.getObjectValue(value, typed)) return;
        const double old = cid == Principal ? payment.principal() : payment.interest();
        if (value != old) {
            if (cid == Principal) payment.setPrincipal(value);
            else payment.setInterest(value);
            ++m_overViewChangeCount;
        }
        if (cid == Principal) recalcRest();
        else reload();
        break;
    }
    default: return;
    }
    setButtonStatus();
}

// ---------------------------------------------------------------- the menu

void LoanPanelController::selectRows(const std::vector<int> &rows)
{
    QItemSelectionModel *selection = m_tableView->selectionModel();
    selection->clearSelection();
    for (int row : rows)
        selection->select(m_tableView->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<int> LoanPanelController::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_tableView->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool LoanPanelController::validateMenuTag(int tag) const
{
    if (m_isNew) return false;
    const std::vector<int> rows = selectedRows();
    switch (tag) {
    case InsertPayment: return true;
    case DeleteRepayment:
        return std::any_of(rows.begin(), rows.end(), [this](int row) {
            return (*m_loanData)[size_t(row)]->kind() >= CV4LoanPayment::ExtraLowerRegular;
        });
    case ChangeRate:
    case ChangeAccount: return !rows.empty();
    default: return true;
    }
}

void LoanPanelController::execMenu(int tag)
{
    if (!validateMenuTag(tag)) return;
    const std::vector<int> rows = selectedRows();
    switch (tag) {
    case InsertPayment: {
        if (rows.empty()) return;
        ExtraPaymentDialogController dialog((*m_loanData)[size_t(rows.front())]->date(), &m_currencyFormatter, this);
        if (dialog.exec() < 1) return;
        const auto date = dialog.date();
        if (date) insertExtraPayment(*date, dialog.amount(), dialog.targetIsBonus(), dialog.isCountReduction());
        break;
    }
    case DeleteRepayment: deleteRepayment(); break;
    case ChangeRate: {
        NumberDialogController dialog((*m_loanData)[size_t(rows.front())]->rate() * 100, nullptr, cv::localizedString("Loan rate"),
                                      this);
        if (dialog.exec() > 0) changeRate(dialog.number());
        break;
    }
    case ChangeAccount: chooseRowAccount(); break;
    default: break;
    }
}

bool LoanPanelController::insertExtraPayment(const QDate &date, double amount, bool targetIsBonus, bool shortenTerm)
{
    const std::vector<int> rows = selectedRows();
    if (m_isNew || rows.empty() || !date.isValid()) return false;
    const int selected = rows.front();
    auto payment = std::make_shared<CV4LoanPayment>();
    payment->setKind(targetIsBonus ? (shortenTerm ? CV4LoanPayment::ExtraShortenBonus : CV4LoanPayment::ExtraLowerBonus)
                                   : (shortenTerm ? CV4LoanPayment::ExtraShortenRegular
                                                  : CV4LoanPayment::ExtraLowerRegular));
    payment->setPrincipal(amount);
    payment->setDate(date);
    CV4LoanSchedule &schedule = *m_loanData;
    const auto later = std::find_if(schedule.begin(), schedule.end(),
                                    [&date](const CV4LoanPaymentPtr &row) { return row->date() > date; });
    if (later == schedule.end()) return false;
    payment->setAccount((*later)->account());
    payment->setRate((*later)->rate());
    const int at = int(later - schedule.begin());
    schedule.insert(later, payment);
    ++m_overViewChangeCount;
    // An extra dated before the selected row recomputes from its own position.
    recalcTable(false, std::min(selected, at));
    setButtonStatus();
    return true;
}

void LoanPanelController::deleteRepayment()
{
    if (m_isNew || !m_loanData) return;
    const std::vector<int> selectedList = selectedRows();
    auto isSelected = [&](int row) { return std::binary_search(selectedList.begin(), selectedList.end(), row); };
    CV4LoanSchedule &old = *m_loanData;
    std::vector<CV4LoanPaymentPtr> keptExtras;
    int firstRegularRemoval = -1;
    int firstBonusRemoval = -1;
    bool removed = false;
    CV4LoanSchedule remaining = old;
    for (int row = int(old.size()) - 1; row >= 0; --row) {
        const CV4LoanPaymentPtr &payment = old[size_t(row)];
        if (payment->kind() < CV4LoanPayment::ExtraLowerRegular) continue;
        if (!isSelected(row)) {
            keptExtras.insert(keptExtras.begin(), payment);
            continue;
        }
        removed = true;
        remaining.erase(remaining.begin() + row);
        if (firstRegularRemoval > row) --firstRegularRemoval;
        if (firstBonusRemoval > row) --firstBonusRemoval;
        const bool againstBonus = payment->kind() == CV4LoanPayment::ExtraLowerBonus ||
                                  payment->kind() == CV4LoanPayment::ExtraShortenBonus;
        if (againstBonus) firstBonusRemoval = row;
        else firstRegularRemoval = row;
    }
    if (!removed) return;
    ++m_overViewChangeCount;
    const CV4LoanModel model = currentModel();
    CV4LoanSchedule fresh = model.calcPayment();
    int index = 0;
    for (const CV4LoanPaymentPtr &extra : keptExtras) {
        const auto later = std::find_if(fresh.begin(), fresh.end(),
                                        [&extra](const CV4LoanPaymentPtr &row) { return row->date() > extra->date(); });
        if (later != fresh.end()) {
            index = int(later - fresh.begin());
            fresh.insert(later, extra);
        }
        model.recalcPayment(fresh, index);
    }
    // Regular and bonus rows before the first removed extra of their sort keep their stored amounts.
    int regularLimit = firstRegularRemoval < 0 ? int(remaining.size()) : firstRegularRemoval;
    int bonusLimit = firstBonusRemoval < 0 ? int(remaining.size()) : firstBonusRemoval;
    if (firstRegularRemoval >= 0 && firstBonusRemoval >= 0) regularLimit = bonusLimit = std::min(regularLimit, bonusLimit);
    for (size_t i = 0; i < remaining.size() && i < fresh.size(); ++i) {
        const CV4LoanPayment &from = *remaining[i];
        const bool carry = (from.kind() == CV4LoanPayment::Regular && int(i) < regularLimit) ||
                           (from.kind() == CV4LoanPayment::Bonus && int(i) < bonusLimit);
        if (!carry) continue;
        CV4LoanPayment &to = *fresh[i];
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
    setButtonStatus();
}

void LoanPanelController::changeRate(double percent)
{
    const std::vector<int> rows = selectedRows();
    // A negative rate, or no number, is refused.
    if (m_isNew || rows.empty() || !std::isfinite(percent) || percent < 0) return;
    bool changed = false;
    for (int row : rows) {
        CV4LoanPayment &payment = *(*m_loanData)[size_t(row)];
        if (payment.rate() != percent / 100) {
            payment.setRate(percent / 100);
            changed = true;
        }
    }
    if (!changed) return;
    ++m_overViewChangeCount;
    if (!m_noRecalcCheckbox->isChecked()) recalcTable(false, 0);
    else reload();
    setButtonStatus();
}

void LoanPanelController::changeAccount(int ident)
{
    if (m_isNew || ident < 1) return;
    bool changed = false;
    for (int row : selectedRows()) {
        CV4LoanPayment &payment = *(*m_loanData)[size_t(row)];
        if (payment.account() != ident) {
            payment.setAccount(ident);
            changed = true;
        }
    }
    if (!changed) return;
    ++m_overViewChangeCount;
    reload();
    setButtonStatus();
}
