#include "controls/GroupDataSource.h"

#include "controls/CommandUnitModel.h"
#include "document/CV4Document.h"
#include "document/CV4DocumentUI.h"
#include "platform/CV4Alert.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

void GroupDataSource::setDocument(CV4Document *doc, int)
{
    beginFill(doc);
    resetList(true);
    endFill();
}

void GroupDataSource::setDocumentForReport(CV4Document *doc)
{
    beginFill(doc);
    resetList(false);
    endFill();
}

void GroupDataSource::resetList(bool withCommand)
{
    m_withCommand = withCommand;
    if (!document()) return;
    for (const CV4GroupingPtr &grouping : document()->groupList())
        if (grouping) appendDuringFill(ChooserItem::fromGrouping(grouping));
    auto none = std::make_shared<CV4Grouping>();
    none->setName(localizedString(QStringLiteral("No Grouping")));
    none->setIdent(0);
    appendDuringFill(ChooserItem::fromGrouping(none));
    if (!withCommand) return;
    QPointer<GroupDataSource> self(this);
    auto command = std::make_shared<CommandUnitModel>(localizedString(QStringLiteral("New Grouping")),
                                                      [self](CommandUnitModel &) {
                                                          return self ? self->addGroup() : ChooserItem();
                                                      });
    appendDuringFill(ChooserItem::fromNode(command));
}

ChooserItem GroupDataSource::objectWithIdentifier(int ident) const
{
    for (const ChooserItem &entry : objects())
        if (entry.grouping() && entry.grouping()->ident() == ident) return entry;
    return ChooserItem();
}

std::optional<ChooserItem> GroupDataSource::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : objects())
        if (entry.name() == text) return entry;
    return std::nullopt;
}

bool GroupDataSource::containsObjectWithName(const QString &name) const
{
    if (!document()) return false;
    for (const CV4GroupingPtr &grouping : document()->groupList()) {
        if (grouping && grouping->name() == name) {
            documentUI().beep();
            return true;
        }
    }
    return false;
}

ChooserItem GroupDataSource::addGroupWithName(const QString &name)
{
    if (!document() || name.isEmpty() || containsObjectWithName(name)) return ChooserItem();
    auto grouping = std::make_shared<CV4Grouping>();
    grouping->setName(name);
    CV4Document *doc = document();
    doc->addGrouping(grouping);
    doc->commitGroupList();
    beginFill(doc);
    resetList(m_withCommand);
    endFill();
    return ChooserItem::fromGrouping(grouping);
}

ChooserItem GroupDataSource::addGroup()
{
    const std::optional<QString> name = CV4Alert::inputName(localizedString(QStringLiteral("New Grouping")),
                                                            localizedString(QStringLiteral("New Grouping Title")), true);
    if (!name) return ChooserItem();
    return addGroupWithName(*name);
}

} // namespace cv
