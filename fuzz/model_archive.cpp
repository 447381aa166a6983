// Feeds arbitrary bytes to the keyed-archive decoder with every model class
// registered, then uses whatever decodes as a document would.
#include "FuzzModelWalk.h"

#include "model/ModelArchiveClasses.h"

#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    cv::registerModelArchiveClasses();
    // Refused archives log why; at fuzzing speed that is only noise.
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (auto value = cv::KeyedUnarchiver::unarchiveObjectWithData(bytes)) fuzzwalk::exercise(*value);
    return 0;
}
