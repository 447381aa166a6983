#pragma once
// The budget grid: 13 px text with rows two pixels taller than a line, a
// white first title cell and a title-colour band down the first column,
// and grid lines whose weight each column's border bits choose (bit 2: a
// grey left edge two wide; bit 4: a grey right edge two wide; else light
// grey, one wide). The bits are the header's, which draws them too.
// Resizing a column by hand reports its new width.

#include "controls/BorderedHeaderView.h"
#include "mainwindow/viewer/ExpansionStateSavedOutlineView.h"

namespace cv {

class BorderedOutlineView : public ExpansionStateSavedOutlineView {
    Q_OBJECT
public:
    static constexpr int LeftBorder = BorderedHeaderView::kLeftEdge;
    static constexpr int RightBorder = BorderedHeaderView::kRightEdge;

    explicit BorderedOutlineView(QWidget *parent = nullptr);

    void setFont(const QFont &font);
    void setFontSize(int pixelSize);
    int rowHeight() const { return m_rowHeight; }
    void setTitleColor(const QColor &color);
    void setColumnBorder(int column, int bits);
    int columnBorder(int column) const;

protected:
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    void drawGrid(QPainter &painter, const QRect &clip) const;

    int m_rowHeight = 0;
    QColor m_titleColor;
};

} // namespace cv
