#include "panels/sheets/CardAccountSheet.h"

#include "document/Book.h"
#include "model/CardDetail.h"
#include "panels/sheets/InputForm.h"
#include "panels/sheets/InputFormCell.h"
#include "panels/sheets/InputTextField.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"
#include "platform/widgets/DatePopUp.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace cv {

namespace {
constexpr int kNewCutoffIndex = 19; // day 20
constexpr int kNewDueIndex = 9;     // day 10

// The pop-up's day; the stored one when the pop-up shows none.
int selectedDay(const QComboBox *popup, int stored)
{
    return popup->currentIndex() >= 0 ? popup->currentData().toInt() : stored;
}
} // namespace

CardAccountSheet::CardAccountSheet(Book *document, NodePtr account, QWidget *parent)
    : cv::FormAccountSheet(document, std::move(account), parent, 2), m_cutoffDayButton(new QComboBox(this)),
      m_dueDayButton(new QComboBox(this))
{
    setWindowTitle(cv::localizedString("Credit-Panel-Title"));
    InputForm *cells = form();
    cells->addCell(cv::localizedString("Credit-Company"), 0);
    cells->addCell(cv::localizedString("Credit-Telephone"), 1);
    cells->addCell(cv::localizedString("Sheet-Start-Date"), 1);
    cells->addCell(cv::localizedString("Sheet-Opening-Balance"), 1);
    cells->addCell(cv::localizedString("Credit-Limit"), 1);
    setCellRoles(DateCell, {BalanceCell, LimitCell}, {BalanceCell, LimitCell});
    cv::fillDatePopUp(m_cutoffDayButton);
    cv::fillDatePopUp(m_dueDayButton);
    QGridLayout *grid = formGrid();
    const int row = cells->nextRow();
    grid->addWidget(new QLabel(cv::localizedString("Credit-Cutoff-Day"), this), row, 0);
    grid->addWidget(m_cutoffDayButton, row, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(cv::localizedString("Credit-Due-Day"), this), row + 1, 0);
    grid->addWidget(m_dueDayButton, row + 1, 1, Qt::AlignLeft);

    fillCurrencyPopup(false);
    if (const auto detail = std::dynamic_pointer_cast<CardDetail>(this->account()->extra())) {
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

    for (QComboBox *popup : {m_cutoffDayButton, m_dueDayButton})
        connect(popup, &QComboBox::currentIndexChanged, this, [this, popup] { commonChanged(popup); });
    finishOpening();
}

CardAccountSheet *CardAccountSheet::openCardAccountSheet(Book *document, const NodePtr &account, QWidget *parent,
                                                         std::function<void(int, CardAccountSheet *)> done)
{
    if (!document || !account) return nullptr;
    return cv::openSheet(new CardAccountSheet(document, account, parent), parent, std::move(done));
}

bool CardAccountSheet::detailReady() const
{
    return !form()->stringValue(CompanyCell).isEmpty() && getDate().has_value() && amountsRead();
}

QString CardAccountSheet::missingDetail() const
{
    const char *key = nullptr;
    if (form()->stringValue(CompanyCell).isEmpty())
        key = "Credit-Company";
    else if (!getDate())
        key = "Sheet-Start-Date";
    else if (!readAmount(form()->cellAtIndex(BalanceCell)))
        key = "Sheet-Opening-Balance";
    else if (!readAmount(form()->cellAtIndex(LimitCell)))
        key = "Credit-Limit";
    return key ? cv::localizedString(key) : QString();
}

void CardAccountSheet::writeDetail()
{
    auto detail = std::dynamic_pointer_cast<CardDetail>(account()->extra());
    if (!detail) {
        detail = std::make_shared<CardDetail>();
        account()->setExtra(detail);
    }
    detail->setName(form()->stringValue(CompanyCell));
    detail->setTelephone(form()->stringValue(TelephoneCell));
    detail->setDate(getDate().value_or(QDate()));
    detail->setInitialValue(amountOf(BalanceCell));
    detail->setLimit(amountOf(LimitCell));
    detail->setMemo(memoField()->text());
    detail->setDueDay(selectedDay(m_dueDayButton, m_storedDueDay));
    detail->setCutoffDay(selectedDay(m_cutoffDayButton, m_storedCutoffDay));
}

} // namespace cv
