// Feeds arbitrary bytes to the keyed-archive decoder and to the Base64 reader
// that stands in front of it in the database.
#include "FuzzArchiveNode.h"

#include "platform/Base64Utilities.h"

#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    registerFuzzArchiveNode();
    // Refused archives log why; at fuzzing speed that is only noise.
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (auto value = cv::KeyedUnarchiver::unarchiveObjectWithData(bytes)) {
        // Whatever was read must archive again into something readable.
        const QByteArray again = cv::KeyedArchiver::archivedDataWithRootObject(*value);
        if (again.isEmpty() || !cv::KeyedUnarchiver::unarchiveObjectWithData(again)) {
            std::fprintf(stderr, "a decoded archive did not survive archiving again\n");
            std::abort();
        }
    }
    if (auto decoded = cv::Base64Utilities::dataWithBase64EncodedString(QString::fromLatin1(bytes))) {
        if (cv::Base64Utilities::base64EncodingForData(*decoded).size() != bytes.size()) {
            std::fprintf(stderr, "Base64 text of another length than its data's encoding\n");
            std::abort();
        }
    }
    return 0;
}
