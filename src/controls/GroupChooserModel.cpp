#include "controls/GroupChooserModel.h"

#include "controls/CommandRow.h"
#include "document/Book.h"
#include "document/BookUI.h"
#include "platform/Alert.h"
#include "platform/Localization.h"

#include <QPointer>

namespace cv {

void GroupChooserModel::setDocument(Book *doc, int)
{
    beginFill(doc);
    resetList(true);
    endFill();
}

void GroupChooserModel::setDocumentForReport(Book *doc)
{
    beginFill(doc);
    resetList(false);
    endFill();
}

void GroupChooserModel::resetList(bool withCommand)
{
    m_withCommand = withCommand;
    if (!document()) return;
    for (const GroupingPtr &grouping : document()->groupList())
        if (grouping) appendDuringFill(ChooserItem::fromGrouping(grouping));
    auto none = std::make_shared<Grouping>();
    none->setName(localizedString(QStringLiteral("No Grouping")));
    none->setIdent(0);
    appendDuringFill(ChooserItem::fromGrouping(none));
    if (!withCommand) return;
    QPointer<GroupChooserModel> self(this);
    auto command = std::make_shared<CommandRow>(localizedString(QStringLiteral("New Grouping")), [self](CommandRow &) {
        return self ? self->addGroup() : ChooserItem();
    });
    appendDuringFill(ChooserItem::fromNode(command));
}

ChooserItem GroupChooserModel::objectWithIdentifier(int ident) const
{
    for (const ChooserItem &entry : objects())
        if (entry.grouping() && entry.grouping()->ident() == ident) return entry;
    return ChooserItem();
}

std::optional<ChooserItem> GroupChooserModel::getObjectValue(const QString &text) const
{
    for (const ChooserItem &entry : objects())
        if (entry.name() == text) return entry;
    return std::nullopt;
}

bool GroupChooserModel::containsObjectWithName(const QString &name) const
{
    if (!document()) return false;
    for (const GroupingPtr &grouping : document()->groupList()) {
        if (grouping && grouping->name() == name) {
            documentUI().beep();
            return true;
        }
    }
    return false;
}

ChooserItem GroupChooserModel::addGroupWithName(const QString &name)
{
    if (!document() || name.isEmpty() || containsObjectWithName(name)) return ChooserItem();
    auto grouping = std::make_shared<Grouping>();
    grouping->setName(name);
    Book *doc = document();
    if (!doc->addGrouping(grouping)) {
        cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Group"));
        return ChooserItem();
    }
    doc->commitGroupList();
    beginFill(doc);
    resetList(m_withCommand);
    endFill();
    return ChooserItem::fromGrouping(grouping);
}

ChooserItem GroupChooserModel::addGroup()
{
    if (document() && !document()->newGroupingIdent()) {
        cv::tellNoIdentLeft(QStringLiteral("Ident-Limit-Group"));
        return ChooserItem();
    }
    const std::optional<QString> name = Alert::inputName(localizedString(QStringLiteral("New Grouping")),
                                                         localizedString(QStringLiteral("New Grouping Title")), true);
    if (!name) return ChooserItem();
    return addGroupWithName(*name);
}

} // namespace cv
