// Writes the starting corpus of the OFX 2 reader's fuzzer: the test samples.
#include "FuzzSampleBook.h"

int main(int argc, char **argv)
{
    return fuzzbook::runSeeds(argc, argv, [](fuzzbook::SeedWriter &seeds, fuzzbook::TemporaryWork &) {
        bool ok = true;
        for (const char *name : {"S3", "S3u", "S4", "S5", "S6", "S13", "S14"}) {
            QFile f(QStringLiteral(CV_TEST_FIXTURES "/import/%1.ofx").arg(QLatin1String(name)));
            ok = f.open(QIODevice::ReadOnly) && seeds.write(f.readAll()) && ok;
        }
        return ok;
    });
}
