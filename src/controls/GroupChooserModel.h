#pragma once
// The document's groupings, then "No Grouping" (ident 0), then the command
// row "New Grouping" that asks for a name and adds the grouping.

#include "controls/ChooserModel.h"

namespace cv {

class GroupChooserModel : public ChooserModel {
    Q_OBJECT
public:
    using ChooserModel::ChooserModel;

    void setDocument(Book *doc, int mode) override;
    // The same list without the command row (report forms).
    void setDocumentForReport(Book *doc);

    ChooserItem objectWithIdentifier(int ident) const override;
    std::optional<ChooserItem> getObjectValue(const QString &text) const override;

    // A grouping of the document has the name: beeps and answers true.
    bool containsObjectWithName(const QString &name) const;
    // Adds, stores and answers a grouping; null for an empty or used name.
    ChooserItem addGroupWithName(const QString &name);
    // The command row's action: asks the name, then addGroupWithName.
    ChooserItem addGroup();

private:
    void resetList(bool withCommand);

    bool m_withCommand = true;
};

} // namespace cv
