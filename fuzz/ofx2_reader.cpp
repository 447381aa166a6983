// Feeds arbitrary bytes to the OFX 2 reader, and checks that its plain
// reading agrees with the toolkit's parser.
#include "FuzzStatement.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzstatement::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const cv::StatementRead read = cv::readOfx2(bytes);
    fuzzstatement::check(read);
    fuzzstatement::requireSame(read, cv::readOfx2ByToolkit(bytes));
    return 0;
}
