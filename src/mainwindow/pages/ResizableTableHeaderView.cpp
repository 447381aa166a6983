#include "mainwindow/pages/ResizableTableHeaderView.h"

#include <QMouseEvent>
#include <QStyleOptionHeader>

namespace cv {

ResizableTableHeaderView::ResizableTableHeaderView(QWidget *parent) : BorderedHeaderView(parent)
{
    setSectionsClickable(true);
}

int ResizableTableHeaderView::resizingColumnWidth() const
{
    return m_resizingColumn >= 0 && m_resizingColumn < count() ? sectionSize(m_resizingColumn) : 0;
}

void ResizableTableHeaderView::mousePressEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    // A press on a section's right edge resizes that section, not the next.
    int section = logicalIndexAt(x);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    if (section >= 0 && x - sectionViewportPosition(section) < grip) {
        const int visual = visualIndex(section);
        if (visual > 0) section = logicalIndex(visual - 1);
    }
    m_resizingColumn = section;
    m_resizingStartWidth = section >= 0 ? sectionSize(section) : 0;
    QHeaderView::mousePressEvent(event);
}

void ResizableTableHeaderView::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const auto it = m_cells.find(logicalIndex);
    if (it == m_cells.end() || !it->second.textColor().isValid()) return;
    for (QPalette::ColorRole role :
         {QPalette::ButtonText, QPalette::WindowText, QPalette::Text, QPalette::HighlightedText})
        option->palette.setColor(role, it->second.textColor());
}

} // namespace cv
