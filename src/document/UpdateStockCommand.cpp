#include "document/UpdateStockCommand.h"

#include "document/Book.h"
#include "document/EditScope.h"
#include "model/EditFlags.h"
#include "model/DatedPrice.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <utility>

namespace cv {

std::optional<int> UpdateStockCommand::marketForCode(const QString &code)
{
    static const std::pair<const char *, int> kMarkets[] = {
        {"Tosh", 1}, {"Dais", 2}, {"Jasd", 3}, {"Moth", 4}, {"Herc", 5}, {"NYSE", 20}, {"NASD", 21},
    };
    for (const auto &[name, market] : kMarkets)
        if (code == QLatin1String(name)) return market;
    return std::nullopt;
}

std::optional<QString> UpdateStockCommand::performDefaultImplementation(const std::vector<Book *> &documents)
{
    Common common;
    if (auto refused = readCommon(documents, common)) return refused;
    Book &document = *common.document;
    const QString &symbol = m_directParameter;
    // An empty symbol would match the first security that has none.
    if (symbol.isEmpty()) return refuse(QStringLiteral("Must specify a stock symbol."));

    const auto &securities = document.securityList();
    const auto found = std::find_if(securities.begin(), securities.end(),
                                    [&](const SecurityPtr &b) { return b && b->symbol() == symbol; });
    SecurityPtr security = found != securities.end() ? *found : nullptr;
    SecurityPtr added;
    cv::EditScope edit(document);
    if (!security) {
        const QString currencyName = m_arguments.value(kCurrency).toString();
        const auto &currencies = document.currencyList();
        const auto currency = std::find_if(currencies.begin(), currencies.end(), [&](const CurrencyPtr &c) {
            return c && !currencyName.isEmpty() && c->name() == currencyName;
        });
        if (currency == currencies.end())
            return refuse(QStringLiteral("new brand must specify a valid currency. Currency: %1 unknown.")
                              .arg(argumentText(kCurrency)));
        const std::optional<int> market = marketForCode(m_arguments.value(kMarket).toString());
        if (!market)
            return refuse(QStringLiteral("new brand must specify a valid stock market. Market: %1 unknown.")
                              .arg(argumentText(kMarket)));
        added = std::make_shared<Security>();
        added->setName(symbol);
        added->setSymbol(symbol);
        added->setMarket(*market);
        added->setCurrency((*currency)->ident());
        if (!document.addSecurity(added)) return refuse(QStringLiteral("no ident is left for a new brand."));
        document.commitSecurityList();
        qCInfo(lcScripting).noquote() << QStringLiteral("adding new brand: %1").arg(symbol);
        security = added;
    }

    auto price = std::make_shared<DatedPrice>();
    price->setSecurity(security->ident());
    price->setPrice(common.price);
    price->setFlags(cv::EditNew);
    price->setDate(common.date);
    qCInfo(lcScripting).noquote() << QStringLiteral("Scripting: document: %1 stock %2 setPrice: %3 onDate: %4")
                                         .arg(common.number)
                                         .arg(security->name(), cv::formatFixed(common.price, 2),
                                              common.date.toString(Qt::ISODate));
    if (!document.putPrice(price)) {
        // The store rolls back the new security too; the list must not keep it.
        edit.fail();
        if (added) document.removeSecurity(added);
        return refuse(QStringLiteral("could not store the price of %1").arg(symbol));
    }
    return std::nullopt;
}

} // namespace cv
