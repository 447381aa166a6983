#include "controls/SecurityChooserModel.h"

#include "document/Book.h"
#include "document/BookUI.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

namespace {
SecurityChooserModel::NewBrandAction &newBrandAction()
{
    static SecurityChooserModel::NewBrandAction action;
    return action;
}
} // namespace

void SecurityChooserModel::setNewBrandAction(NewBrandAction action)
{
    newBrandAction() = std::move(action);
}

void SecurityChooserModel::setDocument(Book *doc, int)
{
    beginFill(doc);
    if (doc) {
        for (const SecurityPtr &brand : doc->brandList())
            if (brand && brand->isVisible()) appendDuringFill(ChooserItem::fromBrand(brand));
        QPointer<Book> document(doc);
        auto command = std::make_shared<CommandRow>(localizedString(QStringLiteral("CreateNewBrand")),
                                                    [document](CommandRow &row) {
                                                        const NewBrandAction &action = newBrandAction();
                                                        if (!document || !action) return ChooserItem();
                                                        return action(*document, row);
                                                    });
        appendDuringFill(ChooserItem::fromNode(command));
    }
    endFill();
}

ChooserItem SecurityChooserModel::objectWithIdentifier(int ident) const
{
    for (const ChooserItem &entry : objects())
        if (entry.brand() && entry.brand()->ident() == ident) return entry;
    return ChooserItem();
}

std::optional<ChooserItem> SecurityChooserModel::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : objects())
        if (entry.name() == text) return entry;
    return std::nullopt;
}

bool SecurityChooserModel::containsObjectWithName(const QString &name) const
{
    if (!document()) return false;
    for (const SecurityPtr &brand : document()->brandList()) {
        if (brand && brand->name() == name) {
            documentUI().beep();
            return true;
        }
    }
    return false;
}

} // namespace cv
