#pragma once
// The table of doubles a line or bar chart collects its series in: one row
// per item, one column per date. It starts filled with NaN, so a column no
// date reached reads as "no value" rather than as whatever was in memory.

#include <vector>

namespace cv {

class SeriesTable {
public:
    // Drops the earlier values; negative sizes count as 0.
    void setRow(int rows, int columns);
    void setValue(double value, int row, int column);
    // NaN outside the table.
    double valueAtRow(int row, int column) const;
    void freeAll() { setRow(0, 0); }

    int rowSize() const { return m_rowSize; }
    int columnSize() const { return m_columnSize; }

private:
    bool contains(int row, int column) const
    {
        return row >= 0 && column >= 0 && row < m_rowSize && column < m_columnSize;
    }

    int m_columnSize = 0;
    int m_rowSize = 0;
    std::vector<double> m_store; // row after row
};

} // namespace cv
