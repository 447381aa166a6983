#include "mainwindow/WizardDialog.h"

#include "document/ReadOnlyBook.h"
#include "controls/Tags.h"
#include "model/DomainEnums.h"
#include "platform/Localization.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cv {

namespace {

constexpr int kFirstAssetCode = cv::tag::NewCash;
constexpr int kFirstDebtCode = cv::tag::NewLoan;
constexpr int kNewCategoryCode = cv::tag::NewCategory;
} // namespace

WizardDialog::WizardDialog(ReadOnlyBook *document, int menuId, QWidget *parent)
    : QDialog(parent), m_tabView(new QStackedWidget(this)), m_assetDebtTabView(new QTabWidget),
      m_assetChoice(new QButtonGroup(this)), m_debtChoice(new QButtonGroup(this)),
      m_investChoice(new QButtonGroup(this)), m_menuId(menuId), m_document(document)
{
    setObjectName(QStringLiteral("WizardDialog"));
    setWindowTitle(cv::localizedString("Wizard Title"));
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(cv::localizedString("Wizard Prompt"), this);
    layout->addWidget(prompt);

    m_assetDebtTabView->addTab(
        makeChoicePage(m_assetChoice, {"Wizard Cash", "Wizard Bank", "Wizard Investment", "Wizard Other Asset"}),
        cv::localizedString("Wizard Asset"));
    m_assetDebtTabView->addTab(makeChoicePage(m_debtChoice, {"Wizard Loan", "Wizard Credit Card", "Wizard Other Debt"}),
                               cv::localizedString("Wizard Debt"));
    m_assetDebtTabView->widget(0)->setObjectName(QStringLiteral("Asset"));
    m_tabView->addWidget(m_assetDebtTabView);

    auto *categories = new QWidget;
    auto *categoryLayout = new QVBoxLayout(categories);
    auto *categoryText =
        new QLabel(cv::localizedString(menuId == cv::tag::WizardIncome ? "Wizard New Income Category"
                                                                       : "Wizard New Expense Category"),
                   categories);
    categoryText->setWordWrap(true);
    categoryLayout->addWidget(categoryText);
    categoryLayout->addStretch(1);
    m_tabView->addWidget(categories);
    m_tabView->addWidget(
        makeChoicePage(m_investChoice, {"Wizard New Security", "Wizard New Investment Account", "Wizard Add Holding"}));
    layout->addWidget(m_tabView, 1);

    auto *buttons = new QDialogButtonBox(this);
    m_okButton = buttons->addButton(QDialogButtonBox::Ok);
    m_cancelButton = buttons->addButton(QDialogButtonBox::Cancel);
    m_okButton->setText(cv::localizedString("OK"));
    m_cancelButton->setText(cv::localizedString("Cancel"));
    m_okButton->setDefault(true);
    layout->addWidget(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &WizardDialog::okPushed);
    connect(m_cancelButton, &QPushButton::clicked, this, &WizardDialog::cancelPushed);

    switch (menuId) {
    case cv::tag::WizardFirst:
        m_tabView->setCurrentIndex(AccountsPage);
        m_assetDebtTabView->setCurrentIndex(0);
        break;
    case cv::tag::WizardIncome:
    case cv::tag::WizardExpense: m_tabView->setCurrentIndex(CategoriesPage); break;
    case cv::tag::WizardSecurities:
        m_tabView->setCurrentIndex(SecuritiesPage);
        restrictChoices();
        break;
    default: m_tabView->setCurrentIndex(AccountsPage); break;
    }
    setMinimumWidth(360);
}

QWidget *WizardDialog::makeChoicePage(QButtonGroup *group, std::initializer_list<const char *> keys)
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    int tag = 0;
    for (const char *key : keys) {
        auto *button = new QRadioButton(cv::localizedString(key), page);
        button->setObjectName(QLatin1String(key));
        group->addButton(button, tag++);
        column->addWidget(button);
    }
    column->addStretch(1);
    group->button(0)->setChecked(true);
    return page;
}

void WizardDialog::restrictChoices()
{
    const bool securities = m_document && !m_document->securityList().empty();
    const bool investAccount = m_document && m_document->findAccountOfKind(cv::NodeKind::Investment);
    m_investChoice->button(NewInvestAccountChoice)->setEnabled(securities);
    m_investChoice->button(AddHoldingChoice)->setEnabled(securities && investAccount);
}

int WizardDialog::resultCode() const
{
    switch (m_menuId) {
    case cv::tag::WizardFirst:
    case cv::tag::WizardAccounts:
        if (m_assetDebtTabView->currentWidget() &&
            m_assetDebtTabView->currentWidget()->objectName() == QLatin1String("Asset"))
            return kFirstAssetCode + m_assetChoice->checkedId();
        return kFirstDebtCode + m_debtChoice->checkedId();
    case cv::tag::WizardIncome:
    case cv::tag::WizardExpense: return kNewCategoryCode;
    case cv::tag::WizardSecurities: {
        const QAbstractButton *checked = m_investChoice->checkedButton();
        // A choice the book cannot take yet never comes back.
        if (!checked || !checked->isEnabled()) return 0;
        switch (m_investChoice->checkedId()) {
        case NewSecurityChoice: return cv::tag::NewSecurity;
        case NewInvestAccountChoice: return cv::tag::NewInvestment;
        case AddHoldingChoice: return cv::tag::AddSecurity;
        default: return 0;
        }
    }
    default: return 0;
    }
}

void WizardDialog::okPushed()
{
    done(resultCode());
}

void WizardDialog::cancelPushed()
{
    done(0);
}

int WizardDialog::runWizard(ReadOnlyBook *document, int menuId, QWidget *parent)
{
    WizardDialog wizard(document, menuId, parent);
    wizard.setWindowModality(Qt::ApplicationModal);
    return wizard.exec();
}

} // namespace cv
