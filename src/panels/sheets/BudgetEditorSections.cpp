#include "panels/sheets/BudgetEditorSections.h"

#include "controls/EditingTable.h"

#include <QEvent>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>

namespace cv {

BudgetEditorSections::BudgetEditorSections(EditingTable *table, std::function<QColor(int)> background,
                                           std::function<int()> rowsPerSection)
    : QObject(table), m_table(table), m_background(std::move(background)), m_rowsPerSection(std::move(rowsPerSection))
{
    table->setShowGrid(false);
    m_viewport = table->viewport();
    table->viewport()->installEventFilter(this);
}

bool BudgetEditorSections::eventFilter(QObject *watched, QEvent *event)
{
    // Before the cells: they draw their text and the selection over it.
    // The table may be going away: only the viewport's address is compared.
    if (event->type() == QEvent::Paint && watched == m_viewport) paint(static_cast<QPaintEvent *>(event)->rect());
    return false;
}

void BudgetEditorSections::paint(const QRect &clip)
{
    const int rows = m_table->numberOfRows();
    if (rows <= 0) return;
    const int first = std::max(m_table->rowAt(clip.top()), 0);
    int last = m_table->rowAt(clip.bottom());
    if (last < 0) last = rows - 1;
    QPainter painter(m_table->viewport());
    const int width = m_table->viewport()->width();
    for (int row = first; row <= last; ++row)
        painter.fillRect(QRect(0, m_table->rowViewportPosition(row), width, m_table->rowHeight(row)),
                         m_background(row));
    const int bottom = m_table->rowViewportPosition(last) + m_table->rowHeight(last);
    painter.setPen(QColor(Qt::lightGray));
    const QHeaderView *header = m_table->horizontalHeader();
    for (int column = 0; column < header->count(); ++column) {
        const int x = m_table->columnViewportPosition(column) + m_table->columnWidth(column) - 1;
        painter.drawLine(x, 0, x, bottom);
    }
    const int perSection = m_rowsPerSection();
    if (perSection <= 0) return;
    painter.setPen(QColor(Qt::gray));
    for (int row = first; row <= last; ++row) {
        if (row % perSection != 0) continue;
        const int y = m_table->rowViewportPosition(row);
        painter.drawLine(0, y, width, y);
    }
}

} // namespace cv
