// Writes the starting corpus of the OFX 1.x reader's fuzzer: the test samples.
#include "FuzzSampleBook.h"

int main(int argc, char **argv)
{
    return fuzzbook::runSeeds(argc, argv, [](fuzzbook::SeedWriter &seeds, fuzzbook::TemporaryWork &) {
        bool ok = true;
        for (const char *name :
             {"S1", "S1b", "S1c", "S1d", "S1e", "S1f", "S2", "S12-cp932", "S12-eucjp", "S12-latin1", "S15", "S16",
              "S16-cp932", "S17", "S19-nocharset", "S19-noheader", "S20-cp932-as-utf8", "S20-utf8-as-eucjp", "S21"}) {
            QFile f(QStringLiteral(CV_TEST_FIXTURES "/import/%1.ofx").arg(QLatin1String(name)));
            ok = f.open(QIODevice::ReadOnly) && seeds.write(f.readAll()) && ok;
        }
        // ISO-2022-JP, decoded before its values are split.
        return seeds.write("OFXHEADER:100\nCHARSET:ISO-2022-JP\n\n<OFX>" + QByteArray(100, ' ') +
                           "<STMTTRN><DTPOSTED>20240105<TRNAMT>-1<NAME>\x1B$BEEOC\x1B(I6\x1B(B</STMTTRN></OFX>") &&
               ok;
    });
}
