#include "controls/CommandUnitModel.h"

#include "model/DomainEnums.h"

namespace cv {

CommandUnitModel::CommandUnitModel(const QString &name, Action action) : m_action(std::move(action))
{
    setName(name);
    setKind(NodeKind::SummaryRoot);
}

ChooserItem CommandUnitModel::runWithDelegate(ChooserEndHandler endHandler)
{
    m_endHandler = std::move(endHandler);
    // The action may refill the list holding this row; keep it alive meanwhile.
    const auto keep = weak_from_this().lock();
    return m_action ? m_action(*this) : ChooserItem();
}

void CommandUnitModel::returnItem(const ChooserItem &item)
{
    if (item && m_endHandler) m_endHandler(item);
}

} // namespace cv
