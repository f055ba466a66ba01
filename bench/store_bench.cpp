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
// rss_delta_MB counter of BM_OpenAllTitles).

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <random>

#include "store/ArticleStore.h"
#include "store/EngineDetail.h"
#include "store/InitDb.h"
#include "store/Search.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kCategories = 40;

// Common characters the generated text is drawn from.
const QString& pool() {
    static const QString p = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下"
        "过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都"
        "两"
        "体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新"
        "线内"
        "数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并"
        "提直"
        "题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计"
        "别她"
        "手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口"
        "东导"
        "器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例"
        "真务"
        "具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石记需段"
        "研界"
        "拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青省列习响"
        "约支"
        "般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养"
        "易置"
        "派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该铁价严龙飞");
    return p;
}

QString randomChinese(std::mt19937& rng, int n) {
    std::uniform_int_distribution<int> pick(0, int(pool().size()) - 1);
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) s += pool()[pick(rng)];
    return s;
}

// A plain body of about `bytes` bytes of UTF-8: sentences and line breaks.
QString plainBody(std::mt19937& rng, int bytes) {
    QString s;
    int size = 0;
    std::uniform_int_distribution<int> sentence(8, 40);
    while (size < bytes) {
        const int n = sentence(rng);
        s += randomChinese(rng, n);
        s += (rng() % 4 == 0) ? QStringLiteral("。\r\n") : QStringLiteral("，");
        size += 3 * n + 4;
    }
    return s;
}

// An RTF body of about 30 KB: code page 936 text as \'hh escapes.
QByteArray rtfBody(std::mt19937& rng) {
    QByteArray b =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs24 ";
    std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xFE);
    char hex[8];
    while (b.size() < 30000) {
        for (int i = 0; i < 40; ++i) {
            std::snprintf(hex, sizeof hex, "\\'%02x", lead(rng));
            b += hex;
            std::snprintf(hex, sizeof hex, "\\'%02x", trail(rng));
            b += hex;
        }
        b += "\\par\r\n";
    }
    b += "}";
    return b;
}

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
        QStringList categories;
        for (int i = 0; i < kCategories; ++i) categories << randomChinese(rng, 2 + i % 3);

        using store::detail::Stmt;
        sqlite3* db = c.handle();
        store::Transaction tx(c);
        Stmt row(db,
                 QStringLiteral("INSERT INTO datum([group],theme,isformat,SeqNo) VALUES(?,?,?,?)"));
        Stmt body(db, QStringLiteral("INSERT INTO [datum$body](rid,content) VALUES(?,?)"));
        std::uniform_int_distribution<int> titleLength(8, 30), bodyBytes(1000, 3000);
        for (int i = 1; i <= kArticles; ++i) {
            const bool rtf = i % 20 == 0;
            row.bind(1, categories[int(rng() % kCategories)]);
            row.bind(2, randomChinese(rng, titleLength(rng)));
            row.bind(3, rtf);
            row.bind(4, i);
            row.step();
            row.reset();
            body.bind(1, QVariant(qlonglong(sqlite3_last_insert_rowid(db))));
            body.bind(2, rtf ? QVariant(rtfBody(rng)) : QVariant(plainBody(rng, bodyBytes(rng))));
            body.step();
            body.reset();
        }
        tx.commit();
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
        s.OpenDb(store::CBXAllItem(store::SortCustom, QStringLiteral("datum")));
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
    for (auto _ : state) s.OpenDb(store::CBXAllItem(store::SortAscending, QStringLiteral("datum")));
    state.counters["rows"] = s.ADOQuery1().recordCount();
}
BENCHMARK(BM_OpenByTitle)->Unit(benchmark::kMillisecond);

void BM_MoveToRow(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.OpenDb(store::CBXAllItem(store::SortCustom, QStringLiteral("datum")));
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
    s.OpenDb(store::CBXAllItem(store::SortCustom, QStringLiteral("datum")));
    for (auto _ : state) {
        if (!s.dropReorder(kArticles - 1, 0)) state.SkipWithError("drop refused");
    }
}
BENCHMARK(BM_DropLastToFirst)->Unit(benchmark::kMillisecond);

// A usual drop: an article moved ten places up in the middle of the list.
void BM_DropNearby(benchmark::State& state) {
    BenchDb::get();
    store::ArticleStore s;
    s.OpenDb(store::CBXAllItem(store::SortCustom, QStringLiteral("datum")));
    for (auto _ : state) {
        if (!s.dropReorder(kArticles / 2 + 10, kArticles / 2)) state.SkipWithError("drop refused");
    }
}
BENCHMARK(BM_DropNearby)->Unit(benchmark::kMillisecond);

void BM_TitleSearch(benchmark::State& state) {
    BenchDb& db = BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    for (auto _ : state) store::openSearch(s, store::SearchTitle, db.titleKeyword);
    state.counters["hits"] = s.ADOQuery1().recordCount();
}
BENCHMARK(BM_TitleSearch)->Unit(benchmark::kMillisecond);

void BM_ContentSearch(benchmark::State& state) {
    BenchDb& db = BenchDb::get();
    store::ArticleStore s;
    s.connection().open();
    for (auto _ : state) store::openSearch(s, store::SearchContent, db.contentKeyword);
    state.counters["hits"] = s.ADOQuery1().recordCount();
}
BENCHMARK(BM_ContentSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
