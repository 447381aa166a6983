#pragma once
// The new item wizard: asks what to create (an asset or debt account, an
// income or expense category, a security, an investment account or a
// holding) and ends with the code of the command the window then runs as
// if chosen from a menu; 0 when cancelled.
//
//     menu id 25300, 25301  page 0: accounts (asset and debt tabs)  29001 + asset choice, 29101 + debt choice
//     menu id 25310, 25311  page 1: categories                      30012
//     menu id 25320         page 2: securities                      30021, 29003, 29204

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace cv {

class ReadOnlyBook;

class WizardDialog : public QDialog {
    Q_OBJECT
public:
    enum Page { AccountsPage = 0, CategoriesPage = 1, SecuritiesPage = 2 };
    enum InvestChoice { NewSecurityChoice = 0, NewInvestAccountChoice = 1, AddHoldingChoice = 2 };

    // The document is not owned and outlives the dialog.
    WizardDialog(ReadOnlyBook *document, int menuId, QWidget *parent = nullptr);

    // Runs the wizard application-modal; its code.
    static int runWizard(ReadOnlyBook *document, int menuId, QWidget *parent);

    // The code OK ends with for the current choices.
    int resultCode() const;
    void okPushed();
    void cancelPushed();

    QStackedWidget *tabView() const { return m_tabView; }
    QTabWidget *assetDebtTabView() const { return m_assetDebtTabView; }
    QButtonGroup *assetChoice() const { return m_assetChoice; }
    QButtonGroup *debtChoice() const { return m_debtChoice; }
    QButtonGroup *investChoice() const { return m_investChoice; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    int menuId() const { return m_menuId; }

private:
    QWidget *makeChoicePage(QButtonGroup *group, std::initializer_list<const char *> keys);
    void restrictChoices();

    QStackedWidget *m_tabView; // children of the dialog
    QTabWidget *m_assetDebtTabView;
    QButtonGroup *m_assetChoice;
    QButtonGroup *m_debtChoice;
    QButtonGroup *m_investChoice;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    int m_menuId;
    ReadOnlyBook *m_document; // not owned
};

} // namespace cv
