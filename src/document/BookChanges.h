#pragma once
// What the store asks of the document that owns it: the change mark.

namespace cv {

class BookChanges {
public:
    enum ChangeKind {
        ChangeDone = 0,    // the document now has unsaved changes
        ChangeCleared = 2, // the document is as last saved or opened
    };
    virtual ~BookChanges() = default;
    virtual void updateChangeCount(ChangeKind change) = 0;
};

} // namespace cv
