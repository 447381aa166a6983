// Feeds arbitrary bytes to the reader of old-format databases: each input is
// read or refused, within a page walk and a dump no larger than the file allows.
#include "document/store/SQLite2Reader.h"

#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Refused files log why; at fuzzing speed that is only noise.
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    cv::SQLite2Reader reader(bytes);
    const std::optional<QByteArray> dump = reader.dump();
    if (reader.pagesVisited() > reader.pageCount()) {
        std::fprintf(stderr, "visited %lld pages of %lld\n", reader.pagesVisited(), reader.pageCount());
        std::abort();
    }
    if (dump && (dump->size() > cv::SQLite2Reader::dumpLimit(bytes.size()) || !dump->endsWith("COMMIT;\n"))) {
        std::fprintf(stderr, "a dump out of bounds\n");
        std::abort();
    }
    // The same file reads the same way again.
    if (reader.dump() != dump) {
        std::fprintf(stderr, "a second read differs\n");
        std::abort();
    }
    return 0;
}
