#include "panels/sheets/BankAccountSheet.h"

#include "document/Book.h"
#include "model/BankDetail.h"
#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "panels/sheets/InputTextField.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

namespace cv {

BankAccountSheet::BankAccountSheet(Book *document, NodePtr account, QWidget *parent)
    : cv::FormAccountSheet(document, std::move(account), parent, 3), m_accountKindButton(new QComboBox(this))
{
    setWindowTitle(cv::localizedString("Bank-Panel-Title"));
    const struct {
        const char *label;
        int tag;
    } cells[] = {{"Bank-Name", 0},         {"Bank-Branch", 0},      {"Bank-Account-Number", 1},
                 {"Bank-Telephone", 1},    {"Sheet-Start-Date", 1}, {"Sheet-Opening-Balance", 1},
                 {"Bank-Interest-Rate", 1}};
    for (const auto &cell : cells) form()->addCell(cv::localizedString(cell.label), cell.tag);
    setCellRoles(DateCell, {BalanceCell, RateCell}, {BalanceCell});
    for (int kind = 0; kind < kAccountKinds; ++kind)
        m_accountKindButton->addItem(cv::localizedString(QStringLiteral("Bank-Kind-%1").arg(kind)));
    formGrid()->addWidget(new QLabel(cv::localizedString("Bank-Account-Kind"), this), 2, 0);
    formGrid()->addWidget(m_accountKindButton, 2, 1, Qt::AlignLeft);

    fillCurrencyPopup(false);
    if (const auto detail = std::dynamic_pointer_cast<BankDetail>(this->account()->extra())) {
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

    connect(m_accountKindButton, &QComboBox::currentIndexChanged, this, [this] { commonChanged(m_accountKindButton); });
    finishOpening();
}

BankAccountSheet *BankAccountSheet::openBankAccountSheet(Book *document, const NodePtr &account, QWidget *parent,
                                                         std::function<void(int, BankAccountSheet *)> done)
{
    if (!document || !account) return nullptr;
    return cv::openSheet(new BankAccountSheet(document, account, parent), parent, std::move(done));
}

std::optional<double> BankAccountSheet::readRate() const
{
    const QString rate = form()->stringValue(RateCell).trimmed();
    if (rate.isEmpty()) return 0.0;
    bool ok = false;
    const double value = rate.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool BankAccountSheet::detailReady() const
{
    return !form()->stringValue(BankCell).isEmpty() && getDate().has_value() && amountsRead() && readRate();
}

QString BankAccountSheet::missingDetail() const
{
    const char *key = nullptr;
    if (form()->stringValue(BankCell).isEmpty())
        key = "Bank-Name";
    else if (!getDate())
        key = "Sheet-Start-Date";
    else if (!readAmount(form()->cellAtIndex(BalanceCell)))
        key = "Sheet-Opening-Balance";
    else if (!readRate())
        key = "Bank-Interest-Rate";
    return key ? cv::localizedString(key) : QString();
}

void BankAccountSheet::writeDetail()
{
    auto detail = std::dynamic_pointer_cast<BankDetail>(account()->extra());
    if (!detail) {
        detail = std::make_shared<BankDetail>();
        account()->setExtra(detail);
    }
    detail->setName(form()->stringValue(BankCell));
    detail->setBranchName(form()->stringValue(BranchCell));
    detail->setAccountNumber(form()->stringValue(NumberCell));
    detail->setTelephone(form()->stringValue(TelephoneCell));
    detail->setDate(getDate().value_or(QDate()));
    detail->setInitialValue(amountOf(BalanceCell));
    detail->setInterestRate(readRate().value_or(0));
    detail->setKind(m_accountKindButton->currentIndex() >= 0 ? m_accountKindButton->currentIndex() : m_storedKind);
    detail->setMemo(memoField()->text());
}

} // namespace cv
