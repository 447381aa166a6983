#include "document/BookReads.h"

#include "document/store/BookStore.h"
#include "document/store/SQLDatabase3.h"
#include "platform/DateIntegers.h"

namespace cv {

std::optional<EntryList> BookReads::findEntriesFrom(const QDate &from, const QDate &to,
                                                    const QList<int> &categories) const
{
    return m_store.findEntriesFrom(from, to, categories);
}

std::optional<EntryList> BookReads::findEntriesFrom(const QDate &from, const QDate &to, int category) const
{
    return m_store.findEntriesFrom(from, to, category);
}

std::optional<EntryList> BookReads::findEntry(const SearchConditions &conditions) const
{
    return m_store.findEntry(conditions);
}

bool BookReads::forEachEntry(const SearchConditions &conditions, const std::function<void(const Entry &)> &visit) const
{
    return m_store.forEachEntry(conditions, visit);
}

bool BookReads::readPeriodMoves(const QDate &from, const QDate &to, EntryMove::Columns columns,
                                const std::function<void(const EntryMove &)> &visit, const SettledMoves *settled) const
{
    SQLDatabase3 *database = m_store.database();
    if (!database || !from.isValid() || !to.isValid()) return false;
    return EntryTableReader(*database).periodMoves(dates::dayNumber(from), dates::dayNumber(to), columns, visit,
                                                   settled);
}

std::optional<std::vector<int>> BookReads::accountEntriesPerWeek(int account, const QDate &from, const QDate &to) const
{
    if (!from.isValid() || !to.isValid()) return std::nullopt;
    return m_store.entriesPerWeek(account, AccountEntryCounts::weekOfDay(dates::dayNumber(from)),
                                  AccountEntryCounts::weekOfDay(dates::dayNumber(to)));
}

bool BookReads::readAccountEntries(int account, const QDate &from, const QDate &to,
                                   const std::function<void(const Entry &)> &visit) const
{
    SearchConditions conditions;
    conditions.date = {from, to};
    conditions.account = {account};
    return m_store.forEachEntry(conditions, visit);
}

std::vector<SearchRecord> BookReads::findAccounts(const SearchConditions &conditions) const
{
    return m_store.findAccounts(conditions);
}

int BookReads::getDataCountForGroup(const QList<int> &groups) const
{
    return m_store.getDataCountForGroup(groups);
}

std::optional<TradeList> BookReads::findTradeFrom(const QDate &from, const QDate &to, int account, int security,
                                                  quint32 kinds) const
{
    return m_store.findTradeFrom(from, to, account, security, kinds);
}

std::optional<PriceList> BookReads::getPriceListForSecurity(int security) const
{
    return m_store.getPriceListForSecurity(security);
}

std::optional<PriceList> BookReads::getRateListForCurrency(int currency) const
{
    return m_store.getRateListForCurrency(currency);
}

QByteArray BookReads::getImportMappingData(int record) const
{
    return m_store.getImportMappingData(record);
}

} // namespace cv
