#include "mainwindow/pages/BorderedOutlineView.h"

#include "mainwindow/pages/ResizableTableHeaderView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace cv {

namespace {

constexpr int kDefaultPixelSize = 13;

// Rows of the grid's own height, whatever the style would choose.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    RowHeightDelegate(const BorderedOutlineView *view)
        : QStyledItemDelegate(const_cast<BorderedOutlineView *>(view)), m_view(view)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_view->rowHeight());
        return size;
    }

private:
    const BorderedOutlineView *m_view;
};

} // namespace

BorderedOutlineView::BorderedOutlineView(QWidget *parent) : ExpansionStateSavedOutlineView(parent)
{
    // The page reads the width of a column the user resizes from the header.
    setHeader(new ResizableTableHeaderView(this));
    setItemDelegate(new RowHeightDelegate(this));
    setUniformRowHeights(true);
    setFontSize(kDefaultPixelSize);
}

void BorderedOutlineView::setFont(const QFont &font)
{
    QTreeView::setFont(font);
    header()->setFont(font);
    m_rowHeight = QFontMetrics(font).height() + 2;
    doItemsLayout();
    viewport()->update();
}

void BorderedOutlineView::setFontSize(int pixelSize)
{
    QFont f = font();
    f.setPixelSize(pixelSize);
    setFont(f);
}

void BorderedOutlineView::setTitleColor(const QColor &color)
{
    m_titleColor = color;
    viewport()->update();
}

void BorderedOutlineView::setColumnBorder(int column, int bits)
{
    static_cast<BorderedHeaderView *>(header())->setBorder(column, bits);
    viewport()->update();
}

int BorderedOutlineView::columnBorder(int column) const
{
    return static_cast<const BorderedHeaderView *>(header())->border(column);
}

void BorderedOutlineView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The first column's band, from the left edge of the view.
    const QRect cell = visualRect(index.siblingAtColumn(0));
    QRect band(0, option.rect.top(), cell.right() + 1, option.rect.height());
    const bool firstRow = !indexAbove(index).isValid();
    if (firstRow)
        painter->fillRect(band, Qt::white);
    else if (m_titleColor.isValid())
        painter->fillRect(band, m_titleColor); // a second row exists: this one
    QTreeView::drawRow(painter, option, index);
}

void BorderedOutlineView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    QPainter painter(viewport());
    drawGrid(painter, event->rect());
}

void BorderedOutlineView::drawGrid(QPainter &painter, const QRect &clip) const
{
    const QColor grey(Qt::gray);
    const QColor light(Qt::lightGray);
    painter.save();
    painter.setClipRect(clip.united(QRect(clip.left(), 0, clip.width(), 1)).intersected(viewport()->rect()));
    for (QModelIndex index = indexAt(QPoint(0, 0)); index.isValid(); index = indexBelow(index)) {
        const QRect rowRect = visualRect(index.siblingAtColumn(0));
        if (rowRect.top() > clip.bottom()) break;
        if (!indexAbove(index).isValid()) {
            painter.setPen(QPen(grey, 1));
            painter.drawLine(0, rowRect.bottom(), viewport()->width(), rowRect.bottom());
        }
        int lastX = header()->sectionViewportPosition(0);
        for (int column = 0; column < header()->count(); ++column) {
            if (header()->isSectionHidden(column)) continue;
            const int x = header()->sectionViewportPosition(column);
            const int width = header()->sectionSize(column);
            const int bits = columnBorder(column);
            if (x != lastX) {
                const int w = (bits & LeftBorder) ? 2 : 1;
                painter.setPen(QPen((bits & LeftBorder) ? grey : light, w));
                painter.drawLine(x, rowRect.top(), x, rowRect.bottom());
            }
            const int w = (bits & RightBorder) ? 2 : 1;
            painter.setPen(QPen((bits & RightBorder) ? grey : light, w));
            const int right = x + width - (w + 1) / 2;
            painter.drawLine(right, rowRect.top(), right, rowRect.bottom());
            lastX = x + width;
        }
    }
    painter.restore();
}

} // namespace cv
