// Statements on the trade, price and exchange-rate tables.
#include "document/store/BookStore.h"
#include "document/store/BookStorePrivate.h"
#include "document/store/SQLDatabase3.h"

#include "model/DatedPrice.h"
#include "model/Trade.h"

#include <cmath>

namespace cv {

using namespace cv::store;

namespace {

const QString kTradeColumns = QStringLiteral("id,account,brand,kind,trans,date,count,value,cost,memo");

} // namespace

BookStore::TradeList BookStore::makeTrades(const SQLResult &result) const
{
    TradeList list;
    list.reserve(size_t(result.rowCount()));
    for (int r = 0; r < result.rowCount(); ++r) {
        const SQLRow row = result.rowAtIndex(r);
        auto trade = std::make_shared<Trade>();
        trade->setIdent(row.intForColumnAtIndex(0));
        trade->setAccount(row.intForColumnAtIndex(1));
        trade->setSecurity(row.intForColumnAtIndex(2));
        trade->setKind(cv::TradeKind(row.intForColumnAtIndex(3)));
        trade->setTransfer(row.intForColumnAtIndex(4));
        trade->setDate(makeDate(row.intForColumnAtIndex(5)));
        trade->setCount(row.doubleForColumnAtIndex(6));
        trade->setUnitPrice(row.doubleForColumnAtIndex(7));
        trade->setCommission(row.doubleForColumnAtIndex(8));
        trade->setMemo(row.stringForColumnAtIndex(9));
        list.push_back(std::move(trade));
    }
    return list;
}

// ---------------------------------------------------------------- trades

bool BookStore::putTrade(const TradePtr &trade, const TradePtr &old)
{
    if (!trade) return false;
    const int day = getRefDays(trade->date());
    if (old) {
        RowUpdate update(TB_TRADE, day);
        update.integer("account", trade->account(), old->account());
        update.integer("brand", trade->security(), old->security());
        update.integer("kind", cv::raw(trade->kind()), cv::raw(old->kind()));
        update.integer("trans", trade->transfer(), old->transfer());
        update.number("count", trade->count(), old->count(), fixed6Text);
        update.number("value", trade->unitPrice(), old->unitPrice(), fixed6Text);
        update.number("cost", trade->commission(), old->commission(), amountText);
        update.memo(trade->memo(), old->memo());
        return runUpdate(update.sql(trade->ident()), update.texts());
    }

    if (!std::isfinite(trade->count()) || !std::isfinite(trade->unitPrice()) || !std::isfinite(trade->commission()))
        return refuseNonFinite(TB_TRADE);
    const SQLValue values[] = {
        SQLValue::integer(trade->ident()),    SQLValue::integer(trade->account()),
        SQLValue::integer(trade->security()), SQLValue::integer(cv::raw(trade->kind())),
        SQLValue::integer(trade->transfer()), SQLValue::integer(day),
        fixed6Value(trade->count()),          fixed6Value(trade->unitPrice()),
        amountValue(trade->commission()),     SQLValue::text(trade->memo()),
    };
    static const QString insertNew =
        QStringLiteral("INSERT INTO %1 VALUES(NULL,?,?,?,?,?,CAST(? AS REAL),CAST(? AS REAL),CAST(? AS REAL),?);")
            .arg(TB_TRADE);
    static const QString insertGiven =
        QStringLiteral(
            "INSERT OR REPLACE INTO %1 VALUES(?,?,?,?,?,?,CAST(? AS REAL),CAST(? AS REAL),CAST(? AS REAL),?);")
            .arg(TB_TRADE);
    const std::optional<int> ident = insertRecord(TB_TRADE, trade->ident(), insertNew, insertGiven, values);
    if (!ident) return false;
    trade->setIdent(*ident);
    setChanged(true);
    return true;
}

std::optional<BookStore::TradeList> BookStore::findTradeIf(const QString &condition, const QStringList &texts)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(kTradeColumns, TB_TRADE);
    if (!condition.isEmpty()) sql += QStringLiteral(" WHERE ") + condition;
    sql += QStringLiteral(" ORDER BY date, id ASC;");
    auto result = query(sql, texts);
    if (!result) return std::nullopt;
    return makeTrades(*result);
}

bool BookStore::removeTradeIf(const QString &condition)
{
    return runAndMark(QStringLiteral("DELETE FROM %1 WHERE %2;").arg(TB_TRADE, condition));
}

bool BookStore::removeTrade(const TradePtr &trade)
{
    if (!trade) return false;
    return removeTradeIf(QStringLiteral("id=%1").arg(trade->ident()));
}

std::optional<BookStore::TradeList> BookStore::findTradeByAccount(int account, int security)
{
    return findTradeIf(QStringLiteral("((account=%1)OR(trans=%1)) AND (brand=%2)").arg(account).arg(security));
}

std::optional<BookStore::TradeList> BookStore::findTradeBySourceAccount(int account, int security)
{
    return findTradeIf(QStringLiteral("(account=%1) AND (brand=%2)").arg(account).arg(security));
}

std::optional<BookStore::TradeList> BookStore::findTradeFrom(const QDate &from, const QDate &to, int account,
                                                             int security, quint32 kinds)
{
    QStringList parts;
    if (from.isValid() && to.isValid())
        parts << QStringLiteral("(date BETWEEN %1 AND %2)").arg(getRefDays(from)).arg(getRefDays(to));
    else if (to.isValid())
        parts << QStringLiteral("(date <= %1)").arg(getRefDays(to));
    else if (from.isValid())
        parts << QStringLiteral("(date >= %1)").arg(getRefDays(from));
    if (account >= 0) parts << QStringLiteral("((account=%1)OR(trans=%1))").arg(account);
    if (security >= 0) parts << QStringLiteral("(brand=%1)").arg(security);
    if (kinds != 0) {
        QStringList kindList;
        for (int bit = 0; bit < 32; ++bit)
            if (kinds & (quint32(1) << bit)) kindList << QString::number(bit);
        parts << QStringLiteral("(kind IN (%1))").arg(kindList.join(QLatin1Char(',')));
    }
    return findTradeIf(parts.join(QStringLiteral("AND")));
}

bool BookStore::removeTradeByAccount(int account, int security)
{
    return removeTradeIf(QStringLiteral("((account=%1)OR(trans=%1)) AND (brand=%2)").arg(account).arg(security));
}

bool BookStore::removeTradeForSecurity(int security)
{
    return removeTradeIf(QStringLiteral("brand=%1").arg(security));
}

bool BookStore::removeTradeByAccount(int account)
{
    return removeTradeIf(QStringLiteral("account=%1").arg(account));
}

bool BookStore::removeTradeByTransfer(int account)
{
    return removeTradeIf(QStringLiteral("trans=%1").arg(account));
}

// ---------------------------------------------------------------- prices and rates

bool BookStore::putRate(const DatedPricePtr &price, const QString &table)
{
    if (!price) return false;
    if (!std::isfinite(price->price())) return refuseNonFinite(table);
    const SQLValue values[] = {SQLValue::integer(price->security()), SQLValue::integer(getRefDays(price->date())),
                               fixed6Value(price->price())};
    if (!execute(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES(?,?,CAST(? AS REAL));").arg(table), values))
        return false;
    setChanged(true);
    return true;
}

bool BookStore::removeRate(const DatedPricePtr &price, const QString &table)
{
    if (!price) return false;
    // A deletion is an edit like any other: without the mark it is lost on close.
    return runAndMark(QStringLiteral("DELETE FROM %1 WHERE brand=%2 AND date=%3;")
                          .arg(table)
                          .arg(price->security())
                          .arg(getRefDays(price->date())));
}

std::optional<BookStore::PriceList> BookStore::getRateListForKey(int key, const QString &table)
{
    auto result =
        query(QStringLiteral("SELECT date,value FROM %1 WHERE brand = %2 ORDER BY date ASC;").arg(table).arg(key));
    if (!result) return std::nullopt;
    PriceList list;
    list.reserve(size_t(result->rowCount()));
    for (int r = 0; r < result->rowCount(); ++r) {
        const SQLRow row = result->rowAtIndex(r);
        auto price = std::make_shared<DatedPrice>();
        price->setSecurity(key);
        price->setDate(makeDate(row.intForColumnAtIndex(0)));
        price->setPrice(row.doubleForColumnAtIndex(1));
        list.push_back(std::move(price));
    }
    return list;
}

bool BookStore::removeRateForKey(int key, const QString &table)
{
    return run(QStringLiteral("DELETE FROM %1 WHERE brand=%2;").arg(table).arg(key));
}

bool BookStore::putPrice(const DatedPricePtr &price)
{
    return putRate(price, TB_PRICE);
}

bool BookStore::removePrice(const DatedPricePtr &price)
{
    return removeRate(price, TB_PRICE);
}

std::optional<BookStore::PriceList> BookStore::getPriceListForSecurity(int security)
{
    return getRateListForKey(security, TB_PRICE);
}

bool BookStore::removePriceForSecurity(int security)
{
    return removeRateForKey(security, TB_PRICE);
}

bool BookStore::putExchangeRate(const DatedPricePtr &rate)
{
    return putRate(rate, TB_EXCHANGE);
}

bool BookStore::removeExchangeRate(const DatedPricePtr &rate)
{
    return removeRate(rate, TB_EXCHANGE);
}

std::optional<BookStore::PriceList> BookStore::getRateListForCurrency(int currency)
{
    return getRateListForKey(currency, TB_EXCHANGE);
}

bool BookStore::removeRatesOfCurrency(int currency)
{
    return removeRateForKey(currency, TB_EXCHANGE);
}

} // namespace cv
