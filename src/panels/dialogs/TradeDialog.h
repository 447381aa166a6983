#pragma once
// One trade of the trade panel in a form: the security (fixed once the trade
// is stored), the operation among those of the security's kind, the date,
// units, unit price, commission, total, the destination of a transfer of
// units and the memo, beside the units held. The panel runs it modally and,
// on OK (exec() answers 1), copies it back with pickResult(). Units of
// trusts and bonds keep six decimals; stocks trade in whole units. OK waits
// for a readable date.

#include "controls/DateReceiver.h"
#include "model/Security.h"
#include "model/Trade.h"

#include <QDialog>

#include <map>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace cv {

class Book;

class ChooserItem;
class DateField;

class TradeDialog : public QDialog, public cv::DateReceiver {
    Q_OBJECT

public:
    TradeDialog(Book *doc, const TradePtr &trade, QWidget *parent = nullptr);
    ~TradeDialog() override;

    // Writes the dialog's values into the trade (the caller marks it changed first).
    void pickResult(Trade &trade) const;

    // The chosen operation and security.
    cv::TradeKind currentOperation() const { return m_currentOperation; }
    SecurityPtr currentSecurity() const { return m_currentSecurity; }
    std::optional<QDate> getDate() const;
    double getUnits() const;
    double getUnitPrice() const;
    double getCommission() const;
    double getTotal() const;
    // The destination account while its pop-up is enabled, else 0.
    int getTransfer() const;
    // The units held on the date in the account.
    QString currentUnitsText() const;

    // Calendar and calculator.
    void performInputDate(const QDate &date) override;
    Q_INVOKABLE void performInputValue(const QString &value);

    QComboBox *securityButton() const { return m_securityButton; }
    QComboBox *accountButton() const { return m_accButton2; }
    QComboBox *destinationButton() const { return m_accButton; }
    QTabWidget *operationView() const { return m_oprView; }
    // The operation's radio buttons of a security kind (ids are trade kinds).
    QButtonGroup *operationGroup(cv::SecurityKind securityKind) const { return m_choices[cv::raw(securityKind)]; }
    cv::DateField *dateField() const { return m_dateField; }
    QLineEdit *unitsField() const { return m_unitsField; }
    QLineEdit *unitPriceField() const { return m_unitPriceField; }
    QLineEdit *commissionField() const { return m_commissionField; }
    QLineEdit *totalField() const { return m_totalField; }
    QLineEdit *memoField() const { return m_memoField; }
    QPushButton *okButton() const { return m_okButton; }

    // The security pop-up's choice (row index), as the user makes it.
    void securityChosen(int index);
    // The account pop-up's choice: its last row makes a new investment account.
    void accountChosen(int index);

private:
    void fillSecurityButton();
    void fillDestinationButton();
    void setOptionView();
    void pickOperator();
    void setCurrentUnits();
    void updateButtons();
    void contentChanged();
    // Takes a security made by the new-security sheet (or none).
    void takeNewSecurity(const cv::ChooserItem &item);
    bool isStock() const { return !m_currentSecurity || m_currentSecurity->kind() == cv::SecurityKind::Stock; }
    int fieldMask() const;
    QString unitsText(double units) const;
    QString unitPriceText(double price) const;
    double numberOf(const QLineEdit *field, int digits) const;

    Book *m_doc;                   // not owned; outlives the dialog
    TradePtr m_trade;              // the edited trade; changed only by pickResult
    SecurityPtr m_currentSecurity; // the chosen security
    cv::TradeKind m_currentOperation = cv::TradeKind::Buy;
    int m_currency = 0;          // the trade account's currency
    int m_lastSecurityIndex = 0; // the security row before the current choice
    bool m_filling = true;       // control changes while filling are no edits
    QComboBox *m_securityButton;
    QComboBox *m_accButton2;
    QComboBox *m_accButton;
    QTabWidget *m_oprView;
    QButtonGroup *m_choices[3];
    QLabel *m_unitsHeld;
    cv::DateField *m_dateField;
    QLineEdit *m_unitsField;
    QLineEdit *m_unitPriceField;
    QLineEdit *m_commissionField;
    QLineEdit *m_totalField;
    QLineEdit *m_memoField;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

} // namespace cv
