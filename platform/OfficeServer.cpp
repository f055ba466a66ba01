#include "platform/OfficeServer.h"

#include <sys/types.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

// Talks to the server over its UNO pipe: loads a document hidden, stores it
// with an export filter (pictures embedded), closes it; or asks the server to
// terminate. Exit codes: 3 the document cannot be loaded, 4 no server.
const char kBridge[] = R"PY(
import sys, time
import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException

def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p

def connect(pipe, wait):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    deadline = time.time() + wait
    while True:
        try:
            ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
            return ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        except NoConnectException:
            if time.time() > deadline:
                sys.exit(4)
            time.sleep(0.2)

mode, pipe, wait = sys.argv[1], sys.argv[2], float(sys.argv[3])
desktop = connect(pipe, wait)
if mode == "quit":
    try:
        desktop.terminate()
    except Exception:
        pass
    sys.exit(0)
src, dst, infilter, outfilter = sys.argv[4], sys.argv[5], sys.argv[6], sys.argv[7]
props = [prop("Hidden", True)]
if infilter:
    props.append(prop("FilterName", infilter))
try:
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(src), "_blank", 0, tuple(props))
except Exception:
    doc = None
if doc is None:
    sys.exit(3)
try:
    if hasattr(doc, "GraphicObjects"):
        for i in range(doc.GraphicObjects.getCount()):
            g = doc.GraphicObjects.getByIndex(i)
            try:
                g.Graphic = g.Graphic
            except Exception:
                pass
    doc.storeToURL(uno.systemPathToFileUrl(dst), (prop("FilterName", outfilter),))
finally:
    doc.close(True)
)PY";

struct State {
    std::mutex mutex;
    qint64 pid = 0;  // the server we started, 0 when none
    QString profileDir;
    QString pipeName;
    std::optional<QString> searchPath;
    std::atomic<int> timeoutMs{120000};
    std::atomic<int> openDocuments{0};
    bool used = false;  // connect() succeeded in this run
    // A call to our server got no answer: it is not working, and shutdown
    // ends it without asking.
    std::atomic<bool> failing{false};
    QHash<QString, bool> bridgeChecked;  // interpreter -> whether it imports uno
};

State& state() {
    static State s;
    return s;
}

bool processAlive(qint64 pid) {
    if (pid <= 0) return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0) return false;
    // A finished child that was not reaped yet counts as gone.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray s = stat.readAll();
        const int close = s.lastIndexOf(')');
        if (close > 0 && close + 2 < s.size() && s.at(close + 2) == 'Z') return false;
    }
    return true;
}

// Kills the processes whose parent is pid (the office process under its
// launcher).
void killChildren(qint64 pid) {
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& e : entries) {
        bool number = false;
        const qint64 child = e.toLongLong(&number);
        if (!number) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray st = stat.readAll();
        const int close = st.lastIndexOf(')');
        if (close < 0) continue;
        const QList<QByteArray> fields = st.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            ::kill(static_cast<pid_t>(child), SIGKILL);
    }
}

QString findOffice(const std::optional<QString>& searchPath) {
    if (!searchPath) return QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (searchPath->isEmpty()) return {};
    return QStandardPaths::findExecutable(QStringLiteral("soffice"),
                                          searchPath->split(QLatin1Char(':'), Qt::SkipEmptyParts));
}

QString findPython(const std::optional<QString>& searchPath) {
    // A search path of its own (set for tests) is looked at first.
    if (searchPath) {
        if (searchPath->isEmpty()) return {};
        const QString found = QStandardPaths::findExecutable(
            QStringLiteral("python3"), searchPath->split(QLatin1Char(':'), Qt::SkipEmptyParts));
        if (!found.isEmpty()) return found;
    }
    // The system interpreter carries LibreOffice's `uno` module.
    if (QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

// Whether the interpreter has LibreOffice's Python bridge (Debian's
// python3-uno): without it no call reaches the server. Asked once per run.
bool bridgeImportsUno(State& s, const QString& python) {
    const auto known = s.bridgeChecked.constFind(python);
    if (known != s.bridgeChecked.constEnd()) return *known;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(python, {QStringLiteral("-c"), QStringLiteral("import uno")});
    const bool ok = p.waitForStarted(10000) && p.waitForFinished(30000) &&
                    p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(2000);
    }
    s.bridgeChecked.insert(python, ok);
    return ok;
}

QString inputFilterFor(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("htm") || ext == QLatin1String("html"))
        return QStringLiteral("HTML (StarWriter)");
    return {};
}

// Runs the bridge; its exit code, or -1 when it could not run or timed out.
int runBridge(const QString& python, const QStringList& args, int timeoutMs) {
    if (python.isEmpty()) return -1;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(python, QStringList{QStringLiteral("-c"), QString::fromUtf8(kBridge)} + args);
    if (!p.waitForStarted(10000)) return -1;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// How long a call waits for a starting server to answer on its pipe.
constexpr int kStartWaitMs = 150000;

QString waitSeconds() {
    return QString::number(kStartWaitMs / 1000);
}

}  // namespace

QByteArray OfficeServer::wordStyleRtf(const QByteArray& rtf) {
    // LibreOffice marks bold and italic East Asian text with the associated
    // \ab and \ai only; the word processor's copy carries \b and \i too.
    QByteArray out;
    out.reserve(rtf.size() + rtf.size() / 16);
    const int n = rtf.size();
    int i = 0;
    while (i < n) {
        const char c = rtf.at(i);
        if (c != '\\' || i + 1 >= n) {
            out.append(c);
            ++i;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(rtf.at(i + 1)))) {
            out.append(rtf.mid(i, 2));  // control symbol, e.g. an escaped backslash
            i += 2;
            continue;
        }
        int j = i + 1;
        while (j < n && std::isalpha(static_cast<unsigned char>(rtf.at(j)))) ++j;
        const QByteArray word = rtf.mid(i + 1, j - i - 1);
        int k = j;
        if (k < n && rtf.at(k) == '-') ++k;
        while (k < n && std::isdigit(static_cast<unsigned char>(rtf.at(k)))) ++k;
        const QByteArray param = rtf.mid(j, k - j);
        out.append(rtf.mid(i, k - i));
        if (word == "ab" || word == "ai") out.append("\\" + word.right(1) + param);
        i = k;
    }
    return out;
}

OfficeServer::Document::Document(Document&& other) noexcept
    : open_(other.open_), rtf_(std::move(other.rtf_)), workDir_(std::move(other.workDir_)) {
    other.open_ = false;
    other.workDir_.clear();
}

OfficeServer::Document& OfficeServer::Document::operator=(Document&& other) noexcept {
    if (this != &other) {
        closeWithoutSaving();
        open_ = other.open_;
        rtf_ = std::move(other.rtf_);
        workDir_ = std::move(other.workDir_);
        other.open_ = false;
        other.workDir_.clear();
    }
    return *this;
}

OfficeServer::Document::~Document() {
    closeWithoutSaving();
}

void OfficeServer::Document::closeWithoutSaving() {
    if (!workDir_.isEmpty()) QDir(workDir_).removeRecursively();
    workDir_.clear();
    if (open_) {
        open_ = false;
        --state().openDocuments;
    }
}

bool OfficeServer::connect() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (processAlive(s.pid)) return true;
    s.used = false;
    s.failing = false;
    // What the import needs: the office program and the bridge to drive it.
    const QString exe = findOffice(s.searchPath);
    if (exe.isEmpty()) return false;
    const QString python = findPython(s.searchPath);
    if (python.isEmpty() || !bridgeImportsUno(s, python)) return false;
    // The launcher stays the parent of the office process and restarts it
    // when a new profile needs that.
    const QString program = exe;

    // One profile per user, kept between runs: a new profile costs the
    // server many seconds at its first start.
    const uint uid = ::getuid();
    s.pipeName = QStringLiteral("yunjan_office_%1").arg(uid);
    s.profileDir = QDir::tempPath() + QStringLiteral("/yunjan-office-%1").arg(uid);
    QDir().mkpath(s.profileDir);
    const QStringList args{
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--nologo"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nodefault"),
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(s.profileDir).toString(),
        QStringLiteral("--accept=pipe,name=%1;urp;").arg(s.pipeName)};
    QProcess proc;
    proc.setProgram(program);
    proc.setArguments(args);
    proc.setStandardOutputFile(QProcess::nullDevice());
    proc.setStandardErrorFile(QProcess::nullDevice());
    if (s.searchPath) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), *s.searchPath);
        proc.setProcessEnvironment(env);
    }
    qint64 pid = 0;
    if (!proc.startDetached(&pid)) return false;
    s.pid = pid;
    s.used = true;
    return true;
}

bool OfficeServer::isRunning() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return processAlive(s.pid);
}

base::Result<QString> OfficeServer::convert(const QString& path, const QString& convertTo,
                                            const QString& outDir) {
    auto fail = [](const QString& why) { return base::failure(why); };
    if (!QFileInfo::exists(path)) return fail(QStringLiteral("找不到文件：") + path);
    if (!connect()) return fail(QStringLiteral("没有安装 LibreOffice。"));
    const int colon = convertTo.indexOf(QLatin1Char(':'));
    const QString ext = colon < 0 ? convertTo : convertTo.left(colon);
    const QString filter =
        colon < 0 ? QStringLiteral("Rich Text Format") : convertTo.mid(colon + 1);
    const QString out =
        QDir(outDir).filePath(QFileInfo(path).completeBaseName() + QLatin1Char('.') + ext);
    QFile::remove(out);
    QString pipe, python;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        pipe = state().pipeName;
        python = findPython(state().searchPath);
    }
    // The server takes one document at a time; concurrent loads on a server
    // that is still starting can fail.
    static std::mutex serverCalls;
    std::lock_guard<std::mutex> one(serverCalls);
    int rc = -1;
    // A server that has just started may refuse a first load: once more.
    for (int attempt = 0; attempt < 2 && rc != 0; ++attempt)
        rc = runBridge(
            python,
            {QStringLiteral("convert"), pipe, waitSeconds(), QFileInfo(path).absoluteFilePath(),
             QFileInfo(out).absoluteFilePath(), inputFilterFor(path), filter},
            kStartWaitMs + state().timeoutMs.load());
    // 3: the server answered but could not load the document.
    state().failing = rc != 0 && rc != 3;
    if (rc == 3) return fail(QStringLiteral("文字处理程序无法打开该文档。"));
    if (rc != 0 || !QFileInfo(out).isFile() || QFileInfo(out).size() == 0)
        return fail(QStringLiteral("文字处理程序没有响应。"));
    return out;
}

namespace {
QString makeWorkDir() {
    const QString dir = QDir::tempPath() + QStringLiteral("/yunjan-import-XXXXXX");
    QByteArray tmpl = QFile::encodeName(dir);
    if (!::mkdtemp(tmpl.data())) return {};
    return QFile::decodeName(tmpl);
}
}  // namespace

base::Result<OfficeServer::Document> OfficeServer::open(const QString& path) {
    // A document the server could not take is closed again when doc goes.
    Document doc;
    // The document counts as open from the moment the server is asked for it.
    doc.open_ = true;
    ++state().openDocuments;
    doc.workDir_ = makeWorkDir();
    if (doc.workDir_.isEmpty()) return base::failure(QStringLiteral("无法创建临时文件夹。"));
    const auto out = convert(path, QStringLiteral("rtf:Rich Text Format"), doc.workDir_);
    if (!out) return base::failure(out.error());
    QFile f(out.value());
    if (!f.open(QIODevice::ReadOnly)) return base::failure(QStringLiteral("无法读取复制的文档。"));
    doc.rtf_ = wordStyleRtf(f.readAll());
    return base::Result<Document>(std::move(doc));
}

base::Result<OfficeServer::Document> OfficeServer::addAndPasteHtml(const QString& html) {
    // A document the server could not take is closed again when doc goes.
    Document doc;
    doc.open_ = true;
    ++state().openDocuments;
    doc.workDir_ = makeWorkDir();
    if (doc.workDir_.isEmpty()) return base::failure(QStringLiteral("无法创建临时文件夹。"));
    const QString src = doc.workDir_ + QStringLiteral("/paste.html");
    QFile f(src);
    if (!f.open(QIODevice::WriteOnly)) return base::failure(QStringLiteral("无法写入临时文件。"));
    QByteArray bytes = html.toUtf8();
    // Mark the encoding unless the fragment already says it.
    if (!html.contains(QLatin1String("charset"), Qt::CaseInsensitive))
        bytes.prepend("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    f.write(bytes);
    f.close();
    const QString outDir = doc.workDir_ + QStringLiteral("/out");
    QDir().mkpath(outDir);
    const auto out = convert(src, QStringLiteral("rtf:Rich Text Format"), outDir);
    if (!out) return base::failure(out.error());
    QFile r(out.value());
    if (!r.open(QIODevice::ReadOnly)) return base::failure(QStringLiteral("无法读取复制的文档。"));
    doc.rtf_ = wordStyleRtf(r.readAll());
    return base::Result<Document>(std::move(doc));
}

int OfficeServer::documentCount() {
    return state().openDocuments.load();
}

void OfficeServer::quit() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (processAlive(s.pid)) {
        // A server that did not answer is ended at once: asking it, and
        // waiting for it, would only keep the program from closing.
        const bool asked =
            !s.failing &&
            runBridge(findPython(s.searchPath),
                      {QStringLiteral("quit"), s.pipeName, QStringLiteral("2")}, 8000) == 0;
        for (int i = 0; asked && i < 50 && processAlive(s.pid); ++i) QThread::msleep(100);
        if (processAlive(s.pid)) {
            killChildren(s.pid);
            ::kill(static_cast<pid_t>(s.pid), SIGKILL);
        }
    } else if (s.used && !s.failing) {
        // Our launcher is gone: it may have handed over to a server an
        // earlier run left behind on the same profile, which serves our pipe
        // since. Whoever answers there is told to quit.
        runBridge(findPython(s.searchPath),
                  {QStringLiteral("quit"), s.pipeName, QStringLiteral("1")}, 8000);
    }
    s.pid = 0;
    s.used = false;
    s.failing = false;
}

bool OfficeServer::quitIfIdle() {
    if (documentCount() >= 1) return false;
    {
        State& s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.used) return false;
    }
    quit();
    return true;
}

void OfficeServer::disown() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.pid = 0;
    s.used = false;
}

void OfficeServer::setSearchPath(std::optional<QString> path) {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().searchPath = std::move(path);
}

void OfficeServer::setTimeoutMs(int ms) {
    state().timeoutMs = ms;
}

}  // namespace platform
