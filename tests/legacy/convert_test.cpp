// The start-up conversion of a Jet library: the question, Yes and No, a
// failed conversion, the converted library in the real main window, and a
// conversion killed at random moments.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <random>

#include "mainwindow/FlashUnit.h"
#include "mainwindow/JetStartup.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "richtext/RichEditCtrl.h"
#include "settings/LoginUnit.h"
#include "store/ArticleStore.h"
#include "store/LegacyImport.h"
#include "tests/legacy/LegacyFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDb.h"

namespace {

using legacytest::dataPath;
using platform::Answer;

// A program folder whose data/YunjanDB.mdb is the reference Jet library.
class JetFolder : public ::testing::Test {
  protected:
    JetFolder() {
        QFile::copy(source(), db.dbPath());
        QFile::setPermissions(db.dbPath(), QFile::ReadOwner | QFile::WriteOwner);
        store::setImportToolPath(legacytest::toolPath());
    }
    ~JetFolder() override { store::setImportToolPath(QString()); }
    static QString source() { return dataPath(QStringLiteral("YunjanDB.mdb")); }
    QString kept() const { return db.dir() + QStringLiteral("/data/YunjanDB.jet.mdb"); }
    QStringList dataFiles() const {
        return QDir(db.dir() + QStringLiteral("/data")).entryList(QDir::Files, QDir::Name);
    }

    testsupport::TempDb db{testsupport::TempDb::Kind::NoFile};
    testsupport::ScriptedPrompt prompt;
};

TEST_F(JetFolder, YesConvertsAndKeepsTheOriginalBeside) {
    prompt.answers.enqueue(Answer::Yes);
    ASSERT_TRUE(convertJetAtStartup());
    ASSERT_GE(prompt.messages.size(), 1);
    const auto& q = prompt.messages[0];
    EXPECT_EQ(q.caption, QStringLiteral("确认"));
    EXPECT_EQ(q.buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(q.text.contains(QStringLiteral("Access")));
    EXPECT_TRUE(q.text.contains(QStringLiteral("data/YunjanDB.jet.mdb")));
    EXPECT_EQ(prompt.messages.size(), 1);  // success goes on without a further message

    EXPECT_FALSE(store::isJetFile(db.dbPath()));
    EXPECT_EQ(legacytest::readAll(kept()), legacytest::readAll(source()));
    EXPECT_EQ(dataFiles(),
              (QStringList{QStringLiteral("YunjanDB.jet.mdb"), QStringLiteral("YunjanDB.mdb")}));
    EXPECT_EQ(db.scalar("select count(*) from datum").toInt(), 5);
    // Nothing left to do on the next start.
    prompt.clear();
    EXPECT_TRUE(convertJetAtStartup());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(JetFolder, NoOrAFailureLeavesTheFileAsItWasAndEnds) {
    struct Case {
        const char* name;
        qsizetype cut;  // 0: the whole file
        Answer answer;
        const char* message;
    } cases[] = {
        {"declined", 0, Answer::No, "没有转换"},
        {"damaged file", 40960, Answer::Yes, "转换失败"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(db.dbPath());
        {
            QFile f(db.dbPath());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            const QByteArray all = legacytest::readAll(source());
            f.write(c.cut ? all.left(c.cut) : all);
        }
        const QByteArray before = legacytest::readAll(db.dbPath());
        prompt.clear();
        prompt.answers.enqueue(c.answer);
        EXPECT_FALSE(convertJetAtStartup());
        ASSERT_EQ(prompt.messages.size(), 2);
        EXPECT_TRUE(prompt.messages[1].text.contains(QString::fromUtf8(c.message)))
            << prompt.messages[1].text.toStdString();
        EXPECT_EQ(legacytest::readAll(db.dbPath()), before);
        EXPECT_EQ(dataFiles(), QStringList{QStringLiteral("YunjanDB.mdb")});
    }
}

// Titles of a workbook in custom order, from the manifest: by order number,
// nulls first, ties in key order.
QStringList expectedTitles(const QString& table) {
    QList<legacytest::ManifestRow> rows;
    for (const auto& m : legacytest::manifest())
        if (m.table == table) rows << m;
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        const qint64 ka = a.seqNull ? -1 : a.seqNo, kb = b.seqNull ? -1 : b.seqNo;
        return ka != kb ? ka < kb : a.id < b.id;
    });
    QStringList t;
    for (const auto& r : rows) t << r.theme;
    return t;
}

TEST_F(JetFolder, ConvertedLibraryOpensInTheMainWindow) {
    prompt.answers.enqueue(Answer::Yes);
    ASSERT_TRUE(convertJetAtStartup());

    TFlashForm splash;
    TMainForm w(&splash);
    w.settingsFile = db.dir() + QStringLiteral("/yunjan.ini");
    ASSERT_FALSE(w.quitRequested) << prompt.texts().join(u'\n').toStdString();
    EXPECT_TRUE(w.session().loginNeeded);
    EXPECT_EQ(w.session().currentPassword, QStringLiteral("123456"));

    // The login asks for the carried-over password.
    bool asked = false;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dlg = qobject_cast<TLoginForm*>(QApplication::activeModalWidget());
        if (!dlg) return;
        answer.stop();
        asked = true;
        dlg->Edtpass->setText(QStringLiteral("123456"));
        dlg->BtnOkClick();
    });
    answer.start();
    w.show();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(w.quitRequested);

    for (int tab = 0; tab < 3; ++tab) {
        const QString table = store::workbookTable(tab);
        SCOPED_TRACE(table.toStdString());
        w.cxTabControl1->setCurrentIndex(tab);
        QApplication::processEvents();
        QStringList shown;
        for (int i = 0; i < w.ListBox1->count(); ++i) shown << w.ListBox1->item(i)->text();
        const QStringList want = expectedTitles(table);
        ASSERT_EQ(shown.size(), want.size());
        for (int i = 0; i < want.size(); ++i)
            EXPECT_TRUE(shown[i].endsWith(want[i])) << shown[i].toStdString();
    }

    // An RTF article shows formatted: its text in the document, red where
    // the body says \cf1.
    w.cxTabControl1->setCurrentIndex(0);
    QApplication::processEvents();
    const int row = int(
        expectedTitles(QStringLiteral("datum")).indexOf(QStringLiteral("第一篇：中等长度 RTF")));
    ASSERT_GE(row, 0);
    w.ListBox1->setCurrentRow(row);
    w.ListBox1Click();
    const QString text = w.RichEdit1->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("中文正文：数据库迁移测试"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("\\rtf")));
    QTextCursor cur(w.RichEdit1->document());
    cur.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    EXPECT_EQ(cur.charFormat().foreground().color(), QColor(255, 0, 0));
}

// The conversion run in a child process that is killed at random moments:
// afterwards data/YunjanDB.mdb is either the untouched Jet file, or the
// converted library with the original beside it; a new start then finishes.
TEST(JetConversionKills, AlwaysOneOfTheTwoSafeStates) {
    const QString child = QStringLiteral(YUNJAN_BINARY_DIR "/tests/crashchild/yunjan_crashchild");
    const QByteArray original = legacytest::readAll(dataPath(QStringLiteral("YunjanDB.mdb")));
    auto prepare = [&](QTemporaryDir& dir) {
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        QFile f(dir.filePath(QStringLiteral("data/YunjanDB.mdb")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    };
    auto run = [&](QTemporaryDir& dir, double killAfterMs) {
        QProcess p;
        p.start(child, {dir.path(), QStringLiteral("convertjet"), legacytest::toolPath()});
        EXPECT_TRUE(p.waitForStarted(10000));
        while (p.bytesAvailable() == 0 && p.state() == QProcess::Running) p.waitForReadyRead(10000);
        EXPECT_EQ(p.read(1), QByteArray("R"));
        QElapsedTimer t;
        t.start();
        if (killAfterMs >= 0) {
            QThread::usleep(static_cast<unsigned long>(killAfterMs * 1000));
            p.kill();
        }
        EXPECT_TRUE(p.waitForFinished(60000));
        if (killAfterMs < 0) {
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        }
        return t.elapsed();
    };

    qint64 durationMs = 0;
    {
        QTemporaryDir dir;
        prepare(dir);
        durationMs = run(dir, -1);
    }
    std::mt19937 rng(1210);
    std::uniform_real_distribution<double> moment(0.0, double(durationMs) * 1.2 + 1.0);
    int before = 0, after = 0;
    for (int k = 0; k < 20; ++k) {
        const double at = moment(rng);
        SCOPED_TRACE(QStringLiteral("kill %1 at %2 ms").arg(k).arg(at).toStdString());
        QTemporaryDir dir;
        prepare(dir);
        run(dir, at);
        QThread::msleep(50);  // the tool, if it was running, ends with its parent
        const QString db = dir.filePath(QStringLiteral("data/YunjanDB.mdb"));
        const QString kept = dir.filePath(QStringLiteral("data/YunjanDB.jet.mdb"));
        const QByteArray now = legacytest::readAll(db);
        if (now == original) {
            ++before;
            // The next start converts it, reusing the name it may already have.
            store::setImportToolPath(legacytest::toolPath());
            const store::JetConversion r = store::convertJetDatabase(db);
            store::setImportToolPath(QString());
            EXPECT_TRUE(r.ok) << r.message.toStdString();
            EXPECT_EQ(r.keptAs, kept);
        } else {
            ++after;
        }
        EXPECT_EQ(legacytest::readAll(kept), original);
        const auto checked = store::checkImportedDatabase(db, {{QStringLiteral("datum"), 5},
                                                               {QStringLiteral("datum1"), 2},
                                                               {QStringLiteral("datum2"), 3},
                                                               {QStringLiteral("datum3"), 0}});
        EXPECT_TRUE(checked) << checked.error().toStdString();
    }
    std::printf("[ figures  ] Jet conversion %lld ms, %d kills left the original, %d the result\n",
                durationMs, before, after);
}

}  // namespace
