#pragma once
// The document window's page "TB01": the period viewer. Two grids in a
// vertical splitter share one row of period columns: accounts above,
// categories below. The bar above them picks the unit, steps the period,
// jumps to today or to a picked date, and sets the summary and the width
// of a data column. The columns follow the window's width (the grids are
// laid out again about 100 ms after the last resize) by inserting and
// removing columns, so expansion and selection stay.

#include "document/ChangeSet.h"
#include "mainwindow/viewer/ViewerColumns.h"
#include "mainwindow/viewer/ViewerValues.h"
#include "mainwindow/WindowPage.h"

#include <QPointer>

#include <memory>

class QCheckBox;
class QComboBox;
class QSlider;
class QSplitter;
class QTimer;
class QToolButton;

namespace cv {

class AccountGrid;
class CategoryGrid;
class ViewerGrid;
class Preference;
class BookWindow;

class DateField;
class ViewerModel;

class ViewerPage : public WindowPage {
    Q_OBJECT
public:
    // Point sizes of the font indices 1-5; index 0 and 6 or more show index 3.
    static constexpr int kFontSizes[] = {0, 8, 9, 11, 13, 17};
    static constexpr int kDefaultFontIndex = 3;
    static constexpr int kResizeDelayMs = 100;
    static int fontSizeForIndex(int index);

    ViewerPage(BookWindow *window, Book *document, QWidget *parent = nullptr);
    DateField *topDateField() const { return m_topDateField; }
    ~ViewerPage() override;

    BookWindow *window() const { return m_window; }
    AccountGrid *accountView() const { return m_accountView; }
    CategoryGrid *categoryView() const { return m_categoryView; }
    ViewerModel *accountModel() const { return m_accountModel; }
    ViewerModel *categoryModel() const { return m_categoryModel; }
    QSplitter *splitter() const { return m_splitter; }
    const ViewerColumns &columns() const { return m_columns; }
    ViewerValues &values() { return m_values; }
    const Preference &preference() const;

    // ---- the window's page protocol
    void enter(bool dirty) override;
    void commitPendingInput() override;
    // The window closes: the grids let go of their panels and the window.
    void willClose();
    void dateChosen(const QDate &date) override;
    bool hasPrintableContent() const override;
    // The rows shown in both grids; twelve months from the top date.
    std::unique_ptr<PrintedPages> makePrintView(PageSetup &setup) override;

    // ---- periods and columns
    // A new unit: the top date restarts from the remembered date.
    void updatePeriod(int unit);
    void moveDateForwardOrBackward(int direction);
    void todayButtonPushed(const QDate &today = QDate::currentDate());
    // Lays the columns out for the current width and reads the values again.
    void setupColumns();
    // The columns alone: counts, widths and headers.
    void layoutColumns();
    void refreshMainView();
    void reloadData() override { dataChanged(); }
    // Values changed (an entry, a setting): both grids repaint their cells.
    void dataChanged();
    // The trees changed: rows are read again, expansion comes from the nodes.
    void treesChanged();
    void accountViewInvalidate();
    // What an edit changed, as the document's signals carry it: the shown
    // page repaints the grids it names (the rows again only when a tree's
    // structure changed); a hidden page does it when entered.
    void documentChanged(const ChangeSet &changes);
    int todayColumn() const { return m_todayColumn; }
    int columnIndexOfTodayInView(const ViewerGrid *view) const;
    // Larger or smaller text; false when the index is at its end.
    bool changeFontSize(bool larger);
    void setShortSummary(bool on);
    void setCellWidth(int width);

    // ---- saving and opening
    // Expansion into the nodes' flags, the split into the settings.
    void storeState();
    void restoreExpansionStatus();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildBar(QWidget *bar);
    // The grids' rows read again from the trees, expansion from the nodes.
    void readRows();
    void applyFont();
    void setupColumnHeader();
    void syncBar();
    int visibleWidth() const;

    BookWindow *m_window; // owns the page
    ViewerColumns m_columns;
    ViewerValues m_values;
    ViewerModel *m_accountModel; // children
    ViewerModel *m_categoryModel;
    AccountGrid *m_accountView;
    CategoryGrid *m_categoryView;
    QSplitter *m_splitter;
    QComboBox *m_unitButton = nullptr;
    DateField *m_topDateField = nullptr;
    QCheckBox *m_miniSummaryCheckbox = nullptr;
    QSlider *m_cellSlider = nullptr;
    QTimer *m_resizeTimer;
    int m_todayColumn = ViewerColumns::kTodayNotShown;
    int m_kindWidth = 20;
    bool m_preserveSelectedColumn = false;
    bool m_built = false;             // built, and its document still there
    bool m_expansionChanged = false;  // since the last save
    bool m_ignoreTreeChanges = false; // while the trees are stored
    bool m_staleValues = false;       // values changed while hidden
    bool m_staleRows = false;         // a tree's structure changed while hidden
};

} // namespace cv
