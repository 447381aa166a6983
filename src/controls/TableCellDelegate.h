#pragma once
// Paints every cell of an editing table through its prepared cell. Selected
// rows take the palette's highlight, also in an inactive window.

#include <QStyledItemDelegate>

class CV4TableView;

namespace cv {

class TableCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TableCellDelegate(CV4TableView *table);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    CV4TableView *m_table;
};

} // namespace cv
