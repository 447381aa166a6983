#include "controls/BrandDataSource.h"

#include "document/CV4Document.h"
#include "document/CV4DocumentUI.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

namespace {
BrandDataSource::NewBrandAction &newBrandAction()
{
    static BrandDataSource::NewBrandAction action;
    return action;
}
} // namespace

void BrandDataSource::setNewBrandAction(NewBrandAction action)
{
    newBrandAction() = std::move(action);
}

void BrandDataSource::setDocument(CV4Document *doc, int)
{
    beginFill(doc);
    if (doc) {
        for (const CV4BrandPtr &brand : doc->brandList())
            if (brand && brand->isVisible()) appendDuringFill(ChooserItem::fromBrand(brand));
        QPointer<CV4Document> document(doc);
        auto command = std::make_shared<CommandUnitModel>(localizedString(QStringLiteral("CreateNewBrand")),
                                                          [document](CommandUnitModel &row) {
                                                              const NewBrandAction &action = newBrandAction();
                                                              if (!document || !action) return ChooserItem();
                                                              return action(*document, row);
                                                          });
        appendDuringFill(ChooserItem::fromNode(command));
    }
    endFill();
}

ChooserItem BrandDataSource::objectWithIdentifier(int ident) const
{
    for (const ChooserItem &entry : objects())
        if (entry.brand() && entry.brand()->ident() == ident) return entry;
    return ChooserItem();
}

std::optional<ChooserItem> BrandDataSource::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : objects())
        if (entry.name() == text) return entry;
    return std::nullopt;
}

bool BrandDataSource::containsObjectWithName(const QString &name) const
{
    if (!document()) return false;
    for (const CV4BrandPtr &brand : document()->brandList()) {
        if (brand && brand->name() == name) {
            documentUI().beep();
            return true;
        }
    }
    return false;
}

} // namespace cv
