#pragma once
// A horizontal header that remembers the column the user is resizing and
// draws each section's text in the colour of its ColoredTableHeaderCell, and
// its frame lines by each section's border bits.

#include "controls/BorderedHeaderView.h"
#include "mainwindow/pages/ColoredTableHeaderCell.h"

#include <map>

namespace cv {

class ResizableTableHeaderView : public BorderedHeaderView {
    Q_OBJECT
public:
    explicit ResizableTableHeaderView(QWidget *parent = nullptr);

    // The column under the last press, and its width then.
    int resizingColumn() const { return m_resizingColumn; }
    int resizingStartWidth() const { return m_resizingStartWidth; }
    // The current width of the column being resized; 0 without one.
    int resizingColumnWidth() const;

    ColoredTableHeaderCell &cell(int section) { return m_cells[section]; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;

private:
    int m_resizingColumn = -1;
    int m_resizingStartWidth = 0;
    std::map<int, ColoredTableHeaderCell> m_cells;
};

} // namespace cv
