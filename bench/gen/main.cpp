// Writes a synthetic household book: cv-gen-book --entries N [--years Y]
// [--seed S] [--xml] --out FILE.cvv2. --xml also writes the book in the XML
// form next to it (FILE.cvxf). Each saved file is opened again and every
// account's balance compared with the one the generator built, so a book that
// does not survive its own save is never handed to the benchmarks.

#include "document/store/BookStore.h"
#include "document/Book.h"
#include "document/store/WorkingFolder.h"
#include "gen/BookGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

void forEachAccount(const cv::NodePtr &node, const std::function<void(const cv::NodePtr &)> &visit)
{
    if (!node) return;
    if (node->isAccount()) visit(node);
    for (const auto &child : node->children()) forEachAccount(child, visit);
}

int generate(const cv::bench::BookOptions &options, const QString &out, bool xml);

int usage()
{
    std::fprintf(stderr, "usage: cv-gen-book --entries N [--years Y] [--seed S] [--xml] --out FILE.cvv2\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    cv::bench::BookOptions options;
    QString out;
    bool xml = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--xml")) {
            xml = true;
            continue;
        }
        if (i + 1 >= args.size()) return usage();
        bool ok = true;
        if (a == QLatin1String("--entries"))
            options.entries = args[++i].toInt(&ok);
        else if (a == QLatin1String("--years"))
            options.years = args[++i].toInt(&ok);
        else if (a == QLatin1String("--seed"))
            options.seed = args[++i].toUInt(&ok);
        else if (a == QLatin1String("--out"))
            out = args[++i];
        else
            return usage();
        if (!ok) return usage();
    }
    if (out.isEmpty() || options.entries <= 0 || options.years <= 0) return usage();

    QTemporaryDir work;
    cv::work::setWorkFolder(work.filePath(QStringLiteral("Work")));
    const int rc = generate(options, out, xml);
    cv::work::setWorkFolder(QString());
    return rc;
}

namespace {

int generate(const cv::bench::BookOptions &options, const QString &out, bool xml)
{
    QElapsedTimer timer;
    timer.start();
    cv::Book doc;
    if (!doc.store()->create()) {
        std::fprintf(stderr, "cannot create a working store\n");
        return 1;
    }
    doc.categoryTrees()->setDefault();
    doc.categoryTrees()->setSystemItems();
    const cv::bench::BookStats stats = cv::bench::generateBook(doc, options);
    if (!cv::bench::saveBook(doc, out)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d entries (a loan of %d rows), %d trades, %d rates, %d prices over %d years (%.1f s)\n",
                qPrintable(out), stats.entries, stats.loanRows, stats.trades, stats.rates, stats.prices, options.years,
                timer.elapsed() / 1000.0);
    QStringList written = {out};
    if (xml) {
        const QFileInfo info(out);
        const QString xmlPath = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".cvxf");
        if (!doc.export_(xmlPath)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(xmlPath));
            return 1;
        }
        written << xmlPath;
    }

    const QDate day = options.lastDay;
    for (const QString &path : written) {
        cv::Book reopened;
        if (!cv::bench::openBook(reopened, path)) {
            std::fprintf(stderr, "%s does not open\n", qPrintable(path));
            return 1;
        }
        int mismatches = 0;
        int accounts = 0;
        for (const auto &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()}) {
            forEachAccount(root, [&](const cv::NodePtr &node) {
                if (node->ident() <= 0) return;
                ++accounts;
                const double built = doc.valueForAccount(node, day);
                const double read = reopened.valueForAccount(reopened.findAccount(node->ident()), day);
                if (std::fabs(built - read) > 0.005) {
                    std::fprintf(stderr, "%s: account %d: %.2f built, %.2f after opening\n", qPrintable(path),
                                 node->ident(), built, read);
                    ++mismatches;
                }
            });
        }
        if (accounts == 0 || mismatches != 0) return 1;
    }
    return 0;
}

} // namespace
