// The text statement and price list imports on synthetic files: a
// 100,000-line text statement read and shown in its sheet (laid out and
// painted offscreen), the same read with a doubled quote before a
// separator in every memo, 50,000 heading-like lines above one row read (each
// such line is a candidate for the heads; half the rows' time is the mark),
// a 10,000-line price list read and shown.
//   cv-text-import-bench [benchmark flags]

#include "document/Book.h"
#include "import/ImportCSVSheet.h"
#include "import/ImportTextSheet.h"
#include "import/PriceListReader.h"
#include "import/TextStatementReader.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Security.h"
#include "support/SampleBook.h"

#include "ImportBenchSupport.h"

namespace {

constexpr int kStatementLines = 100000;
constexpr int kPriceLines = 10000;
constexpr int kHeadingLines = 50000;

QByteArray statement(int lines)
{
    QByteArray out = "日付,摘要,入金,出金,分類\r\n";
    const QDate first(2008, 1, 1);
    for (int i = 0; i < lines; ++i) {
        const QByteArray amount = "\"" + QByteArray::number(1000 + i % 90000) + "\"";
        out += first.addDays(i % 3000).toString(u"yyyy/MM/dd").toLatin1() + ",スーパー東町店 " +
               QByteArray::number(i % 200) +
               (i % 10 == 0 ? QByteArray("," + amount + ",,") : QByteArray(",," + amount + ",食費")) + "\r\n";
    }
    return out;
}

QByteArray headingLike(int lines)
{
    QByteArray out;
    for (int i = 0; i < lines; ++i)
        out += i % 2 ? QByteArray("Posting Date,Description,Withdrawals,Deposits,Balance\r\n")
                     : QByteArray("日付,摘要,お預入れ,お引出し,残高\r\n");
    return out + "2008/01/01,スーパー東町店,,1200,\r\n";
}

// Every memo holds a doubled quote before a separator, read each way.
QByteArray quotedStatement(int lines)
{
    QByteArray out = "Date,Description,Deposits,Withdrawals,Balance\r\n";
    const QDate first(2008, 1, 1);
    for (int i = 0; i < lines; ++i)
        out += first.addDays(i % 3000).toString(u"yyyy/MM/dd").toLatin1() + ",\"Payment \"\"" +
               QByteArray::number(i % 200) + "\"\", ref\",," + QByteArray::number(1000 + i % 90000) + ",0\r\n";
    return out;
}

QByteArray prices(int lines)
{
    QByteArray out = "Date,Close\r\n";
    const QDate first(1990, 1, 1);
    for (int i = 0; i < lines; ++i)
        out += first.addDays(i).toString(u"yyyy/MM/dd").toLatin1() + ",\"" + QByteArray::number(1000 + i % 5000) +
               ".5\"\r\n";
    return out;
}

std::unique_ptr<cv::Book> makeBook(int *security)
{
    using namespace samplebook;
    auto doc = makeYenBook();
    if (!doc) return nullptr;
    auto alpha = std::make_shared<cv::Security>();
    alpha->setName(QStringLiteral("Alpha"));
    alpha->setKind(cv::SecurityKind::InvestmentTrust);
    alpha->setCurrency(1);
    doc->addSecurity(alpha);
    *security = alpha->ident();
    doc->createCache();
    return doc;
}

struct Files {
    QByteArray statementBytes = statement(kStatementLines);
    QByteArray quotedBytes = quotedStatement(kStatementLines);
    QByteArray priceBytes = prices(kPriceLines);
    QByteArray headingBytes = headingLike(kHeadingLines);
    QString statementPath = cv::bench::temporaryFile(QStringLiteral("statement.csv"), statementBytes);
    QString pricesPath = cv::bench::temporaryFile(QStringLiteral("prices.csv"), priceBytes);
};

Files &files()
{
    static Files f;
    return f;
}

void read_statement(benchmark::State &state)
{
    size_t rows = 0;
    for (auto _ : state) {
        rows = cv::readTextStatement(files().statementBytes, cv::TextEncoding::Utf8).rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}

void read_heading_lines(benchmark::State &state)
{
    size_t unread = 0;
    for (auto _ : state) {
        unread = cv::readTextStatement(files().headingBytes, cv::TextEncoding::Utf8).unreadLines.size();
        benchmark::DoNotOptimize(unread);
    }
    state.counters["unread"] = double(unread);
}

void read_quoted_statement(benchmark::State &state)
{
    size_t rows = 0;
    for (auto _ : state) {
        rows = cv::readTextStatement(files().quotedBytes, cv::TextEncoding::Utf8).rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}

void show_statement(benchmark::State &state)
{
    int security = 0;
    auto doc = makeBook(&security);
    size_t rows = 0;
    for (auto _ : state) {
        cv::ImportTextSheet sheet(doc.get());
        sheet.resize(980, 560);
        sheet.loadFile(files().statementPath);
        rows = sheet.rows().size();
        const QPixmap painted = sheet.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    state.counters["rows"] = double(rows);
}

void show_prices(benchmark::State &state)
{
    int security = 0;
    auto doc = makeBook(&security);
    size_t rows = 0;
    for (auto _ : state) {
        cv::ImportCSVSheet sheet(doc.get(), security, true);
        sheet.loadFile(files().pricesPath);
        rows = sheet.values().size();
        const QPixmap painted = sheet.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    state.counters["rows"] = double(rows);
}

} // namespace

int main(int argc, char **argv)
{
    return cv::bench::run(argc, argv, [] {
        benchmark::RegisterBenchmark("read_text_statement/100000", read_statement)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("read_quoted_text_statement/100000", read_quoted_statement)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("read_text_heading_lines/50000", read_heading_lines)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("show_text_statement/100000", show_statement)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("show_price_list/10000", show_prices)->Unit(benchmark::kMillisecond);
    });
}
