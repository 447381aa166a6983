#include "mainwindow/viewer/NameColumnWidth.h"

#include <QFontMetrics>
#include <QTreeView>

#include <algorithm>
#include <functional>

namespace cv {

namespace {
constexpr int kCellMargins = 12;
} // namespace

int nameColumnWidth(const QTreeView &view)
{
    const QAbstractItemModel *model = view.model();
    if (!model) return 0;
    int most = 0;
    const QFontMetrics metrics(view.font());
    std::function<void(const QModelIndex &, int)> walk = [&](const QModelIndex &parent, int depth) {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex index = model->index(row, 0, parent);
            const int text = metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
            most = std::max(most, (depth + (view.rootIsDecorated() ? 1 : 0)) * view.indentation() + text);
            walk(index, depth + 1);
        }
    };
    walk(QModelIndex(), 0);
    return most + kCellMargins;
}

} // namespace cv
