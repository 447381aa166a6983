#pragma once
// Categories chosen by mode bits: 1 income, 2 expense, 8 or 4 exactly the
// money-flow tree, 16 the transfer item ("SYS:Transfer", ident 1) followed by
// income and expense. The trees are copies; flat lists their leaves.

#include "controls/PopupDataSource.h"

namespace cv {

class ActualDataSource : public PopupDataSource {
    Q_OBJECT
public:
    using PopupDataSource::PopupDataSource;

    void setDocument(CV4Document *doc, int mode) override { setDocument(doc, mode, false); }
    void setDocument(CV4Document *doc, int mode, bool flat);

    // The entry kind of the category: 2 transfer, 0 income, 1 expense; 0 for
    // an ident found nowhere or under an unknown root.
    EntryKind kindOfCategory(int ident) const;

protected:
    void putIntoData(const CVUnitModelPtr &node) override;

private:
    void putChildrenIntoData(const CVUnitModelPtr &node, const CVUnitModelPtr &tree);

    bool m_isFlat = false;
};

} // namespace cv
