// AddDB: appending a workbook of another library (Jet or this program's own
// format) into a workbook of the target database.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "adddb/AddDBForm.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "store/LegacyImport.h"
#include "tests/legacy/LegacyFixture.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDb.h"

namespace {

using legacytest::dataPath;

using testsupport::L;

class AddDBTest : public ::testing::Test {
  protected:
    AddDBTest() {
        store::setImportToolPath(legacytest::toolPath());
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
        db.addArticle("datum1", QStringLiteral("旧"), QStringLiteral("乙"), 2);
        db.addArticle("datum1", QStringLiteral("旧"), QStringLiteral("短 RTF"), 1);
    }
    ~AddDBTest() override { store::setImportToolPath(QString()); }

    // The reference library's main workbook converted into this program's
    // format (a source of the other kind).
    QString convertedSource() {
        const QString p = tmp.filePath(QStringLiteral("converted.mdb"));
        const store::ImportRun r =
            store::runImportTool(dataPath(QStringLiteral("YunjanDB.mdb")), p, 30000);
        EXPECT_TRUE(r.ok) << r.message.toStdString();
        return p;
    }

    void choose(TAddDBForm& f, const QString& sourceTable, const QString& targetTable, bool skip) {
        f.CBXsource->setCurrentIndex(f.CBXsource->findData(sourceTable));
        f.CBXtarget->setCurrentIndex(f.CBXtarget->findData(targetTable));
        f.ChkSkip->setChecked(skip);
    }

    QTemporaryDir tmp;
    testsupport::TempDb db;
    testsupport::ScriptedPrompt prompt;
};

// Source datum in custom order: 短 RTF (no number), 第二篇, 第一篇, 纯文本, 空内容.
TEST_F(AddDBTest, AppendsAfterTheTargetsArticles) {
    struct Case {
        const char* name;
        bool jetSource;
        bool skip;
        QStringList titles;  // of datum1 afterwards, in custom order
        const char* message;
    } cases[] = {
        {"Jet source, all", true, false,
         L({"短 RTF", "乙", "短 RTF", "第二篇：长 RTF（跨多页）", "第一篇：中等长度 RTF",
            "纯文本（OLE 字段里的 GBK 字节）", "空内容"}),
         "已追加 5 篇"},
        {"own-format source, existing titles skipped", false, true,
         L({"短 RTF", "乙", "第二篇：长 RTF（跨多页）", "第一篇：中等长度 RTF",
            "纯文本（OLE 字段里的 GBK 字节）", "空内容"}),
         "跳过了 1 篇"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec("delete * from datum1 where [group]<>'旧'");
        prompt.clear();
        TAddDBForm f(QStringLiteral("data/YunjanDB.mdb"));
        EXPECT_EQ(f.EdtTarget->text(), db.dbPath());
        EXPECT_FALSE(f.BtnTarget->isVisibleTo(&f));  // "-s": the target is given
        const QString src =
            c.jetSource ? dataPath(QStringLiteral("YunjanDB.mdb")) : convertedSource();
        const QByteArray srcBefore = legacytest::fileHash(src);
        ASSERT_TRUE(f.loadSource(src)) << prompt.texts().join(u'\n').toStdString();
        EXPECT_EQ(f.CBXsource->count(), 4);
        choose(f, QStringLiteral("datum"), QStringLiteral("datum1"), c.skip);
        f.BtnAppend->click();  // the target's own connection stays open meanwhile
        ASSERT_FALSE(prompt.messages.isEmpty());
        EXPECT_TRUE(prompt.lastText().contains(QString::fromUtf8(c.message)))
            << prompt.lastText().toStdString();
        EXPECT_EQ(testsupport::titles(db.conn(), QStringLiteral("datum1")), c.titles);
        QStringList numbers;
        for (int i = 1; i <= c.titles.size(); ++i) numbers << QString::number(i);
        EXPECT_EQ(testsupport::seqNos(db.conn(), QStringLiteral("datum1")), numbers);
        EXPECT_EQ(legacytest::fileHash(src), srcBefore);
        // Bodies byte for byte: the long RTF and the null body.
        EXPECT_EQ(db.scalar("select content from datum1 where theme=:t",
                            {{QStringLiteral("t"), QStringLiteral("第二篇：长 RTF（跨多页）")}})
                      .toByteArray(),
                  legacytest::readAll(dataPath(QStringLiteral("expected/datum.2.content.bin"))));
        EXPECT_TRUE(db.scalar("select content from datum1 where theme=:t",
                              {{QStringLiteral("t"), QStringLiteral("空内容")}})
                        .isNull());
    }
}

TEST_F(AddDBTest, FailureInTheMiddleLeavesTheTargetUnchanged) {
    const QStringList before = testsupport::libraryFingerprint(db.conn());
    TAddDBForm f(QStringLiteral("data/YunjanDB.mdb"));
    ASSERT_TRUE(f.loadSource(dataPath(QStringLiteral("YunjanDB.mdb"))));
    choose(f, QStringLiteral("datum"), QStringLiteral("datum1"), false);
    f.onRow = [](int done, int) {
        if (done == 3) throw store::StoreError("disk full");
    };
    f.BtnAppend->click();
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("没有改动")))
        << prompt.lastText().toStdString();
    EXPECT_EQ(testsupport::libraryFingerprint(db.conn()), before);
}

TEST_F(AddDBTest, SourcesThatCannotBeRead) {
    const QString text = tmp.filePath(QStringLiteral("notes.mdb"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some text");
    }
    const QString damaged = tmp.filePath(QStringLiteral("damaged.mdb"));
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(legacytest::readAll(dataPath(QStringLiteral("YunjanDB.mdb"))).left(40960));
    }
    for (const QString& src : {text, damaged}) {
        SCOPED_TRACE(src.toStdString());
        prompt.clear();
        TAddDBForm f(QStringLiteral("data/YunjanDB.mdb"));
        EXPECT_FALSE(f.loadSource(src));
        EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("无法")))
            << prompt.lastText().toStdString();
        EXPECT_FALSE(f.BtnAppend->isEnabled());
    }
}

// A picture of the window for looking at it, when YUNJAN_SCREENSHOT_DIR names a folder.
// The target list names the workbooks as the main program's settings file
// does (GBK), in workbook order.
TEST_F(AddDBTest, TargetWorkbooksCarryTheNamesOfTheSettingsFile) {
    const QString ini = platform::mainProgramPaths().settingsFile;
    ASSERT_FALSE(QFile::exists(ini)) << ini.toStdString();
    platform::ProfileFile file(ini);
    ASSERT_TRUE(file.writeString(QStringLiteral("cxTabControl1TabsName"),
                                 QStringLiteral("cxTabControl1TabsName2"),
                                 QStringLiteral("读书笔记")));
    struct Remove {
        QString path;
        ~Remove() { QFile::remove(path); }
    } remove{ini};
    TAddDBForm f(QStringLiteral("data/YunjanDB.mdb"));
    QStringList names;
    for (int i = 0; i < f.CBXtarget->count(); ++i) names << f.CBXtarget->itemText(i);
    EXPECT_EQ(names, L({"主工作簿", "工作簿1", "读书笔记", "工作簿3"}));
}

TEST_F(AddDBTest, Screenshot) {
    const QString dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "YUNJAN_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    TAddDBForm f(QStringLiteral("data/YunjanDB.mdb"));
    f.show();
    ASSERT_TRUE(f.loadSource(dataPath(QStringLiteral("YunjanDB.mdb"))));
    QApplication::processEvents();
    EXPECT_TRUE(f.grab().save(QDir(dir).filePath(QStringLiteral("adddb.png"))));
}

}  // namespace
