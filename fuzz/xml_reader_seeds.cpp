// Writes the starting corpus of the XML reader fuzzer: every shipped template,
// the export of a small rich book, and that export with its first category at
// the greatest ident there is.
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
        QByteArray atLimit = out.data();
        const qsizetype from = atLimit.indexOf("<node_actual id=\"") + 17, to = atLimit.indexOf('"', from);
        ok = from >= 17 && to > from && seeds.write(atLimit.replace(from, to - from, "2147483647")) && ok;
        QDirIterator templates(QStringLiteral(CV_TEMPLATES_DIR), {QStringLiteral("*.cvxf")}, QDir::Files,
                               QDirIterator::Subdirectories);
        while (templates.hasNext()) {
            QFile file(templates.next());
            ok = file.open(QIODevice::ReadOnly) && seeds.write(file.readAll()) && ok;
        }
        return ok && seeds.count() > 1;
    });
}
