// Writes the starting corpus of the document-file fuzzer: a saved new book,
// a saved small rich book with its info rows, and the rich book's database
// behind the magic without compression (which opens too).
#include "FuzzSampleBook.h"

#include <zlib.h>

int main(int argc, char **argv)
{
    return fuzzbook::runSeeds(argc, argv, [](fuzzbook::SeedWriter &seeds, fuzzbook::TemporaryWork &work) {
        auto saved = [&](cv::BookStore &store) {
            const QString path = work.filePath(QStringLiteral("book.cvv2"));
            QFile file(path);
            return store.save(path) && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };

        cv::BookStore blank;
        bool ok = blank.create() && seeds.write(saved(blank));

        auto doc = samplebook::makeRichBook();
        if (!doc) return false;
        cv::BookStore &store = *doc->store();
        const fuzzbook::InfoArchives rows = fuzzbook::infoArchives(*doc);
        ok = store.putAccountData(rows.accounts) && store.putCategoryData(rows.categories) &&
             store.putCurrencyData(rows.currencies) && store.putSecurityData(rows.securities) &&
             store.putGroupData(rows.groupings) && store.putSettingsData(rows.settings) && ok;
        const QByteArray packed = saved(store);
        ok = seeds.write(packed) && ok;

        QByteArray plain(64 * 1024 * 1024, Qt::Uninitialized);
        z_stream z{};
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
        z.avail_in = uInt(packed.size());
        z.next_out = reinterpret_cast<Bytef *>(plain.data());
        z.avail_out = uInt(plain.size());
        // 15 + 32: a window of 32 KiB behind a gzip header.
        ok = inflateInit2(&z, 15 + 32) == Z_OK && inflate(&z, Z_FINISH) == Z_STREAM_END && ok;
        plain.truncate(qsizetype(z.total_out));
        inflateEnd(&z);
        return ok && seeds.write(plain);
    });
}
