// Feeds arbitrary bytes to the whole-document XML reader on a new document,
// then does what follows a real import: system items, the balance cache and
// an export of what was read.
#include "FuzzModelWalk.h"
#include "FuzzWorkFolder.h"

#include "document/store/BookStore.h"
#include "document/Book.h"
#include "document/xml/BookXML.h"

#include <QBuffer>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzwork::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    cv::Book doc;
    if (!doc.store()->create()) std::abort();
    doc.categoryTrees()->setDefault();
    QBuffer in;
    in.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    in.open(QIODevice::ReadOnly);
    cv::xml::importFrom(doc, in);

    doc.accountTrees()->setSystemItems();
    doc.categoryTrees()->setSystemItems();
    doc.createCache();
    std::set<const void *> seen;
    fuzzwalk::exerciseValue(cv::ArchiveValue(doc.accountTrees()), seen);
    fuzzwalk::exerciseValue(cv::ArchiveValue(doc.categoryTrees()), seen);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    cv::xml::exportTo(doc, out);
    return 0;
}
