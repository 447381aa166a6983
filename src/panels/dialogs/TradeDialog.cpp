#include "panels/dialogs/TradeDialog.h"

#include "controls/AccountChooserModel.h"
#include "controls/SecurityChooserModel.h"
#include "controls/CommandRow.h"
#include "controls/DateField.h"
#include "controls/DialogButtons.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/OpeningHolding.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace cv {

namespace {

constexpr int kCommandRow = -2; // item data of "CreateNewBrand" and "CreateNewAccount"
constexpr int kFundDigits = 6;
constexpr int kChoiceColumns = 3;
constexpr int kMinimumWidth = 440;

const char *const kKindKeys[] = {"brand kind stock", "brand kind trust", "brand kind bond"};

// Runs the command row a chooser data source ends with; what it makes comes
// back now or, after a sheet, through the handler.
cv::ChooserItem runLastCommand(const cv::ChooserModel &source, cv::ChooserEndHandler handler)
{
    if (source.objects().empty()) return {};
    const std::shared_ptr<cv::CommandRow> command = source.objects().back().command();
    return command ? command->runWithDelegate(std::move(handler)) : cv::ChooserItem();
}

} // namespace

TradeDialog::TradeDialog(Book *doc, const TradePtr &trade, QWidget *parent)
    : QDialog(parent), m_doc(doc), m_trade(trade), m_securityButton(new QComboBox(this)),
      m_accButton2(new QComboBox(this)), m_accButton(new QComboBox(this)), m_oprView(new QTabWidget(this)),
      m_unitsHeld(new QLabel(this)), m_dateField(new cv::DateField(this)), m_unitsField(new QLineEdit(this)),
      m_unitPriceField(new QLineEdit(this)), m_commissionField(new QLineEdit(this)), m_totalField(new QLineEdit(this)),
      m_memoField(new QLineEdit(this))
{
    Q_ASSERT(doc && trade);
    setWindowTitle(cv::localizedString("TradeDialog-Title"));
    setModal(true);
    setMinimumWidth(kMinimumWidth);
    auto *layout = new QVBoxLayout(this);
    auto *head = new QFormLayout;
    head->addRow(cv::localizedString("Trade-Brand"), m_securityButton);
    head->addRow(cv::localizedString("Account"), m_accButton2);
    head->addRow(cv::localizedString("TradeDialog-Held"), m_unitsHeld);
    layout->addLayout(head);

    for (int securityKind = cv::raw(cv::SecurityKind::Stock); securityKind <= cv::raw(cv::SecurityKind::Bond);
         ++securityKind) {
        auto *page = new QWidget(m_oprView);
        auto *grid = new QGridLayout(page);
        m_choices[securityKind] = new QButtonGroup(page);
        int index = 0;
        for (cv::TradeKind kind : Trade::operationKeysForSecurityKind(cv::SecurityKind(securityKind))) {
            auto *choice = new QRadioButton(Trade::operationNameForKey(kind), page);
            m_choices[securityKind]->addButton(choice, cv::raw(kind));
            grid->addWidget(choice, index / kChoiceColumns, index % kChoiceColumns);
            ++index;
        }
        m_oprView->addTab(page, cv::localizedString(kKindKeys[securityKind]));
        connect(m_choices[securityKind], &QButtonGroup::idClicked, this, [this] {
            pickOperator();
            contentChanged();
        });
    }
    layout->addWidget(m_oprView);

    auto *form = new QFormLayout;
    form->addRow(cv::localizedString("Trade-Date"), m_dateField);
    form->addRow(cv::localizedString("Trade-Count"), m_unitsField);
    form->addRow(cv::localizedString("Trade-UnitPrice"), m_unitPriceField);
    form->addRow(cv::localizedString("Trade-Commission"), m_commissionField);
    form->addRow(cv::localizedString("Trade-Total"), m_totalField);
    form->addRow(cv::localizedString("TradeDialog-Destination"), m_accButton);
    form->addRow(cv::localizedString("Trade-Memo"), m_memoField);
    layout->addLayout(form);
    for (QLineEdit *field : {m_unitsField, m_unitPriceField, m_commissionField, m_totalField}) {
        field->setAlignment(Qt::AlignRight);
        field->setInputMethodHints(Qt::ImhPreferLatin);
        connect(field, &QLineEdit::textEdited, this, [this] { contentChanged(); });
    }
    m_unitsHeld->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The date field has no layout of its own to say how small it may get.
    m_dateField->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    m_cancelButton = buttons.cancel;

    // Filling.
    fillDestinationButton();
    fillSecurityButton();
    const NodePtr account = trade->account() > 0 ? doc->findAccount(trade->account()) : nullptr;
    if (account) m_accButton2->addItem(doc->displayName(*account), account->ident());
    m_accButton2->insertSeparator(m_accButton2->count());
    m_accButton2->addItem(cv::localizedString("CreateNewAccount"), kCommandRow);
    m_currency = m_doc->getCurrency(m_doc->currencyOfAccount(trade->account()));

    m_currentOperation = trade->kind();
    if (trade->security() > 0) {
        // A trade keeps its security.
        m_currentSecurity = doc->findSecurity(trade->security());
        if (m_currentSecurity)
            m_securityButton->setCurrentIndex(std::max(m_securityButton->findData(m_currentSecurity->ident()), 0));
        m_securityButton->setEnabled(false);
    } else {
        const int ident = m_securityButton->currentData().toInt();
        m_currentSecurity = ident > 0 ? doc->findSecurity(ident) : nullptr;
    }
    m_lastSecurityIndex = m_securityButton->currentIndex();
    setOptionView();
    m_dateField->setDate(trade->date());
    if (trade->transfer() > 0) {
        const int index = m_accButton->findData(trade->transfer());
        if (index >= 0) m_accButton->setCurrentIndex(index);
    }
    const int mask = Trade::validFieldsForKind(trade->kind());
    if (mask & Trade::CountField) m_unitsField->setText(unitsText(trade->count()));
    if (mask & Trade::UnitPriceField) m_unitPriceField->setText(unitPriceText(trade->unitPrice()));
    if (mask & Trade::CommissionField)
        m_commissionField->setText(m_doc->stringForValue(trade->commission(), m_currency, false));
    if ((mask & Trade::TotalField) && trade->kind() != cv::TradeKind::TransferUnits)
        m_totalField->setText(m_doc->stringForValue(trade->unitPrice(), m_currency, false));
    m_memoField->setText(trade->memo());
    setCurrentUnits();
    updateButtons();

    connect(m_securityButton, &QComboBox::activated, this, &TradeDialog::securityChosen);
    connect(m_accButton2, &QComboBox::activated, this, &TradeDialog::accountChosen);
    connect(m_accButton, &QComboBox::activated, this, [this] { contentChanged(); });
    connect(m_dateField, &cv::DateField::textChanged, this, [this] {
        setCurrentUnits();
        contentChanged();
    });
    connect(m_memoField, &QLineEdit::textEdited, this, [this] { contentChanged(); });
    m_filling = false;
}

TradeDialog::~TradeDialog() = default;

void TradeDialog::fillSecurityButton()
{
    m_securityButton->clear();
    for (const SecurityPtr &security : m_doc->securityList())
        if (security) m_securityButton->addItem(security->name(), security->ident());
    m_securityButton->insertSeparator(m_securityButton->count());
    m_securityButton->addItem(cv::localizedString("CreateNewBrand"), kCommandRow);
}

void TradeDialog::fillDestinationButton()
{
    const int current = m_accButton->currentData().toInt();
    m_accButton->clear();
    cv::AccountChooserModel accounts;
    accounts.setDocument(m_doc, 4, true);
    for (const cv::ChooserItem &entry : accounts.objects()) {
        const NodePtr &node = entry.node();
        if (node && node->ident() != m_trade->account()) m_accButton->addItem(m_doc->displayName(*node), node->ident());
    }
    if (const int index = m_accButton->findData(current); index >= 0) m_accButton->setCurrentIndex(index);
}

// ---- reading and writing the form

int TradeDialog::fieldMask() const
{
    return Trade::validFieldsForKind(m_currentOperation);
}

QString TradeDialog::unitsText(double units) const
{
    if (isStock()) return m_doc->stringForTradingNumberOfUnits(static_cast<long long>(std::trunc(units)));
    return m_doc->stringForFundValue(units, m_currency, false, true);
}

QString TradeDialog::unitPriceText(double price) const
{
    if (isStock()) return m_doc->stringForValue(price, m_currency, false);
    return m_doc->stringForFundValue(price, m_currency, false, true);
}

double TradeDialog::numberOf(const QLineEdit *field, int digits) const
{
    return m_doc->amountText().typedAmountIn(field->text(), m_currency, digits).value_or(0);
}

static int currencyDigits(const Book &doc, int currency)
{
    const CurrencyPtr c = doc.findCurrency(currency);
    return c ? c->fraction() : 0;
}

std::optional<QDate> TradeDialog::getDate() const
{
    return m_dateField->date();
}

double TradeDialog::getUnits() const
{
    return numberOf(m_unitsField, isStock() ? 0 : kFundDigits);
}

double TradeDialog::getUnitPrice() const
{
    return numberOf(m_unitPriceField, isStock() ? currencyDigits(*m_doc, m_currency) : kFundDigits);
}

double TradeDialog::getCommission() const
{
    return numberOf(m_commissionField, currencyDigits(*m_doc, m_currency));
}

double TradeDialog::getTotal() const
{
    return numberOf(m_totalField, currencyDigits(*m_doc, m_currency));
}

int TradeDialog::getTransfer() const
{
    return m_accButton->isEnabled() ? m_accButton->currentData().toInt() : 0;
}

QString TradeDialog::currentUnitsText() const
{
    return m_unitsHeld->text();
}

void TradeDialog::pickResult(Trade &trade) const
{
    trade.setKind(m_currentOperation);
    trade.setSecurity(m_currentSecurity ? m_currentSecurity->ident() : trade.security());
    trade.setTransfer(getTransfer());
    if (const std::optional<QDate> date = getDate()) trade.setDate(*date);
    const int mask = fieldMask();
    if ((mask & Trade::TotalField) && m_currentOperation != cv::TradeKind::TransferUnits) {
        // The amount kinds keep their amount as the unit price; a dividend counts once.
        trade.setCount(m_currentOperation == cv::TradeKind::Dividend ? 1 : 0);
        trade.setUnitPrice(getTotal());
    } else {
        trade.setCount(getUnits());
        trade.setUnitPrice(getUnitPrice());
    }
    trade.setCommission(getCommission());
    trade.setMemo(m_memoField->text());
}

// ---- state

void TradeDialog::setOptionView()
{
    const int securityKind = cv::raw(m_currentSecurity ? m_currentSecurity->kind() : cv::SecurityKind::Stock);
    if (securityKind < cv::raw(cv::SecurityKind::Stock) || securityKind > cv::raw(cv::SecurityKind::Bond)) return;
    m_oprView->setCurrentIndex(securityKind);
    QButtonGroup *group = m_choices[securityKind];
    QAbstractButton *choice = group->button(cv::raw(m_currentOperation));
    if (!choice) choice = group->buttons().value(0);
    if (choice) choice->setChecked(true);
    pickOperator();
    for (int kind = cv::raw(cv::SecurityKind::Stock); kind <= cv::raw(cv::SecurityKind::Bond); ++kind)
        m_oprView->setTabEnabled(kind, kind == securityKind);
}

void TradeDialog::pickOperator()
{
    const int securityKind = cv::raw(m_currentSecurity ? m_currentSecurity->kind() : cv::SecurityKind::Stock);
    if (securityKind < cv::raw(cv::SecurityKind::Stock) || securityKind > cv::raw(cv::SecurityKind::Bond)) return;
    const int checked = m_choices[securityKind]->checkedId();
    if (checked >= 0) m_currentOperation = cv::TradeKind(checked);
}

void TradeDialog::setCurrentUnits()
{
    double units = 0;
    const std::optional<QDate> date = getDate();
    if (m_currentSecurity && m_currentSecurity->ident() > 0 && date)
        units = m_doc->tradingAccount(m_trade->account(), m_currentSecurity->ident(), *date);
    m_unitsHeld->setText(unitsText(units));
}

void TradeDialog::updateButtons()
{
    const int mask = fieldMask();
    m_accButton->setEnabled(m_currentOperation == cv::TradeKind::TransferUnits && m_accButton->count() > 0);
    m_unitsField->setEnabled(mask & Trade::CountField);
    m_unitPriceField->setEnabled(mask & Trade::UnitPriceField);
    m_commissionField->setEnabled(mask & Trade::CommissionField);
    m_totalField->setEnabled((mask & Trade::TotalField) && m_currentOperation != cv::TradeKind::TransferUnits);
    if (m_unitsField->isEnabled() && m_unitPriceField->isEnabled())
        m_totalField->setText(m_doc->stringForValue(getUnits() * getUnitPrice(), m_currency, false));
    m_okButton->setEnabled(getDate().has_value());
}

void TradeDialog::contentChanged()
{
    if (m_filling) return;
    updateButtons();
}

void TradeDialog::securityChosen(int index)
{
    if (index < 0) return;
    if (m_securityButton->itemData(index).toInt() == kCommandRow) {
        m_securityButton->setCurrentIndex(m_lastSecurityIndex);
        cv::SecurityChooserModel securities;
        securities.setDocument(m_doc, 0);
        QPointer<TradeDialog> self(this);
        takeNewSecurity(runLastCommand(securities, [self](const cv::ChooserItem &item) {
            if (self) self->takeNewSecurity(item);
        }));
        return;
    }
    const SecurityPtr security = m_doc->findSecurity(m_securityButton->itemData(index).toInt());
    if (!security) return;
    if (m_doc->getCurrency(security->currency()) != m_currency) {
        // A trade is settled in its account's money.
        Alert::alert(cv::localizedString("TradeCurrencyWarningTitle"), cv::localizedString("TradeCurrencyWarningText"));
        m_securityButton->setCurrentIndex(m_lastSecurityIndex);
        return;
    }
    const double units = getUnits();
    const double price = getUnitPrice();
    m_currentSecurity = security;
    m_lastSecurityIndex = index;
    if (!m_unitsField->text().isEmpty()) m_unitsField->setText(unitsText(units));
    if (!m_unitPriceField->text().isEmpty()) m_unitPriceField->setText(unitPriceText(price));
    setOptionView();
    setCurrentUnits();
    contentChanged();
}

void TradeDialog::takeNewSecurity(const cv::ChooserItem &item)
{
    const SecurityPtr security = item.security();
    if (!security) return;
    fillSecurityButton();
    const int index = m_securityButton->findData(security->ident());
    if (index >= 0) securityChosen(index);
    m_securityButton->setCurrentIndex(m_lastSecurityIndex);
}

void TradeDialog::accountChosen(int index)
{
    if (index < 0 || m_accButton2->itemData(index).toInt() != kCommandRow) return;
    m_accButton2->setCurrentIndex(0);
    cv::AccountChooserModel accounts;
    accounts.setDocument(m_doc, 4, true);
    accounts.appendNewAccountCommand(cv::NodeKind::Investment);
    QPointer<TradeDialog> self(this);
    const auto refill = [self](const cv::ChooserItem &made) {
        if (self && made.node()) self->fillDestinationButton();
    };
    refill(runLastCommand(accounts, refill));
    updateButtons();
}

// ---- calendar and calculator

void TradeDialog::performInputDate(const QDate &date)
{
    m_dateField->setDate(date);
    setCurrentUnits();
    contentChanged();
}

void TradeDialog::performInputValue(const QString &value)
{
    QWidget *focused = focusWidget();
    for (QLineEdit *field : {m_unitsField, m_unitPriceField, m_commissionField}) {
        if (field != focused || !field->isEnabled()) continue;
        field->setText(value);
        // Read back as typed text is: whole units of a stock.
        if (field == m_unitsField) field->setText(unitsText(getUnits()));
        contentChanged();
    }
}

} // namespace cv
