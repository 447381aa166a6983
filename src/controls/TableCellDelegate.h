#pragma once
// Paints every cell of an editing table through its prepared cell. Selected
// rows take the palette's highlight, also in an inactive window.

#include <QStyledItemDelegate>

namespace cv {

class EditingTable;

class TableCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TableCellDelegate(EditingTable *table);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    EditingTable *m_table;
};

} // namespace cv
