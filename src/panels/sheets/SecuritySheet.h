#pragma once
// The sheet that creates or edits one security: kind (fixed once the
// security is stored), name, code, symbol, market, currency and risk. It
// writes into the security only on OK and stores nothing: the opener adds a
// new security to the document's list (an existing one is already there)
// and commits the list when the sheet ends with 1. Cancel ends with 0 and
// leaves the security as it was.

#include "controls/UndoableSheet.h"
#include "model/Security.h"

#include <functional>
#include <utility>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace cv {

class Book;

class SecuritySheet : public UndoableSheet {
    Q_OBJECT
public:
    using EndHandler = std::function<void(int code, SecuritySheet *sheet)>;

    SecuritySheet(Book *document, SecurityPtr security, bool isNew, QWidget *parent = nullptr);

    // Opens the sheet window-modal on `parent` (application-modal without
    // one) under the sheet tracker; `done` runs with the end code while the
    // sheet still exists, and the tracker frees it afterwards.
    static SecuritySheet *openSecuritySheet(Book *document, const SecurityPtr &security, bool isNew, QWidget *parent,
                                            EndHandler done);

    // The market pop-up's items: (market code, title key), the fallback 0 last.
    static const std::vector<std::pair<int, const char *>> &marketItems();

    void okPushed();
    void cancelPushed();
    // OK and Return run okPushed; Esc and the close box are Cancel.
    void accept() override { okPushed(); }
    void reject() override { cancelPushed(); }

    const SecurityPtr &security() const { return m_security; }
    bool isNew() const { return m_isNew; }
    bool hasChanged() const { return m_hasChanged; }

    QButtonGroup *kindCluster() const { return m_kindCluster; }
    QLineEdit *nameField() const { return m_nameField; }
    QLineEdit *codeField() const { return m_codeField; }
    QLineEdit *symbolField() const { return m_symbolField; }
    QComboBox *marketButton() const { return m_marketButton; }
    QComboBox *currencyButton() const { return m_currencyButton; }
    QSlider *riskSlider() const { return m_riskSlider; }
    QPushButton *okButton() const { return m_okButton; }

private:
    void fillControls();
    void paramChanged();
    void updateButtons();

    Book *m_document;       // not owned; outlives the sheet
    SecurityPtr m_security; // the security edited; the opener's
    bool m_isNew;           // not yet in the document's list
    bool m_hasChanged = false;
    bool m_filling = false;      // control signals while filling are no edits
    QButtonGroup *m_kindCluster; // ids are the security kinds
    QLineEdit *m_nameField;
    QLineEdit *m_codeField;
    QLineEdit *m_symbolField;
    QComboBox *m_marketButton;   // data: market code
    QComboBox *m_currencyButton; // data: currency ident
    QSlider *m_riskSlider;
    QPushButton *m_okButton;
};

} // namespace cv
