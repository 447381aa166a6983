#pragma once
// The document window's page "TB05": one row per currency (name, code,
// symbol, format, base rate) and one column per day with the rate in force
// that day, as many days as the width holds from the window's first day.
// Rates are typed into the day cells; the currency menu (tags 30031-30036)
// opens the rate sheets, switches a currency off or on and adds one; a row
// dragged to the top becomes the default currency after the user agrees.
// The page keeps its day unit to itself: the viewer's unit and the book's
// settings stay as they are.

#include "print/CurrenciesPrint.h"
#include "controls/TableClient.h"
#include "controls/Tags.h"
#include "mainwindow/WindowPage.h"
#include "model/Currency.h"

#include <QDate>

#include <functional>

class QToolButton;

namespace cv {

class BookWindow;

class CurrencyTableView;
class DateField;

class CurrencyPage : public WindowPage, public TableClient {
    Q_OBJECT
public:
    enum Column { NameColumn, CodeColumn, PrefixColumn, FormatColumn, RateColumn, kStartDataCells };
    static constexpr int kTodayNotShown = 1000;
    static constexpr int kMaxFractionZeros = 100;
    static constexpr int kMinDataWidth = 40;
    // Menu tags of the currency menu.
    enum Tag {
        EditRatesTag = tag::CurrencyMenu.first,
        SwitchOffTag = EditRatesTag + 1,
        ImportRatesTag = EditRatesTag + 4,
        NewCurrencyTag = tag::CurrencyMenu.last,
    };
    // Opens a rate sheet for the currency over the window; the sheet calls
    // `done` with its code when it ends (1: rates were stored). The rate
    // list is the price panel's; the rate import has no sheet until one is set.
    using RateSheetOpener =
        std::function<void(const CurrencyPtr &currency, QWidget *window, std::function<void(int code)> done)>;

    CurrencyPage(BookWindow *window, Book *document, QWidget *parent = nullptr);
    ~CurrencyPage() override;

    CurrencyTableView *table() const { return m_table; }
    DateField *dateField() const { return m_dateField; }

    // ---- the window's page protocol
    void enter(bool dirty) override;
    void leave() override;
    void commitPendingInput() override;
    void dateChosen(const QDate &date) override;
    bool hasPrintableContent() const override;
    std::unique_ptr<PrintedPages> makePrintView(PageSetup &setup) override;
    // Five printed texts: the titles for the header row, else the currency's.
    QStringList currencyReportCallback(const CurrenciesPrintParam &row) const;

    // ---- day columns
    void setupCurrencyColumns();
    int numDataCells() const { return m_numDataCells; }
    int todayColumn() const { return m_todayColumn; }
    // The day of a day column; invalid for the others.
    QDate dateOfColumn(int column) const;
    bool isDataColumn(int column) const
    {
        return column >= kStartDataCells && column < kStartDataCells + m_numDataCells;
    }

    // ---- cells
    QString cellText(int column, int row) const;
    static QString formatText(int fraction);
    // 0 fraction digits when there are some, else 2; the list is committed.
    void toggleCurrencyFormat(const CurrencyPtr &currency);
    // A rate typed by the user: grouping commas and full-width digits read;
    // none unless a finite number above 0.
    static std::optional<double> rateForText(const QString &text);
    // Rates changed while the page was shown: the balances are rebuilt when it is left.
    bool currencyChanged() const { return m_currencyChanged; }

    // ---- menu
    bool validateMenu(int tag) const;
    void execMenu(int tag);
    // The switch item reads "Disable" or "Enable" for the selected currency.
    QString switchTitle() const;
    CurrencyPtr selectedCurrency() const;
    void setRateListOpener(RateSheetOpener opener) { m_rateListOpener = std::move(opener); }
    void setRateImportOpener(RateSheetOpener opener) { m_rateImportOpener = std::move(opener); }
    // The end of a rate sheet: with code 1 the currency's rates are read again.
    void rateSheetDidEnd(const CurrencyPtr &currency, int code);

    // ---- drag and drop
    bool canDragRow(int row) const;
    // Moves the currency at `from` before the row `to`; a move to the top
    // asks first and makes it the default currency. True when it moved.
    bool acceptDrop(int from, int to);
    void doubleClicked(int column, int row);

    // ---- TableClient
    int numberOfRows(const EditingTable *table) const override;
    CellValue objectValue(const EditingTable *table, int cid, int row) const override;
    void setObjectValue(EditingTable *table, const QString &text, int cid, int row) override;
    bool isColumnSelectable(const EditingTable *table, int cid, int row) const override;
    bool shouldEditColumn(const EditingTable *table, int cid, int row) const override;
    void prepareCell(const EditingTable *table, PreparedCell &cell, int cid, int row) const override;
    bool handleTypedCharacter(EditingTable *table, QChar c, PopupFieldEditor *editor, int cid, int row) override;
    bool textInputOn(InputSourceMoment moment, int cid, int column) const override;
    // Rows here are the book's currencies: no deleting or selecting them all.
    std::optional<bool> validateMenuItem(const EditingTable *table, const QAction *action) const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    CurrencyPtr currencyAt(int row) const;
    void reload();
    void reloadData() override { reload(); }
    void editRow(int column, int row);
    // The previous or next day, keeping the edited cell.
    void stepDay(int direction);
    void storeDayRate(const CurrencyPtr &currency, const QDate &date, double rate);
    void newCurrency();
    void switchCurrency(const CurrencyPtr &currency);
    void openRateSheet(const RateSheetOpener &opener, const CurrencyPtr &currency);

    BookWindow *m_window;          // owns the page
    CurrencyTableView *m_table;    // child
    DateField *m_dateField;        // child
    QToolButton *m_todayButton;    // child
    QToolButton *m_previousButton; // child
    QToolButton *m_nextButton;     // child
    int m_dataWidth;               // the base rate column's width, every day column's
    bool m_laying = false;         // the columns are being laid out: their resizes are ours
    RateSheetOpener m_rateListOpener;
    RateSheetOpener m_rateImportOpener;
    int m_numDataCells = 0;
    int m_todayColumn = kTodayNotShown;
    bool m_currencyChanged = false;
    bool m_shown = false; // between enter and leave
};

} // namespace cv
