#include "controls/CommandRow.h"

#include "model/DomainEnums.h"

namespace cv {

CommandRow::CommandRow(const QString &name, Action action) : m_action(std::move(action))
{
    setName(name);
    setKind(NodeKind::SummaryRoot);
}

ChooserItem CommandRow::runWithDelegate(ChooserEndHandler endHandler)
{
    m_endHandler = std::move(endHandler);
    // The action may refill the list holding this row; keep it alive meanwhile.
    const auto keep = weak_from_this().lock();
    return m_action ? m_action(*this) : ChooserItem();
}

void CommandRow::returnItem(const ChooserItem &item)
{
    if (item && m_endHandler) m_endHandler(item);
}

} // namespace cv
