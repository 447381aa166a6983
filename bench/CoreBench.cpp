// Measures the parts of the core that need no book: keyed archives, the
// refusal of hostile property lists, the value series of a large book and
// the password check. These were once time limits inside the tests.
//   cv-bench-core [benchmark flags]

#include "model/ValueSeries.h"
#include "model/Settings.h"
#include "platform/BinaryPlistWriter.h"
#include "platform/KeyedArchiver.h"

#include <benchmark/benchmark.h>

#include <QDate>

namespace {

// A folder node as the account trees archive them.
class Node : public cv::KeyedArchivable {
public:
    int ident = 0;
    QString name;
    std::vector<std::shared_ptr<Node>> children;

    QString archiveClassName() const override { return QStringLiteral("BenchNode"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override
    {
        coder.encodeInt(QStringLiteral("ident"), ident);
        coder.encodeObject(QStringLiteral("name"), name);
        if (!children.empty()) coder.encodeObject(QStringLiteral("children"), cv::ArchiveValue::arrayOf(children));
    }
    bool initWithCoder(cv::KeyedUnarchiver &coder) override
    {
        ident = coder.decodeIntForKey(QStringLiteral("ident"));
        name = coder.decodeStringForKey(QStringLiteral("name")).value_or(QString());
        if (auto c = coder.decodeArrayOfClassForKey<Node>(QStringLiteral("children"))) children = std::move(*c);
        return !coder.failed();
    }
};

std::shared_ptr<Node> makeNode(int ident, const QString &name)
{
    auto n = std::make_shared<Node>();
    n->ident = ident;
    n->name = name;
    return n;
}

// 100 folders of 99 items: ten thousand nodes written and read back.
void archiveTenThousandNodes(benchmark::State &state)
{
    cv::registerArchivable<Node>(QStringLiteral("BenchNode"));
    auto root = makeNode(1, QStringLiteral("root"));
    for (int i = 0; i < 100; ++i) {
        auto group = makeNode(1000 + i, QStringLiteral("group %1").arg(i));
        for (int j = 0; j < 99; ++j)
            group->children.push_back(makeNode(100000 + i * 100 + j, QStringLiteral("item %1").arg(j)));
        root->children.push_back(group);
    }
    for (auto _ : state) {
        const QByteArray data = cv::KeyedArchiver::archivedDataWithRootObject(root);
        auto back = cv::KeyedUnarchiver::unarchiveObjectOfClass<Node>(data);
        if (!back) state.SkipWithError("the archive does not read back");
        benchmark::DoNotOptimize(back);
    }
}

// Lists a hostile file may hold: each array holds the next one twice (2^60
// nodes once expanded), and arrays nested a hundred thousand deep.
void refuseHostilePropertyLists(benchmark::State &state)
{
    cv::BinaryPlistWriter doubling;
    std::vector<cv::BinaryPlistWriter::Ref> arrays;
    for (int i = 0; i < 60; ++i) arrays.push_back(doubling.array());
    for (int i = 0; i + 1 < 60; ++i) {
        doubling.append(arrays[i], arrays[i + 1]);
        doubling.append(arrays[i], arrays[i + 1]);
    }
    cv::BinaryPlistWriter deep;
    const auto outer = deep.array();
    auto a = outer;
    for (int i = 0; i < 100000; ++i) {
        const auto b = deep.array();
        deep.append(a, b);
        a = b;
    }
    const QByteArray lists[] = {doubling.write(arrays[0]), deep.write(outer)};
    for (auto _ : state)
        for (const QByteArray &list : lists)
            if (cv::KeyedUnarchiver::unarchiveObjectWithData(list)) state.SkipWithError("a hostile list was read");
}

// 100,000 entries on 36,500 days, arriving category by category (each run in
// date order, the runs interleaved), then one lookup per day.
void largeBookSeries(benchmark::State &state)
{
    const QDate base(1950, 1, 1);
    for (auto _ : state) {
        cv::ValueSeries s;
        s.setFirstDay(0);
        for (int run = 0; run < 10; ++run)
            for (int k = 0; k < 10000; ++k) s.addValue(1, base.addDays(k * 36500 / 10000 + run));
        s.calcAccumulation();
        double total = 0;
        for (int i = 0; i < 36500; ++i) total += s.accumulatedValueAt(base.addDays(i));
        benchmark::DoNotOptimize(total);
    }
}

// The key derivation every password entry costs.
void verifyPassword(benchmark::State &state)
{
    cv::Settings settings;
    settings.setPassword(QStringLiteral("pw"));
    for (auto _ : state) benchmark::DoNotOptimize(settings.verifyPassword(QStringLiteral("px")));
}

} // namespace

BENCHMARK(archiveTenThousandNodes)->Unit(benchmark::kMillisecond);
BENCHMARK(refuseHostilePropertyLists)->Unit(benchmark::kMillisecond);
BENCHMARK(largeBookSeries)->Unit(benchmark::kMillisecond);
BENCHMARK(verifyPassword)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
