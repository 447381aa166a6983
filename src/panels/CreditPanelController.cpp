#include "panels/CreditPanelController.h"

#include "document/CV4Document.h"
#include "model/CV4CreditCardModel.h"
#include "panels/InputForm.h"
#include "panels/InputFormCell.h"
#include "panels/InputTextField.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "platform/widgets/CV4MiscUtilitiesWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace {
constexpr int kNewCutoffIndex = 19;  // day 20
constexpr int kNewDueIndex = 9;      // day 10

QString text(const char *key) { return cv::localizedString(QLatin1String(key)); }

// The pop-up's day; the stored one when the pop-up shows none.
int selectedDay(const QComboBox *popup, int stored)
{
    return popup->currentIndex() >= 0 ? popup->currentData().toInt() : stored;
}
} // namespace

CreditPanelController::CreditPanelController(CV4Document *document, CVUnitModelPtr account, QWidget *parent)
    : cv::AccountSheet(document, std::move(account), parent), m_creditInfoForm(new InputForm(formGrid(), 2, this)),
      m_cutoffDayButton(new QComboBox(this)), m_dueDayButton(new QComboBox(this))
{
    setWindowTitle(text("Credit-Panel-Title"));
    m_creditInfoForm->addCell(text("Credit-Company"), 0);
    m_creditInfoForm->addCell(text("Credit-Telephone"), 1);
    m_creditInfoForm->addCell(text("Sheet-Start-Date"), 1, cv::formatProgramDate(QDate(2000, 1, 31)));
    for (int cell : {BalanceCell, LimitCell}) {
        InputFormCell *amount = m_creditInfoForm->addCell(
            text(cell == BalanceCell ? "Sheet-Opening-Balance" : "Credit-Limit"), 1);
        amount->setAlignment(Qt::AlignRight);
        GetCurrencyFieldEditor()->attach(amount);
    }
    cv::fillDatePopUp(m_cutoffDayButton);
    cv::fillDatePopUp(m_dueDayButton);
    QGridLayout *grid = formGrid();
    const int row = m_creditInfoForm->nextRow();
    grid->addWidget(new QLabel(text("Credit-Cutoff-Day"), this), row, 0);
    grid->addWidget(m_cutoffDayButton, row, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(text("Credit-Due-Day"), this), row + 1, 0);
    grid->addWidget(m_dueDayButton, row + 1, 1, Qt::AlignLeft);

    fillCurrencyPopup(false);
    if (const auto detail = std::dynamic_pointer_cast<CV4CreditCardModel>(this->account()->extra())) {
        setStringCell(CompanyCell, detail->name());
        setStringCell(TelephoneCell, detail->telephone());
        setStringCell(DateCell, detail->date().isValid() ? cv::formatProgramDate(detail->date()) : QString());
        setStringCell(BalanceCell, amountString(detail->initialValue()));
        setStringCell(LimitCell, amountString(detail->limit()));
        setMemoFieldString(detail->memo());
        m_storedCutoffDay = detail->cutoffDay();
        m_storedDueDay = detail->dueDay();
        m_cutoffDayButton->setCurrentIndex(m_cutoffDayButton->findData(m_storedCutoffDay));
        m_dueDayButton->setCurrentIndex(m_dueDayButton->findData(m_storedDueDay));
    } else {
        setDate(QDate::currentDate());
        m_cutoffDayButton->setCurrentIndex(kNewCutoffIndex);
        m_dueDayButton->setCurrentIndex(kNewDueIndex);
    }

    connect(m_creditInfoForm, &InputForm::cellTextChanged, this, [this] { commonChanged(m_creditInfoForm); });
    for (QComboBox *popup : {m_cutoffDayButton, m_dueDayButton})
        connect(popup, &QComboBox::currentIndexChanged, this, [this, popup] { commonChanged(popup); });
    finishOpening();
}

CreditPanelController *CreditPanelController::openCreditPanel(CV4Document *document, const CVUnitModelPtr &account,
                                                              QWidget *parent,
                                                              std::function<void(int, CreditPanelController *)> done)
{
    if (!document || !account) return nullptr;
    return cv::openSheet(new CreditPanelController(document, account, parent), parent, std::move(done));
}

std::vector<QLineEdit *> CreditPanelController::amountFields() const
{
    return {m_creditInfoForm->cellAtIndex(BalanceCell), m_creditInfoForm->cellAtIndex(LimitCell)};
}

std::optional<QDate> CreditPanelController::getDate() const
{
    return readDate(m_creditInfoForm->stringValue(DateCell));
}

void CreditPanelController::setDate(const QDate &date)
{
    setStringCell(DateCell, cv::formatProgramDate(date));
}

void CreditPanelController::setStringCell(int cell, const QString &value)
{
    if (InputFormCell *field = m_creditInfoForm->cellAtIndex(cell); field && !value.isNull()) field->setText(value);
}

void CreditPanelController::performInputDate(const QDate &date)
{
    setDate(date);
    commonChanged(m_creditInfoForm);
}

void CreditPanelController::performInputValue(const QString &value)
{
    const int cell = m_creditInfoForm->selectedIndex();
    if (cell != BalanceCell && cell != LimitCell) return;
    QLineEdit *field = m_creditInfoForm->cellAtIndex(cell);
    field->setText(value);
    if (const std::optional<double> amount = readAmount(field)) field->setText(amountString(*amount));
    commonChanged(m_creditInfoForm);
}

bool CreditPanelController::detailReady() const
{
    return !m_creditInfoForm->stringValue(CompanyCell).isEmpty() && getDate().has_value() &&
           readAmount(m_creditInfoForm->cellAtIndex(BalanceCell)) && readAmount(m_creditInfoForm->cellAtIndex(LimitCell));
}

void CreditPanelController::writeDetail()
{
    auto detail = std::dynamic_pointer_cast<CV4CreditCardModel>(account()->extra());
    if (!detail) {
        detail = std::make_shared<CV4CreditCardModel>();
        account()->setExtra(detail);
    }
    detail->setName(m_creditInfoForm->stringValue(CompanyCell));
    detail->setTelephone(m_creditInfoForm->stringValue(TelephoneCell));
    detail->setDate(getDate().value_or(QDate()));
    detail->setInitialValue(readAmount(m_creditInfoForm->cellAtIndex(BalanceCell)).value_or(0));
    detail->setLimit(readAmount(m_creditInfoForm->cellAtIndex(LimitCell)).value_or(0));
    detail->setMemo(memoField()->text());
    detail->setDueDay(selectedDay(m_dueDayButton, m_storedDueDay));
    detail->setCutoffDay(selectedDay(m_cutoffDayButton, m_storedCutoffDay));
}
