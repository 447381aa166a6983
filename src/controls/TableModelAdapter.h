#pragma once
// The item model of an editing table: answers each visible cell from the
// owner when the view asks, and copies nothing.

#include <QAbstractTableModel>

namespace cv {

class EditingTable;

class TableModelAdapter : public QAbstractTableModel {
    Q_OBJECT

public:
    // The owner's value of the cell, as the table's cells paint it.
    static constexpr int CellValueRole = Qt::UserRole + 1;

    explicit TableModelAdapter(EditingTable *table);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Brings the row count in line with the owner's.
    void syncRowCount();
    void columnsChanged();
    void refreshValues();

private:
    EditingTable *m_table;
    int m_rows = 0;
};

// The text a cell shows for its value.
QString cellText(const QVariant &value, const QString &dateFormat);

} // namespace cv
