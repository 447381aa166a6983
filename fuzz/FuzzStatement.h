#pragma once
// What the statement readers' fuzzers check of every read: the rows keep the
// promises the import sheet relies on, or the process aborts.

#include "import/StatementReaders.h"

#include <QLoggingCategory>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fuzzstatement {

inline void quiet()
{
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false\nqt.*=false"));
}

inline void check(const cv::StatementRead &read)
{
    if (read.status != cv::StatementRead::Status::Read && (!read.rows.empty() || !read.accounts.isEmpty())) {
        std::fprintf(stderr, "a refused statement kept rows\n");
        std::abort();
    }
    if (read.currencies.size() != qsizetype(read.rows.size())) {
        std::fprintf(stderr, "a row without its currency\n");
        std::abort();
    }
    for (const cv::EntryPtr &row : read.rows) {
        const bool ok = row && row->date().isValid() && row->amount() >= 0 && std::isfinite(row->amount()) &&
                        row->kind() >= cv::EntryKind::Income && row->kind() <= cv::EntryKind::Transfer &&
                        row->account() <= 0 && -row->account() <= read.accounts.size();
        if (!ok) {
            std::fprintf(stderr, "a row breaks the pending-row promises\n");
            std::abort();
        }
    }
}

// Two readings of one file that must agree, row by row.
inline void requireSame(const cv::StatementRead &a, const cv::StatementRead &b)
{
    bool same = a.status == b.status && a.accounts == b.accounts && a.currencies == b.currencies &&
                a.rows.size() == b.rows.size();
    for (size_t i = 0; same && i < a.rows.size(); ++i) {
        const cv::Entry &x = *a.rows[i];
        const cv::Entry &y = *b.rows[i];
        same = x.date() == y.date() && x.memo() == y.memo() && x.kind() == y.kind() && x.amount() == y.amount() &&
               x.account() == y.account() && x.destination() == y.destination() && x.category() == y.category() &&
               x.flags() == y.flags();
    }
    if (!same) {
        std::fprintf(stderr, "the two readings differ\n");
        std::abort();
    }
}

} // namespace fuzzstatement
