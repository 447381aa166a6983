// Writes a synthetic household book: cv-gen-book --entries N [--years Y]
// [--seed S] --out FILE. The saved file is opened again and every account's
// balance compared with the one the generator built, so a book that does not
// survive its own save is never handed to the benchmarks.

#include "document/CV4Document.h"
#include "document/WorkingFolder.h"
#include "gen/BookGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

void forEachAccount(const CVUnitModelPtr &node, const std::function<void(const CVUnitModelPtr &)> &visit)
{
    if (!node) return;
    if (node->isAccount()) visit(node);
    for (const auto &child : node->children()) forEachAccount(child, visit);
}

int generate(const cv::bench::BookOptions &options, const QString &out);

int usage()
{
    std::fprintf(stderr, "usage: cv-gen-book --entries N [--years Y] [--seed S] --out FILE.cvv2\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    cv::bench::BookOptions options;
    QString out;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
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
    const int rc = generate(options, out);
    cv::work::setWorkFolder(QString());
    return rc;
}

namespace {

int generate(const cv::bench::BookOptions &options, const QString &out)
{
    QElapsedTimer timer;
    timer.start();
    CV4Document doc;
    if (!doc.dataModel()->create()) {
        std::fprintf(stderr, "cannot create a working store\n");
        return 1;
    }
    doc.actualModel()->setDefault();
    doc.actualModel()->setSystemItems();
    const cv::bench::BookStats stats = cv::bench::generateBook(doc, options);
    if (!cv::bench::saveBook(doc, out)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d entries (a loan of %d rows), %d trades, %d rates, %d prices over %d years (%.1f s)\n",
                qPrintable(out), stats.entries, stats.loanRows,
                stats.trades, stats.rates, stats.prices, options.years, timer.elapsed() / 1000.0);

    CV4Document reopened;
    if (!cv::bench::openBook(reopened, out)) {
        std::fprintf(stderr, "the saved book does not open\n");
        return 1;
    }
    const QDate day = options.lastDay;
    int mismatches = 0;
    int accounts = 0;
    for (const auto &root : {doc.accountModel()->asset(), doc.accountModel()->debt()}) {
        forEachAccount(root, [&](const CVUnitModelPtr &node) {
            if (node->ident() <= 0) return;
            ++accounts;
            const double built = doc.valueForAccount(node, day);
            const double read = reopened.valueForAccount(reopened.findAccount(node->ident()), day);
            if (std::fabs(built - read) > 0.005) {
                std::fprintf(stderr, "account %d: %.2f built, %.2f after opening\n", node->ident(), built, read);
                ++mismatches;
            }
        });
    }
    if (accounts == 0 || mismatches != 0) return 1;
    return 0;
}

} // namespace
