#pragma once
// The dated prices of one security, or the dated exchange rates of one
// currency, as a sheet: a date and a value per row, at most one value per
// day in the store. Nothing is written before OK; OK writes every removal
// first and then every new or changed value, so rows that swap dates lose
// nothing, and refreshes the document's price or rate cache in the same
// edit. The sheet ends with 1 when anything had changed, else 0 (Cancel 0);
// its deletion undo steps end with it. An OK whose edit was not stored
// leaves the sheet open with its rows.

#include "model/Security.h"
#include "model/Currency.h"
#include "model/DatedPrice.h"
#include "panels/entry/RowPanel.h"

#include <functional>
#include <map>

class QLabel;

namespace cv {

class PricePanel : public RowPanel {
    Q_OBJECT
public:
    // Edit flag of a stored row whose date changed; its stored record is in m_oldValues.
    static constexpr int kDateChanged = 8;
    enum Column { DateColumn = 0, PriceColumn = 1 };
    // The fields of a price row.
    enum class Field { Date, Price };
    using EndHandler = std::function<void(int code, PricePanel *panel)>;

    // `topDate` dates the new rows: the first day the main window's viewer shows.
    PricePanel(Book *doc, SecurityPtr security, const QDate &topDate, QWidget *parent = nullptr);
    PricePanel(Book *doc, CurrencyPtr currency, const QDate &topDate, QWidget *parent = nullptr);
    ~PricePanel() override;

    // Opens the list as a window-modal sheet on `parent` (application-modal
    // without one) under the sheet tracker; `done` runs with the end code
    // while the panel still exists. Exactly one of security and currency.
    static PricePanel *openPricePanel(Book *doc, const SecurityPtr &security, const CurrencyPtr &currency,
                                      const QDate &topDate, QWidget *parent, EndHandler done);

    bool isSecurity() const { return m_security != nullptr; }
    bool isFund() const { return m_security && m_security->kind() == cv::SecurityKind::InvestmentTrust; }
    const SecurityPtr &security() const { return m_security; }
    const CurrencyPtr &currency() const { return m_currency; }
    QLabel *titleField() const { return m_titleField; }
    QPushButton *newButton() const { return m_newButton; }
    QPushButton *importButton() const { return m_importButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    DatedPricePtr priceAt(int row) const;
    // The text a cell shows.
    QString cellText(int cid, int row) const;

    void newPushed();
    void okPushed();
    void cancelPushed();

    // ---- TableClient
    void addItem(EditingTable *table = nullptr) override;
    cv::CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    void prepareCell(const EditingTable *table, cv::PreparedCell &cell, int cid, int row) const override;
    std::optional<cv::CellCurrency> currencyForColumn(int cid, int row) const override;
    std::optional<QString> proposedString(PopupFieldEditor *editor, const QString &oldText,
                                          cv::TextSelection oldSelection, const QString &newText, int currency,
                                          int fractionLength) override;
    int firstUnfinishedColumnForRow(int row) const override;
    bool columnAllowsNegativeInput(int, int) const override { return false; }
    bool handleEscape() override;
    void performInputDate(const QDate &date) override;

Q_SIGNALS:
    // The sheet ended with the code (also when the panel runs without a sheet).
    void sheetEnded(int code);

protected:
    RowPtr newRow() override;
    void setChanged(const RowPtr &row) override;
    void readRows() override;
    void commitRows() override;
    void updateButtons() override;
    bool rowGoesBefore(const RowPtr &a, const RowPtr &b) const override;
    QVariant fieldValue(const RowPtr &row, int field) const override;
    void setFieldValue(const RowPtr &row, int field, const QVariant &value) override;

private:
    void build();
    void endSheet(int code);
    void changeDate(const DatedPricePtr &row, const QDate &date);
    void changePrice(const DatedPricePtr &row, double price);
    void dataChanged();
    // Fraction digits of a typed value: six for rates, trusts and bonds.
    int valueFraction() const;
    bool isStock() const { return m_security && m_security->kind() == cv::SecurityKind::Stock; }
    // The value of typed text; 0 for text that does not read as a number.
    double valueForText(const QString &text) const;

    SecurityPtr m_security;                             // the security, or none for a rate list
    CurrencyPtr m_currency;                             // the currency of a rate list, or none
    int m_currencyID = 0;                               // the values' currency
    QDate m_topDate;                                    // the date of new rows
    std::map<DatedPricePtr, DatedPricePtr> m_oldValues; // row -> its stored record, for changed dates
    QLabel *m_titleField = nullptr;
    QPushButton *m_newButton = nullptr;
    QPushButton *m_importButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    bool m_ended = false;
};

} // namespace cv
