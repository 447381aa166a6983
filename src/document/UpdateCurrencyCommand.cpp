#include "document/UpdateCurrencyCommand.h"

#include "document/Book.h"
#include "model/EditFlags.h"
#include "model/DatedPrice.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace cv {

std::optional<QString> UpdateCurrencyCommand::performDefaultImplementation(const std::vector<Book *> &documents)
{
    Common common;
    if (auto refused = readCommon(documents, common)) return refused;
    Book &document = *common.document;
    const QString &name = m_directParameter;
    const auto &currencies = document.currencyList();
    const auto found = std::find_if(currencies.begin(), currencies.end(),
                                    [&](const CurrencyPtr &c) { return c && !name.isEmpty() && c->name() == name; });
    if (found == currencies.end())
        return refuse(QStringLiteral("Must specify a valid currency. Currency: %1 unknown.").arg(name));
    const CurrencyPtr currency = *found;

    auto rate = std::make_shared<DatedPrice>();
    rate->setSecurity(currency->ident());
    rate->setPrice(common.price);
    rate->setFlags(cv::EditNew);
    rate->setDate(common.date);
    qCInfo(lcScripting).noquote() << QStringLiteral("Scripting: document: %1 currency %2 setPrice: %3 onDate: %4")
                                         .arg(common.number)
                                         .arg(currency->name(), cv::formatFixed(common.price, 6),
                                              common.date.toString(Qt::ISODate));
    if (!document.putRate(rate)) return refuse(QStringLiteral("could not store the rate of %1").arg(name));
    return std::nullopt;
}

} // namespace cv
