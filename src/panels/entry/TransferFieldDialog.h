#pragma once
// The small application-modal popup in which the account book turns a row
// into a transfer: source and destination accounts, the amount leaving the
// source and, when the currencies differ, the amount arriving. The book's own
// account always stays on one side. Only OK changes the row; Esc, Cancel and
// the close box leave it as it was.

#include "controls/CurrencyFieldEditor.h"
#include "model/Entry.h"

#include <QDialog>
#include <QPointer>

#include <initializer_list>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cv {

class AccountBookPanel;
class Book;

class AccountChooserModel;

class TransferFieldDialog : public QDialog, public CurrencyFieldOwner {
    Q_OBJECT

public:
    enum Side { Source = 0, Destination = 1 };

    explicit TransferFieldDialog(QWidget *parent = nullptr);
    ~TransferFieldDialog() override;

    // Opens at the screen point (the kind cell's top-left) for the row of the
    // panel; returns at once, the popup being modal for the application.
    void runForPanel(AccountBookPanel *controller, const EntryPtr &entry, const QPoint &origin);

    int account() const { return m_account; }
    int destination() const { return m_destination; }
    QComboBox *accountButton() const { return m_accountButton; }
    QComboBox *destinationButton() const { return m_destinationButton; }
    QLineEdit *accountField() const { return m_accountField; }
    QLineEdit *destinationField() const { return m_destinationField; }
    // CurrencyFieldOwner: each side's amount groups in its account's currency as it is typed.
    const cv::AmountText *amountText() const override;
    int currency() const override { return currencyOf(m_account); }
    int currencyOfField(const QLineEdit *edit) const override
    {
        return currencyOf(edit == m_destinationField ? m_destination : m_account);
    }
    QPushButton *okButton() const { return m_okButton; }
    QPoint origin() const { return m_origin; }

    // A value as the side's currency shows it, every stored digit kept.
    QString fullPrecisionText(double value, int account) const;

    void ok();
    void cancel();

    // The prefix of the account's currency; empty without a document or an account.
    static QString currencyPrefix(const Book *doc, int account);
    // The typed amount read in the account's currency and shown back as that
    // currency shows amounts.
    static void retypeAmount(const Book &doc, QLineEdit *field, int account);

    // Moves a popup so that its top-left corner is at the screen point, then
    // up and left as far as needed to stay within that screen's available area.
    static void placeOnScreen(QWidget *popup, const QPoint &origin);
    // Lets each list show at most half the height of the screen at the point.
    static void fitListsToScreen(std::initializer_list<QComboBox *> lists, const QPoint &origin, int itemHeight);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fillControls();
    void updateFields();
    void updateOKButton();
    void changedChoice(Side side, int index);
    void fieldEdited(Side side);
    void selectIdent(QComboBox *box, int ident);
    int currencyOf(int account) const;
    double numberIn(QLineEdit *field, int account) const;

    QComboBox *m_accountButton;                    // the source; child
    QComboBox *m_destinationButton;                // the destination; child
    QLineEdit *m_accountField;                     // amount leaving the source; child
    QLineEdit *m_destinationField;                 // amount arriving at the destination; child
    QLabel *m_destinationArrow;                    // between the sides; child
    QLabel *m_accountSignLabel;                    // the source currency's prefix; child
    QLabel *m_destinationSignLabel;                // the destination currency's prefix; child
    QPushButton *m_okButton;                       // child
    QPushButton *m_cancelButton;                   // child
    QPointer<AccountBookPanel> m_controller;       // the book that opened the popup
    EntryPtr m_entry;                              // the row being edited
    Book *m_doc = nullptr;                         // the book's document; not owned
    std::unique_ptr<cv::AccountChooserModel> m_ds; // the account list
    int m_account = 0;                             // chosen source ident (0 none)
    int m_destination = 0;                         // chosen destination ident (0 none)
    QPoint m_origin;                               // where the popup's top-left corner goes
    bool m_okPushed = false;                       // the outcome is settled
    bool m_filling = false;                        // the controls are being filled
};

} // namespace cv
