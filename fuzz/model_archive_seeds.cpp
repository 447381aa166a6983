// Writes the starting corpus of the model-archive fuzzer: every info row and
// the loan schedule of a small rich book, a protected settings record, and a
// lone node of each account kind.
#include "FuzzSampleBook.h"

int main(int argc, char **argv)
{
    return fuzzbook::runSeeds(argc, argv, [](fuzzbook::SeedWriter &seeds, fuzzbook::TemporaryWork &) {
        auto doc = samplebook::makeRichBook();
        if (!doc) return false;

        const fuzzbook::InfoArchives rows = fuzzbook::infoArchives(*doc);
        bool ok = true;
        for (const QByteArray &a :
             {rows.accounts, rows.categories, rows.currencies, rows.securities, rows.groupings, rows.settings})
            ok = seeds.write(a) && ok;
        ok = seeds.write(doc->store()->getLoanData(1004)) && ok;
        auto locked = std::make_shared<cv::Settings>();
        locked->setPassword(QStringLiteral("password"));
        ok = seeds.write(cv::KeyedArchiver::archivedDataWithRootObject(locked)) && ok;
        for (const int ident : {1000, 1001, 1002, 1003, 1004})
            ok = seeds.write(cv::KeyedArchiver::archivedDataWithRootObject(doc->findAccount(ident)->deepCopy())) && ok;
        ok = seeds.write(cv::KeyedArchiver::archivedDataWithRootObject(doc->findExpense(1005)->deepCopy())) && ok;
        return ok;
    });
}
