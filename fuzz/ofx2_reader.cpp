// Feeds arbitrary bytes to the OFX 2 reader.
#include "FuzzStatement.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzstatement::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzzstatement::check(cv::readOfx2(bytes));
    return 0;
}
