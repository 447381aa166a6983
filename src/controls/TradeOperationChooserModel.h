#pragma once
// The trade kinds allowed for one security kind (the mode), in menu order.

#include "controls/ChooserModel.h"

namespace cv {

class TradeOperationChooserModel : public ChooserModel {
    Q_OBJECT
public:
    using ChooserModel::ChooserModel;

    // The chooser's mode is the stored security kind.
    void setDocument(Book *doc, int mode) override { setDocument(doc, SecurityKind(mode)); }
    void setDocument(Book *doc, SecurityKind securityKind);
    ChooserItem objectWithIdentifier(int ident) const override;
    QString stringForObjectValue(const ChooserItem &item) const override;
    // The kind of that name; nothing for an unknown name.
    std::optional<ChooserItem> getObjectValue(const QString &text) const override;
    SecurityKind securityKind() const { return m_securityKind; }

private:
    SecurityKind m_securityKind = SecurityKind::Stock;
};

} // namespace cv
