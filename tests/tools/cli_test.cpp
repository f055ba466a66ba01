// The command-line tools behave like Linux tools: --help and --version,
// unknown options refused with exit code 2, options never taken for names.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ToolRun {
    int code = -1;
    QString out, err;
};

ToolRun run(const QString& tool, const QStringList& args, const QString& cwd) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(YUNJAN_BINARY_DIR "/tools/") + tool, args);
    ToolRun r;
    if (!p.waitForFinished(30000)) return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const char* const kTools[] = {"yunjan-initdb", "rtfconv", "yunjan-import-mdb"};

TEST(ToolOptions, HelpVersionAndUnknownOptions) {
    struct Case {
        QStringList args;
        int code;
        bool usageOnStdout, usageOnStderr;
    } cases[] = {
        {{QStringLiteral("--help")}, 0, true, false},
        {{QStringLiteral("--version")}, 0, false, false},
        {{QStringLiteral("--bogus")}, 2, false, true},
        {{QStringLiteral("-x")}, 2, false, true},
        {{QStringLiteral("-h"), QStringLiteral("x")}, 2, false, true},
        {{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 2, false, true},
    };
    for (const char* tool : kTools) {
        for (const Case& c : cases) {
            QTemporaryDir cwd;
            const QString name = QString::fromLatin1(tool);
            SCOPED_TRACE(name.toStdString() + " " + c.args.join(' ').toStdString());
            const ToolRun r = run(name, c.args, cwd.path());
            EXPECT_EQ(r.code, c.code) << r.err.toStdString();
            const QString usage = QStringLiteral("用法：") + name;
            EXPECT_EQ(r.out.contains(usage), c.usageOnStdout) << r.out.toStdString();
            EXPECT_EQ(r.err.contains(usage), c.usageOnStderr) << r.err.toStdString();
            if (c.args.first() == QLatin1String("--version")) {
                EXPECT_EQ(r.out.trimmed().toStdString(), (name + " " YUNJAN_VERSION).toStdString());
            }
            if (c.code == 2) {
                EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
            }
            // Nothing is made in the working folder.
            EXPECT_TRUE(QDir(cwd.path()).isEmpty())
                << QDir(cwd.path()).entryList().join(' ').toStdString();
        }
    }
}

TEST(ToolOptions, DoubleDashMakesTheNextWordAName) {
    QTemporaryDir cwd;
    const ToolRun made = run(QStringLiteral("yunjan-initdb"),
                             {QStringLiteral("--"), QStringLiteral("--help")}, cwd.path());
    EXPECT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(cwd.filePath(QStringLiteral("--help/data/YunjanDB.mdb"))));

    QFile in(cwd.filePath(QStringLiteral("-in.txt")));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write("abc\r\n");
    in.close();
    const ToolRun conv = run(
        QStringLiteral("rtfconv"),
        {QStringLiteral("--"), QStringLiteral("-in.txt"), QStringLiteral("-out.rtf")}, cwd.path());
    EXPECT_EQ(conv.code, 0) << conv.err.toStdString();
    QFile out(cwd.filePath(QStringLiteral("-out.rtf")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.readAll().startsWith("{\\rtf1"));
}

}  // namespace
