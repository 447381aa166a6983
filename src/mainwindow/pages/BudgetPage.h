#pragma once
// The document window's page "TB03": budgets against actual amounts. A bar
// (period, previous, Today, next, the first date, the batch button, the
// column width) over the budget grid. The grid's columns follow its width;
// a click on a budget cell opens the budget editor for that period, the
// batch button the twelve-month budget panel of the selected category.
// Nothing is edited in place and nothing is dragged: budgets change only
// through the two sheets, whose OK commits the category tree.
//
// The page starts at the window's top date, snapped to the budget unit;
// the window gives the top date back when the page is left.

#include "mainwindow/pages/BudgetColumns.h"
#include "mainwindow/viewer/OutlineClickClient.h"
#include "mainwindow/WindowPage.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QComboBox;
class QPushButton;
class QSlider;

namespace cv {

class BorderedOutlineView;
class Preference;
class BookWindow;
class Node;
using NodePtr = std::shared_ptr<Node>;

class BudgetModel;
class DateField;
struct ChangeSet;

class BudgetPage : public WindowPage, public OutlineClickClient {
    Q_OBJECT
public:
    static constexpr int kDefaultCellWidth = 80;
    static constexpr int kMinCellWidth = 30;
    static constexpr int kMaxCellWidth = 200;

    explicit BudgetPage(Book *document, QWidget *parent = nullptr);
    ~BudgetPage() override;

    BorderedOutlineView *budgetView() const { return m_view; }
    BudgetModel *model() const { return m_model; }
    const BudgetColumns &columns() const { return m_columns; }
    QComboBox *periodButton() const { return m_periodButton; }
    QPushButton *batchButton() const { return m_batchButton; }
    QSlider *cellSlider() const { return m_cellSlider; }
    // The budget editor or panel while one is open.
    QDialog *openSheet() const { return m_sheet; }

    // ---- the window's page protocol
    void enter(bool dirty) override;
    void dateChosen(const QDate &date) override;
    void reloadData() override { valuesChanged(); }
    bool hasPrintableContent() const override;
    // The shown rows, twelve months from the top date's month.
    std::unique_ptr<PrintedPages> makePrintView(PageSetup &setup) override;

    // ---- periods and columns
    // A unit from the popup (2 month .. 5 year): the week rule, the snap.
    void updateBudgetPeriod(int unit);
    void moveDateForwardOrBackward(int direction);
    void todayButtonPushed(const QDate &today = QDate::currentDate());
    // Lays the columns out; `onResize` lets an unchanged width do nothing.
    void setupBudgetColumns(bool onResize = false);
    void setCellWidth(int width);
    QDate topDate() const;

    // ---- the sheets
    // The budget editor for the node and the period of a budget column.
    void budgetEditItem(const NodePtr &node, int column);
    // The budget panel for the selected category.
    void budgetBatchInput();
    NodePtr selectedNode() const;

    // OutlineClickClient
    bool isColumnSelectable(int cid, int row) override;
    std::optional<bool> handleClick(int cid, int row) override;
    bool shouldEditTableColumn(int, int) override { return false; }

    // The three texts a printed value cell shows: actual, budget, share;
    // all empty without an actual.
    static QStringList budgetStringsForValue(const Book &document, double actual, double budget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildBar(QWidget *bar);
    void setupBudgetColumnHeader();
    void syncBar();
    void selectionChanged();
    void treeChanged(const ChangeSet &changes);
    void valuesChanged();
    void sheetEnded(int code);
    const Preference &preference() const;
    BookWindow *window() const { return m_window; }

    BookWindow *m_window; // owns the page; none outside a window
    BudgetColumns m_columns;
    BudgetModel *m_model;        // child
    BorderedOutlineView *m_view; // child
    QComboBox *m_periodButton = nullptr;
    DateField *m_dateField = nullptr;
    QPushButton *m_batchButton = nullptr;
    QSlider *m_cellSlider = nullptr;
    QPointer<QDialog> m_sheet;                 // the open editor or panel
    QDate m_localTopDate;                      // the first date without a window
    const QObject *m_headerViewport = nullptr; // watched for the press and release of a drag
    bool m_dragging = false;                   // a button is down on the header
    int m_chosenWidth = 0;                     // the width of the column the user drags
    bool m_initialized = false;                // entered once: columns are laid out from then on
};

} // namespace cv
