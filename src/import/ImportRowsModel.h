#pragma once
// The review table of an import sheet: the sheet answers each cell's text
// and the row's colour; the model only tells the view what changed. New
// rows reset the view; the same rows with changed values keep the
// selection the user is working on.

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <functional>
#include <optional>

namespace cv {

class ImportRowsModel : public QAbstractTableModel {
public:
    struct Client {
        std::function<int()> rowCount;
        std::function<QString(int column, int row)> text;
        std::function<QColor(int row)> colour; // invalid: the view's own
        std::function<bool(int column)> rightAligned;
        std::function<bool(int column, int row, const QString &text)> setText; // none: read-only
        std::function<std::optional<bool>(int column, int row)> tick;          // a shown, unclickable tick
    };

    ImportRowsModel(QStringList headers, Client client, QObject *parent)
        : QAbstractTableModel(parent), m_headers(std::move(headers)), m_client(std::move(client))
    {
    }

    void reload()
    {
        const int count = m_client.rowCount();
        if (count == m_count && count > 0) {
            Q_EMIT dataChanged(index(0, 0), index(count - 1, columnCount({}) - 1));
            return;
        }
        reset();
    }
    void reset()
    {
        beginResetModel();
        m_count = m_client.rowCount();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : m_count; }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : int(m_headers.size()); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_count || index.row() >= m_client.rowCount()) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return m_client.text(index.column(), index.row());
        case Qt::ForegroundRole: {
            const QColor colour = m_client.colour ? m_client.colour(index.row()) : QColor();
            return colour.isValid() ? QVariant(colour) : QVariant();
        }
        case Qt::CheckStateRole: {
            const std::optional<bool> ticked =
                m_client.tick ? m_client.tick(index.column(), index.row()) : std::nullopt;
            return ticked ? QVariant(*ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
        }
        case Qt::TextAlignmentRole:
            return m_client.rightAligned && m_client.rightAligned(index.column())
                       ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                       : QVariant();
        default: return {};
        }
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || !m_client.setText || !index.isValid()) return false;
        if (!m_client.setText(index.column(), index.row(), value.toString())) return false;
        Q_EMIT dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        return m_client.setText && index.isValid() ? f | Qt::ItemIsEditable : f;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_headers.size())
            return {};
        return m_headers[section];
    }

private:
    QStringList m_headers;
    Client m_client;
    int m_count = 0; // the rows the view knows of
};

} // namespace cv
