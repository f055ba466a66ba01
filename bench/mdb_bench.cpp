// Converting a library in the Access/Jet format: BM_ImportMdb20k runs
// yunjan-import-mdb (as the start-up conversion does) on 20,000 articles
// (two thirds RTF, bodies of 2 to 10 KB, 123 MB) into a new database.
//
// The file comes packed from ../shared/legacy-mdb/bench-20000.mdb.gz beside
// the source tree (or YUNJAN_LEGACY_MDB_DIR) and is unpacked into a
// temporary folder once; the benchmark is skipped when it is not there.
//
// Targets: under 5 s; peak memory of the converting process (peak_MB, the
// largest resident size of a child) under 300 MB.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString packedFile() {
    const QString dir = qEnvironmentVariableIsEmpty("YUNJAN_LEGACY_MDB_DIR")
                            ? QStringLiteral(YUNJAN_SOURCE_DIR "/../shared/legacy-mdb")
                            : qEnvironmentVariable("YUNJAN_LEGACY_MDB_DIR");
    return QDir(dir).absoluteFilePath(QStringLiteral("bench-20000.mdb.gz"));
}

QTemporaryDir& tempDir() {
    static QTemporaryDir dir;
    return dir;
}

// The unpacked file, or empty when the packed one is missing.
QString benchFile() {
    static QString path;
    if (!path.isEmpty()) return path;
    if (!QFile::exists(packedFile())) return QString();
    const QString out = tempDir().filePath(QStringLiteral("bench-20000.mdb"));
    QProcess gz;
    gz.setStandardOutputFile(out);
    gz.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), packedFile()});
    if (!gz.waitForFinished(120000) || gz.exitCode() != 0) return QString();
    path = out;
    return path;
}

void BM_ImportMdb20k(benchmark::State& state) {
    const QString src = benchFile();
    if (src.isEmpty()) {
        state.SkipWithError("bench-20000.mdb.gz not found");
        return;
    }
    const QString tool = QStringLiteral(YUNJAN_BINARY_DIR "/tools/yunjan-import-mdb");
    const QString dest = tempDir().filePath(QStringLiteral("converted.mdb"));
    QByteArray counts;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(dest);
        state.ResumeTiming();
        QProcess p;
        p.start(tool, {src, dest});
        p.waitForFinished(600000);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            state.SkipWithError(p.readAllStandardError().constData());
            return;
        }
        counts = p.readAllStandardOutput();
    }
    if (!counts.contains("datum: 20000")) state.SkipWithError("not every article came out");
    struct rusage ru {};
    getrusage(RUSAGE_CHILDREN, &ru);
    state.counters["peak_MB"] = double(ru.ru_maxrss) / 1024.0;
    state.counters["dest_MB"] = double(QFile(dest).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ImportMdb20k)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
