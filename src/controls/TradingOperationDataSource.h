#pragma once
// The trade kinds allowed for one security kind (the mode), in menu order.

#include "controls/PopupDataSource.h"

namespace cv {

class TradingOperationDataSource : public PopupDataSource {
    Q_OBJECT
public:
    using PopupDataSource::PopupDataSource;

    void setDocument(CV4Document *doc, int brandKind) override;
    ChooserItem objectWithIdentifier(int ident) const override;
    QString stringForObjectValue(const ChooserItem &item) const override;
    // The kind of that name; nothing for an unknown name.
    std::optional<ChooserItem> getObjectValue(const QString &text) const override;
    int brandKind() const { return m_brandKind; }

private:
    int m_brandKind = 0;
};

} // namespace cv
