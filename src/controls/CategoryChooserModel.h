#pragma once
// Categories chosen by mode bits: 1 income, 2 expense, 8 or 4 exactly the
// money-flow tree, 16 the transfer item ("SYS:Transfer", ident 1) followed by
// income and expense. The trees are copies; flat lists their leaves.

#include "controls/ChooserModel.h"

namespace cv {

class CategoryChooserModel : public ChooserModel {
    Q_OBJECT
public:
    using ChooserModel::ChooserModel;

    void setDocument(Book *doc, int mode) override { setDocument(doc, mode, false); }
    void setDocument(Book *doc, int mode, bool flat);

    // The entry kind of the category: 2 transfer, 0 income, 1 expense; 0 for
    // an ident found nowhere or under an unknown root.
    EntryKind kindOfCategory(int ident) const;

protected:
    void putIntoData(const NodePtr &node) override;

private:
    void putChildrenIntoData(const NodePtr &node, const NodePtr &tree);

    bool m_isFlat = false;
};

} // namespace cv
