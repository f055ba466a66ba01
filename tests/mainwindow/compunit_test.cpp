// The maintenance dialog in the real main window: its pages and lists, the
// compaction report, clearing, the transfer page and the category page.

#include "mainwindow/CompUnit.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "store/Maintenance.h"
#include "tests/mainwindow/MainFixture.h"
#include "tests/support/Helpers.h"
#include "widgets/ViewerFindDialog.h"

using namespace mwtest;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using testsupport::RecordedMessage;

namespace {

const QString kPassword = QString::fromLatin1(store::kDatabasePassword);
const QByteArray kRtf(
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
    "\\f0\\fs24 \\'d6\\'d0\\b bold\\b0\\par\r\n}");

using testsupport::fileHash;

using testsupport::OtherProcess;

class CompFormTest : public EmptyDbTest {
  protected:
    // Main window with tab `tab` selected, and the dialog shown (FormShow ran).
    TCompForm& openDialog(int tab = 0) {
        if (!w) open();
        if (w->selectedTab() != tab) {
            w->cxTabControl1->setCurrentIndex(tab);
            QApplication::processEvents();
        }
        dlg = std::make_unique<TCompForm>(w.get(), w.get());
        dlg->show();
        QApplication::processEvents();
        return *dlg;
    }
    static QStringList texts(const QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        return out;
    }
    QStringList groupTitles(const QString& table) {
        const QString sql =
            QStringLiteral("select * from ") + table + QStringLiteral(" ORDER BY [seqno], [id]");
        const QStringList g = db.column(sql, "group");
        const QStringList t = db.column(sql, "theme");
        QStringList out;
        for (int i = 0; i < g.size(); ++i) out << g[i] + u'/' + t[i];
        return out;
    }
    void TearDown() override { dlg.reset(); }

    std::unique_ptr<TCompForm> dlg;
};

// ------------------------------------------------------------------ the dialog

TEST_F(CompFormTest, OpensFromTheMenuOnTheCategoryPage) {
    db.addArticle("datum", "读书", "a", 1);
    open();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TCompForm*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_EQ(d->windowTitle(), "数据库维护");
        EXPECT_EQ(d->PageControl1->count(), 3);
        EXPECT_EQ(d->PageControl1->tabText(0), "数据库压缩 清空");
        EXPECT_EQ(d->PageControl1->tabText(1), "数据转移");
        EXPECT_EQ(d->PageControl1->tabText(2), "更改文档分类");
        EXPECT_EQ(d->PageControl1->currentIndex(), 2);
        d->reject();
    });
    w->action("mmMaintain")->trigger();
    EXPECT_TRUE(seen);
}

TEST_F(CompFormTest, FormShowFillsEveryList) {
    db.addArticle("datum", "读书", "a", 1);
    open();
    db.addArticle("datum2", "Java", "b", 1);
    db.addArticle("datum2", "随笔", "c", 2);
    db.addArticle("datum2", "JAVA", "d", 3);
    TCompForm& d = openDialog(2);
    const QStringList captions = L({"主工作簿", "工作簿1", "工作簿2", "工作簿3"});
    EXPECT_EQ(texts(d.cbxTarget), captions);
    EXPECT_EQ(d.cbxTarget->currentIndex(), 1);
    EXPECT_EQ(texts(d.ComboBox1), captions);
    EXPECT_EQ(d.ComboBox1->currentIndex(), 2);
    EXPECT_EQ(texts(d.cbxCondition), categories());
    EXPECT_EQ(texts(d.cbxCondition), L({"全部", "Java", "随笔"}));
    EXPECT_EQ(d.cbxCondition->currentIndex(), 0);
    EXPECT_EQ(texts(d.cbxMode), L({"全部添加，不删除原文章", "无重复添加不删除原文章",
                                   "全部添加，删除原文章", "无重复添加删除原文章"}));
    EXPECT_EQ(d.cbxMode->currentIndex(), 0);
    EXPECT_EQ(d.Label1->text(), "【 工作簿2 】");
    // Categories of the chosen workbook, first occurrence, letter case ignored.
    EXPECT_EQ(texts(d.ComboBox2), L({"Java", "随笔"}));
    EXPECT_EQ(texts(d.ComboBox3), L({"Java", "随笔"}));
    EXPECT_EQ(d.ComboBox2->currentIndex(), 0);
    EXPECT_EQ(d.ComboBox3->currentText(), "Java");
    EXPECT_TRUE(d.ComboBox3->isEditable());
    EXPECT_EQ(d.Memo1->toPlainText().split(u'\n').size(), 11);
    EXPECT_TRUE(d.Memo1->toPlainText().startsWith("        压缩数据库，能够\n节约硬盘空间"));
    EXPECT_EQ(d.Label5->text(), "注意：无重复添加，速度会很慢，请耐心等待！");
    EXPECT_EQ(d.ProgressBar1->value(), 0);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

// ------------------------------------------------------------------ compaction

// Pages of the compacted copy of a database file, compacted elsewhere.
qint64 compactedSize(const QString& liveDb) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("data");
    const QString copy = dir.filePath("data/YunjanDB.mdb");
    QFile::copy(liveDb, copy);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        store::ArticleStore s;
        store::CompactDB(s, "data/YunjanDB.mdb", kPassword);
    }
    QDir::setCurrent(cwd);
    return QFileInfo(copy).size();
}

void addRows(testsupport::TempDb& db, const QString& table, qint64 n) {
    store::Transaction tx(db.conn());
    for (qint64 i = 0; i < n; ++i)
        db.exec(QStringLiteral("insert into ") + table + QStringLiteral("(x) values(:x)"),
                {{QStringLiteral("x"), QString(1000, u'p')}});
    tx.commit();
}

TEST_F(CompFormTest, CompactionReportsWholeKilobytesAndShowsTheMainWorkbook) {
    db.addArticle("datum", "读书", "主一", 1);
    db.addArticle("datum", "随笔", "主二", 2);
    open();
    db.addArticle("datum2", "其他", "二一", 1);
    // Shape the file: 2,097,152 bytes that compact to 1,572,864 bytes.
    const qint64 wantAfter = 1572864, wantBefore = 2097152;
    db.exec("create table pad(x text)");
    for (qint64 size = compactedSize(db.dbPath()); size != wantAfter;
         size = compactedSize(db.dbPath())) {
        ASSERT_LT(size, wantAfter);
        addRows(db, "pad", qMax<qint64>(1, (wantAfter - size) / 4096 * 3));
    }
    db.exec("create table junk(x text)");
    for (qint64 size = QFileInfo(db.dbPath()).size(); size != wantBefore;
         size = QFileInfo(db.dbPath()).size()) {
        ASSERT_LT(size, wantBefore);
        addRows(db, "junk", qMax<qint64>(1, (wantBefore - size) / 4096 * 3));
    }
    db.exec("drop table junk");
    ASSERT_EQ(QFileInfo(db.dbPath()).size(), wantBefore);
    db.closeConnection();

    TCompForm& d = openDialog(2);
    const QStringList tabTwo = items();
    d.Button1->click();
    ASSERT_EQ(prompt.messages.size(), 2) << prompt.texts().join(" / ").toStdString();
    const RecordedMessage& ask = prompt.messages[0];
    EXPECT_EQ(ask.text, "确认压缩数据库？");
    EXPECT_EQ(ask.caption, "警告");
    EXPECT_EQ(ask.buttons, Buttons::OkCancel);
    EXPECT_EQ(ask.icon, Icon::None);
    EXPECT_EQ(prompt.messages[1].kind, RecordedMessage::Information);
    EXPECT_EQ(prompt.messages[1].text,
              "压缩整理成功！原数据库大小2048 KB，压缩后数据库大小1536 KB。");
    EXPECT_EQ(QFileInfo(db.dbPath()).size(), wantAfter);
    EXPECT_FALSE(QFile::exists("tempdb$$.$$$"));
    // The list shows the main workbook in stored order; the tab stays.
    EXPECT_EQ(w->selectedTab(), 2);
    EXPECT_NE(items(), tabTwo);
    ASSERT_EQ(items().size(), 2);
    EXPECT_TRUE(items()[0].contains("主一"));
    EXPECT_TRUE(items()[1].contains("主二"));
}

TEST_F(CompFormTest, CancelledCompactionChangesNothing) {
    db.addArticles("datum", "g", "t", 3);
    TCompForm& d = openDialog();
    db.closeConnection();
    const QByteArray hash = fileHash(db.dbPath());
    const QStringList before = items();
    prompt.answers.enqueue(Answer::Cancel);
    d.Button1Click();
    EXPECT_EQ(prompt.texts(), L({"确认压缩数据库？"}));
    EXPECT_EQ(fileHash(db.dbPath()), hash);
    EXPECT_EQ(items(), before);
}

TEST_F(CompFormTest, BusyDatabaseOrLeftoverCopyLeavesTheFileAndTheWindowWorking) {
    db.addArticle("datum", "g", "t1", 1, false, "正文一");
    db.addArticle("datum", "g", "t2", 2, false, "正文二");
    TCompForm& d = openDialog();
    db.closeConnection();
    const QByteArray hash = fileHash(db.dbPath());
    struct Case {
        const char* name;
        bool busy;
        const char* text;
    } cases[] = {
        {"another process has it open", true, "数据库正在被其他应用程序打开，请稍后再试！"},
        {"a complete copy left by an earlier run", false,
         "上次压缩留下的临时文件“tempdb$$.$$$”仍在程序目录中，请将其移走或删除后再试！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.clear();
        std::unique_ptr<OtherProcess> other;
        if (c.busy)
            other = std::make_unique<OtherProcess>(db.dbPath());
        else
            QFile::copy(db.dbPath(), "tempdb$$.$$$");
        d.Button1Click();
        other.reset();
        ASSERT_EQ(prompt.messages.size(), 2);
        EXPECT_EQ(prompt.messages[1].text, QString::fromUtf8(c.text));
        EXPECT_EQ(prompt.messages[1].caption, "提示:");
        EXPECT_EQ(prompt.messages[1].icon, Icon::Error);
        EXPECT_EQ(fileHash(db.dbPath()), hash);
        EXPECT_EQ(QFile::exists("tempdb$$.$$$"), !c.busy);
        QFile::remove("tempdb$$.$$$");
        // The title list still matches the main record set.
        click(1);
        EXPECT_EQ(w->session().shown.title, "t2");
        EXPECT_TRUE(w->RichEdit1->plainText().contains("正文二"));
    }
}

// ------------------------------------------------------------------ clearing

TEST_F(CompFormTest, ClearingEmptiesTheCurrentWorkbookOnly) {
    db.addArticle("datum", "读书", "主", 1);
    open();
    db.addArticle("datum1", "a", "x", 1);
    db.addArticle("datum1", "b", "y", 2);
    TCompForm& d = openDialog(1);
    ASSERT_EQ(items().size(), 2);
    prompt.answers.enqueue(Answer::Cancel);
    d.Button2->click();
    EXPECT_EQ(db.scalar("select count(*) from datum1").toInt(), 2);
    EXPECT_EQ(items().size(), 2);

    prompt.clear();
    d.Button2->click();
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[0].text, "数据库清空后不能恢复！确认？");
    EXPECT_EQ(prompt.messages[0].caption, "警告");
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(prompt.messages[0].icon, Icon::None);
    EXPECT_EQ(prompt.messages[1].kind, RecordedMessage::Information);
    EXPECT_EQ(prompt.messages[1].text, "当前『工作簿』清空完成！");
    EXPECT_EQ(db.scalar("select count(*) from datum1").toInt(), 0);
    EXPECT_EQ(db.scalar("select count(*) from datum").toInt(), 1);
    EXPECT_EQ(w->ListBox1->count(), 0);
    EXPECT_EQ(categories(), L({"全部"}));
    EXPECT_EQ(w->CBXgroup->currentIndex(), 0);
}

// ------------------------------------------------------------------ transfer

TEST_F(CompFormTest, TargetEqualToTheCurrentWorkbookIsRefused) {
    db.addArticles("datum", "g", "t", 2);
    open();
    TCompForm& d = openDialog(1);
    d.cbxTarget->setCurrentIndex(1);
    const QStringList before = testsupport::libraryFingerprint(db.conn());
    d.Button3->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].kind, RecordedMessage::Plain);
    EXPECT_EQ(prompt.messages[0].text, "你选定的目标工作簿是当前工作簿，操作无法进行！");
    EXPECT_EQ(testsupport::libraryFingerprint(db.conn()), before);
    EXPECT_EQ(d.ProgressBar1->value(), 0);
}

TEST_F(CompFormTest, EveryModeTransfersAndRefreshesTheMainWindow) {
    struct Case {
        int mode;
        int condition;  // index in "追加条件"
        QStringList target;
        QStringList source;
    } cases[] = {
        {0, 0, L({"旧/乙", "读书/甲", "读书/乙", "随笔/甲", "随笔/丙"}),
         L({"读书/甲", "读书/乙", "随笔/甲", "随笔/丙"})},
        {1, 0, L({"旧/乙", "读书/甲", "随笔/丙"}), L({"读书/甲", "读书/乙", "随笔/甲", "随笔/丙"})},
        {2, 1, L({"旧/乙", "读书/甲", "读书/乙"}), L({"随笔/甲", "随笔/丙"})},
        {3, 0, L({"旧/乙", "读书/甲", "随笔/丙"}), L({"读书/乙", "随笔/甲"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        dlg.reset();
        w.reset();
        db.exec("delete * from datum");
        if (db.conn().tableExists("datum1")) db.exec("delete * from datum1");
        db.addArticle("datum", "读书", "甲", 1, true, kRtf);
        db.addArticle("datum", "读书", "乙", 2);
        db.addArticle("datum", "随笔", "甲", 3);
        db.addArticle("datum", "随笔", "丙", 4);
        open();
        db.addArticle("datum1", "旧", "乙", 1);
        chooseCategory("随笔");
        prompt.clear();
        TCompForm& d = openDialog(0);
        ASSERT_EQ(texts(d.cbxCondition), L({"全部", "读书", "随笔"}));
        d.cbxMode->setCurrentIndex(c.mode);
        d.cbxCondition->setCurrentIndex(c.condition);
        d.Button3->click();
        EXPECT_EQ(prompt.texts(), L({"工作簿中数据已经追加完毕！"}));
        EXPECT_EQ(prompt.messages.value(0).kind, RecordedMessage::Plain);
        EXPECT_EQ(groupTitles("datum1"), c.target);
        EXPECT_EQ(groupTitles("datum"), c.source);
        EXPECT_EQ(testsupport::seqNos(db.conn(), "datum1").size(), c.target.size());
        EXPECT_EQ(testsupport::seqNos(db.conn(), "datum1").last(),
                  QString::number(c.target.size()));
        // The rich-text body arrived byte for byte.
        store::RecordSet rs(db.conn());
        rs.setSql("select * from datum1 where theme='甲' and [group]='读书'");
        rs.open();
        EXPECT_EQ(rs.readBlob("content"), kRtf);
        // The main window shows the current workbook, all categories.
        EXPECT_EQ(d.ProgressBar1->value(), 100);
        EXPECT_EQ(w->CBXgroup->currentIndex(), 0);
        EXPECT_EQ(w->CBXgroup->currentText(), "全部");
        EXPECT_EQ(items().size(), c.source.size());
        EXPECT_EQ(panel(4), QStringLiteral("%1 条记录").arg(c.source.size()));
        // The page's lists stay as they were.
        EXPECT_EQ(texts(d.cbxCondition), L({"全部", "读书", "随笔"}));
    }
}

TEST_F(CompFormTest, ProgressBarStopsAtItsEnd) {
    db.addArticles("datum", "g", "t", 3);
    TCompForm& d = openDialog(0);
    d.Button3->click();
    EXPECT_EQ(d.ProgressBar1->value(), 100);
    d.cbxTarget->setCurrentIndex(2);
    d.Button3->click();
    EXPECT_EQ(d.ProgressBar1->value(), 100);
    EXPECT_EQ(prompt.texts(), L({"工作簿中数据已经追加完毕！", "工作簿中数据已经追加完毕！"}));
}

TEST_F(CompFormTest, ASecondClickDuringATransferDoesNothing) {
    db.addArticles("datum", "g", "t", 50);
    TCompForm& d = openDialog(0);
    d.cbxMode->setCurrentIndex(1);
    int nested = 0;
    QTimer::singleShot(0, &d, [&] {
        ++nested;
        EXPECT_TRUE(d.transferRunning());
        d.Button3->click();
        d.reject();  // closing waits for the end too
    });
    d.Button3->click();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(db.scalar("select count(*) from datum1").toInt(), 50);
    EXPECT_EQ(prompt.texts(), L({"工作簿中数据已经追加完毕！"}));
    EXPECT_TRUE(d.isVisible());
}

TEST_F(CompFormTest, AFailedTransferChangesNothingAndSaysSo) {
    db.addArticles("datum", "g", "t", 4);
    open();
    db.exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON datum1 WHEN NEW.theme = 't3' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const QStringList before = testsupport::libraryFingerprint(db.conn());
    TCompForm& d = openDialog(0);
    d.cbxMode->setCurrentIndex(2);
    d.Button3->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "文章在转移的过程中出错，请联系作者！");
    EXPECT_EQ(prompt.messages[0].caption, "提示:");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Error);
    EXPECT_EQ(testsupport::libraryFingerprint(db.conn()), before);
    EXPECT_EQ(items().size(), 4);
}

// The transfer has committed when the main window is refreshed: a list that
// cannot be reopened then is no failed transfer.
TEST_F(CompFormTest, ARefreshFailureAfterTheTransferIsNoFailedTransfer) {
    db.addArticle("datum", "读书", "a", 1);
    db.addArticle("datum", "随笔", "b", 2);
    db.addArticle("datum", "读书", "c", 3);
    open();
    // Reads the workbook while it has three articles, fails with fewer.
    w->db().OpenDb(
        QStringLiteral("select * from datum where abs(case when (select count(*) from datum) < 3 "
                       "then (-9223372036854775807 - 1) else 1 end) > 0 ORDER BY [seqno]"));
    w->Refreshlistbox1();
    TCompForm& d = openDialog(0);
    d.cbxMode->setCurrentIndex(2);  // "全部添加，删除原文章"
    d.cbxCondition->setCurrentIndex(1);
    ASSERT_EQ(d.cbxCondition->currentText(), "读书");
    d.Button3->click();
    EXPECT_EQ(prompt.texts(), L({"工作簿中数据已经追加完毕！"}));
    EXPECT_EQ(groupTitles("datum1"), L({"读书/a", "读书/c"}));
    EXPECT_EQ(groupTitles("datum"), L({"随笔/b"}));
    // The main window shows the current workbook afresh.
    EXPECT_EQ(categories(), L({"全部", "随笔"}));
    EXPECT_EQ(w->CBXgroup->currentIndex(), 0);
    EXPECT_EQ(items().size(), 1);
    EXPECT_EQ(panel(4), "1 条记录");
    click(0);
    EXPECT_EQ(w->session().shown.title, "b");
}

// ------------------------------------------------------------------ categories

TEST_F(CompFormTest, RenameMergesInTheChosenWorkbookOnly) {
    db.addArticle("datum", "读书", "a", 1);
    db.addArticle("datum", "随笔", "b", 2);
    db.addArticle("datum", "读书", "c", 3);
    open();
    db.addArticle("datum1", "读书", "x", 1);
    db.addArticle("datum1", "It's", "y", 2);
    TCompForm& d = openDialog(0);
    EXPECT_EQ(texts(d.ComboBox2), L({"读书", "随笔"}));

    // Merge 读书 into 随笔 in the main workbook.
    d.ComboBox2->setCurrentIndex(0);
    d.ComboBox3->setCurrentText("随笔");
    d.btn1->click();
    EXPECT_EQ(prompt.texts(), L({"更改完成！"}));
    EXPECT_EQ(prompt.messages[0].kind, RecordedMessage::Plain);
    EXPECT_EQ(groupTitles("datum"), L({"随笔/a", "随笔/b", "随笔/c"}));
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum"), L({"1", "2", "3"}));
    // Neither list is refreshed, nor the main window's.
    EXPECT_EQ(texts(d.ComboBox2), L({"读书", "随笔"}));
    EXPECT_EQ(categories(), L({"全部", "读书", "随笔"}));

    // Another workbook: its own lists, and the rename applies there only.
    d.ComboBox1->setCurrentIndex(1);
    EXPECT_EQ(texts(d.ComboBox2), L({"读书", "It's"}));
    EXPECT_EQ(texts(d.ComboBox3), L({"读书", "It's"}));
    d.ComboBox2->setCurrentIndex(1);
    d.ComboBox3->setCurrentText("O'Neil");
    prompt.clear();
    d.btn1->click();
    EXPECT_EQ(prompt.texts(), L({"更改完成！"}));
    EXPECT_EQ(groupTitles("datum1"), L({"读书/x", "O'Neil/y"}));
    EXPECT_EQ(groupTitles("datum"), L({"随笔/a", "随笔/b", "随笔/c"}));
}

// Articles from other programs may have an empty or a null category: the
// empty entry of every category list means exactly those, never everything.
TEST_F(CompFormTest, TheEmptyCategoryIsOneCategoryEverywhere) {
    db.addArticle("datum", "读书", "a", 1);
    db.addArticle("datum", "", "b", 2);
    db.addArticle("datum", "<null>", "c", 3);
    db.addArticle("datum", "随笔", "d", 4);
    db.exec("update datum set [group]=NULL where [group]='<null>'");
    open();
    ASSERT_EQ(categories(), L({"全部", "读书", "", "随笔"}));
    chooseCategory("");
    EXPECT_EQ(items().size(), 2);
    click(1);
    EXPECT_EQ(w->session().shown.title, "c");

    TCompForm& d = openDialog(0);
    ASSERT_EQ(texts(d.cbxCondition), L({"全部", "读书", "", "随笔"}));
    d.cbxMode->setCurrentIndex(2);  // "全部添加，删除原文章"
    d.cbxCondition->setCurrentIndex(2);
    d.Button3->click();
    EXPECT_EQ(prompt.texts(), L({"工作簿中数据已经追加完毕！"}));
    EXPECT_EQ(groupTitles("datum1"), L({"/b", "<null>/c"}));
    EXPECT_EQ(groupTitles("datum"), L({"读书/a", "随笔/d"}));

    // Renaming the empty category of 工作簿1 names both articles.
    d.ComboBox1->setCurrentIndex(1);
    ASSERT_EQ(texts(d.ComboBox2), L({""}));
    d.ComboBox3->setCurrentText("未分类");
    prompt.clear();
    d.btn1->click();
    EXPECT_EQ(prompt.texts(), L({"更改完成！"}));
    EXPECT_EQ(groupTitles("datum1"), L({"未分类/b", "未分类/c"}));
}

TEST_F(CompFormTest, EmptyNamesAreRefused) {
    db.addArticle("datum", "读书", "a", 1);
    TCompForm& d = openDialog(0);
    d.ComboBox3->setCurrentText("");
    d.btn1->click();
    EXPECT_EQ(prompt.texts(), L({"分类名称不能为空！"}));
    d.ComboBox1->setCurrentIndex(3);  // an empty workbook: no old name
    d.ComboBox3->setCurrentText("新");
    prompt.clear();
    d.btn1->click();
    EXPECT_EQ(prompt.texts(), L({"分类名称不能为空！"}));
    EXPECT_EQ(groupTitles("datum"), L({"读书/a"}));
}

}  // namespace
