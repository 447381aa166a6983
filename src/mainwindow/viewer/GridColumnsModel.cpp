#include "mainwindow/viewer/GridColumnsModel.h"

#include <algorithm>

namespace cv {

GridColumnsModel::GridColumnsModel(int columns, Qt::Alignment headerAlignment, QObject *parent)
    : QAbstractItemModel(parent), m_columnCount(std::max(columns, 1)), m_headerAlignment(headerAlignment)
{
    m_headers.resize(size_t(m_columnCount));
}

void GridColumnsModel::setColumnCountTo(int count)
{
    count = std::max(count, 1);
    if (count > m_columnCount) {
        beginInsertColumns({}, m_columnCount, count - 1);
        m_columnCount = count;
        m_headers.resize(size_t(count));
        endInsertColumns();
    } else if (count < m_columnCount) {
        beginRemoveColumns({}, count, m_columnCount - 1);
        m_columnCount = count;
        m_headers.resize(size_t(count));
        endRemoveColumns();
    }
}

void GridColumnsModel::setHeader(int column, const QString &title, const QColor &text, const QColor &background)
{
    if (column < 0 || column >= m_columnCount) return;
    m_headers[size_t(column)] = {title, text, background};
}

void GridColumnsModel::refreshValues()
{
    const int rows = rowCount();
    if (rows == 0) return;
    Q_EMIT dataChanged(index(0, 0), index(rows - 1, m_columnCount - 1));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_columnCount - 1);
}

void GridColumnsModel::reloadRows()
{
    beginResetModel();
    endResetModel();
}

int GridColumnsModel::columnCount(const QModelIndex &) const
{
    return m_columnCount;
}

QVariant GridColumnsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || size_t(section) >= m_headers.size()) return {};
    const Header &header = m_headers[size_t(section)];
    switch (role) {
    case Qt::DisplayRole: return header.title;
    case Qt::ForegroundRole: return header.text.isValid() ? QVariant(header.text) : QVariant();
    case Qt::BackgroundRole: return header.background.isValid() ? QVariant(header.background) : QVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(m_headerAlignment);
    default: return {};
    }
}

} // namespace cv
