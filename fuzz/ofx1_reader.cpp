// Feeds arbitrary bytes to the OFX 1.x reader and to the dispatch that tries
// OFX 2 first.
#include "FuzzStatement.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzstatement::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzzstatement::check(cv::readOfx1(bytes));
    fuzzstatement::check(cv::readStatement(bytes));
    return 0;
}
