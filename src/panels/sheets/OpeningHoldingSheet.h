#pragma once
// The opening holding of one security in one investment account: the date
// from which the holding counts, the units held then, their unit price, the
// commission and a memo, kept in the holding node's OpeningHolding. OK writes
// them into the node (a stock's units as a whole number) and records the
// unit price as the security's price on that day, when there is a price and
// a stored security; it ends with 1, also when nothing changed (then it
// writes nothing). Cancel ends with 0. The opener rebuilds the caches and
// commits the account tree.

#include "controls/DateReceiver.h"
#include "controls/UndoableSheet.h"
#include "model/Security.h"
#include "model/Node.h"

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cv {

class Book;

class OpeningHoldingSheet : public UndoableSheet, public cv::DateReceiver {
    Q_OBJECT
public:
    enum Cell { DateCell = 0, UnitsCell, UnitPriceCell, CommissionCell };
    using EndHandler = std::function<void(int code, OpeningHoldingSheet *sheet)>;

    OpeningHoldingSheet(Book *document, NodePtr item, NodePtr parentAccount, QWidget *parent = nullptr);

    // Opens the sheet window-modal on `parent` (application-modal without
    // one) under the sheet tracker; `done` runs with the end code.
    static OpeningHoldingSheet *openOpeningHoldingSheet(Book *document, const NodePtr &item,
                                                        const NodePtr &parentAccount, QWidget *parent, EndHandler done);
    // What "Edit Security…" asks of the main window: show the securities
    // window with this security's row selected. Without one the button is off.
    void setEditSecurityAction(std::function<void(int security)> action);

    void okPushed();
    void cancelPushed();
    void onEdit();
    void accept() override { okPushed(); }
    void reject() override { cancelPushed(); }

    // None when the date cell does not read as a date.
    std::optional<QDate> getDate() const;
    void setDate(const QDate &date);
    Q_INVOKABLE void performInputDate(const QDate &date) override;
    // The calculator's value goes into the focused units, unit price or commission cell.
    Q_INVOKABLE void performInputValue(const QString &value);

    bool hasChanged() const { return m_hasChanged; }
    int currentSecurity() const { return m_curSecurity; }
    QLabel *securityName() const { return m_securityName; }
    QLineEdit *cell(int index) const { return m_cells[index]; }
    QLineEdit *memoField() const { return m_memoField; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *editButton() const { return m_editButton; }

private:
    void fillControls();
    void contentChanged();
    void updateButtons();
    bool isStock() const;
    int securityCurrency() const;
    // A typed number: ",", the currency symbol and spaces dropped, cut to the digits.
    double numberOf(const QLineEdit *field, int digits, int currency) const;
    QString fundText(double value, int digits, int currency) const;
    int unitDigits() const { return isStock() ? 0 : 6; }
    int priceDigits() const;
    void storeHolding();

    Book *m_document;       // not owned; outlives the sheet
    NodePtr m_currentItem;  // the holding node
    NodePtr m_parent;       // its investment account
    SecurityPtr m_security; // the held security, when stored
    int m_curSecurity = 0;  // its ident; 0 for a node without a detail record
    bool m_hasChanged = false;
    bool m_filling = false; // changes while filling are no edits
    std::function<void(int)> m_editSecurityAction;
    QLabel *m_securityName;
    QLineEdit *m_cells[4];
    QLineEdit *m_memoField;
    QPushButton *m_editButton;
    QPushButton *m_okButton = nullptr;
};

} // namespace cv
