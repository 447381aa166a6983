// Writes the starting corpus of the XML reader fuzzer: every shipped template
// and the export of a small rich book.
#include "FuzzSampleBook.h"

#include "document/CV4DocumentXML.h"
#include "model/ModelArchiveClasses.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDirIterator>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    registerModelArchiveClasses();
    fuzzbook::TemporaryWork work;
    fuzzbook::SeedWriter seeds(QString::fromLocal8Bit(argv[1]));
    auto doc = samplebook::makeRichBook();
    if (!doc || !seeds.ready()) return 1;

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    bool ok = cv::xml::exportTo(*doc, out) && seeds.write(out.data());
    QDirIterator templates(QStringLiteral(CV_TEMPLATES_DIR), {QStringLiteral("*.cvxf")}, QDir::Files,
                           QDirIterator::Subdirectories);
    while (templates.hasNext()) {
        QFile file(templates.next());
        ok = file.open(QIODevice::ReadOnly) && seeds.write(file.readAll()) && ok;
    }
    return ok && seeds.count() > 1 ? 0 : 1;
}
