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
        // Character references, which the plain reader takes too.
        return seeds.write("<?xml version=\"1.0\"?><OFX><STMTTRN><DTPOSTED>20240105</DTPOSTED><TRNAMT>-1</TRNAMT>"
                           "<NAME>&#12354;&#x3042;&#60;</NAME></STMTTRN></OFX>") &&
               ok;
    });
}
