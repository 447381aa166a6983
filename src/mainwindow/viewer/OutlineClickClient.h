#pragma once
// What a key-handling outline asks its owner when a cell is clicked. Every
// answer has a default that means "not answered": the click then behaves as
// in a plain outline. Column ids are the column positions; 0 is the tree.

#include <optional>

namespace cv {

class OutlineClickClient {
public:
    virtual ~OutlineClickClient() = default;
    // The column editing should use for a move (2: a click).
    virtual int verifyEditableColumn(int column, int row, int movement) { return column; }
    virtual bool isColumnSelectable(int cid, int row) { return true; }
    virtual bool shouldSelectTableColumn(int column) { return true; }
    // True when the owner consumed the click; none when it does not answer.
    virtual std::optional<bool> handleClick(int cid, int row) { return std::nullopt; }
    virtual bool shouldEditTableColumn(int cid, int row) { return false; }
};

} // namespace cv
