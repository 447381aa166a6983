// Writes the starting corpus of the text splitters' fuzzer: the text
// statement, mobile entry and price list samples of the tests.
#include "FuzzSampleBook.h"

int main(int argc, char **argv)
{
    return fuzzbook::runSeeds(argc, argv, [](fuzzbook::SeedWriter &seeds, fuzzbook::TemporaryWork &) {
        bool ok = true;
        for (const char *name :
             {"S7.csv", "S7-cp932.csv", "S7-eucjp.csv", "S7.tsv", "S7-utf16le.csv", "S7-utf16be.tsv", "S9.csv",
              "S9-lf.csv", "S9-cr.csv", "S9-cp932.csv", "S10.csv", "S11.csv", "S18.csv", "S22-halfwidth-cp932.csv",
              "S22-katakana-eucjp.csv", "S23-preamble-cp932.csv", "S23-card.csv"}) {
            QFile f(QStringLiteral(CV_TEST_FIXTURES "/import/") + QLatin1String(name));
            ok = f.open(QIODevice::ReadOnly) && seeds.write(f.readAll()) && ok;
        }
        return ok;
    });
}
