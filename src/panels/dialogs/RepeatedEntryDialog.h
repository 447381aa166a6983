#pragma once
// The repeated entry dialog: one amount, account (and destination for
// transfers), category, grouping and memo, entered a number of times on dates
// that follow the rule of the selected tab. A non-modal tool window closed
// together with the other popups; it writes only into its panel's rows, and
// the panel's own commit stores them.
//
// The panel is held by a guarded pointer and cancels the dialog when it
// commits or goes, so nothing is ever appended to a panel that is gone or to
// rows that were already written.

#include "panels/dialogs/RepeatRule.h"
#include "model/Entry.h"
#include "model/Node.h"

#include "controls/CurrencyFieldEditor.h"

#include <QDialog>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace cv {

class Book;
class RepeatedEntryTarget;

class DateField;

class RepeatedEntryDialog : public QDialog, public CurrencyFieldOwner {
    Q_OBJECT

public:
    // The fixed cash account.
    static constexpr int kWalletAccount = 10;

    // Starts the dialog for the panel; it deletes itself when it closes.
    static RepeatedEntryDialog *runWithDocument(Book *doc, NodePtr currentItem, const QDate &initialDate,
                                                QWidget *target);

    // The account new entries take: the wallet when it exists, else the first
    // cash account, then the first bank account; 0 when there is none.
    static int defaultAccount(const Book &doc);
    // A blank input row: new, with nothing entered.
    static bool isBlankRow(const Entry &row);

    RepeatedEntryDialog(Book *doc, NodePtr currentItem, const QDate &initialDate, QWidget *target,
                        QWidget *parent = nullptr);
    ~RepeatedEntryDialog() override;

    // The rows OK would add, without adding them.
    std::vector<EntryPtr> makeRows() const;
    cv::RepeatRule dateRule() const;
    bool canFinish() const;

    void okPushed();
    void cancelPushed();
    // The panel's side: closes without telling the panel anything.
    void abandon();

    // ---- parts the user sets (also for tests)
    QTabWidget *tabView() const { return m_tabView; }
    cv::DateField *dateField() const { return m_date; }
    QLineEdit *valueField() const { return m_value; }
    QSpinBox *countField() const { return m_count; }
    QSpinBox *intervalField() const { return m_interval; }
    QComboBox *monthlyDayButton() const { return m_monthlyDay; }
    QComboBox *twoMonthlyDayButton() const { return m_twoMonthlyDay; }
    QComboBox *accountButton() const { return m_account; }
    QComboBox *destinationButton() const { return m_destination; }
    QComboBox *categoryButton() const { return m_category; }
    QComboBox *groupButton() const { return m_group; }
    QButtonGroup *holidayButton() const { return m_holiday; }
    QLineEdit *memoField() const { return m_memo; }
    QPushButton *okButton() const { return m_ok; }
    void setAmount(double value);
    double amount() const;
    // Selects an item of a chooser by ident; false when it is not offered.
    static bool selectIdent(QComboBox *box, int ident);

    // The calculator's value becomes the amount; the calendar's date the start.
    Q_INVOKABLE void performInputValue(const QString &value);
    Q_INVOKABLE void performInputDate(const QDate &date);

    // CurrencyFieldOwner: the amount groups in the account's currency as it is typed.
    const cv::AmountText *amountText() const override;
    int currency() const override { return currencyOfAccount(); }

private:
    RepeatedEntryTarget *target() const;
    void buildChoosers();
    void accountChanged(QComboBox *changed, QComboBox *other);
    void valueChanged();
    void updateOKButton();
    int currencyOfAccount() const;
    std::optional<double> typedValue(const QString &text) const;
    void closeEvent(QCloseEvent *event) override;

    Book *m_doc;                // not owned; outlives the dialog
    NodePtr m_currentItem;      // the category node of the panel
    QPointer<QWidget> m_target; // the panel; null once it is gone
    bool m_isTransfer = false;
    bool m_finished = false; // the panel was told (or must not be)

    QTabWidget *m_tabView;
    cv::DateField *m_date;
    QLabel *m_valueTitle;
    QLineEdit *m_value;
    QSpinBox *m_count;
    QSpinBox *m_interval;
    QComboBox *m_monthlyDay;
    QComboBox *m_twoMonthlyDay;
    QComboBox *m_account;
    QLabel *m_transferArrow;
    QComboBox *m_destination;
    QComboBox *m_category;
    QComboBox *m_group;
    QButtonGroup *m_holiday;
    QLineEdit *m_memo;
    QPushButton *m_ok;
};

} // namespace cv
