#include "panels/sheets/SecuritySheet.h"

#include "controls/DialogButtons.h"
#include "controls/OpenSheet.h"
#include "document/Book.h"
#include "platform/Localization.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace cv {

namespace {

class ComboMenu : public MenuTarget {
public:
    explicit ComboMenu(QComboBox *combo) : m_combo(combo) {}
    void removeAllItems() override { m_combo->clear(); }
    void addItem(const QString &title, int tag) override { m_combo->addItem(title, tag); }

private:
    QComboBox *m_combo;
};

// Full-width digits from a Japanese input method read as the digits they are.
int codeFromText(const QString &text)
{
    bool ok = false;
    const int code = text.normalized(QString::NormalizationForm_KC).trimmed().toInt(&ok);
    return ok ? code : 0;
}

} // namespace

const std::vector<std::pair<int, const char *>> &SecuritySheet::marketItems()
{
    static const std::vector<std::pair<int, const char *>> items{
        {1, "Brand-Market-TOSHO"},   {2, "Brand-Market-DAISHO"},   {3, "Brand-Market-JASDAQ"},
        {4, "Brand-Market-MOTHERS"}, {5, "Brand-Market-HERCULES"}, {20, "Brand-Market-NYMarket"},
        {21, "Brand-Market-NASDAQ"}, {0, "Brand-Market-Other"}};
    return items;
}

SecuritySheet::SecuritySheet(Book *document, SecurityPtr security, bool isNew, QWidget *parent)
    : UndoableSheet(parent), m_document(document), m_security(std::move(security)), m_isNew(isNew),
      m_kindCluster(new QButtonGroup(this)), m_nameField(new QLineEdit(this)), m_codeField(new QLineEdit(this)),
      m_symbolField(new QLineEdit(this)), m_marketButton(new QComboBox(this)), m_currencyButton(new QComboBox(this)),
      m_riskSlider(new QSlider(Qt::Horizontal, this))
{
    Q_ASSERT(m_document && m_security);
    setWindowTitle(cv::localizedString(isNew ? "Brand-Sheet-New" : "Brand-Sheet-Edit"));
    if (m_document) setUndoStack(m_document->undoStack());
    auto *layout = new QVBoxLayout(this);

    auto *kinds = new QHBoxLayout;
    for (int kind : {cv::raw(cv::SecurityKind::Stock), cv::raw(cv::SecurityKind::InvestmentTrust),
                     cv::raw(cv::SecurityKind::Bond)}) {
        static const char *const keys[] = {"brand kind stock", "brand kind trust", "brand kind bond"};
        auto *button = new QRadioButton(cv::localizedString(keys[kind]), this);
        m_kindCluster->addButton(button, kind);
        kinds->addWidget(button);
    }
    kinds->addStretch(1);

    auto *form = new QFormLayout;
    form->addRow(cv::localizedString("Report-Brand-Kind"), kinds);
    m_codeField->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhDigitsOnly);
    m_codeField->setMaximumWidth(120);
    m_symbolField->setInputMethodHints(Qt::ImhPreferLatin);
    m_symbolField->setMaximumWidth(120);
    for (const auto &[code, key] : marketItems()) m_marketButton->addItem(cv::localizedString(key), code);
    m_riskSlider->setRange(0, 2);
    m_riskSlider->setPageStep(1);
    m_riskSlider->setTickPosition(QSlider::TicksBelow);
    m_riskSlider->setTickInterval(1);
    auto *risk = new QHBoxLayout;
    risk->addWidget(new QLabel(cv::localizedString("brand risk low"), this));
    risk->addWidget(m_riskSlider, 1);
    risk->addWidget(new QLabel(cv::localizedString("brand risk high"), this));
    form->addRow(cv::localizedString("Brand-Sheet-Name"), m_nameField);
    form->addRow(cv::localizedString("Brand-Sheet-Code"), m_codeField);
    form->addRow(cv::localizedString("Brand-Sheet-Symbol"), m_symbolField);
    form->addRow(cv::localizedString("Brand-Sheet-Market"), m_marketButton);
    form->addRow(cv::localizedString("Brand-Sheet-Currency"), m_currencyButton);
    form->addRow(cv::localizedString("Brand-Sheet-Risk"), risk);
    layout->addLayout(form);
    const cv::DialogButtons buttons = cv::addOkCancelButtons(this, layout);
    m_okButton = buttons.ok;
    setMinimumWidth(420);

    fillControls();
    connect(m_kindCluster, &QButtonGroup::idClicked, this, &SecuritySheet::paramChanged);
    for (QLineEdit *field : {m_nameField, m_codeField, m_symbolField})
        connect(field, &QLineEdit::textChanged, this, &SecuritySheet::paramChanged);
    for (QComboBox *box : {m_marketButton, m_currencyButton})
        connect(box, &QComboBox::currentIndexChanged, this, &SecuritySheet::paramChanged);
    connect(m_riskSlider, &QSlider::valueChanged, this, &SecuritySheet::paramChanged);
    cv::changeTextInputSource(m_nameField, true);
}

SecuritySheet *SecuritySheet::openSecuritySheet(Book *document, const SecurityPtr &security, bool isNew,
                                                QWidget *parent, EndHandler done)
{
    if (!document || !security) return nullptr;
    return cv::openSheet(new SecuritySheet(document, security, isNew, parent), parent, std::move(done));
}

void SecuritySheet::fillControls()
{
    m_filling = true;
    if (m_document) {
        ComboMenu menu(m_currencyButton);
        m_document->fillCurrencyMenu(menu);
    }
    if (QAbstractButton *kind = m_kindCluster->button(cv::raw(m_security->kind())))
        kind->setChecked(true);
    else
        m_kindCluster->button(cv::raw(cv::SecurityKind::Stock))->setChecked(true);
    for (QAbstractButton *button : m_kindCluster->buttons()) button->setEnabled(m_isNew);
    m_nameField->setText(m_security->name());
    m_codeField->setText(m_security->code() > 0 ? QString::number(m_security->code()) : QString());
    m_symbolField->setText(m_security->symbol());
    if (m_security->ident() >= 0) {
        const int market = m_marketButton->findData(m_security->market());
        m_marketButton->setCurrentIndex(market >= 0 ? market : m_marketButton->findData(0));
    }
    if (m_security->currency() > 0) {
        const int currency = m_currencyButton->findData(m_security->currency());
        if (currency >= 0) m_currencyButton->setCurrentIndex(currency);
    }
    m_riskSlider->setValue(m_security->risk());
    m_hasChanged = false;
    m_okButton->setEnabled(false);
    m_filling = false;
}

void SecuritySheet::paramChanged()
{
    if (m_filling) return;
    m_hasChanged = true;
    updateButtons();
}

void SecuritySheet::updateButtons()
{
    m_okButton->setEnabled(!m_nameField->text().trimmed().isEmpty());
}

void SecuritySheet::okPushed()
{
    cv::changeTextInputSource(m_nameField, false);
    if (m_nameField->text().trimmed().isEmpty()) return;
    m_security->setName(m_nameField->text());
    m_security->setKind(m_kindCluster->checkedId() >= 0 ? cv::SecurityKind(m_kindCluster->checkedId())
                                                        : m_security->kind());
    m_security->setCode(codeFromText(m_codeField->text()));
    m_security->setSymbol(m_symbolField->text().trimmed());
    m_security->setMarket(m_marketButton->currentData().toInt());
    if (m_currencyButton->currentIndex() >= 0) m_security->setCurrency(m_currencyButton->currentData().toInt());
    m_security->setRisk(m_riskSlider->value());
    terminateModalSessionWithCode(1);
}

void SecuritySheet::cancelPushed()
{
    cv::changeTextInputSource(m_nameField, false);
    terminateModalSessionWithCode(0);
}

} // namespace cv
