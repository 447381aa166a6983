// The schema, transactions, info rows and loan rows.
#include "document/store/BookStore.h"
#include "document/store/BookStorePrivate.h"
#include "document/store/SQLDatabase3.h"

#include "platform/Base64Utilities.h"
#include "platform/Logging.h"
#include "platform/NumberText.h"

#include <sqlite3.h>

#include <limits>

namespace cv {

using namespace cv::store;

QString store::amountText(double value)
{
    return cv::formatFixed(value, 2);
}

QString store::fixed6Text(double value)
{
    return cv::formatFixed(value, 6);
}

namespace {

// Unreadable text reads as a missing row.
QByteArray decodeBase64(QByteArrayView text)
{
    return Base64Utilities::dataWithBase64EncodedString(QString::fromLatin1(text)).value_or(QByteArray());
}

QString encodeBase64(const QByteArray &data)
{
    return Base64Utilities::base64EncodingForData(data);
}

} // namespace

std::unique_ptr<SQLResult> BookStore::query(const QString &sql, const QStringList &texts)
{
    return m_database ? m_database->performQuery(sql, texts) : nullptr;
}

bool BookStore::run(const QString &sql, const QStringList &texts)
{
    return query(sql, texts) != nullptr;
}

bool BookStore::runAndMark(const QString &sql, const QStringList &texts)
{
    if (!run(sql, texts)) return false;
    setChanged(true);
    return true;
}

bool BookStore::runUpdate(const QString &sql, const QStringList &texts)
{
    // A row that is gone takes no update; the edit must not pass for stored.
    if (!run(sql, texts) || m_database->changes() == 0) return false;
    setChanged(true);
    return true;
}

bool BookStore::execute(const QString &sql, std::span<const SQLValue> values)
{
    return m_database && m_database->execute(sql, values);
}

std::optional<int> BookStore::insertRecord(const QString &table, int ident, const QString &insertNew,
                                           const QString &insertGiven, std::span<const SQLValue> values)
{
    const bool isNew = ident < 0;
    if (!execute(isNew ? insertNew : insertGiven, values.subspan(isNew ? 1 : 0))) return std::nullopt;
    // Read from the connection right after the insert: a second SELECT
    // statement per row would nearly double the cost of bulk inserts.
    return isNew ? insertedIdent(table) : std::optional<int>(ident);
}

bool BookStore::refuseNonFinite(const QString &table)
{
    qCWarning(lcDocument).noquote() << "not stored in" << table << ": an amount is not a finite number";
    return false;
}

std::optional<int> BookStore::insertedIdent(const QString &table)
{
    const qint64 id = m_database->lastRowInserted();
    if (id > 0 && id <= std::numeric_limits<int>::max()) return int(id);
    run(QStringLiteral("DELETE FROM %1 WHERE rowid=%2;").arg(table).arg(id));
    return std::nullopt;
}

bool BookStore::create()
{
    if (!m_database || !openDatabase()) return false;
    m_isOpen = true;
    forgetWeekCounts();
    static const struct {
        const QString &table;
        const char *format;
    } statements[] = {
        {TB_INFO, "CREATE TABLE %1 ( id INTEGER PRIMARY KEY, info TEXT )"},
        {TB_LOAN, "CREATE TABLE %1 ( id INTEGER PRIMARY KEY, info TEXT, data TEXT )"},
        {TB_ENTRY,
         "CREATE TABLE %1 ( id INTEGER PRIMARY KEY, kind INTEGER, date INTEGER, category INTEGER, account INTEGER, "
         "destination INTEGER, value FLOAT, converted FLOAT, grouping INTEGER, memo TEXT )"},
        {TB_ENTRY, "CREATE INDEX date_income ON %1 ( date )"},
        {TB_ENTRY, "CREATE INDEX category_income ON %1 ( category )"},
        {TB_ENTRY, "CREATE INDEX category_group ON %1 ( grouping )"},
        {TB_PRICE, "CREATE TABLE %1 ( brand INTEGER, date INTEGER, value FLOAT, PRIMARY KEY(brand, date) )"},
        {TB_PRICE, "CREATE INDEX brand_price ON %1 ( brand )"},
        {TB_PRICE, "CREATE INDEX date_price ON %1 ( date )"},
        {TB_TRADE,
         "CREATE TABLE %1 ( id INTEGER PRIMARY KEY, account INTEGER, brand INTEGER, kind INTEGER, trans INTEGER, "
         "date INTEGER, count FLOAT, value FLOAT, cost FLOAT, memo TEXT )"},
        {TB_TRADE, "CREATE INDEX brand_trade ON %1 ( brand )"},
        {TB_TRADE, "CREATE INDEX date_trade ON %1 ( date )"},
        {TB_EXCHANGE, "CREATE TABLE %1 ( brand INTEGER, date INTEGER, value FLOAT, PRIMARY KEY(brand, date))"},
        {TB_EXCHANGE, "CREATE INDEX currency_exchange ON %1 ( brand )"},
        {TB_EXCHANGE, "CREATE INDEX date_exchange ON %1 ( date )"},
    };
    if (!m_database->beginTransaction()) return false;
    bool ok = true;
    // A failing statement (a table that exists) is logged; the rest still run.
    for (const auto &s : statements) ok = run(QString::fromLatin1(s.format).arg(s.table)) && ok;
    // A full disk fails only here; a book without its tables must not be saved.
    return m_database->commitTransaction() && ok;
}

bool BookStore::beginTransaction()
{
    return m_database && m_database->beginTransaction();
}

bool BookStore::commitTransaction()
{
    const bool committed = m_database && m_database->commitTransaction();
    if (!committed) forgetWeekCounts();
    return committed;
}

void BookStore::rollbackTransaction()
{
    // The counts followed writes that are now undone.
    forgetWeekCounts();
    if (m_database) m_database->rollbackTransaction();
}

bool BookStore::inTransaction() const
{
    return m_database && m_database->transactionDepth() > 0;
}

BookStore::WriteFailure BookStore::writeFailure() const
{
    switch (m_database ? m_database->firstFailure() : SQLITE_OK) {
    case SQLITE_OK: return WriteFailure::None;
    case SQLITE_FULL: return WriteFailure::NoRoom;
    case SQLITE_BUSY: return WriteFailure::Held;
    default: return WriteFailure::Other;
    }
}

bool BookStore::isReadable()
{
    return m_isOpen && query(QStringLiteral("SELECT count(*) FROM %1;").arg(TB_INFO)) != nullptr;
}

void BookStore::clearWriteFailure()
{
    if (m_database) m_database->clearFailure();
}

bool BookStore::vacuum()
{
    return m_database && m_database->isOpen() && run(QStringLiteral("VACUUM;"));
}

// ---------------------------------------------------------------- info rows

bool BookStore::putInfo(int id, const QByteArray &archive)
{
    // An empty archive means the archiver refused the data: keep the row that is there.
    if (archive.isEmpty()) return false;
    return run(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES( %2, ?);").arg(TB_INFO).arg(id),
               {encodeBase64(archive)});
}

QByteArray BookStore::getInfo(int id)
{
    auto result = query(QStringLiteral("SELECT info FROM %1 WHERE id=%2;").arg(TB_INFO).arg(id));
    if (!result || result->rowCount() == 0) return QByteArray();
    const QByteArrayView text = result->rowAtIndex(0).stringForColumnAtIndexNoCopy(0);
    if (text.isEmpty()) return QByteArray();
    // Damaged text must not pass for a missing row: the open would then start
    // an empty list and hand out the lost records' idents again.
    const QByteArray data = decodeBase64(text);
    return data.isNull() ? QByteArray("", 0) : data;
}

#define CV_INFO_ROW(Name, Id)                                                                                          \
    bool cv::BookStore::put##Name##Data(const QByteArray &archive)                                                     \
    {                                                                                                                  \
        if (!putInfo(Id, archive)) return false;                                                                       \
        setChanged(true);                                                                                              \
        return true;                                                                                                   \
    }                                                                                                                  \
    QByteArray cv::BookStore::get##Name##Data()                                                                        \
    {                                                                                                                  \
        return getInfo(Id);                                                                                            \
    }

CV_INFO_ROW(Account, InfoAccount)
CV_INFO_ROW(Category, InfoCategory)
CV_INFO_ROW(Currency, InfoCurrency)
CV_INFO_ROW(Security, InfoSecurity)
CV_INFO_ROW(Group, InfoGroup)
CV_INFO_ROW(Settings, InfoSettings)
#undef CV_INFO_ROW

bool BookStore::putPrintSettings(const QByteArray &archive)
{
    if (archive.isNull()) return false;
    return putInfo(InfoPrintSettings, archive);
}

QByteArray BookStore::getPrintSettings()
{
    return getInfo(InfoPrintSettings);
}

bool BookStore::putImportMappingData(const QByteArray &archive, int dataType)
{
    if (dataType < InfoImportFirst || dataType > InfoImportLast) return false;
    if (!putInfo(dataType, archive)) return false;
    setChanged(true);
    return true;
}

QByteArray BookStore::getImportMappingData(int dataType)
{
    if (dataType < InfoImportFirst || dataType > InfoImportLast) return QByteArray();
    return getInfo(dataType);
}

// ---------------------------------------------------------------- loan rows

bool BookStore::putLoanData(int ident, const QByteArray &archive)
{
    if (archive.isEmpty()) return false;
    return runAndMark(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES( %2, 0, ?);").arg(TB_LOAN).arg(ident),
                      {encodeBase64(archive)});
}

QByteArray BookStore::getLoanData(int ident)
{
    auto result = query(QStringLiteral("SELECT data FROM %1 WHERE id=%2").arg(TB_LOAN).arg(ident));
    if (!result || result->rowCount() == 0) return QByteArray();
    const QByteArrayView text = result->rowAtIndex(0).stringForColumnAtIndexNoCopy(0);
    if (text.isEmpty()) return QByteArray();
    // As with info rows: damaged text is no missing schedule.
    const QByteArray data = decodeBase64(text);
    return data.isNull() ? QByteArray("", 0) : data;
}

std::optional<QList<int>> BookStore::loanIdents()
{
    auto result = query(QStringLiteral("SELECT id FROM %1;").arg(TB_LOAN));
    if (!result) return std::nullopt;
    QList<int> idents;
    for (int i = 0; i < result->rowCount(); ++i) idents << result->rowAtIndex(i).intForColumnAtIndex(0);
    return idents;
}

int BookStore::greatestReference(const QString &table, const QString &column)
{
    auto result = query(QStringLiteral("SELECT MAX(%1) FROM %2;").arg(column, table));
    if (!result || result->rowCount() == 0) return 0;
    return result->rowAtIndex(0).intForColumnAtIndex(0);
}

int BookStore::greatestSecurityReference()
{
    return std::max(greatestReference(TB_PRICE, QStringLiteral("brand")),
                    greatestReference(TB_TRADE, QStringLiteral("brand")));
}

int BookStore::greatestGroupReference()
{
    return greatestReference(TB_ENTRY, QStringLiteral("grouping"));
}

int BookStore::greatestCurrencyReference()
{
    return greatestReference(TB_EXCHANGE, QStringLiteral("brand"));
}

} // namespace cv
