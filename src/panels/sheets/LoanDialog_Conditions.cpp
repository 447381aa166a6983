#include "panels/sheets/LoanDialog.h"

#include "controls/AccountChooserModel.h"
#include "controls/CategoryChooserModel.h"
#include "controls/ChooserPopup.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/AccountTrees.h"
#include "model/Currency.h"
#include "model/DomainEnums.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>

namespace cv {

namespace {

// Bonus popup index -> months (bit m-1 = month m).
constexpr int kBonusMonths[] = {0, 2080, 65, 130};

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;

} // namespace

// ---------------------------------------------------------------- building

QWidget *LoanDialog::buildConditionsPage()
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
    m_holidayButton->addItems({cv::localizedString("Loan-Holiday-Next"), cv::localizedString("Loan-Holiday-Previous"),
                               cv::localizedString("Loan-Holiday-Keep")});
    m_loanTypeButton = new QComboBox(page);
    m_loanTypeButton->addItems({cv::localizedString("Loan-Type-Annuity"), cv::localizedString("Loan-Type-Principal"),
                                cv::localizedString("Loan-Type-Flat")});
    m_option2 = new QCheckBox(cv::localizedString("Loan-Option-Arrears"), page);
    m_option3 = new QCheckBox(cv::localizedString("Loan-Option-Next-Month"), page);
    m_option4 = new QCheckBox(cv::localizedString("Loan-Option-Last-Row"), page);
    m_initialDayCheckbox = new QCheckBox(cv::localizedString("Loan-Initial-Day"), page);
    m_noRecalcCheckbox = new QCheckBox(cv::localizedString("Loan-No-Recalc"), page);
    m_bonusButton = new QComboBox(page);
    m_bonusButton->addItems({cv::localizedString("Loan-Bonus-None"), cv::localizedString("Loan-Bonus-Jun-Dec"),
                             cv::localizedString("Loan-Bonus-Jan-Jul"), cv::localizedString("Loan-Bonus-Feb-Aug")});

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
        grid->addWidget(r.leftLabel ? static_cast<QWidget *>(new QLabel(cv::localizedString(r.leftLabel), page))
                                    : m_transferAccount,
                        row, 0);
        grid->addWidget(r.left, row, 1);
        grid->addWidget(r.rightLabel ? static_cast<QWidget *>(new QLabel(cv::localizedString(r.rightLabel), page))
                                     : m_transferUsage,
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
    // clang-format off
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{
             m_option2, m_option3, m_option4, m_initialDayCheckbox, m_noRecalcCheckbox, m_transferAccount,
             m_transferUsage})
        // clang-format on
        connect(b, &QAbstractButton::toggled, this, [this, b] { contentChanged(b); });
    connect(m_currencyButton, &QComboBox::currentIndexChanged, this, &LoanDialog::currencyChanged);
    connect(m_accountButton, &QPushButton::clicked, this, [this] { chooseAccount(m_accountButton, 0); });
    connect(m_usageButton, &QPushButton::clicked, this, [this] { chooseAccount(m_usageButton, 1); });
    connect(m_repaymentButton, &QPushButton::clicked, this, [this] { chooseAccount(m_repaymentButton, 2); });
    return page;
}

// ---------------------------------------------------------------- form <-> model

void LoanDialog::fillFromStoredLoan(const LoanTerms &loan)
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
    m_holidayButton->setCurrentIndex((flags & LoanTerms::HolidayToPrevious) ? 1
                                     : (flags & LoanTerms::HolidayNoMove)   ? 2
                                                                            : 0);
    m_option2->setChecked(flags & LoanTerms::InterestInArrears);
    m_option3->setChecked(flags & LoanTerms::FirstDueNextMonth);
    m_option4->setChecked(flags & LoanTerms::NoFirstRowAdjustment);
    m_initialDayCheckbox->setChecked(!(flags & LoanTerms::CountFromStartDate));
    m_noRecalcCheckbox->setChecked(loan.dataFlags() & 1);
    const int months = loan.bonusMonths();
    m_bonusButton->setCurrentIndex((months & 32) ? 1 : (months & 64) ? 2 : (months & 128) ? 3 : 0);
    // Shown through the formatter, so cents stay visible.
    if (months != 0) m_bonusField->setText(m_currencyFormatter.stringForObjectValue(loan.bonusAmount()));
}

std::optional<QDate> LoanDialog::getDate() const
{
    const auto date = cv::parseProgramDate(m_dateField->text());
    if (!date || date->year() < kFirstYear || date->year() > kLastYear) return std::nullopt;
    return date;
}

double LoanDialog::amountOf(const QLineEdit *field) const
{
    // Text that is no amount is none, never the digits it happens to hold.
    const CurrencyPtr currency = m_document->findCurrency(m_selectedCurrency);
    if (!cv::AmountText::typedAmountText(field->text(), currency ? currency->prefix() : QString())) return 0;
    double value = 0;
    m_currencyFormatter.getObjectValue(value, field->text());
    return value;
}

void LoanDialog::setupLoanModel(LoanTerms &model) const
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
        if (m_transferAccount->isChecked())
            model.setInAccount(m_inAccount);
        else
            model.setOutCategory(m_usage);
        model.setRepaymentAccount(m_repayment);
        model.setLoanType(m_loanTypeButton->currentIndex());
        int flags = 0;
        if (m_holidayButton->currentIndex() == 1) flags |= LoanTerms::HolidayToPrevious;
        if (m_holidayButton->currentIndex() == 2) flags |= LoanTerms::HolidayNoMove;
        if (m_option2->isChecked()) flags |= LoanTerms::InterestInArrears;
        if (m_option3->isChecked()) flags |= LoanTerms::FirstDueNextMonth;
        if (m_option4->isChecked()) flags |= LoanTerms::NoFirstRowAdjustment;
        if (!m_initialDayCheckbox->isChecked()) flags |= LoanTerms::CountFromStartDate;
        model.setRepaymentFlags(flags);
        model.setDataFlags(m_noRecalcCheckbox->isChecked() ? 1 : 0);
        model.setBonusMonths(kBonusMonths[std::clamp(m_bonusButton->currentIndex(), 0, 3)]);
    }
    const CurrencyPtr currency = m_document->findCurrency(m_selectedCurrency);
    Q_ASSERT_X(currency, "src/LoanPanelController", "LoanPanelController - currency is NIL.");
    const int fraction = currency ? currency->fraction() : 0;
    model.setFraction(fraction);
    int unit = 1000;
    for (int i = 0; i < fraction && unit > 1; ++i) unit /= 10;
    model.setUnit(unit);
}

LoanTerms LoanDialog::currentModel() const
{
    LoanTerms model;
    setupLoanModel(model);
    return model;
}

bool LoanDialog::readyToCalc() const
{
    if (m_nameField->text().isEmpty()) return false;
    if (!m_isNew) return m_storedLoan.isReadyToCalc();
    return missingField().isEmpty();
}

QString LoanDialog::missingField() const
{
    const char *key = nullptr;
    const QString rate = m_rateField->text().trimmed();
    bool rateOk = false;
    const double rateValue = rate.toDouble(&rateOk);
    if (m_nameField->text().isEmpty())
        key = "Loan-Name";
    else if (amountOf(m_valueField) == 0)
        key = "Loan-Amount";
    else if (m_timesField->text().trimmed().toInt() == 0)
        key = "Loan-Times";
    else if (rate.isEmpty() || !rateOk || rateValue < 0)
        key = "Loan-Rate";
    else if (m_repayment == 0)
        key = "Loan-Repayment-Account";
    else if (m_transferAccount->isChecked() ? m_inAccount == 0 : m_usage == 0)
        key = m_transferAccount->isChecked() ? "Loan-Into-Account" : "Loan-For-Usage";
    if (!key) return QString();
    QString name = cv::localizedString(key);
    if (name.endsWith(u':') || name.endsWith(u'：')) name.chop(1);
    return name;
}

// ---------------------------------------------------------------- choices

std::vector<NodePtr> LoanDialog::assetAccountsInCurrency(int currency) const
{
    std::vector<NodePtr> found;
    std::function<void(const NodePtr &)> walk = [&](const NodePtr &node) {
        if (!node) return;
        if (cv::isAssetAccountKind(node->kind())) {
            if (node->currency() == currency) found.push_back(node);
            return;
        }
        for (const NodePtr &child : node->children()) walk(child);
    };
    if (m_document->accountTrees()) walk(m_document->accountTrees()->asset());
    return found;
}

void LoanDialog::setCurrencyStatus()
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
        updateButtons();
    }
}

void LoanDialog::currencyChanged()
{
    if (m_init) return;
    ++m_changeCount;
    setCurrencyStatus();
    updateButtons();
}

std::unique_ptr<cv::AccountChooserModel> LoanDialog::assetSource(int currency) const
{
    auto source = std::make_unique<cv::AccountChooserModel>();
    source->setDocument(m_document, 15);
    if (!assetAccountsInCurrency(currency).empty()) source->restrictKey(QStringLiteral("currency"), currency);
    return source;
}

void LoanDialog::chooseAccount(QPushButton *button, int which)
{
    cv::ChooserModel *source = nullptr;
    int current = 0;
    if (which == 1) {
        auto categories = std::make_unique<cv::CategoryChooserModel>();
        categories->setDocument(m_document, 2);
        m_chooserSource = std::move(categories);
        current = m_usage;
    } else {
        m_chooserSource = assetSource(m_selectedCurrency);
        current = which == 0 ? m_inAccount : m_repayment;
    }
    source = m_chooserSource.get();
    const QRect anchor(button->mapToGlobal(QPoint(0, 0)), button->size());
    QPointer<LoanDialog> self(this);
    cv::ChooserPopup::get()->run(button, anchor, cv::ChooserPopup::Anchor::Button, source,
                                 source->objectWithIdentifier(current), [self, which](const cv::ChooserItem &item) {
                                     if (!self || self->m_closing || !item.node()) return;
                                     const int ident = item.node()->ident();
                                     if (which == 0)
                                         self->setInAccount(ident);
                                     else if (which == 1)
                                         self->setUsage(ident);
                                     else
                                         self->setRepaymentAccount(ident);
                                 });
}

void LoanDialog::setInAccount(int ident)
{
    m_inAccount = ident;
    ++m_changeCount;
    updateButtons();
}

void LoanDialog::setUsage(int ident)
{
    m_usage = ident;
    ++m_changeCount;
    updateButtons();
}

void LoanDialog::setRepaymentAccount(int ident)
{
    m_repayment = ident;
    ++m_changeCount;
    updateButtons();
}

void LoanDialog::setTransferChoice(int tag)
{
    (tag == 0 ? m_transferAccount : m_transferUsage)->setChecked(true);
}

void LoanDialog::contentChanged(QObject *control)
{
    if (m_init) return;
    if (control == m_timesField && m_timesField->text().trimmed().toInt() > kMaxTimes) {
        m_timesField->setText(QString::number(kMaxTimes));
        Alert::alert(QString(), cv::localizedString("Alert-Loan-Max-Times-Limit"), this);
    }
    if (control == m_noRecalcCheckbox)
        ++m_overViewChangeCount;
    else if (control != m_nameField && control != m_memoField)
        ++m_changeCount;
    updateButtons();
}

void LoanDialog::performInputDate(const QDate &date)
{
    if (m_tabView->currentIndex() != 0 || !m_isNew) return;
    m_dateField->setText(cv::formatProgramDate(date));
    contentChanged(m_dateField);
}

} // namespace cv
