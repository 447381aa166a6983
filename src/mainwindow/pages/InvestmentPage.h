#pragma once
// The document window's page "TB06": the investment status at the report
// date. Rebuilt each time the page is entered and when its date changes;
// the check box shows the figures in the default currency.

#include "print/InvestmentsPrint.h"
#include "document/ChangeSet.h"
#include "document/InvestmentStatus.h"
#include "mainwindow/WindowPage.h"

#include <memory>

class QCheckBox;
class QTreeView;

namespace cv {

class BookWindow;

class DateField;
class InvestmentModel;

class InvestmentPage : public WindowPage {
    Q_OBJECT
public:
    static constexpr int kColumnWidths[InvestmentStatus::ColumnCount] = {170, 110, 40, 70, 80, 90,
                                                                         80,  90,  80, 90, 90, 150};

    InvestmentPage(BookWindow *window, Book *document, QWidget *parent = nullptr);
    ~InvestmentPage() override;

    const InvestmentStatus &report() const { return *m_report; }
    InvestmentModel *model() const { return m_model; }
    QTreeView *outline() const { return m_outline; }
    DateField *dateField() const { return m_dateField; }
    QCheckBox *convertBox() const { return m_convert; }

    // ---- the window's page protocol
    void enter(bool dirty) override;
    void dateChosen(const QDate &date) override;
    void reloadData() override { makeReportData(); }
    bool hasPrintableContent() const override { return true; }
    // The rows the outline shows, expanded ones with their content.
    std::unique_ptr<PrintedPages> makePrintView(PageSetup &setup) override;
    // Eleven titles for the header row, else the row's twelve texts.
    QStringList investmentStatusCallback(const InvestmentsPrintParam &row) const;

    // Builds the report for the window's report date and shows it with
    // every top-level row expanded.
    void makeReportData();

private:
    void expandTopLevel();
    void documentChanged(const ChangeSet &changes);

    BookWindow *m_window; // owns the page
    std::unique_ptr<InvestmentStatus> m_report;
    InvestmentModel *m_model; // child
    QTreeView *m_outline;     // child
    DateField *m_dateField;   // child
    QCheckBox *m_convert;     // child
};

} // namespace cv
