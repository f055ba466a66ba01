// Word-processor import through LibreOffice: a 20-page .docx and a paste of
// web content, each on the first call (the server starts) and on later calls
// (the server kept running answers).
//
// BM_*/first runs once with no server running; BM_*/again runs with the
// server up. Needs LibreOffice (soffice and the python3 uno bridge).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/OfficeServer.h"
#include "richtext/RichEditCtrl.h"

namespace {

using platform::OfficeServer;

struct Fixture {
    QTemporaryDir dir;
    QString docx;
    QString html;
};

Fixture& fixture() {
    static Fixture f = [] {
        Fixture x;
        QString page;
        for (int p = 0; p < 20; ++p) {
            page += QStringLiteral("<h1>第%1页</h1>").arg(p + 1);
            for (int i = 0; i < 12; ++i)
                page += QStringLiteral(
                    "<p>云笺录的文章正文，<b>粗体</b>与<span style=\"color:#c00000\">红色</span>"
                    "交替出现，用来测量导入一篇较长文档所需的时间。</p>");
            page += QStringLiteral("<p style=\"page-break-after: always\"></p>");
        }
        x.html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>") + page +
                 QStringLiteral("</body></html>");
        const QString src = x.dir.filePath(QStringLiteral("long.html"));
        QFile file(src);
        if (file.open(QIODevice::WriteOnly)) file.write(x.html.toUtf8());
        file.close();
        const auto docx =
            OfficeServer::convert(src, QStringLiteral("docx:MS Word 2007 XML"), x.dir.path());
        if (docx) x.docx = docx.value();
        return x;
    }();
    return f;
}

bool ready(benchmark::State& state) {
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
        state.SkipWithError("LibreOffice is not installed");
        return false;
    }
    if (fixture().docx.isEmpty()) {
        state.SkipWithError("the test document could not be made");
        return false;
    }
    return true;
}

void importOnce(benchmark::State& state, richtext::RichEditCtrl& pane, bool paste) {
    auto opened =
        paste ? OfficeServer::addAndPasteHtml(fixture().html) : OfficeServer::open(fixture().docx);
    if (!opened) {
        state.SkipWithError("import failed");
        return;
    }
    OfficeServer::Document& doc = opened.value();
    pane.loadFromBytes(doc.selectAllAndCopy());
    doc.closeWithoutSaving();
}

void run(benchmark::State& state, bool paste) {
    if (!ready(state)) return;
    const bool first = state.range(0) == 0;
    richtext::RichEditCtrl pane;
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            OfficeServer::quit();
            state.ResumeTiming();
        } else if (!OfficeServer::isRunning()) {
            state.PauseTiming();
            OfficeServer::connect();
            if (auto warm = OfficeServer::addAndPasteHtml(QStringLiteral("<p>x</p>")))
                warm.value().closeWithoutSaving();
            state.ResumeTiming();
        }
        importOnce(state, pane, paste);
    }
}

void BM_ImportDocx(benchmark::State& state) {
    run(state, false);
}
void BM_PasteWebFormat(benchmark::State& state) {
    run(state, true);
}

BENCHMARK(BM_ImportDocx)->ArgName("again")->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportDocx)->ArgName("again")->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteWebFormat)
    ->ArgName("again")
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteWebFormat)
    ->ArgName("again")
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    OfficeServer::quit();
    return 0;
}
