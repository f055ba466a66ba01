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

#include "bench/support/Library.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "store/ArticleStore.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kCategories = 40;

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
        const QStringList cats = benchlib::categories(rng, kCategories);
        benchlib::fillWorkbook(c, QStringLiteral("datum"), kArticles, cats, rng, 5);
        benchlib::fillWorkbook(c, QStringLiteral("datum1"), 20, cats, rng, 5);
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
