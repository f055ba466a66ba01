// Copies of the library in the real main window: the commands that cannot be
// undone write a copy of the state before them first, the day's copy, and
// the restore dialog of the menu "数据(&D)".

#include "store/Backup.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include "mainwindow/BackupUnit.h"
#include "mainwindow/CompUnit.h"
#include "tests/mainwindow/MainFixture.h"

using namespace mwtest;
using platform::Answer;
using platform::Icon;

namespace {

const QString kPassword = QString::fromLatin1(store::kDatabasePassword);

class BackupUnitTest : public EmptyDbTest {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
        db.addArticle("datum", "读书", "甲", 1, true, "{\\rtf1\\ansi \\'c4\\'e3\\par}");
        db.addArticle("datum", "随笔", "乙", 2);
        db.addArticle("datum", "读书", "丙", 3);
        db.addArticle("datum1", "旧", "丁", 1);
    }
    void TearDown() override { dlg.reset(); }

    QString folder() const { return db.dir() + QStringLiteral("/data/backup"); }
    QStringList copies() const {
        return QDir(folder()).entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name);
    }
    QStringList fingerprintOf(const QString& path) {
        store::Connection c;
        c.setConnectionString(store::makeConnectionString(path, kPassword));
        c.open();
        return testsupport::libraryFingerprint(c);
    }
    QStringList library() { return testsupport::libraryFingerprint(db.conn()); }

    TCompForm& openDialog() {
        if (!w) open();
        dlg = std::make_unique<TCompForm>(w.get(), w.get());
        dlg->show();
        QApplication::processEvents();
        return *dlg;
    }

    std::unique_ptr<TCompForm> dlg;
};

struct Command {
    const char* name;
    bool writesCopy;
    void (*run)(TCompForm& d);
};

void clearWorkbook(TCompForm& d) {
    d.Button2->click();
}
void transferMode(TCompForm& d, int mode) {
    d.cbxTarget->setCurrentIndex(1);
    d.cbxMode->setCurrentIndex(mode);
    d.Button3->click();
}
void rename(TCompForm& d, const char* to) {
    d.ComboBox1->setCurrentIndex(0);
    d.ComboBox2->setCurrentIndex(0);  // 读书
    d.ComboBox3->setCurrentText(QString::fromUtf8(to));
    d.btn1->click();
}

class DestructiveCommandTest : public BackupUnitTest,
                               public ::testing::WithParamInterface<Command> {};

TEST_P(DestructiveCommandTest, LeavesACopyOfTheStateBeforeIt) {
    TCompForm& d = openDialog();
    const QStringList before = library();
    GetParam().run(d);
    ASSERT_NE(library(), before) << "the command did nothing";
    for (const auto& m : prompt.messages)
        EXPECT_FALSE(m.text.contains("备份")) << m.text.toStdString();
    if (!GetParam().writesCopy) {
        EXPECT_TRUE(copies().isEmpty());
        return;
    }
    ASSERT_EQ(copies().size(), 1);
    EXPECT_EQ(fingerprintOf(folder() + u'/' + copies()[0]), before);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DestructiveCommandTest,
    ::testing::Values(Command{"clear", true, clearWorkbook},
                      Command{"transferAllDelete", true, [](TCompForm& d) { transferMode(d, 2); }},
                      Command{"transferNoDuplicatesDelete", true,
                              [](TCompForm& d) { transferMode(d, 3); }},
                      Command{"merge", true, [](TCompForm& d) { rename(d, "随笔"); }},
                      Command{"transferAll", false, [](TCompForm& d) { transferMode(d, 0); }},
                      Command{"renameToNewName", false, [](TCompForm& d) { rename(d, "新"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupUnitTest, AFailedCopyAsksBeforeTheCommandRuns) {
    // A file where the folder should be: no copy can be written.
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TCompForm& d = openDialog();
    const QStringList before = library();

    prompt.answers << Answer::Ok << Answer::Cancel;  // clear: yes; without a copy: no
    d.Button2->click();
    EXPECT_EQ(library(), before);
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[1].text, "无法写入数据库备份，该操作完成后将不能恢复！仍然继续？");
    EXPECT_EQ(prompt.messages[1].icon, Icon::Warning);

    prompt.clear();
    prompt.answers << Answer::Ok << Answer::Ok;
    d.Button2->click();
    EXPECT_EQ(db.scalar("select count(*) from datum").toInt(), 0);
}

TEST_F(BackupUnitTest, DailyCopyOncePerDayKeepingTheSetNumber) {
    setIni("Backup", "KeepCopies", QStringLiteral("2"));
    open();
    backupui::dailyBackup(w.get());
    ASSERT_EQ(copies().size(), 1);
    backupui::dailyBackup(w.get());
    EXPECT_EQ(copies().size(), 1);

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(backupui::writeBackupWithProgress(w.get(), w.get()));
    EXPECT_EQ(copies().size(), 2);
    EXPECT_EQ(backupui::keepCount(w.get()), 2);
    setIni("Backup", "KeepCopies", QStringLiteral("abc"));
    EXPECT_EQ(backupui::keepCount(w.get()), 10);
}

TEST_F(BackupUnitTest, RestoreFromTheMenuBringsBackTheCopyAndShowsTheFirstWorkbook) {
    open();
    QAction* entry = w->action(QStringLiteral("mmRestore"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "恢复备份(&R)…");
    auto* menu = w->findChild<QMenu*>(QStringLiteral("mmData"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(entry));

    const QStringList before = library();
    ASSERT_TRUE(backupui::writeBackupWithProgress(w.get(), w.get()));
    db.exec("delete * from datum");
    db.addArticle("datum2", "新", "后来", 1);
    w->cxTabControl1->setCurrentIndex(2);
    QApplication::processEvents();
    const QStringList changed = library();

    TBackupForm f(w.get(), w.get());
    ASSERT_EQ(f.List->rowCount(), 1);
    EXPECT_EQ(f.List->horizontalHeaderItem(1)->text(), "主工作簿");
    EXPECT_EQ(f.List->item(0, 1)->text(), "3");
    EXPECT_EQ(f.List->item(0, 2)->text(), "1");
    EXPECT_EQ(f.List->item(0, 3)->text(), "0");
    EXPECT_TRUE(f.List->item(0, 5)->text().endsWith("KB"));
    if (const QString dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR"); !dir.isEmpty()) {
        f.show();
        QApplication::processEvents();
        f.grab().save(dir + QStringLiteral("/restore_backup.png"));
    }

    prompt.answers.enqueue(Answer::Cancel);
    EXPECT_FALSE(f.BtnRestoreClick());
    EXPECT_EQ(library(), changed);

    prompt.clear();
    db.closeConnection();
    ASSERT_TRUE(f.BtnRestoreClick());
    EXPECT_EQ(library(), before);
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[0].caption, "确认");
    EXPECT_EQ(prompt.messages[1].kind, testsupport::RecordedMessage::Information);
    // The main window shows the first workbook of the restored library.
    EXPECT_EQ(w->selectedTab(), 0);
    EXPECT_EQ(items().size(), 3);
    EXPECT_EQ(categories(), L({"全部", "读书", "随笔"}));
    // The replaced library was kept as a copy.
    ASSERT_EQ(copies().size(), 2);
    EXPECT_EQ(fingerprintOf(folder() + u'/' + copies()[1]), changed);
}

TEST_F(BackupUnitTest, DamagedCopyIsRefusedWithAMessage) {
    open();
    ASSERT_TRUE(backupui::writeBackupWithProgress(w.get(), w.get()));
    {
        QFile f(folder() + u'/' + copies()[0]);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.resize(f.size() - 4096);
    }
    db.exec("delete * from datum1");
    const QStringList before = library();

    TBackupForm f(w.get(), w.get());
    ASSERT_EQ(f.List->rowCount(), 1);
    prompt.clear();
    EXPECT_FALSE(f.BtnRestoreClick());
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[1].text, "所选备份已损坏，无法恢复！");
    EXPECT_EQ(prompt.messages[1].caption, "提示");
    EXPECT_EQ(prompt.messages[1].icon, Icon::Error);
    EXPECT_EQ(library(), before);
    EXPECT_EQ(items().size(), 3);
}

}  // namespace
