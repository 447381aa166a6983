#pragma once
// The sheet that creates or edits one security: kind (fixed once the
// security is stored), name, code, symbol, market, currency and risk. It
// writes into the security only on OK and stores nothing: the opener adds a
// new security to the document's list (an existing one is already there)
// and commits the list when the sheet ends with 1. Cancel ends with 0 and
// leaves the security as it was.

#include "controls/VRUndoableTextWindowController.h"
#include "model/CV4Brand.h"

#include <functional>
#include <utility>
#include <vector>

class CV4Document;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

class CV4BrandPanelController : public VRUndoableTextWindowController {
    Q_OBJECT
public:
    using EndHandler = std::function<void(int code, CV4BrandPanelController *sheet)>;

    CV4BrandPanelController(CV4Document *document, CV4BrandPtr brand, bool isNew, QWidget *parent = nullptr);

    // Opens the sheet window-modal on `parent` (application-modal without
    // one) under the sheet tracker; `done` runs with the end code while the
    // sheet still exists, and the tracker frees it afterwards.
    static CV4BrandPanelController *openBrandPanel(CV4Document *document, const CV4BrandPtr &brand, bool isNew,
                                                   QWidget *parent, EndHandler done);

    // The market pop-up's items: (market code, title key), the fallback 0 last.
    static const std::vector<std::pair<int, const char *>> &marketItems();

    void okPushed();
    void cancelPushed();
    // OK and Return run okPushed; Esc and the close box are Cancel.
    void accept() override { okPushed(); }
    void reject() override { cancelPushed(); }

    const CV4BrandPtr &brand() const { return m_brand; }
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
    void setButtonStatus();

    CV4Document *m_document;        // not owned; outlives the sheet
    CV4BrandPtr m_brand;            // the security edited; the opener's
    bool m_isNew;                   // not yet in the document's list
    bool m_hasChanged = false;
    bool m_filling = false;         // control signals while filling are no edits
    QButtonGroup *m_kindCluster;    // ids are the security kinds
    QLineEdit *m_nameField;
    QLineEdit *m_codeField;
    QLineEdit *m_symbolField;
    QComboBox *m_marketButton;      // data: market code
    QComboBox *m_currencyButton;    // data: currency ident
    QSlider *m_riskSlider;
    QPushButton *m_okButton;
};
