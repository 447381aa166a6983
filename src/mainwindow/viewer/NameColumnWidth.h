#pragma once
// The width a tree's name column needs to show every name whole: the widest
// name of the model's first column in the view's font, with its depth's
// indentation, the branch mark and the cell's margins.

class QTreeView;

namespace cv {

int nameColumnWidth(const QTreeView &view);

} // namespace cv
