// The statement import on synthetic statements of 50,000 transactions:
// reading OFX 1.x and OFX 2 (in the compact layout, one element a line with
// CRLF and memos, and OFX 2 with a character reference), showing the rows in
// the import sheet (read, laid out and painted offscreen), and committing
// them all into a book.
//   cv-import-bench [benchmark flags]

#include "document/Book.h"
#include "document/EditScope.h"
#include "import/ImportOFXSheet.h"
#include "import/LearnedMapping.h"
#include "import/StatementReaders.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "support/SampleBook.h"

#include "ImportBenchSupport.h"

namespace {

constexpr int kTransactions = 50000;
constexpr int kBank = 1001;
constexpr int kFood = 2001;
constexpr int kSalary = 2002;

// Every tenth transaction is money in.
bool incoming(int i)
{
    return i % 10 == 0;
}

QString memoOf(int i)
{
    return incoming(i) ? QStringLiteral("Pay %1").arg(i % 20) : QStringLiteral("Shop %1").arg(i % 200);
}

// The values of transaction i as the statement writes them.
QByteArray dateOf(int i)
{
    return QDate(2008, 1, 1).addDays(i % 3000).toString(u"yyyyMMdd").toLatin1();
}

QByteArray amountOf(int i)
{
    return QByteArray(incoming(i) ? "" : "-") + QByteArray::number(100 + i % 9000);
}

// Compact: OFX 2 a transaction a line, OFX 1.x an element a line; Lines:
// either an element a line, with CRLF and a memo, as many banks write them.
enum class Layout { Compact, Lines };

QByteArray ofx1(int count, Layout layout = Layout::Compact)
{
    const bool lines = layout == Layout::Lines;
    const QByteArray eol = lines ? "\r\n" : "\n";
    QByteArray out = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nENCODING:UTF-8\nCHARSET:CSUNICODE\n\n"
                     "<OFX>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n<STMTRS>\n<CURDEF>JPY\n<BANKACCTFROM>\n<BANKID>0009\n"
                     "<ACCTID>1234567\n</BANKACCTFROM>\n<BANKTRANLIST>\n";
    out.replace("\n", eol);
    for (int i = 0; i < count; ++i) {
        out += "<STMTTRN>" + eol + "<TRNTYPE>DEBIT" + eol + "<DTPOSTED>" + dateOf(i) + "000000[+9:JST]" + eol +
               "<TRNAMT>" + amountOf(i) + eol + "<FITID>" + QByteArray::number(i) + eol + "<NAME>" +
               memoOf(i).toUtf8() + eol + (lines ? "<MEMO>Ref " + QByteArray::number(i % 97) + eol : QByteArray()) +
               "</STMTTRN>" + eol;
    }
    return out + "</BANKTRANLIST>" + eol + "</STMTRS>" + eol + "</STMTTRNRS>" + eol + "</BANKMSGSRSV1>" + eol +
           "</OFX>" + eol;
}

QByteArray ofx2(int count, Layout layout = Layout::Compact)
{
    const bool lines = layout == Layout::Lines;
    const QByteArray eol = lines ? "\r\n" : "";
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\n"
                     "<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>JPY</CURDEF><BANKACCTFROM><BANKID>0009</BANKID>"
                     "<ACCTID>1234567</ACCTID></BANKACCTFROM><BANKTRANLIST>\n";
    for (int i = 0; i < count; ++i) {
        out += (lines ? "<STMTTRN>" : "  <STMTTRN>") + eol + "<TRNTYPE>DEBIT</TRNTYPE>" + eol + "<DTPOSTED>" +
               dateOf(i) + "</DTPOSTED>" + eol + "<TRNAMT>" + amountOf(i) + ".00</TRNAMT>" + eol + "<FITID>" +
               QByteArray::number(i) + "</FITID>" + eol + "<NAME>" + memoOf(i).toUtf8() + "</NAME>" + eol +
               (lines ? "<MEMO>Ref " + QByteArray::number(i % 97) + "</MEMO>" + eol : QByteArray()) + "</STMTTRN>" +
               (lines ? eol : QByteArray("\n"));
    }
    return out + "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n";
}

// One character reference, in the first name.
QByteArray withReference(QByteArray ofx)
{
    return ofx.insert(ofx.indexOf("<NAME>") + 6, "&#12354;");
}

// A yen book with a bank account and one income and one expense category,
// that has learned every memo of the statements and their account id.
std::unique_ptr<cv::Book> makeBook()
{
    using namespace samplebook;
    auto doc = makeYenBook();
    if (!doc) return nullptr;
    auto bank = std::make_shared<cv::BankDetail>();
    bank->setDate(QDate(2000, 1, 1));
    node(doc->accountTrees()->asset(), kBank, 31, QStringLiteral("Bank"), bank);
    node(doc->categoryTrees()->expense(), kFood, 21, QStringLiteral("Food"));
    node(doc->categoryTrees()->income(), kSalary, 21, QStringLiteral("Salary"));
    doc->createCache();
    cv::LearnedMapping memos, accounts;
    for (int i = 0; i < 200; ++i) memos.learn(memoOf(i), incoming(i) ? kSalary : kFood);
    accounts.learn(QStringLiteral("1234567"), kBank);
    cv::EditScope edit(*doc);
    memos.write(*doc, cv::StatementMemoMapping);
    accounts.write(*doc, cv::StatementAccountMapping);
    return doc;
}

struct Files {
    QByteArray ofx1Bytes = ofx1(kTransactions);
    QByteArray ofx2Bytes = ofx2(kTransactions);
    QByteArray ofx1Lines = ofx1(kTransactions, Layout::Lines);
    QByteArray ofx2Lines = ofx2(kTransactions, Layout::Lines);
    QByteArray ofx2Reference = withReference(ofx2Bytes);
    QString ofx1Path = cv::bench::temporaryFile(QStringLiteral("statement-1.ofx"), ofx1Bytes);
    QString ofx2Path = cv::bench::temporaryFile(QStringLiteral("statement-2.ofx"), ofx2Bytes);
};

Files &files()
{
    static Files f;
    return f;
}

void read_statement(benchmark::State &state, const QByteArray &bytes)
{
    size_t rows = 0;
    for (auto _ : state) {
        const cv::StatementRead read = cv::readStatement(bytes);
        rows = read.rows.size();
        benchmark::DoNotOptimize(rows);
    }
    if (rows != size_t(kTransactions)) state.SkipWithError("not every transaction was read");
    state.counters["rows"] = double(rows);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void show_sheet(benchmark::State &state)
{
    auto doc = makeBook();
    for (auto _ : state) {
        cv::ImportOFXSheet sheet(doc.get(), 0);
        sheet.resize(960, 540);
        sheet.loadFile(files().ofx1Path);
        const QPixmap painted = sheet.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}

void commit_rows(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = makeBook();
        auto sheet = std::make_unique<cv::ImportOFXSheet>(doc.get(), 0);
        sheet->loadFile(files().ofx1Path);
        sheet->applyPushed();
        if (sheet->completeDataCount() != kTransactions) {
            state.SkipWithError("the rows are not complete");
            break;
        }
        state.ResumeTiming();
        sheet->okPushed();
        state.PauseTiming();
        const bool committed = sheet->result() == 1;
        sheet.reset();
        doc.reset();
        if (!committed) {
            state.SkipWithError("the commit failed");
            break;
        }
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char **argv)
{
    return cv::bench::run(argc, argv, [] {
        const std::pair<const char *, const QByteArray Files::*> reads[] = {
            {"read_ofx1/50000", &Files::ofx1Bytes},
            {"read_ofx2/50000", &Files::ofx2Bytes},
            {"read_ofx2_reference/50000", &Files::ofx2Reference},
            {"read_ofx1_lines/50000", &Files::ofx1Lines},
            {"read_ofx2_lines/50000", &Files::ofx2Lines},
        };
        for (const auto &[name, bytes] : reads)
            benchmark::RegisterBenchmark(name, [bytes](benchmark::State &s) {
                read_statement(s, files().*bytes);
            })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("show_import_sheet/50000", show_sheet)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("commit_import/50000", commit_rows)->Unit(benchmark::kMillisecond)->Iterations(3);
    });
}
