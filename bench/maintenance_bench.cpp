// Speed of the maintenance operations on large workbooks: a whole-workbook
// transfer, a transfer without duplicates into a large workbook, and the
// compaction of a large database.
//
// The databases are built once per run in a temporary folder (bodies are
// small RTF documents of about 1 KB) and copied before every iteration.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "store/ArticleStore.h"
#include "store/Maintenance.h"
#include "store/Transfer.h"

namespace {

const QString kPassword = QString::fromLatin1(store::kDatabasePassword);

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

QByteArray rtfBody(int i) {
    QByteArray b(
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil \\'cb\\'ce\\'cc\\'e5;}}\\f0\\fs21 ");
    while (b.size() < 1000) b += "\\'d5\\'e2\\'ca\\'c7\\'d2\\'bb\\'c6\\'aa\\'ce\\'c4\\'d5\\'c2 ";
    return b + QByteArray::number(i) + "\\par}";
}

// Adds `count` articles titled prefix + 1..count to a table: a thousand
// appended row by row, then doubled by set copies, then titled and numbered.
void fill(store::Connection& c, const QString& table, const QString& prefix, int count) {
    store::Transaction tx(c);
    c.execute(
        QStringLiteral("create temp table if not exists fill_src([group] text, theme text, "
                       "isformat int, content blob)"));
    {
        store::RecordSet rs(c);
        rs.setSql(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=0"));
        rs.open();
        for (int i = 0; i < qMin(count, 1000); ++i) {
            rs.append();
            rs.setValue(QStringLiteral("group"), QStringLiteral("分类%1").arg(i % 20));
            rs.setNull(QStringLiteral("theme"));
            rs.setValue(QStringLiteral("isformat"), true);
            rs.writeBlob(QStringLiteral("content"), rtfBody(i));
            rs.post();
        }
    }
    const QString insert = QStringLiteral("insert into ") + table +
                           QStringLiteral(" select group,theme,isformat,content from ") + table +
                           QStringLiteral(" where theme is null");
    auto unnamed = [&] {
        store::RecordSet rs(c);
        rs.setSql(QStringLiteral("select count(*) as n from ") + table +
                  QStringLiteral(" where theme is null"));
        rs.open();
        return rs.asInteger(QStringLiteral("n"));
    };
    if (unnamed() == 0) throw store::StoreError("no rows to copy");
    while (unnamed() * 2 <= count) c.execute(insert);
    int missing = count - unnamed();
    while (missing > 0) {
        const int n = qMin(missing, unnamed());
        c.execute(insert + QStringLiteral(" and id in (select id from ") + table +
                      QStringLiteral(" where theme is null limit :n)"),
                  {{QStringLiteral("n"), n}});
        missing -= n;
    }
    // Titles prefix + 1..count in stored order (the new keys are consecutive);
    // order numbers follow the keys.
    store::RecordSet first(c);
    first.setSql(QStringLiteral("select min(id) as m from ") + table +
                 QStringLiteral(" where theme is null"));
    first.open();
    const int base = first.asInteger(QStringLiteral("m")) - 1;
    first.close();
    c.execute(QStringLiteral("update ") + table +
                  QStringLiteral(" set theme = :p || (id - :base), SeqNo = id where theme is null"),
              {{QStringLiteral("p"), prefix}, {QStringLiteral("base"), base}});
    tx.commit();
}

// A database with the four workbooks; `setup` fills it. Built once per name.
QString baseDatabase(const QString& name, const std::function<void(store::Connection&)>& setup) {
    const QString path = workDir().filePath(name + QStringLiteral(".mdb"));
    if (QFile::exists(path)) return path;
    store::Connection::createDatabaseFile(path, kPassword);
    store::Connection c;
    c.setConnectionString(store::makeConnectionString(path, kPassword));
    c.open();
    for (int p = 0; p < 4; ++p) c.createArticleTable(store::workbookTable(p));
    setup(c);
    c.close();
    return path;
}

// Copies a base database to data/YunjanDB.mdb in the work folder and opens a
// session on it there.
std::unique_ptr<store::ArticleStore> freshCopy(const QString& base) {
    QDir::setCurrent(workDir().path());
    QDir().mkpath(QStringLiteral("data"));
    const QString path = QStringLiteral("data/YunjanDB.mdb");
    QFile::remove(path);
    QFile::copy(base, path);
    auto s = std::make_unique<store::ArticleStore>();
    s->connection().setConnectionString(store::makeConnectionString(path, kPassword));
    s->connection().open();
    return s;
}

void BM_TransferAll(benchmark::State& state) {
    const QString base = baseDatabase(QStringLiteral("all"), [](store::Connection& c) {
        fill(c, QStringLiteral("datum"), QStringLiteral("文章"), 100000);
    });
    for (auto _ : state) {
        state.PauseTiming();
        auto s = freshCopy(base);
        state.ResumeTiming();
        store::transferArticles(*s, QStringLiteral("datum"), QStringLiteral("datum1"), std::nullopt,
                                store::TransferMode::All);
        state.PauseTiming();
        if (s->countRows(QStringLiteral("datum1")) != 100000) state.SkipWithError("wrong count");
        s.reset();
        state.ResumeTiming();
    }
}

void BM_TransferNoDuplicates(benchmark::State& state) {
    // Half of the source's titles are already in the target.
    const QString base = baseDatabase(QStringLiteral("nodup"), [](store::Connection& c) {
        fill(c, QStringLiteral("datum1"), QStringLiteral("文章"), 100000);
        fill(c, QStringLiteral("datum"), QStringLiteral("文章"), 5000);
        fill(c, QStringLiteral("datum"), QStringLiteral("新文章"), 5000);
    });
    for (auto _ : state) {
        state.PauseTiming();
        auto s = freshCopy(base);
        state.ResumeTiming();
        store::transferArticles(*s, QStringLiteral("datum"), QStringLiteral("datum1"), std::nullopt,
                                store::TransferMode::NoDuplicates);
        state.PauseTiming();
        if (s->countRows(QStringLiteral("datum1")) != 105000) state.SkipWithError("wrong count");
        s.reset();
        state.ResumeTiming();
    }
}

void BM_Compact(benchmark::State& state) {
    const QString base = baseDatabase(QStringLiteral("compact"), [](store::Connection& c) {
        fill(c, QStringLiteral("datum"), QStringLiteral("文章"), 100000);
    });
    for (auto _ : state) {
        state.PauseTiming();
        auto s = freshCopy(base);
        state.ResumeTiming();
        const store::CompactReport r =
            store::CompactDB(*s, QStringLiteral("data/YunjanDB.mdb"), kPassword);
        state.PauseTiming();
        state.counters["size_kb"] = double(r.afterKb);
        s.reset();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_TransferAll)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_TransferNoDuplicates)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

BENCHMARK_MAIN();
