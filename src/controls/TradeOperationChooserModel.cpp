#include "controls/TradeOperationChooserModel.h"

#include "model/Trade.h"

namespace cv {

void TradeOperationChooserModel::setDocument(Book *doc, SecurityKind securityKind)
{
    beginFill(doc);
    m_securityKind = securityKind;
    for (TradeKind kind : Trade::operationKeysForSecurityKind(securityKind))
        appendDuringFill(ChooserItem::fromTradeKind(kind));
    endFill();
}

ChooserItem TradeOperationChooserModel::objectWithIdentifier(int ident) const
{
    return ChooserItem::fromTradeKind(TradeKind(ident));
}

QString TradeOperationChooserModel::stringForObjectValue(const ChooserItem &item) const
{
    if (const std::optional<TradeKind> kind = item.tradeKind()) return Trade::operationNameForKey(*kind);
    return item.name();
}

std::optional<ChooserItem> TradeOperationChooserModel::getObjectValue(const QString &text) const
{
    const std::optional<TradeKind> kind = Trade::keyForOperationName(text);
    if (!kind) return std::nullopt;
    return ChooserItem::fromTradeKind(*kind);
}

} // namespace cv
