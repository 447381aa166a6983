// Writes the starting corpus of the XML reader fuzzer: every shipped template
// and the export of a small rich book.
#include "FuzzSampleBook.h"

#include "document/xml/BookXML.h"

#include <QBuffer>
#include <QDirIterator>

int main(int argc, char **argv)
{
    return fuzzbook::runSeeds(argc, argv, [](fuzzbook::SeedWriter &seeds, fuzzbook::TemporaryWork &) {
        auto doc = samplebook::makeRichBook();
        if (!doc) return false;

        QBuffer out;
        out.open(QIODevice::WriteOnly);
        bool ok = cv::xml::exportTo(*doc, out) && seeds.write(out.data());
        QDirIterator templates(QStringLiteral(CV_TEMPLATES_DIR), {QStringLiteral("*.cvxf")}, QDir::Files,
                               QDirIterator::Subdirectories);
        while (templates.hasNext()) {
            QFile file(templates.next());
            ok = file.open(QIODevice::ReadOnly) && seeds.write(file.readAll()) && ok;
        }
        return ok && seeds.count() > 1;
    });
}
