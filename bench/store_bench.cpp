// Speed and memory of the article store on a large workbook.
//
// One encrypted database with 100,000 articles in `datum` is generated once
// per run into a temporary folder: titles of 8 to 30 Chinese characters, 40
// categories, plain bodies of 2 KB on average and every 20th article an RTF
// body of 30 KB. Every benchmark works on that file.
//
// Targets: open + read all titles < 150 ms; move to the last row and read its
// body < 5 ms; renumber < 1 s; a drop < 50 ms (BM_DropNearby; the last onto
// the first rewrites every order number); title search < 150 ms; content
// search < 2 s; an open main record set of 100,000 rows < 40 MB (the
// rss_delta_MB counter of BM_OpenAllTitles); a copy of the library into
// data/backup (BM_BackupLibrary) < 3 s.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <random>

#include "bench/support/Library.h"
#include "store/ArticleStore.h"
#include "store/Backup.h"
#include "store/InitDb.h"
#include "store/Search.h"

namespace {

using benchlib::pool;

constexpr int kArticles = 100000;
constexpr int kCategories = 40;

long rssKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// The generated program folder; the working directory while benchmarks run.
class BenchDb {
  public:
    static BenchDb& get() {
        static BenchDb db;
        return db;
    }
    QString titleKeyword;
    QString contentKeyword;

  private:
    BenchDb() {
        titleKeyword = pool().mid(7, 1);
        contentKeyword = pool().mid(0, 2);
        // YUNJAN_BENCH_DIR keeps the generated folder between runs.
        const QString keep = qEnvironmentVariable("YUNJAN_BENCH_DIR");
        QDir::setCurrent(keep.isEmpty() ? dir_.path() : keep);
        if (!keep.isEmpty() && QFile::exists(QStringLiteral("data/YunjanDB.mdb"))) return;
        QDir().mkpath(QStringLiteral("data"));
        store::Connection::createDatabaseFile(QStringLiteral("data/YunjanDB.mdb"),
                                              QString::fromLatin1(store::kDatabasePassword));
        store::Connection c;
        c.open();
        c.createArticleTable(QStringLiteral("datum"));
        std::mt19937 rng(20240601);
        const QStringList cats = benchlib::categories(rng, kCategories);
        benchlib::fillWorkbook(c, QStringLiteral("datum"), kArticles, cats, rng);
        c.close();
    }

    QTemporaryDir dir_;
};

void BM_OpenAllTitles(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    malloc_trim(0);
    const long before = rssKb();
    long delta = 0;
    qint64 chars = 0;
    for (auto _ : state) {
        s.OpenDb(store::CBXAllItem(store::SortMode::Custom, QStringLiteral("datum")));
        store::RecordSet& q = s.ADOQuery1();
        for (q.first(); !q.eof(); q.next()) chars += q.asString(QStringLiteral("theme")).size();
        delta = std::max(delta, rssKb() - before);
    }
    benchmark::DoNotOptimize(chars);
    state.counters["rows"] = s.ADOQuery1().recordCount();
    state.counters["rss_delta_MB"] = double(delta) / 1024.0;
}
BENCHMARK(BM_OpenAllTitles)->Unit(benchmark::kMillisecond);

// The title list sorted by title (pinyin order, Latin case ignored).
void BM_OpenByTitle(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    for (auto _ : state)
        s.OpenDb(store::CBXAllItem(store::SortMode::Ascending, QStringLiteral("datum")));
    state.counters["rows"] = s.ADOQuery1().recordCount();
}
BENCHMARK(BM_OpenByTitle)->Unit(benchmark::kMillisecond);

void BM_MoveToRow(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.OpenDb(store::CBXAllItem(store::SortMode::Custom, QStringLiteral("datum")));
    qint64 bytes = 0;
    int i = 0;
    for (auto _ : state) {
        // Two rows in turn, so the body is never the one read just before.
        s.moveMainTo(kArticles - 1 - (i++ % 2));
        bytes += s.ADOQuery1().readBlob(QStringLiteral("content")).size();
    }
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_MoveToRow)->Unit(benchmark::kMicrosecond);

// Arg 0: the numbers are already 1..N (the usual case, at start-up and before
// an add). Arg 1: every number changes (as after deleting the first article).
void BM_Renumber(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    for (auto _ : state) {
        if (state.range(0)) {
            state.PauseTiming();
            s.connection().execute(QStringLiteral("update datum set SeqNo=SeqNo*2"));
            state.ResumeTiming();
        }
        s.RenumberSeqNo(QStringLiteral("datum"), true);
    }
    state.counters["rows"] = s.ADOQuery2().recordCount();
}
BENCHMARK(BM_Renumber)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The worst drop: the last article onto the first, shifting every number.
void BM_DropLastToFirst(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.OpenDb(store::CBXAllItem(store::SortMode::Custom, QStringLiteral("datum")));
    for (auto _ : state) {
        if (!s.dropReorder(kArticles - 1, 0)) state.SkipWithError("drop refused");
    }
}
BENCHMARK(BM_DropLastToFirst)->Unit(benchmark::kMillisecond);

// A usual drop: an article moved ten places up in the middle of the list.
void BM_DropNearby(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.OpenDb(store::CBXAllItem(store::SortMode::Custom, QStringLiteral("datum")));
    for (auto _ : state) {
        if (!s.dropReorder(kArticles / 2 + 10, kArticles / 2)) state.SkipWithError("drop refused");
    }
}
BENCHMARK(BM_DropNearby)->Unit(benchmark::kMillisecond);

void BM_TitleSearch(benchmark::State& state) {
    BenchDb& db = BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    for (auto _ : state) store::openSearch(s, store::SearchMode::Title, db.titleKeyword);
    state.counters["hits"] = s.ADOQuery1().recordCount();
}
BENCHMARK(BM_TitleSearch)->Unit(benchmark::kMillisecond);

void BM_ContentSearch(benchmark::State& state) {
    BenchDb& db = BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    for (auto _ : state) store::openSearch(s, store::SearchMode::Content, db.contentKeyword);
    state.counters["hits"] = s.ADOQuery1().recordCount();
}
BENCHMARK(BM_ContentSearch)->Unit(benchmark::kMillisecond);

}  // namespace

// The copy written before a destructive command and once a day: every page
// through the online backup, with the progress reports a window would get.
void BM_BackupLibrary(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    const QString folder = store::backupFolderOf(s.connection());
    qint64 bytes = 0;
    int reports = 0;
    for (auto _ : state) {
        const QString copy =
            store::writeBackup(s.connection(), folder, 1, [&reports](int, int) { ++reports; });
        state.PauseTiming();
        bytes = QFileInfo(copy).size();
        QFile::remove(copy);
        state.ResumeTiming();
    }
    state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
    state.counters["progress_reports"] = double(reports) / double(state.iterations());
}
BENCHMARK(BM_BackupLibrary)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
