#pragma once
// Stepping a kept statement with the column reads inlined, for the scans over
// every entry (the open's cache rows, the XML form), where a call through
// std::function and an accessor per column was a fifth of the scan. The reads
// answer what SQLCursor answers; anything but a plain stored integer or real
// takes the cursor's own reading. Included only by the store's own files.

#include "document/store/SQLDatabase3.h"

#include <sqlite3.h>

#include <limits>
#include <memory>
#include <optional>

namespace cv::store {

// Steps the kept statement of `sql`, calling visit(statement, cursor) for each
// row. False when the statement does not prepare or a step fails (logged).
template <class Visit> bool stepRows(SQLDatabase3 &db, const QString &sql, Visit &&visit)
{
    sqlite3_stmt *stmt = db.keptStatement(sql);
    if (!stmt) return false;
    // Reset on every way out, so the kept statement holds no read lock.
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> reset(stmt, sqlite3_reset);
    const SQLCursor cursor = SQLDatabase3::cursorOf(stmt);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) visit(stmt, cursor);
    return rc == SQLITE_DONE || db.stepFailed(sql, rc);
}

// SQLCursor::exactIntForColumnAtIndex. One call into the statement per
// column, as the cursor makes it (the connection has no per-call lock).
inline std::optional<int> exactIntAt(sqlite3_stmt *stmt, int index)
{
    sqlite3_value *value = sqlite3_column_value(stmt, index);
    if (sqlite3_value_type(value) != SQLITE_INTEGER) return std::nullopt;
    const sqlite3_int64 v = sqlite3_value_int64(value);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return std::nullopt;
    return int(v);
}

// SQLCursor::intForColumnAtIndex.
inline int intAt(sqlite3_stmt *stmt, const SQLCursor &cursor, int index)
{
    if (const std::optional<int> v = exactIntAt(stmt, index)) return *v;
    return cursor.intForColumnAtIndex(index);
}

// SQLCursor::doubleForColumnAtIndex.
inline double doubleAt(sqlite3_stmt *stmt, const SQLCursor &cursor, int index)
{
    sqlite3_value *value = sqlite3_column_value(stmt, index);
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_FLOAT || type == SQLITE_INTEGER) return sqlite3_value_double(value);
    return cursor.doubleForColumnAtIndex(index);
}

} // namespace cv::store
