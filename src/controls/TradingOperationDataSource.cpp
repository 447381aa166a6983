#include "controls/TradingOperationDataSource.h"

#include "model/CV4Trade.h"

namespace cv {

void TradingOperationDataSource::setDocument(CV4Document *doc, BrandKind brandKind)
{
    beginFill(doc);
    m_brandKind = brandKind;
    for (TradeKind kind : CV4Trade::operationKeysForBrandKind(brandKind)) appendDuringFill(ChooserItem::fromTradeKind(kind));
    endFill();
}

ChooserItem TradingOperationDataSource::objectWithIdentifier(int ident) const
{
    return ChooserItem::fromTradeKind(TradeKind(ident));
}

QString TradingOperationDataSource::stringForObjectValue(const ChooserItem &item) const
{
    if (const std::optional<TradeKind> kind = item.tradeKind()) return CV4Trade::operationNameForKey(*kind);
    return item.name();
}

std::optional<ChooserItem> TradingOperationDataSource::getObjectValue(const QString &text) const
{
    const std::optional<TradeKind> kind = CV4Trade::keyForOperationName(text);
    if (!kind) return std::nullopt;
    return ChooserItem::fromTradeKind(*kind);
}

} // namespace cv
