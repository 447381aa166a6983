// Measures the document core on synthetic books made by cv-gen-book:
//   cv-bench --books=DIR [--sizes=10000,100000] [benchmark flags]
// DIR holds book-<entries>.cvv2 and, for the XML import, book-<entries>.cvxf
// (cv-gen-book --xml). Each benchmark reports the process's peak
// resident memory as peak_MB; run one benchmark per process to read it per
// operation.

#include "document/store/BookStore.h"
#include "document/Book.h"
#include "document/EditScope.h"
#include "document/store/SQLDatabase3.h"
#include "document/store/StoreCheck.h"
#include "Limits.h"
#include "gen/BookBenchRun.h"
#include "gen/BookGenerator.h"
#include "model/AccountTrees.h"
#include "model/CategoryTrees.h"
#include "model/Entry.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <chrono>
#include <string_view>
#include <thread>

namespace {

QString g_books;
const QDate kLastDay = cv::bench::BookOptions().lastDay;

QString bookPath(int entries, const char *extension = "cvv2")
{
    return g_books + QStringLiteral("/book-%1.%2").arg(entries).arg(QLatin1String(extension));
}

void reportPeak(benchmark::State &state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

std::unique_ptr<cv::Book> openOrSkip(benchmark::State &state, int entries)
{
    auto doc = std::make_unique<cv::Book>();
    if (!cv::bench::openBook(*doc, bookPath(entries))) {
        state.SkipWithError("the book does not open");
        return nullptr;
    }
    return doc;
}

void forEachNode(const cv::NodePtr &node, const std::function<void(const cv::NodePtr &)> &visit)
{
    if (!node) return;
    visit(node);
    for (const auto &child : node->children()) forEachNode(child, visit);
}

// The document's own open until the book is ready to show: the file expanded
// into the working copy, the info rows decoded, the system items and the
// cache, and the store check started beside it as the program starts it;
// the document is closed again outside the timing.
void openBookTimed(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        auto doc = std::make_unique<cv::Book>();
        if (!cv::bench::openBook(*doc, path)) {
            state.SkipWithError("the book does not open");
            break;
        }
        doc->checkStoreInBackground();
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    reportPeak(state);
}

void openDocument(benchmark::State &state, int entries)
{
    openBookTimed(state, bookPath(entries));
}

// Opening the XML form: every record read and stored, then the same steps
// to a book ready to show.
void xmlImport(benchmark::State &state, int entries)
{
    openBookTimed(state, bookPath(entries, "cvxf"));
}

// The expansion of the file into the working copy alone.
void openStore(benchmark::State &state, int entries)
{
    for (auto _ : state) {
        cv::BookStore store;
        if (!store.open(bookPath(entries))) {
            state.SkipWithError("the book does not open");
            break;
        }
        state.PauseTiming();
        store.close();
        state.ResumeTiming();
    }
    reportPeak(state);
}

// SQLite's checks alone, on a working copy just expanded, as at open: the
// quick one, and the whole one the store check runs.
void pragmaCheck(benchmark::State &state, int entries, const QString &pragma)
{
    for (auto _ : state) {
        state.PauseTiming();
        cv::BookStore store;
        const bool opened = store.open(bookPath(entries));
        state.ResumeTiming();
        const auto result = opened ? store.database()->performQuery(pragma) : nullptr;
        if (!result || result->rowCount() != 1) {
            state.SkipWithError("the check did not run");
            break;
        }
        state.PauseTiming();
        store.close();
        state.ResumeTiming();
    }
    reportPeak(state);
}

void quickCheck(benchmark::State &state, int entries)
{
    pragmaCheck(state, entries, QStringLiteral("PRAGMA quick_check;"));
}

void integrityCheck(benchmark::State &state, int entries)
{
    pragmaCheck(state, entries, QStringLiteral("PRAGMA integrity_check;"));
}

// The open while a store check of a book of the same size runs beside it on
// its own thread: what the open and the window's first paint share the
// machine with.
void openBesideCheck(benchmark::State &state, int entries)
{
    cv::BookStore other;
    if (!other.open(bookPath(entries))) {
        state.SkipWithError("the book does not open");
        return;
    }
    for (auto _ : state) {
        cv::StoreCheck check(other.workingPath(), nullptr);
        auto doc = std::make_unique<cv::Book>();
        if (!cv::bench::openBook(*doc, bookPath(entries))) {
            state.SkipWithError("the book does not open");
            break;
        }
        state.PauseTiming();
        if (!check.answer()) state.SkipWithError("the check did not run");
        doc.reset();
        state.ResumeTiming();
    }
    reportPeak(state);
}

void createCache(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    if (!doc) return;
    for (auto _ : state) doc->createCache();
    reportPeak(state);
}

// Entries on random days, for edits spread over the whole book.
std::vector<cv::EntryPtr> randomEntries(cv::Book &doc, size_t wanted)
{
    std::mt19937 random(7);
    const QDate first = kLastDay.addYears(-20);
    const int span = int(first.daysTo(kLastDay));
    std::vector<cv::EntryPtr> pool;
    for (int tries = 0; pool.size() < wanted && tries < 100000; ++tries) {
        const auto day = doc.store()->findEntriesByDate(first.addDays(random() % unsigned(span)));
        if (day && !day->empty()) pool.push_back((*day)[random() % day->size()]);
    }
    return pool;
}

// Through the write path as the entry editor does: the entry, its cache
// series and the running balances.
void editEntry(cv::Book &doc, cv::EntryPtr &old)
{
    cv::EntryPtr edited = old->clone();
    edited->setAmount(old->amount() + 10);
    switch (edited->kind()) {
    case cv::EntryKind::Income: doc.updateIncome(edited, old); break;
    case cv::EntryKind::Expense: doc.updateExpense(edited, old); break;
    default: doc.updateTransfer(edited, old); break;
    }
    doc.accumulateAccount();
    old = edited;
}

// The document's own save of an edited book, over the file it was opened
// from (a copy, so the books stay as made).
void save(benchmark::State &state, int entries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.cvv2"));
    if (!QFile::copy(bookPath(entries), path)) {
        state.SkipWithError("the book cannot be copied");
        return;
    }
    cv::Book doc;
    if (!cv::bench::openBook(doc, path)) {
        state.SkipWithError("the book does not open");
        return;
    }
    auto pool = randomEntries(doc, 64);
    if (pool.empty()) {
        state.SkipWithError("no entries");
        return;
    }
    size_t next = 0;
    // The first save of a session also copies the book into the backup
    // folder: saved once untimed, so each timed save is the save itself.
    editEntry(doc, pool[next++ % pool.size()]);
    if (!doc.writeToFile(path, cv::Book::kTypeV2)) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        editEntry(doc, pool[next++ % pool.size()]);
        state.ResumeTiming();
        if (!doc.writeToFile(path, cv::Book::kTypeV2)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    reportPeak(state);
}

void xmlExport(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    if (!doc) return;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("exported.cvxf"));
    for (auto _ : state) {
        if (!doc->export_(path)) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    reportPeak(state);
}

// One entry at a random date gets a new amount and goes through the write
// path; the running balances are brought up to date as the editor does.
void commitEdit(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    if (!doc) return;
    auto pool = randomEntries(*doc, 256);
    if (pool.empty()) {
        state.SkipWithError("no entries");
        return;
    }
    size_t next = 0;
    for (auto _ : state) editEntry(*doc, pool[next++ % pool.size()]);
    reportPeak(state);
}

// An account and a category renamed, each committing its whole tree, as the
// tree commands and sheets do.
void commitTrees(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    const auto first = [](cv::NodePtr node) {
        while (node && node->countChild() > 0) node = node->childAt(0);
        return node && node->ident() > 0 ? node : nullptr;
    };
    const cv::NodePtr account = doc ? first(doc->accountTrees()->asset()) : nullptr;
    const cv::NodePtr category = doc ? first(doc->categoryTrees()->expense()) : nullptr;
    if (!account || !category) {
        state.SkipWithError("no account or category");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("Renamed %1").arg(++n);
        doc->renameNode(account, name);
        doc->renameNode(category, name);
    }
    reportPeak(state);
}

// The same edit made while the book's store check runs beside it: the book
// opened and one edit made (untimed, so the edit's statements are ready),
// the check started as the program starts it and given a moment to take its
// read of the store, then one edit timed. Each edit needs a book of its own,
// since the check runs once a book.
void commitEditBesideCheck(benchmark::State &state, int entries)
{
    size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = openOrSkip(state, entries);
        auto pool = doc ? randomEntries(*doc, 8) : std::vector<cv::EntryPtr>();
        if (pool.size() < 2) {
            state.SkipWithError("no entries");
            break;
        }
        editEntry(*doc, pool[(next + 1) % pool.size()]);
        doc->checkStoreInBackground();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state.ResumeTiming();
        editEntry(*doc, pool[next++ % pool.size()]);
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    reportPeak(state);
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The book in use: opened (a copy, so the books stay as made) with its check
// started as the program starts it, then an edit every second for twenty
// seconds from half a second after the open (the check under way), with the
// window's events run between, then the first save. Reports
// each edit's time (the slowest and the median), when the check answered
// after the open and the processor time it took (the process's less the main
// thread's, before the save), and how long the save waited for an answer not
// yet given. The timed iteration is the save's wait. With `changedFirst`,
// an edit right after the open changes that many entries at once (an import,
// a change of many entries), enough to pass the bound of the log the check
// reads over; its time is reported apart.
void bookInUse(benchmark::State &state, int entries, int changedFirst)
{
    constexpr int kEdits = 20;
    constexpr auto kEvery = std::chrono::seconds(1);
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    for (auto _ : state) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in-use.cvv2"));
        if (!QFile::copy(bookPath(entries), path)) {
            state.SkipWithError("the book cannot be copied");
            break;
        }
        cv::Book doc;
        if (!cv::bench::openBook(doc, path)) {
            state.SkipWithError("the book does not open");
            break;
        }
        auto pool = randomEntries(doc, kEdits);
        // Spread over the twenty years, as an import's or a search's entries
        // are, each once.
        std::vector<cv::EntryPtr> many;
        const int stride = changedFirst > 0 ? std::max(1, entries / 10 * 9 / changedFirst) : 1;
        int seen = 0;
        for (QDate day = kLastDay.addYears(-20); changedFirst > 0 && day <= kLastDay; day = day.addDays(1))
            if (const auto found = doc.store()->findEntriesByDate(day))
                for (const cv::EntryPtr &e : *found)
                    if (seen++ % stride == 0 && int(many.size()) < changedFirst &&
                        std::none_of(pool.begin(), pool.end(),
                                     [&](const cv::EntryPtr &p) { return p->ident() == e->ident(); }))
                        many.push_back(e);
        if (pool.empty() || int(many.size()) < changedFirst) {
            state.SkipWithError("no entries");
            break;
        }
        const double cpuBefore = cpuSeconds(RUSAGE_SELF) - cpuSeconds(RUSAGE_THREAD);
        doc.checkStoreInBackground();
        const auto opened = Clock::now();
        std::optional<Clock::duration> answered;
        std::vector<double> edits;
        double changedFirstMs = 0;
        const auto runEventsUntil = [&](Clock::time_point until) {
            do {
                QCoreApplication::processEvents();
                if (!answered && !doc.storeCheckPending()) answered = Clock::now() - opened;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            } while (Clock::now() < until);
        };
        if (changedFirst > 0) {
            // At once, so that it ends before the check's first answer.
            {
                cv::EditScope edit(doc);
                for (cv::EntryPtr &e : many) {
                    cv::EntryPtr edited = e->clone();
                    edited->setAmount(e->amount() + 10);
                    if (edited->kind() == cv::EntryKind::Income)
                        doc.updateIncome(edited, e);
                    else if (edited->kind() == cv::EntryKind::Expense)
                        doc.updateExpense(edited, e);
                    else
                        doc.updateTransfer(edited, e);
                }
            }
            doc.accumulateAccount();
            changedFirstMs = ms(Clock::now() - opened);
        }
        for (int i = 0; i < kEdits; ++i) {
            runEventsUntil(opened + kEvery / 2 + i * kEvery);
            const auto start = Clock::now();
            editEntry(doc, pool[size_t(i) % pool.size()]);
            edits.push_back(ms(Clock::now() - start));
        }
        runEventsUntil(Clock::now());
        const double checkCpu = cpuSeconds(RUSAGE_SELF) - cpuSeconds(RUSAGE_THREAD) - cpuBefore;
        // The save's wait: the check's answer taken as the save takes it.
        const auto saveStart = Clock::now();
        while (doc.storeCheckPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 16);
        const double saveWait = ms(Clock::now() - saveStart);
        if (!doc.writeToFile(path, cv::Book::kTypeV2)) {
            state.SkipWithError("save failed");
            break;
        }
        state.SetIterationTime(saveWait / 1000.0);
        std::sort(edits.begin(), edits.end());
        state.counters["edit_max_ms"] = edits.back();
        state.counters["edit_median_ms"] = edits[edits.size() / 2];
        state.counters["edits_over_16ms"] =
            double(std::count_if(edits.begin(), edits.end(), [](double e) { return e > 16; }));
        state.counters["answer_s"] = answered ? ms(*answered) / 1000.0 : -1.0;
        state.counters["check_cpu_s"] = checkCpu;
        state.counters["save_wait_ms"] = saveWait;
        if (changedFirst > 0) {
            state.counters["changed_first"] = double(many.size());
            state.counters["changed_first_ms"] = changedFirstMs;
        }
    }
    reportPeak(state);
}

std::vector<cv::NodePtr> balanceAccounts(cv::Book &doc)
{
    std::vector<cv::NodePtr> accounts;
    for (const auto &root : {doc.accountTrees()->asset(), doc.accountTrees()->debt()})
        forEachNode(root, [&](const cv::NodePtr &n) {
            if (n->isAccount() && n->ident() > 0) accounts.push_back(n);
        });
    return accounts;
}

double valueOf(cv::Book &doc, const std::vector<cv::NodePtr> &accounts)
{
    const QDate day = kLastDay.addMonths(-6);
    double total = 0;
    for (const auto &a : accounts) total += doc.valueForAccount(a, day);
    return total;
}

std::vector<cv::NodePtr> everyCategory(cv::Book &doc)
{
    std::vector<cv::NodePtr> categories;
    for (const auto &root : {doc.categoryTrees()->income(), doc.categoryTrees()->expense()})
        forEachNode(root, [&](const cv::NodePtr &n) { categories.push_back(n); });
    return categories;
}

// What the period viewer shows: every category, month by month, for a year.
double yearOfMonths(cv::Book &doc, const std::vector<cv::NodePtr> &categories)
{
    const QDate january(kLastDay.year() - 1, 1, 1);
    double total = 0;
    for (const auto &c : categories)
        for (int m = 0; m < 12; ++m) total += doc.summaryForCategoryMonths(c, january.addMonths(m), 1);
    return total;
}

void valueAllAccounts(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    if (!doc) return;
    const auto accounts = balanceAccounts(*doc);
    for (auto _ : state) benchmark::DoNotOptimize(valueOf(*doc, accounts));
    state.counters["accounts"] = double(accounts.size());
    reportPeak(state);
}

void categoryMonths(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    if (!doc) return;
    const auto categories = everyCategory(*doc);
    for (auto _ : state) benchmark::DoNotOptimize(yearOfMonths(*doc, categories));
    state.counters["categories"] = double(categories.size());
    reportPeak(state);
}

// The first call after an open, which finds the series as the open left them.
template <class Read> void firstCall(benchmark::State &state, int entries, const Read &read)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = openOrSkip(state, entries);
        if (!doc) break;
        state.ResumeTiming();
        benchmark::DoNotOptimize(read(*doc));
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    reportPeak(state);
}

void valueAccountsFirst(benchmark::State &state, int entries)
{
    firstCall(state, entries, [](cv::Book &doc) { return valueOf(doc, balanceAccounts(doc)); });
}

void categoryMonthsFirst(benchmark::State &state, int entries)
{
    firstCall(state, entries, [](cv::Book &doc) { return yearOfMonths(doc, everyCategory(doc)); });
}

void limitOpen(benchmark::State &state, int entries)
{
    cv::bench::limitOpen(state, bookPath(entries));
}
void limitSave(benchmark::State &state, int entries)
{
    cv::bench::limitSave(state, bookPath(entries));
}
void limitSaveSynced(benchmark::State &state, int entries)
{
    cv::bench::limitSaveSynced(state, bookPath(entries));
}
void limitSaveFiles(benchmark::State &state, int entries)
{
    cv::bench::limitSaveFiles(state, bookPath(entries));
}
void limitXmlExport(benchmark::State &state, int entries)
{
    cv::bench::limitXmlExport(state, bookPath(entries));
}
void limitXmlImport(benchmark::State &state, int entries)
{
    cv::bench::limitXmlImport(state, bookPath(entries, "cvxf"));
}

void limitXmlImportExpat(benchmark::State &state, int entries)
{
    cv::bench::limitXmlImportExpat(state, bookPath(entries, "cvxf"));
}

void memoSearch(benchmark::State &state, int entries)
{
    auto doc = openOrSkip(state, entries);
    if (!doc) return;
    cv::SearchConditions conditions;
    conditions.memo = {QStringLiteral("%コンビニ%")};
    size_t found = 0;
    for (auto _ : state) {
        const auto hits = doc->store()->findEntry(conditions);
        found = hits ? hits->size() : 0;
        benchmark::DoNotOptimize(found);
    }
    state.counters["hits"] = double(found);
    reportPeak(state);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    cv::bench::BookBenchRun run(argc, argv);
    g_books = run.books;
    if (g_books.isEmpty()) {
        std::fprintf(stderr, "usage: cv-bench --books=DIR [--sizes=10000,100000] [benchmark flags]\n");
        return 2;
    }

    using Fn = void (*)(benchmark::State &, int);
    // clang-format off
    const std::pair<const char *, Fn> operations[] = {
        {"open", openDocument},               {"open_store", openStore},   {"quick_check", quickCheck},
        {"integrity_check", integrityCheck},
        {"open_beside_check", openBesideCheck},
        {"createCache", createCache},
        {"save", save},                       {"commit_edit", commitEdit}, {"commit_trees", commitTrees},
        {"value_accounts", valueAllAccounts},
        {"category_months", categoryMonths},  {"xml_export", xmlExport},   {"xml_import", xmlImport},
        {"memo_search", memoSearch},          {"limit_open", limitOpen},   {"limit_save", limitSave},
        {"limit_save_synced", limitSaveSynced}, {"limit_save_files", limitSaveFiles},
        {"limit_xml_export", limitXmlExport}, {"limit_xml_import", limitXmlImport},
        {"limit_xml_import_expat", limitXmlImportExpat},
    };
    // clang-format on
    for (const auto &[name, fn] : operations)
        for (int size : run.sizes) {
            auto *bench =
                benchmark::RegisterBenchmark((std::string(name) + "/" + std::to_string(size)).c_str(), fn, size)
                    ->Unit(benchmark::kMillisecond);
            // The save packs on worker threads: their time counts, and the
            // iterations follow the wall clock, not the idle main thread.
            if (std::string_view(name) == "save") bench->MeasureProcessCPUTime()->UseRealTime();
        }
    // Each edit opens a book, untimed: a few edits are enough.
    for (int size : run.sizes)
        benchmark::RegisterBenchmark(("commit_edit_beside_check/" + std::to_string(size)).c_str(),
                                     commitEditBesideCheck, size)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(8);
    // Twenty seconds of edits a run.
    for (int size : run.sizes)
        benchmark::RegisterBenchmark(("book_in_use/" + std::to_string(size)).c_str(), bookInUse, size, 0)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    // The same after a first edit that passes the log's bound before the check answers.
    for (int size : run.sizes)
        benchmark::RegisterBenchmark(("book_in_use_after_import/" + std::to_string(size)).c_str(), bookInUse, size,
                                     size / 15)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    // One call per repetition: each needs an open of its own.
    const std::pair<const char *, Fn> firstCalls[] = {{"value_accounts_first", valueAccountsFirst},
                                                      {"category_months_first", categoryMonthsFirst}};
    for (const auto &[name, fn] : firstCalls)
        for (int size : run.sizes)
            benchmark::RegisterBenchmark((std::string(name) + "/" + std::to_string(size)).c_str(), fn, size)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);

    return run.runBenchmarks();
}
