// Measures the upgrade of a document of the previous format: the big SQLite 2
// fixture (20,000 entries, four-level trees, 1,091 overflow pages) read and
// dumped, and the whole upgrade of a working copy into SQLite 3.
//   cv-bench-upgrade [benchmark flags]

#include "document/store/SQLDatabase3.h"
#include "document/store/SQLite2Reader.h"
#include "document/store/SQLite2TestSupport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QByteArray &bigDatabase()
{
    static const QByteArray bytes = sqlite2test::fixture("big");
    return bytes;
}

void dump_big(benchmark::State &state)
{
    for (auto _ : state) {
        cv::SQLite2Reader reader(bigDatabase());
        std::optional<QByteArray> dump = reader.dump();
        if (!dump) state.SkipWithError("big.db was refused");
        benchmark::DoNotOptimize(dump);
    }
}
BENCHMARK(dump_big)->Unit(benchmark::kMillisecond);

void upgrade_big(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bigDatabase()) != bigDatabase().size()) {
            state.SkipWithError("cannot write the working copy");
            break;
        }
        f.close();
        state.ResumeTiming();
        if (cv::SQLDatabase3(path).setup() != cv::SQLDatabase3::SetupResult::Upgraded)
            state.SkipWithError("not upgraded");
    }
}
BENCHMARK(upgrade_big)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (bigDatabase().isEmpty()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
