#include "panels/BankPanelController.h"

#include "document/CV4Document.h"
#include "model/CV4BankModel.h"
#include "panels/InputForm.h"
#include "panels/InputFormCell.h"
#include "panels/InputTextField.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

namespace {
QString text(const char *key) { return cv::localizedString(QLatin1String(key)); }
} // namespace

BankPanelController::BankPanelController(CV4Document *document, CVUnitModelPtr account, QWidget *parent)
    : cv::AccountSheet(document, std::move(account), parent), m_bankInfoForm(new InputForm(formGrid(), 3, this)),
      m_accountKindButton(new QComboBox(this))
{
    setWindowTitle(text("Bank-Panel-Title"));
    const struct {
        const char *label;
        int tag;
    } cells[] = {{"Bank-Name", 0},      {"Bank-Branch", 0},           {"Bank-Account-Number", 1},
                 {"Bank-Telephone", 1}, {"Sheet-Start-Date", 1},      {"Sheet-Opening-Balance", 1},
                 {"Bank-Interest-Rate", 1}};
    for (const auto &cell : cells) m_bankInfoForm->addCell(text(cell.label), cell.tag);
    m_bankInfoForm->cellAtIndex(DateCell)->setPlaceholderText(cv::formatProgramDate(QDate(2000, 1, 31)));
    for (int cell : {BalanceCell, RateCell}) m_bankInfoForm->cellAtIndex(cell)->setAlignment(Qt::AlignRight);
    GetCurrencyFieldEditor()->attach(m_bankInfoForm->cellAtIndex(BalanceCell));
    for (int kind = 0; kind < kAccountKinds; ++kind)
        m_accountKindButton->addItem(cv::localizedString(QStringLiteral("Bank-Kind-%1").arg(kind)));
    QGridLayout *grid = formGrid();
    grid->addWidget(new QLabel(text("Bank-Account-Kind"), this), 2, 0);
    grid->addWidget(m_accountKindButton, 2, 1, Qt::AlignLeft);

    fillCurrencyPopup(false);
    if (const auto detail = std::dynamic_pointer_cast<CV4BankModel>(this->account()->extra())) {
        setStringCell(BankCell, detail->name());
        setStringCell(BranchCell, detail->branchName());
        setStringCell(NumberCell, detail->accountNumber());
        setStringCell(TelephoneCell, detail->telephone());
        setStringCell(DateCell, detail->date().isValid() ? cv::formatProgramDate(detail->date()) : QString());
        setStringCell(BalanceCell, amountString(detail->initialValue()));
        setStringCell(RateCell, QString::number(detail->interestRate(), 'g', 15));
        setMemoFieldString(detail->memo());
        m_storedKind = detail->kind();
        m_accountKindButton->setCurrentIndex(m_storedKind >= 0 && m_storedKind < kAccountKinds ? m_storedKind : -1);
    } else {
        setDate(QDate::currentDate());
    }

    connect(m_bankInfoForm, &InputForm::cellTextChanged, this, [this] { commonChanged(m_bankInfoForm); });
    connect(m_accountKindButton, &QComboBox::currentIndexChanged, this, [this] { commonChanged(m_accountKindButton); });
    finishOpening();
}

BankPanelController *BankPanelController::openBankPanel(CV4Document *document, const CVUnitModelPtr &account,
                                                        QWidget *parent,
                                                        std::function<void(int, BankPanelController *)> done)
{
    if (!document || !account) return nullptr;
    return cv::openSheet(new BankPanelController(document, account, parent), parent, std::move(done));
}

std::vector<QLineEdit *> BankPanelController::amountFields() const
{
    return {m_bankInfoForm->cellAtIndex(BalanceCell)};
}

std::optional<QDate> BankPanelController::getDate() const
{
    return readDate(m_bankInfoForm->stringValue(DateCell));
}

void BankPanelController::setDate(const QDate &date)
{
    setStringCell(DateCell, cv::formatProgramDate(date));
}

void BankPanelController::setStringCell(int cell, const QString &value)
{
    if (InputFormCell *field = m_bankInfoForm->cellAtIndex(cell); field && !value.isNull()) field->setText(value);
}

void BankPanelController::performInputDate(const QDate &date)
{
    setDate(date);
    commonChanged(m_bankInfoForm);
}

void BankPanelController::performInputValue(const QString &value)
{
    const int cell = m_bankInfoForm->selectedIndex();
    if (cell != BalanceCell && cell != RateCell) return;
    QLineEdit *field = m_bankInfoForm->cellAtIndex(cell);
    field->setText(value);
    if (cell == BalanceCell)
        if (const std::optional<double> amount = readAmount(field)) field->setText(amountString(*amount));
    commonChanged(m_bankInfoForm);
}

std::optional<double> BankPanelController::readRate() const
{
    const QString rate = m_bankInfoForm->stringValue(RateCell).trimmed();
    if (rate.isEmpty()) return 0.0;
    bool ok = false;
    const double value = rate.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool BankPanelController::detailReady() const
{
    return !m_bankInfoForm->stringValue(BankCell).isEmpty() && getDate().has_value() &&
           readAmount(m_bankInfoForm->cellAtIndex(BalanceCell)) && readRate();
}

void BankPanelController::writeDetail()
{
    auto detail = std::dynamic_pointer_cast<CV4BankModel>(account()->extra());
    if (!detail) {
        detail = std::make_shared<CV4BankModel>();
        account()->setExtra(detail);
    }
    detail->setName(m_bankInfoForm->stringValue(BankCell));
    detail->setBranchName(m_bankInfoForm->stringValue(BranchCell));
    detail->setAccountNumber(m_bankInfoForm->stringValue(NumberCell));
    detail->setTelephone(m_bankInfoForm->stringValue(TelephoneCell));
    detail->setDate(getDate().value_or(QDate()));
    detail->setInitialValue(readAmount(m_bankInfoForm->cellAtIndex(BalanceCell)).value_or(0));
    detail->setInterestRate(readRate().value_or(0));
    detail->setKind(m_accountKindButton->currentIndex() >= 0 ? m_accountKindButton->currentIndex() : m_storedKind);
    detail->setMemo(memoField()->text());
}
