#pragma once
// The column half of the page grids' models (viewer, budget): a column
// count changed by inserting and removing columns at the end, so expansion
// and selection survive a new width or unit, and the header texts and
// colours. Rows and cells are the subclass's.

#include <QAbstractItemModel>
#include <QColor>

#include <vector>

namespace cv {

class GridColumnsModel : public QAbstractItemModel {
    Q_OBJECT
public:
    GridColumnsModel(int columns, Qt::Alignment headerAlignment, QObject *parent = nullptr);

    // Inserts or removes columns at the end to match the layout.
    void setColumnCountTo(int count);
    // Header texts and colours; an invalid colour is the style's.
    void setHeader(int column, const QString &title, const QColor &text = {}, const QColor &background = {});
    // Every shown value may have changed.
    void refreshValues();
    // The trees changed shape: rows are read again.
    void reloadRows();

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Header {
        QString title;
        QColor text;
        QColor background;
    };
    int m_columnCount;
    std::vector<Header> m_headers; // one per column
    Qt::Alignment m_headerAlignment;
};

} // namespace cv
