// Speed, memory and size of the full-text index on the benchmark library:
// 100,000 articles in `datum` (plain bodies of 2 KB on average, every 20th
// an RTF body of 30 KB), generated as for store_bench, and 1,000 articles in
// `datum1` whose bodies mix Latin words into the Chinese text.
//
// Targets: a query (two Chinese characters, four, a Latin word, two words;
// the count and the first 100 results with their snippets) < 30 ms; building
// the whole index < 60 s with a peak memory < 300 MB; adding an article costs
// < 5 ms more with the index than without (BM_AddWithIndex/1/* against /0/*).
// BM_FullTextBuild reports the database's growth against the text it indexes.
//
// Benchmarks run in the order below: the adds without index, the build, the
// queries, the adds with index. YUNJAN_BENCH_DIR keeps the generated folder.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "bench/support/Library.h"
#include "store/ArticleStore.h"
#include "store/EngineDetail.h"
#include "store/FullText.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kLatinArticles = 1000;
const char* const kDbFile = "data/YunjanDB.mdb";

long statusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ')[0].toLong();
    return 0;
}

class BenchDb {
  public:
    static BenchDb& get() {
        static BenchDb db;
        return db;
    }
    QStringList queries;  // 2 characters, 4 characters, Latin word, two words

  private:
    BenchDb() {
        const QString keep = qEnvironmentVariable("YUNJAN_BENCH_DIR");
        QDir::setCurrent(keep.isEmpty() ? dir_.path() : keep);
        if (keep.isEmpty() || !QFile::exists(QString::fromLatin1(kDbFile))) {
            QDir().mkpath(QStringLiteral("data"));
            store::Connection::createDatabaseFile(QString::fromLatin1(kDbFile),
                                                  QString::fromLatin1(store::kDatabasePassword));
            store::Connection c;
            c.open();
            c.createArticleTable(QStringLiteral("datum"));
            std::mt19937 rng(20240601);
            const QStringList cats = benchlib::categories(rng, 40);
            benchlib::fillWorkbook(c, QStringLiteral("datum"), kArticles, cats, rng);
            c.createArticleTable(QStringLiteral("datum1"));
            fillLatin(c, rng);
            c.close();
        }
        const QString& p = benchlib::pool();
        queries << p.mid(0, 2) << p.mid(3, 2) + p.mid(10, 2) << QStringLiteral("Qt")
                << p.mid(0, 2) + u' ' + p.mid(20, 2);
    }

    static void fillLatin(store::Connection& c, std::mt19937& rng) {
        const QStringList words{"Qt",     "Linux",  "SQLite", "Widget", "Unicode",
                                "Pinyin", "Server", "Editor", "Format", "Table"};
        store::Transaction tx(c);
        store::detail::Stmt row(c.handle(),
                                QStringLiteral("INSERT INTO datum([group],theme,isformat,"
                                               "SeqNo) VALUES(?,?,0,?)"));
        store::detail::Stmt body(
            c.handle(), QStringLiteral("INSERT INTO [datum$body](rid,content) VALUES(?,?)"));
        for (int i = 1; i <= kLatinArticles; ++i) {
            QString text;
            while (text.size() < 600)
                text += benchlib::randomChinese(rng, 20) + u' ' + words[int(rng() % words.size())] +
                        u' ';
            row.bind(1, QStringLiteral("技术"));
            row.bind(2, benchlib::randomChinese(rng, 12));
            row.bind(3, i);
            row.step();
            row.reset();
            body.bind(1, QVariant(qlonglong(sqlite3_last_insert_rowid(c.handle()))));
            body.bind(2, text);
            body.step();
            body.reset();
        }
        tx.commit();
    }

    QTemporaryDir dir_;
};

void ensureIndex(store::Connection& c) {
    while (!store::buildFullTextStep(c, 2000).finished) {
    }
}

// Appends one article (plain 2 KB or RTF 30 KB) and posts it; the row is
// removed again outside the timing.
void BM_AddWithIndex(benchmark::State& state) {
    BenchDb::get();
    store::Connection c;
    c.open();
    const bool indexed = state.range(0) != 0;
    if (indexed)
        ensureIndex(c);
    else if (store::fullTextState(c) != store::FullTextState::Missing)
        store::dropFullTextIndex(c);
    std::mt19937 rng(7);
    const QString plain = benchlib::plainBody(rng, 2000);
    const QByteArray rtf = benchlib::rtfBody(rng);
    const bool isRtf = state.range(1) != 0;
    store::RecordSet rs(c);
    rs.setSql(QStringLiteral("select * from datum where id = -1"));
    rs.open();
    for (auto _ : state) {
        rs.append();
        rs.setValue(QStringLiteral("group"), QStringLiteral("读书"));
        rs.setValue(QStringLiteral("theme"), benchlib::randomChinese(rng, 12));
        rs.setValue(QStringLiteral("isformat"), isRtf);
        rs.setValue(QStringLiteral("SeqNo"), kArticles + 1);
        if (isRtf)
            rs.writeBlob(QStringLiteral("content"), rtf);
        else
            rs.setValue(QStringLiteral("content"), plain);
        rs.post();
        state.PauseTiming();
        rs.deleteRow();
        state.ResumeTiming();
    }
}

void BM_FullTextBuild(benchmark::State& state) {
    BenchDb::get();
    store::Connection c;
    c.open();
    qint64 textBytes = 0;
    {
        store::detail::Stmt st(
            c.handle(),
            QStringLiteral("SELECT sum(length(CAST(content AS BLOB))) FROM [datum$body]"));
        st.step();
        textBytes += st.int64(0);
    }
    double growthMB = 0, plainMB = 0, keptMB = 0, segmentsMB = 0, freeMB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store::dropFullTextIndex(c);
        store::detail::exec(c.handle(), QStringLiteral("VACUUM"));
        const qint64 before = QFileInfo(QString::fromLatin1(kDbFile)).size();
        malloc_trim(0);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly)) clear.write("5");  // resets the peak
        clear.close();
        state.ResumeTiming();
        ensureIndex(c);
        state.PauseTiming();
        growthMB = double(QFileInfo(QString::fromLatin1(kDbFile)).size() - before) / 1048576.0;
        store::detail::Stmt st(c.handle(), QStringLiteral("SELECT sum(length(CAST(body AS BLOB)) + "
                                                          "length(CAST(title AS BLOB))) FROM "
                                                          "[fulltext$index]"));
        st.step();
        plainMB = double(st.int64(0)) / 1048576.0;
        store::detail::Stmt kept(c.handle(), QStringLiteral("SELECT sum(length(c0body) + "
                                                            "length(c1title)) FROM "
                                                            "[fulltext$index_content]"));
        kept.step();
        keptMB = double(kept.int64(0)) / 1048576.0;
        store::detail::Stmt segs(c.handle(), QStringLiteral("SELECT sum(length(block)) FROM "
                                                            "[fulltext$index_segments]"));
        segs.step();
        segmentsMB = double(segs.int64(0)) / 1048576.0;
        store::detail::Stmt freePages(c.handle(), QStringLiteral("PRAGMA freelist_count"));
        freePages.step();
        freeMB = double(freePages.int64(0)) * 4096 / 1048576.0;
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = double(statusKb("VmHWM:")) / 1024.0;
    state.counters["growth_MB"] = growthMB;
    state.counters["indexed_text_MB"] = plainMB;
    state.counters["stored_bodies_MB"] = double(textBytes) / 1048576.0;
    state.counters["kept_texts_MB"] = keptMB;
    state.counters["segments_MB"] = segmentsMB;
    state.counters["free_MB"] = freeMB;
    state.counters["growth_per_text"] = plainMB > 0 ? growthMB / plainMB : 0;
}

void BM_FullTextQuery(benchmark::State& state) {
    BenchDb& db = BenchDb::get();
    store::Connection c;
    c.open();
    ensureIndex(c);
    const QString q = db.queries[int(state.range(0))];
    store::FullTextResult r;
    for (auto _ : state) {
        r = store::searchFullText(c, q, -1, 100);
        benchmark::DoNotOptimize(r.hits.size());
    }
    state.counters["hits"] = r.total;
    state.counters["shown"] = r.hits.size();
    state.SetLabel(q.toStdString());
}

}  // namespace

BENCHMARK(BM_AddWithIndex)->Args({0, 0})->Args({0, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullTextBuild)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FullTextQuery)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddWithIndex)->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
