#pragma once
// What the cash-like, credit-card and bank sheets share: the document and
// the account node (new with ident -1, or stored), the name, currency and
// memo controls, OK and Cancel, the change flag and the opening flag, start
// dates and amounts read strictly, and the end codes. A sheet writes only
// into the node and its detail record: 0 = cancelled or nothing changed,
// 1 = OK, 2 = OK and the node's currency changed; the opener stores.
//
// An amount that does not read keeps OK disabled (it never becomes 0), and a
// start date outside 1900-2099 does not read.

#include "controls/CurrencyFieldEditor.h"
#include "controls/DateReceiver.h"
#include "controls/OpenSheet.h"
#include "controls/UndoableSheet.h"
#include "model/Node.h"

#include <QDate>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace cv {

class Book;
class InputTextField;

class AccountSheet : public UndoableSheet, public CurrencyFieldOwner, public DateReceiver {
    Q_OBJECT
public:
    static constexpr int kFirstYear = 1900;
    static constexpr int kLastYear = 2099;

    AccountSheet(Book *document, NodePtr account, QWidget *parent);

    Book *document() const { return m_document; }
    const NodePtr &account() const { return m_currentItem; }
    bool hasChanged() const { return m_hasChanged; }
    bool isOkEnabled() const;

    InputTextField *nameField() const { return m_nameField; }
    QComboBox *currencyButton() const { return m_currencyButton; }
    InputTextField *memoField() const { return m_memoField; }
    QPushButton *okButton() const { return m_okButton; }
    // What the sheet says while OK is off ("Enter the bank's name." ...).
    QString missingFieldText() const;

    // Ignores a null text.
    void setMemoFieldString(const QString &text);

    // OK: nothing changed ends 0; a change with OK disabled does nothing.
    void okPushed();
    // A change asks to discard for a stored node (or always, where the sheet
    // says); staying open on No.
    void cancelPushed();
    // Esc and the close box are Cancel.
    void reject() override { cancelPushed(); }
    void accept() override { okPushed(); }

    // A start date typed or shown: none when unreadable or outside 1900-2099.
    static std::optional<QDate> readDate(const QString &text);
    // An amount field of the selected currency: empty is 0, unreadable none.
    std::optional<double> readAmount(const QLineEdit *field) const;
    QString amountString(double value) const;

    // CurrencyFieldOwner: the amount fields follow the currency pop-up.
    const AmountText *amountText() const override;
    int currency() const override;

protected:
    // The rows between the currency and the memo: the subclass's controls.
    QGridLayout *formGrid() const { return m_grid; }
    // An amount field: right-aligned, typed through the shared amount editor.
    QLineEdit *makeAmountField();
    // Fills the currency pop-up and selects the node's currency; `atFirst`
    // whether a currency at index 0 is selected too.
    void fillCurrencyPopup(bool atFirst);
    // Opening done: the change flag starts clear and the buttons are set.
    void finishOpening();
    void setChanged() { m_hasChanged = true; }
    bool isOpening() const { return m_opening; }
    void setOpening(bool opening) { m_opening = opening; }
    // Name, currency or memo typed or picked.
    void commonChanged(QObject *control);

    // The subclass's rule for OK, given that the name is not empty.
    virtual bool detailReady() const = 0;
    // The label of the first field that keeps OK off; empty when none does.
    virtual QString missingDetail() const { return QString(); }
    virtual void updateButtons();
    // Writes the detail record (made when the node has none).
    virtual void writeDetail() = 0;
    // The amount fields, reformatted when the currency changes.
    virtual std::vector<QLineEdit *> amountFields() const = 0;
    // The fixed cash account keeps its currency.
    virtual bool currencyLocked() const { return false; }
    // Cancel asks to discard also for a new node.
    virtual bool asksDiscardForNewNode() const { return false; }

private:
    void currencyChanged();

    Book *m_document;        // not owned; outlives the sheet
    NodePtr m_currentItem;   // the node the sheet fills
    int m_shownCurrency = 0; // the currency the amount fields show
    bool m_hasChanged = false;
    bool m_opening = true;       // filling the controls: changes are not counted
    InputTextField *m_nameField; // children
    QComboBox *m_currencyButton;
    InputTextField *m_memoField;
    QGridLayout *m_grid;
    QPushButton *m_okButton = nullptr;
    QLabel *m_missingField = nullptr; // says which field keeps OK off; child
};

} // namespace cv
