#pragma once
// Shared by the store's source files only.

#include "document/store/SQLDatabase3.h"

#include <QString>
#include <QStringList>

namespace cv::store {

inline const QString TB_INFO = QStringLiteral("InfoTable");
inline const QString TB_LOAN = QStringLiteral("LoanTable");
inline const QString TB_ENTRY = QStringLiteral("ActualTable");
inline const QString TB_PRICE = QStringLiteral("PriceTable");
inline const QString TB_TRADE = QStringLiteral("TradeTable");
inline const QString TB_EXCHANGE = QStringLiteral("ExchangeTable");

// The entry table's columns in its order, named so that a file with another
// layout fails cleanly instead of filling the wrong fields.
inline const QString ENTRY_COLUMNS =
    QStringLiteral("id,kind,date,category,account,destination,value,converted,grouping,memo");
// What the balance cache reads of an entry.
inline const QString FAST_COLUMNS = QStringLiteral("date,account,destination,value,converted");

// Stored numbers: amounts keep two decimals, units, prices and rates six. The
// rounding to that text is part of the stored value.
QString amountText(double value);
QString fixed6Text(double value);
// The same texts, as bound values.
inline SQLValue amountValue(double value)
{
    return SQLValue::fixed(value, 2);
}
inline SQLValue fixed6Value(double value)
{
    return SQLValue::fixed(value, 6);
}

// "UPDATE <table> SET date=<day>, ... WHERE id=<ident>;" naming only the
// columns whose value differs from the old version; texts are bound.
class RowUpdate {
public:
    RowUpdate(const QString &table, int day) : m_sql(QStringLiteral("UPDATE %1 SET date=%2").arg(table).arg(day)) {}
    void integer(const char *column, int value, int old)
    {
        if (value != old) m_sql += QStringLiteral(",%1=%2").arg(QLatin1String(column)).arg(value);
    }
    // `form` gives the stored text of the value (amountText, fixed6Text).
    void number(const char *column, double value, double old, QString (*form)(double))
    {
        if (value != old) m_sql += QLatin1Char(',') + QLatin1String(column) + QLatin1Char('=') + form(value);
    }
    void memo(const QString &value, const QString &old)
    {
        if (value == old) return;
        m_sql += QStringLiteral(",memo=?");
        m_texts << value;
    }
    QString sql(int ident) const { return m_sql + QStringLiteral(" WHERE id=%1;").arg(ident); }
    const QStringList &texts() const { return m_texts; }

private:
    QString m_sql;       // the statement so far, without its condition
    QStringList m_texts; // values of the ? placeholders, in order
};

} // namespace cv::store
