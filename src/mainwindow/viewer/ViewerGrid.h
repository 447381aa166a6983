#pragma once
// A viewer grid: an outline whose selection is one cell of the selected row
// (the selected column's identifier, in account-grid numbering for both
// grids). Keys and clicks move the cell, page the period at the edges and
// open what a cell stands for; the grid draws no selection of its own but
// paints the selected cell. A grid holds at most one entry panel, shown in
// the window's temporary page and committed whenever that page is left.

#include "mainwindow/viewer/ExpansionStateSavedOutlineView.h"

#include <QPointer>

#include <memory>
#include <vector>

namespace cv {

class BookWindow;
class Node;
using NodePtr = std::shared_ptr<Node>;

class HostedPanel;
class ViewerModel;
class ViewerPage;

class ViewerGrid : public ExpansionStateSavedOutlineView {
    Q_OBJECT
public:
    static constexpr int kMinimumFontSize = 6;
    static constexpr int kMaximumFontSize = 32;

    ViewerGrid(BookWindow *window, cv::ViewerPage *viewer, QWidget *parent = nullptr);
    ~ViewerGrid() override;

    cv::ViewerModel *viewerModel() const;
    cv::ViewerPage *viewer() const { return m_viewer; }
    int lineHeight() const { return m_rowHeight; }
    // The row's place among the shown rows (for the alternating colours).
    int displayRow(const QModelIndex &index) const;
    BookWindow *wc() const { return m_wc; }
    // The grid Tab moves to.
    void setPartner(ViewerGrid *partner) { m_partner = partner; }
    ViewerGrid *partner() const { return m_partner; }

    // ---- cell selection
    int selectedColumnId() const { return m_selectedColumnId; }
    bool setSelectedColumnId(int id);
    // The view column of the selected cell.
    int selectedColumnIndex() const;
    bool isSelectedColumn(int column, const QModelIndex &row) const;
    void clickedColumn(int column, const QModelIndex &row);
    void selectColumnAtIndex(int column);
    // Ignores negative and too large indices; selects row 0 when no row is.
    void selectColumnAtIndexValue(int column);
    void saveSelection() { m_savedColumnIndex = selectedColumnIndex(); }
    void restoreSelection();
    void updateSelectionFromAccountView(const ViewerGrid &other);
    QModelIndex selectedRow() const;

    // ---- fonts (pixels)
    int fontSize() const { return m_fontSize; }
    void setFontSize(int pixels);
    // Refused (false) when the result would reach 6 or 32.
    bool changeFontSize(int step);

    // ---- opening cells and panels
    // What the click on the cell opens; never an edit in place.
    void openCell(const QModelIndex &index);
    // The entry panel for the node and the inclusive days; none opens nothing.
    virtual QWidget *editItem(const NodePtr &node, const QDate &from, const QDate &to);
    QWidget *panel() const { return m_panel; }
    void maximizeInputPanel(QWidget *panel);
    void commitPendingPanelInput();
    // `panel` is the grid's panel or the search results' panel; its rows
    // written refresh the viewer.
    void commitPanel(cv::HostedPanel *panel);
    void panelWillClose();
    // The window is closing: the panel and the window are let go.
    void willClose();

public Q_SLOTS:
    // The panel's OK button.
    void closeMaximizedPanel();

protected:
    // The name, kind and carry-over columns (account grid) open sheets or rename.
    virtual void openFixedColumn(Node *node, int columnId) {}
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paintEvent(QPaintEvent *event) override;
    bool focusNextPrevChild(bool next) override;

    BookWindow *m_wc;         // owns the grid through its page
    cv::ViewerPage *m_viewer; // likewise

private:
    void moveRow(int direction);
    void moveToPartner();
    int columnIdOf(int column) const;
    int columnOfId(int id) const;

    ViewerGrid *m_partner = nullptr;
    int m_selectedColumnId = 0;
    int m_savedColumnIndex = -1;
    QPointer<QWidget> m_panel;
    bool m_mouseCausedFocus = false;
    int m_rClickedRow = -1;
    int m_rClickedColumn = -1;
    int m_fontSize = 13;
    int m_rowHeight = 17;
};

} // namespace cv
