#pragma once
// The sheet of one loan account: the conditions page (0) and the schedule
// page (1). A new loan's conditions are edited and its schedule previewed;
// a stored loan's conditions are read-only and its rows editable (date,
// rate, principal, interest), with extra repayments, rate and account
// changes from the table's menu. OK is possible only with a current
// schedule. The end code is 0 (nothing to store), 1 (OK) or 2 (OK and the
// currency changed); the opener then stores the node and loanData() with the
// document's putLoan.
//
// A stored loan's terms always come from a copy of its stored record: only
// name, memo and the no-recalculation flag come from the form, so a rename
// never rewrites the terms.
//
// Files: LoanDialog.cpp (the sheet, its pages, status and end),
// LoanDialog_Conditions.cpp (the conditions page: form, terms,
// currency and account choices), LoanDialog_Schedule.cpp (the
// schedule page: computing, the table, its menu, printing).

#include "controls/CurrencyFormatter.h"
#include "controls/CurrencyFieldEditor.h"
#include "controls/DateReceiver.h"
#include "controls/TableClient.h"
#include "controls/Tags.h"
#include "model/LoanTerms.h"
#include "model/Node.h"

#include <QDialog>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace cv {

class Book;
class EditingTable;

class AccountChooserModel;
class ChooserModel;

class LoanDialog : public QDialog, public cv::TableClient, public cv::DateReceiver, public CurrencyFieldOwner {
    Q_OBJECT
public:
    enum Column { Times = 0, Date, Rate, Principal, Interest, Total, Rest, Account };
    enum MenuTag {
        InsertPayment = cv::tag::LoanSheetMenu.first,
        DeleteRepayment = InsertPayment + 1,
        ChangeRate = InsertPayment + 3,
        ChangeAccount = cv::tag::LoanSheetMenu.last,
    };
    static constexpr int kMaxTimes = 600;

    LoanDialog(Book *document, NodePtr account, QWidget *parent = nullptr);
    ~LoanDialog() override;

    // Opens the sheet window-modal on `parent`; `done` runs with the end code
    // and the sheet (valid until it returns). A stored loan's schedule is
    // handed in first.
    static LoanDialog *openLoanPanel(Book *document, const NodePtr &account, QWidget *parent,
                                     std::function<void(int, LoanDialog *)> done);

    void setLoanData(std::optional<LoanSchedule> data);
    const std::optional<LoanSchedule> &loanData() const { return m_loanData; }
    int effectiveDataCount() const { return m_loanData ? int(m_loanData->size()) : 0; }
    // The sheet's scratch model: the form's terms (a stored loan's own).
    LoanTerms currentModel() const;

    // The conditions page's choices (the buttons' choosers end here).
    void setInAccount(int ident);
    void setUsage(int ident);
    void setRepaymentAccount(int ident);
    void setTransferChoice(int tag);

    void okPushed();
    void cancelPushed();
    // Esc and the close box are Cancel.
    void reject() override { cancelPushed(); }
    void showPage(int page);
    // Prints the schedule (a PDF file when `pdfPath` is given, else the print dialog).
    void printPushed(const QString &pdfPath = QString());

    // ---- the schedule's menu
    // The context menu as it stands for the selected rows; a chosen item runs execMenu.
    QMenu *makeScheduleMenu(QWidget *parent);
    bool validateMenuTag(int tag) const;
    void execMenu(int tag);
    // 101 with the dialog's answers; false when nothing was inserted.
    bool insertExtraPayment(const QDate &date, double amount, bool targetIsBonus, bool shortenTerm);
    void deleteRepayment();
    void changeRate(double percent);
    void changeAccount(int ident);
    void selectRows(const std::vector<int> &rows);
    std::vector<int> selectedRows() const;

    QString cellText(int cid, int row) const;
    QString summaryText(int line) const;
    QString messageText() const;
    // Beside OK: what keeps it off while the conditions are complete; empty when nothing does.
    QString okReasonText() const;
    bool isOkEnabled() const;
    bool isNew() const { return m_isNew; }

    QTabWidget *tabView() const { return m_tabView; }
    EditingTable *tableView() const { return m_tableView; }
    QLineEdit *nameField() const { return m_nameField; }
    QLineEdit *memoField() const { return m_memoField; }
    QLineEdit *dateField() const { return m_dateField; }
    QLineEdit *valueField() const { return m_valueField; }
    QLineEdit *timesField() const { return m_timesField; }
    QLineEdit *rateField() const { return m_rateField; }
    QLineEdit *bonusField() const { return m_bonusField; }
    QComboBox *dueDateButton() const { return m_dueDateButton; }
    QComboBox *holidayButton() const { return m_holidayButton; }
    QComboBox *loanTypeButton() const { return m_loanTypeButton; }
    QComboBox *bonusButton() const { return m_bonusButton; }
    QComboBox *currencyButton() const { return m_currencyButton; }
    QCheckBox *initialDayCheckbox() const { return m_initialDayCheckbox; }
    QCheckBox *noRecalcCheckbox() const { return m_noRecalcCheckbox; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *repaymentButton() const { return m_repaymentButton; }

    Q_INVOKABLE void performInputDate(const QDate &date) override;

    // ---- TableClient
    int numberOfRows(const EditingTable *table) const override;
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    bool shouldEditColumn(const EditingTable *table, int cid, int row) const override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    const cv::AmountText *amountText() const override;
    // CurrencyFieldOwner: the amounts group in the loan's currency as they are typed.
    int currency() const override { return m_selectedCurrency; }
    bool handleClick(EditingTable *table, const QMouseEvent *event, int cid, int row) override;

private:
    QWidget *buildConditionsPage();
    QWidget *buildSchedulePage();
    void fillFromStoredLoan(const LoanTerms &loan);
    void setupLoanModel(LoanTerms &model) const;
    std::optional<QDate> getDate() const;
    double amountOf(const QLineEdit *field) const;
    bool readyToCalc() const;
    // The label of the first condition a new loan still lacks; empty when none.
    QString missingField() const;
    void updateButtons();
    void setCurrencyStatus();
    void currencyChanged();
    void contentChanged(QObject *control);
    void didSelectPage(int page);
    void recalcTable(bool fresh, int recalcIndex);
    void recalcRest();
    void reload();
    void displayLoanInfo();
    void chooseAccount(QPushButton *button, int which);
    std::vector<NodePtr> assetAccountsInCurrency(int currency) const;
    // Mode 15, restricted to the currency when it has asset accounts.
    std::unique_ptr<cv::AccountChooserModel> assetSource(int currency) const;
    void chooseRowAccount();
    QString accountName(int ident) const;
    bool nothingChanged() const;

    Book *m_document;                      // the book, not owned
    NodePtr m_currentItem;                 // the loan node; its extra is null for a new loan
    CurrencyFormatter m_currencyFormatter; // amounts of the selected currency
    int m_selectedCurrency = 0;
    int m_changeCount = 0;                  // changes of the conditions
    int m_overViewChangeCount = 0;          // changes of the rows and of the no-recalculation box
    int m_tableSync = -1;                   // m_changeCount when the schedule was computed
    std::optional<LoanSchedule> m_loanData; // the shown schedule, none until computed or handed in
    bool m_accountFrozen = false;           // no asset account in the selected currency
    LoanTerms m_storedLoan;                 // a stored loan's terms as opened (copy)
    QString m_oldName;
    QString m_oldMemo;
    int m_oldCurrency = 0;
    bool m_isNew = true;
    bool m_init = false; // filling the controls: changes are not counted
    int m_inAccount = 0; // the account, usage and repayment buttons' idents
    int m_usage = 0;
    int m_repayment = 0;

    QTabWidget *m_tabView = nullptr;
    QLineEdit *m_nameField = nullptr;
    QComboBox *m_currencyButton = nullptr;
    QLineEdit *m_memoField = nullptr;
    QLineEdit *m_dateField = nullptr;
    QLineEdit *m_valueField = nullptr;
    QLineEdit *m_timesField = nullptr;
    QLineEdit *m_rateField = nullptr;
    QLineEdit *m_bonusField = nullptr;
    QRadioButton *m_transferAccount = nullptr; // tag 0: paid into an account
    QRadioButton *m_transferUsage = nullptr;   // tag 1: spent on a category
    QPushButton *m_accountButton = nullptr;
    QPushButton *m_usageButton = nullptr;
    QPushButton *m_repaymentButton = nullptr;
    QComboBox *m_dueDateButton = nullptr;
    QComboBox *m_holidayButton = nullptr;
    QComboBox *m_loanTypeButton = nullptr; // repayment option 1
    QCheckBox *m_option2 = nullptr;        // interest in arrears
    QCheckBox *m_option3 = nullptr;        // first due date next month
    QCheckBox *m_option4 = nullptr;        // remainder to the last row
    QCheckBox *m_initialDayCheckbox = nullptr;
    QCheckBox *m_noRecalcCheckbox = nullptr;
    QComboBox *m_bonusButton = nullptr;
    EditingTable *m_tableView = nullptr;
    QLabel *m_summary[3] = {};
    QLabel *m_messageField = nullptr;
    QPushButton *m_okButton = nullptr;
    QLabel *m_okReason = nullptr;                      // why OK is off while the schedule is unseen
    std::unique_ptr<cv::ChooserModel> m_chooserSource; // the open chooser's list
    bool m_closing = false;                            // going away: a late pick is dropped
};

} // namespace cv
