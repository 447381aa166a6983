#include "controls/BorderedHeaderView.h"

#include <QAbstractItemModel>
#include <QPainter>

namespace cv {

BorderedHeaderView::BorderedHeaderView(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

QColor BorderedHeaderView::lineColor()
{
    return QColor(128, 128, 128);
}

void BorderedHeaderView::setBorder(int section, int border)
{
    m_borders.insert(section, border);
    viewport()->update();
}

void BorderedHeaderView::setTitle(int section, const QString &title, int border)
{
    setBorder(section, border);
    if (model()) model()->setHeaderData(section, orientation(), title);
}

void BorderedHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // The style draws the section with its title and colours; the frame
    // lines go over it.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    painter->save();
    const int bits = border(logicalIndex);
    // Edge lines 2 pixels wide, inside the section so a neighbour does not
    // paint over them; an edge without its bit keeps what the style drew.
    if (bits & kLeftEdge) painter->fillRect(QRect(rect.left(), rect.top() + 1, 2, rect.height() - 1), lineColor());
    if (bits & kRightEdge) painter->fillRect(QRect(rect.right() - 1, rect.top() + 1, 2, rect.height() - 1), lineColor());
    painter->setPen(lineColor());
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

} // namespace cv
