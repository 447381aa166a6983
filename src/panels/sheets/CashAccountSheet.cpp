#include "panels/sheets/CashAccountSheet.h"

#include "controls/DateField.h"
#include "document/Book.h"
#include "model/AccountDetail.h"
#include "panels/sheets/InputTextField.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace cv {

namespace {
const char *titleKey(cv::NodeKind kind)
{
    switch (kind) {
    case cv::NodeKind::Cash: return "Cache asset";
    case cv::NodeKind::Investment: return "Invest asset";
    case cv::NodeKind::GeneralAsset: return "Generic Asset";
    case cv::NodeKind::GeneralDebt: return "Generic Debt";
    default: return nullptr;
    }
}
} // namespace

CashAccountSheet::CashAccountSheet(Book *document, NodePtr account, QWidget *parent)
    : cv::AccountSheet(document, std::move(account), parent), m_titleField(new QLabel(this)),
      m_dateFieldLabel(new QLabel(cv::localizedString(QStringLiteral("Sheet-Start-Date")), this)),
      m_dateField(new cv::DateField(this)), m_valueField(makeAmountField())
{
    setWindowTitle(cv::localizedString(QStringLiteral("Cache-Panel-Title")));
    if (const char *key = titleKey(this->account()->kind())) m_titleField->setText(cv::localizedString(key));
    QFont bold = m_titleField->font();
    bold.setBold(true);
    m_titleField->setFont(bold);
    static_cast<QVBoxLayout *>(layout())->insertWidget(0, m_titleField);
    QGridLayout *grid = formGrid();
    grid->addWidget(m_dateFieldLabel, 2, 0);
    grid->addWidget(m_dateField, 2, 1);
    grid->addWidget(new QLabel(cv::localizedString(QStringLiteral("Sheet-Opening-Balance")), this), 3, 0);
    grid->addWidget(m_valueField, 3, 1);
    m_dateField->textField()->setInputMethodHints(Qt::ImhPreferLatin);

    fillCurrencyPopup(true);
    const auto detail = std::dynamic_pointer_cast<AccountDetail>(this->account()->extra());
    m_dateField->setDate(detail && detail->date().isValid() ? detail->date() : QDate::currentDate());
    if (detail) {
        m_valueField->setText(amountString(detail->initialValue()));
        setMemoFieldString(detail->memo());
    }
    if (currencyLocked()) currencyButton()->setEnabled(false);
    if (!detail && this->account()->ident() >= 1) {
        m_followsValue = true;
        setDateEnabled(false);
    }

    connect(m_dateField, &cv::DateField::textChanged, this, [this] { contentChanged(m_dateField); });
    connect(m_dateField, &cv::DateField::dateChanged, this, [this] { contentChanged(m_dateField); });
    connect(m_valueField, &QLineEdit::textChanged, this, [this] { contentChanged(m_valueField); });
    finishOpening();
}

CashAccountSheet *CashAccountSheet::openCashAccountSheet(Book *document, const NodePtr &account, QWidget *parent,
                                                         std::function<void(int, CashAccountSheet *)> done)
{
    if (!document || !account) return nullptr;
    return cv::openSheet(new CashAccountSheet(document, account, parent), parent, std::move(done));
}

bool CashAccountSheet::currencyLocked() const
{
    return account()->ident() == kFixedCashAccount;
}

std::optional<QDate> CashAccountSheet::getDate() const
{
    if (!m_dateEnabled) return std::nullopt;
    return readDate(m_dateField->stringValue());
}

void CashAccountSheet::setDate(const QDate &date)
{
    m_dateField->setDate(date);
}

bool CashAccountSheet::detailReady() const
{
    return (!m_dateEnabled || getDate().has_value()) && readAmount(m_valueField).has_value();
}

QString CashAccountSheet::missingDetail() const
{
    if (m_dateEnabled && !getDate()) return cv::localizedString(QStringLiteral("Sheet-Start-Date"));
    if (!readAmount(m_valueField)) return cv::localizedString(QStringLiteral("Sheet-Opening-Balance"));
    return QString();
}

void CashAccountSheet::contentChanged(QObject *control)
{
    if (isOpening()) return;
    setChanged();
    updateButtons();
    if (control == m_valueField && m_followsValue) {
        setDateEnabled(!m_valueField->text().isEmpty());
        updateButtons();
    }
}

void CashAccountSheet::setDateEnabled(bool enabled)
{
    if (enabled == m_dateEnabled) return;
    m_dateEnabled = enabled;
    m_dateFieldLabel->setEnabled(enabled);
    m_dateField->setEnabled(enabled);
    const bool opening = isOpening();
    setOpening(true); // the date's own text change is not the user's
    if (enabled)
        m_dateField->setDate(QDate::currentDate());
    else
        m_dateField->setStringValue(QString());
    setOpening(opening);
}

void CashAccountSheet::performInputDate(const QDate &date)
{
    if (!m_dateEnabled) return;
    m_dateField->setDate(date);
}

void CashAccountSheet::performInputValue(const QString &value)
{
    m_valueField->setText(value);
    if (const std::optional<double> amount = readAmount(m_valueField)) m_valueField->setText(amountString(*amount));
}

void CashAccountSheet::writeDetail()
{
    auto detail = std::dynamic_pointer_cast<AccountDetail>(account()->extra());
    if (!detail) {
        detail = std::make_shared<AccountDetail>();
        account()->setExtra(detail);
    }
    detail->setDate(getDate().value_or(QDate()));
    detail->setInitialValue(readAmount(m_valueField).value_or(0));
    detail->setMemo(memoField()->text());
}

} // namespace cv
