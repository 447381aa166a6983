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

} // namespace fuzzstatement
