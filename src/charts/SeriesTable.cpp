#include "charts/SeriesTable.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>

namespace cv {

void SeriesTable::setRow(int rows, int columns)
{
    m_rowSize = std::max(0, rows);
    m_columnSize = std::max(0, columns);
    m_store.assign(size_t(m_rowSize) * size_t(m_columnSize), std::numeric_limits<double>::quiet_NaN());
}

void SeriesTable::setValue(double value, int row, int column)
{
    if (!contains(row, column)) {
        Q_ASSERT(!"valueHolder:setValue: out of range");
        return;
    }
    m_store[size_t(row) * size_t(m_columnSize) + size_t(column)] = value;
}

double SeriesTable::valueAtRow(int row, int column) const
{
    if (!contains(row, column)) {
        Q_ASSERT(!"valueHolder:valueAtRow: out of range");
        return std::numeric_limits<double>::quiet_NaN();
    }
    return m_store[size_t(row) * size_t(m_columnSize) + size_t(column)];
}

} // namespace cv
