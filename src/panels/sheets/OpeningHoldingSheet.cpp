#include "panels/sheets/OpeningHoldingSheet.h"

#include "controls/DialogButtons.h"
#include "controls/OpenSheet.h"
#include "document/AmountText.h"
#include "document/Book.h"
#include "model/OpeningHolding.h"
#include "model/DatedPrice.h"
#include "platform/Alert.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

namespace cv {

namespace {

OpeningHolding *unitOf(const Node &node)
{
    return dynamic_cast<OpeningHolding *>(node.extra().get());
}

} // namespace

OpeningHoldingSheet::OpeningHoldingSheet(Book *document, NodePtr item, NodePtr parentAccount, QWidget *parent)
    : UndoableSheet(parent), m_document(document), m_currentItem(std::move(item)), m_parent(std::move(parentAccount)),
      m_securityName(new QLabel(this)), m_memoField(new QLineEdit(this)),
      m_editButton(new QPushButton(cv::localizedString("Invest-Sheet-Edit-Brand"), this))
{
    Q_ASSERT(m_document && m_currentItem);
    setWindowTitle(cv::localizedString("Invest-Sheet-Title"));
    if (m_document) setUndoStack(m_document->undoStack());
    auto *layout = new QVBoxLayout(this);
    QFont bold = m_securityName->font();
    bold.setBold(true);
    m_securityName->setFont(bold);
    layout->addWidget(m_securityName);
    auto *form = new QFormLayout;
    const char *const labels[] = {"Invest-Sheet-Date", "Invest-Sheet-Units", "Invest-Sheet-UnitPrice",
                                  "Invest-Sheet-Commission"};
    for (int i = DateCell; i <= CommissionCell; ++i) {
        m_cells[i] = new QLineEdit(this);
        m_cells[i]->setInputMethodHints(Qt::ImhPreferLatin);
        if (i != DateCell) m_cells[i]->setAlignment(Qt::AlignRight);
        form->addRow(cv::localizedString(labels[i]), m_cells[i]);
    }
    form->addRow(cv::localizedString("Invest-Sheet-Memo"), m_memoField);
    layout->addLayout(form);
    auto *edit = new QHBoxLayout;
    m_editButton->setAutoDefault(false);
    m_editButton->setEnabled(false);
    edit->addWidget(m_editButton);
    edit->addStretch(1);
    layout->addLayout(edit);
    m_okButton = cv::addOkCancelButtons(this, layout).ok;
    setMinimumWidth(380);

    fillControls();
    for (QLineEdit *field : {m_cells[0], m_cells[1], m_cells[2], m_cells[3], m_memoField})
        connect(field, &QLineEdit::textChanged, this, &OpeningHoldingSheet::contentChanged);
    connect(m_editButton, &QPushButton::clicked, this, &OpeningHoldingSheet::onEdit);
}

OpeningHoldingSheet *OpeningHoldingSheet::openOpeningHoldingSheet(Book *document, const NodePtr &item,
                                                                  const NodePtr &parentAccount, QWidget *parent,
                                                                  EndHandler done)
{
    if (!document || !item) return nullptr;
    return cv::openSheet(new OpeningHoldingSheet(document, item, parentAccount, parent), parent, std::move(done));
}

void OpeningHoldingSheet::setEditSecurityAction(std::function<void(int)> action)
{
    m_editSecurityAction = std::move(action);
    m_editButton->setEnabled(m_editSecurityAction && m_security);
}

bool OpeningHoldingSheet::isStock() const
{
    return !m_security || m_security->kind() == cv::SecurityKind::Stock;
}

int OpeningHoldingSheet::securityCurrency() const
{
    return m_security ? m_security->currency() : (m_parent ? m_parent->currency() : 0);
}

int OpeningHoldingSheet::priceDigits() const
{
    if (!isStock()) return 6;
    const CurrencyPtr currency = m_document->findCurrency(securityCurrency());
    return currency ? currency->fraction() : 0;
}

QString OpeningHoldingSheet::fundText(double value, int digits, int currency) const
{
    return m_document->stringForFundValue(value, currency, false, false, digits);
}

double OpeningHoldingSheet::numberOf(const QLineEdit *field, int digits, int currency) const
{
    return m_document->amountText().typedAmountIn(field->text(), currency, digits).value_or(0);
}

void OpeningHoldingSheet::fillControls()
{
    m_filling = true;
    const OpeningHolding *unit = unitOf(*m_currentItem);
    m_curSecurity = unit ? unit->security() : 0;
    m_security = m_curSecurity ? m_document->findSecurity(m_curSecurity) : nullptr;
    const QString account = m_parent ? m_document->displayName(*m_parent) : QString();
    m_securityName->setText(QStringLiteral("%1/%2").arg(account, m_security ? m_security->name() : QString()));
    if (unit) {
        setDate(unit->date());
        m_cells[UnitsCell]->setText(fundText(unit->units(), unitDigits(), securityCurrency()));
        m_cells[UnitPriceCell]->setText(fundText(unit->unitPrice(), priceDigits(), securityCurrency()));
        m_cells[CommissionCell]->setText(
            m_document->stringForValue(unit->commission(), m_parent ? m_parent->currency() : 0, true));
        m_memoField->setText(unit->memo());
        m_hasChanged = false;
    } else {
        setDate(QDate::currentDate());
        m_hasChanged = true;
    }
    m_filling = false;
    updateButtons();
}

void OpeningHoldingSheet::contentChanged()
{
    if (m_filling) return;
    m_hasChanged = true;
    updateButtons();
}

void OpeningHoldingSheet::updateButtons()
{
    m_okButton->setEnabled(m_hasChanged && getDate().has_value());
}

std::optional<QDate> OpeningHoldingSheet::getDate() const
{
    return cv::parseProgramDate(m_cells[DateCell]->text());
}

void OpeningHoldingSheet::setDate(const QDate &date)
{
    m_cells[DateCell]->setText(cv::formatProgramDate(date));
}

void OpeningHoldingSheet::performInputDate(const QDate &date)
{
    if (date.isValid()) setDate(date);
}

void OpeningHoldingSheet::performInputValue(const QString &value)
{
    for (int i = UnitsCell; i <= CommissionCell; ++i) {
        if (m_cells[i]->hasFocus()) {
            m_cells[i]->setText(value);
            return;
        }
    }
}

void OpeningHoldingSheet::storeHolding()
{
    auto unit = std::dynamic_pointer_cast<OpeningHolding>(m_currentItem->extra());
    if (!unit) {
        unit = std::make_shared<OpeningHolding>();
        unit->setSecurity(m_curSecurity);
        m_currentItem->setExtra(unit);
    }
    unit->setDate(*getDate());
    double units = numberOf(m_cells[UnitsCell], unitDigits(), securityCurrency());
    // A stock is held in whole shares.
    if (isStock()) units = std::trunc(units);
    unit->setUnits(units);
    unit->setUnitPrice(numberOf(m_cells[UnitPriceCell], priceDigits(), securityCurrency()));
    const int accountCurrency = m_parent ? m_parent->currency() : 0;
    const CurrencyPtr currency = m_document->findCurrency(accountCurrency);
    unit->setCommission(numberOf(m_cells[CommissionCell], currency ? currency->fraction() : 0, accountCurrency));
    unit->setMemo(m_memoField->text());

    // A price of 0 is no price, and a security that is not stored has no price list.
    const SecurityPtr security = m_document->findSecurity(unit->security());
    if (unit->unitPrice() == 0 || !security) return;
    if (!cv::isRecordableRate(std::abs(unit->unitPrice()))) {
        Alert::warn(cv::localizedString("Rate-Above-Bound"));
        return;
    }
    auto price = std::make_shared<DatedPrice>();
    price->setSecurity(security->ident());
    price->setDate(unit->date());
    price->setPrice(unit->unitPrice());
    m_document->putPrice(price);
}

void OpeningHoldingSheet::okPushed()
{
    cv::changeTextInputSource(m_memoField, false);
    if (m_hasChanged) {
        if (!getDate()) return;
        storeHolding();
    }
    terminateModalSessionWithCode(1);
}

void OpeningHoldingSheet::cancelPushed()
{
    cv::changeTextInputSource(m_memoField, false);
    // Holdings carry ident 0, so only a stored account-like node would ask.
    if (m_hasChanged && m_currentItem->ident() > 0 && !Alert::discardChanges()) return;
    terminateModalSessionWithCode(0);
}

void OpeningHoldingSheet::onEdit()
{
    if (m_editSecurityAction && m_curSecurity) m_editSecurityAction(m_curSecurity);
    if (m_hasChanged && getDate())
        okPushed();
    else
        terminateModalSessionWithCode(0);
}

} // namespace cv
