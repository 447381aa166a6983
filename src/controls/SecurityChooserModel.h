#pragma once
// The visible securities in list order, then the command row "CreateNewBrand"
// whose action the main window registers (it opens the security sheet and
// hands the new security back with CommandRow::returnItem).

#include "controls/CommandRow.h"
#include "controls/ChooserModel.h"

namespace cv {

class SecurityChooserModel : public ChooserModel {
    Q_OBJECT
public:
    using NewSecurityAction = std::function<ChooserItem(Book &doc, CommandRow &row)>;

    using ChooserModel::ChooserModel;

    // Process-wide; without one the command row picks nothing.
    static void setNewSecurityAction(NewSecurityAction action);

    void setDocument(Book *doc, int mode) override;
    ChooserItem objectWithIdentifier(int ident) const override;
    std::optional<ChooserItem> getObjectValue(const QString &text) const override;
    // A security of the document has the name: beeps and answers true.
    bool containsObjectWithName(const QString &name) const;
};

} // namespace cv
