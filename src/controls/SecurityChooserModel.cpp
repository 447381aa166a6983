#include "controls/SecurityChooserModel.h"

#include "document/Book.h"
#include "document/BookUI.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

namespace {
SecurityChooserModel::NewSecurityAction &newSecurityAction()
{
    static SecurityChooserModel::NewSecurityAction action;
    return action;
}
} // namespace

void SecurityChooserModel::setNewSecurityAction(NewSecurityAction action)
{
    newSecurityAction() = std::move(action);
}

void SecurityChooserModel::setDocument(Book *doc, int)
{
    beginFill(doc);
    if (doc) {
        for (const SecurityPtr &security : doc->securityList())
            if (security && security->isVisible()) appendDuringFill(ChooserItem::fromSecurity(security));
        QPointer<Book> document(doc);
        auto command = std::make_shared<CommandRow>(localizedString(QStringLiteral("CreateNewBrand")),
                                                    [document](CommandRow &row) {
                                                        const NewSecurityAction &action = newSecurityAction();
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
        if (entry.security() && entry.security()->ident() == ident) return entry;
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
    for (const SecurityPtr &security : document()->securityList()) {
        if (security && security->name() == name) {
            documentUI().beep();
            return true;
        }
    }
    return false;
}

} // namespace cv
