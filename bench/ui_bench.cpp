// Speed of the main window on a large library (offscreen).
//
// One encrypted database is generated once per run into a temporary program
// folder: 100,000 articles in `datum` (titles of 8 to 30 Chinese characters,
// 40 categories, plain bodies of about 2 KB, every 20th article an RTF body
// of about 30 KB) and a few articles in `datum1`.
//
// Targets: the main window created and shown < 1.5 s; a switch to the large
// workbook < 400 ms; an RTF article shown < 30 ms; a plain article < 10 ms.
//
// "ui_bench --write-db=DIR" only writes DIR/data/YunjanDB.mdb (for looking at
// the program on a large library) and exits.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QTabBar>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <random>

#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "store/ArticleStore.h"
#include "store/EngineDetail.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kCategories = 40;

const QString& pool() {
    static const QString p = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下"
        "过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都"
        "两"
        "体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新"
        "线内"
        "数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并"
        "提直");
    return p;
}

QString randomChinese(std::mt19937& rng, int n) {
    std::uniform_int_distribution<int> pick(0, int(pool().size()) - 1);
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) s += pool()[pick(rng)];
    return s;
}

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

QByteArray rtfBody(std::mt19937& rng) {
    QByteArray b =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs24 ";
    std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xFE);
    char hex[8];
    int line = 0;
    while (b.size() < 30000) {
        if (++line % 5 == 0) b += "\\b ";
        for (int i = 0; i < 40; ++i) {
            std::snprintf(hex, sizeof hex, "\\'%02x", lead(rng));
            b += hex;
            std::snprintf(hex, sizeof hex, "\\'%02x", trail(rng));
            b += hex;
        }
        if (line % 5 == 0) b += "\\b0 ";
        b += "\\par\r\n";
    }
    b += "}";
    return b;
}

// The generated program folder; the working directory while benchmarks run.
class BenchDb {
  public:
    static BenchDb& get() {
        static BenchDb db(QString{});
        return db;
    }
    // Writes the database into dir (kept) instead of a temporary folder.
    static void writeTo(const QString& dir) { BenchDb db(dir); }
    QString settingsPath() const { return path_ + QStringLiteral("/ui_bench.ini"); }

  private:
    explicit BenchDb(const QString& dir) : path_(dir.isEmpty() ? dir_.path() : dir) {
        QDir().mkpath(path_);
        QDir::setCurrent(path_);
        QDir().mkpath(QStringLiteral("data"));
        store::Connection::createDatabaseFile(QStringLiteral("data/YunjanDB.mdb"),
                                              QString::fromLatin1(store::kDatabasePassword));
        store::Connection c;
        c.open();
        for (const char* t : {"datum", "datum1", "datum2", "datum3"})
            c.createArticleTable(QString::fromLatin1(t));
        std::mt19937 rng(20240601);
        QStringList categories;
        for (int i = 0; i < kCategories; ++i) categories << randomChinese(rng, 2 + i % 3);

        using store::detail::Stmt;
        sqlite3* db = c.handle();
        store::Transaction tx(c);
        for (const char* table : {"datum", "datum1"}) {
            const QString t = QString::fromLatin1(table);
            const int n = t == QLatin1String("datum") ? kArticles : 20;
            Stmt row(db, QStringLiteral("INSERT INTO ") + t +
                             QStringLiteral("([group],theme,isformat,SeqNo) VALUES(?,?,?,?)"));
            Stmt body(db, QStringLiteral("INSERT INTO [") + t +
                              QStringLiteral("$body](rid,content) VALUES(?,?)"));
            std::uniform_int_distribution<int> titleLength(8, 30), bodyBytes(1000, 3000);
            for (int i = 1; i <= n; ++i) {
                const bool rtf = i % 20 == 0;
                row.bind(1, categories[int(rng() % kCategories)]);
                row.bind(2, randomChinese(rng, titleLength(rng)));
                row.bind(3, rtf);
                row.bind(4, i);
                row.step();
                row.reset();
                body.bind(1, QVariant(qlonglong(sqlite3_last_insert_rowid(db))));
                body.bind(2,
                          rtf ? QVariant(rtfBody(rng)) : QVariant(plainBody(rng, bodyBytes(rng))));
                body.step();
                body.reset();
            }
        }
        tx.commit();
        c.close();
    }

    QTemporaryDir dir_;
    QString path_;
};

std::unique_ptr<TMainForm> openWindow() {
    auto w = std::make_unique<TMainForm>();
    w->settingsFile = BenchDb::get().settingsPath();
    w->show();
    QApplication::processEvents();
    return w;
}

void BM_StartupToShown(benchmark::State& state) {
    BenchDb::get();
    for (auto _ : state) {
        auto w = openWindow();
        state.PauseTiming();
        if (w->quitRequested || w->ListBox1->count() != kArticles)
            state.SkipWithError("start-up failed");
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToShown)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SwitchWorkbook(benchmark::State& state) {
    BenchDb::get();
    auto w = openWindow();
    for (auto _ : state) {
        state.PauseTiming();
        w->cxTabControl1->setCurrentIndex(1);  // the small workbook
        state.ResumeTiming();
        w->cxTabControl1->setCurrentIndex(0);  // back to 100,000 articles
        QApplication::processEvents();
    }
    if (w->ListBox1->count() != kArticles) state.SkipWithError("switch failed");
}
BENCHMARK(BM_SwitchWorkbook)->Unit(benchmark::kMillisecond)->Iterations(10);

// Shows rows in turn (so the body is never the one shown just before).
void showArticles(benchmark::State& state, int first, int step) {
    BenchDb::get();
    auto w = openWindow();
    int k = 0;
    for (auto _ : state) {
        const int row = first + step * (k++ % 50);
        w->ListBox1->selectQuietly(row);
        w->ListBox1Click();
        QApplication::processEvents();
    }
    if (w->quitRequested) state.SkipWithError("show failed");
}

void BM_ShowRtfArticle(benchmark::State& state) {
    showArticles(state, 19, 20 * 99);
}
BENCHMARK(BM_ShowRtfArticle)->Unit(benchmark::kMillisecond);

void BM_ShowPlainArticle(benchmark::State& state) {
    showArticles(state, 0, 2000);
}
BENCHMARK(BM_ShowPlainArticle)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QLatin1String("--write-db="))) {
            BenchDb::writeTo(QDir(a.mid(11)).absolutePath());
            return 0;
        }
    }
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"),
                                                        QStringLiteral("Noto Sans CJK SC")});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
