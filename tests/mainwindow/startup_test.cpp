// Start-up, first showing, the settings file and closing of the real main window.

#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>

#include "settings/LoginUnit.h"
#include "tests/mainwindow/MainFixture.h"

using namespace mwtest;

namespace {

class StartupTest : public EmptyDbTest {};
class InstalledStartupTest : public InstalledDbTest {};
class MissingDbTest : public NoFileTest {};

const char* const kConnectFailed = "数据库连接失败，请重新下载安装该软件！";

}  // namespace

TEST_F(InstalledStartupTest, FreshDatabaseWithoutSettingsFileUsesTheDefaults) {
    ASSERT_FALSE(QFileInfo::exists(iniPath()));
    open();
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.texts().join("|").toStdString();
    EXPECT_FALSE(w->quitRequested);
    EXPECT_FALSE(w->session().loginNeeded);
    EXPECT_EQ(w->windowTitle(), "砚溪舟-云笺录 V2.8");
    EXPECT_EQ(w->size(), QSize(800, 616));
    EXPECT_EQ(w->ListBox1->listColor(), QColor(0xF4, 0xFF, 0xFF));  // 0xFFFFF4 as BGR
    EXPECT_EQ(w->CBXscale->currentText(), "100%");
    EXPECT_DOUBLE_EQ(w->RichEdit1->zoomFactor(), 1.0);
    EXPECT_EQ(w->CBXheighview->currentIndex(), 0);
    EXPECT_EQ(w->CBXNo->currentIndex(), 2);
    EXPECT_EQ(w->session().titleDisplayMode, 0);
    EXPECT_EQ(w->session().numberDisplayMode, 2);
    EXPECT_EQ(w->viewerBackgroundCode(), platform::kSystemWindowColor);
    EXPECT_EQ(w->tabCaptions(), L({"主工作簿", "工作簿1", "工作簿2", "工作簿3"}));
    EXPECT_EQ(w->moveItems[2]->text(), "工作簿2");
    EXPECT_EQ(w->currentTable(), "datum");
    EXPECT_EQ(w->session().sortMode, store::SortMode::Custom);
    EXPECT_TRUE(w->ListBox1->titleDragEnabled());
    EXPECT_EQ(w->ListBox1->itemHeight(), TitleList::kHeightMedium);
    // Titles of the installation database in custom order, pictures mode.
    EXPECT_EQ(items(), testsupport::titles(db.conn(), "datum"));
    EXPECT_GT(w->ListBox1->count(), 0);
    EXPECT_EQ(w->selectedIndex(), -1);
    EXPECT_EQ(categories().first(), "全部");
    EXPECT_EQ(panel(0), " 砚溪舟系列软件");
    EXPECT_EQ(panel(1), "当前工作簿：");
    EXPECT_EQ(panel(2), "【主工作簿】");
    EXPECT_EQ(panel(3), QString::number(categories().size() - 1) + " 个分类");
    EXPECT_EQ(panel(4), QString::number(w->ListBox1->count()) + " 条记录");
    // The welcome text and the splash bar advanced ten times.
    const QStringList lines = w->RichEdit1->plainText().split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "欢迎使用砚溪舟系列软件！");
    EXPECT_EQ(lines[1], "网址：");
    EXPECT_EQ(splash->position(), 100);
    // Schema check: the other workbooks and the users table exist.
    for (const char* t : {"datum1", "datum2", "datum3", "UsersData"})
        EXPECT_TRUE(db.conn().tableExists(t)) << t;
}

TEST_F(StartupTest, OldDatabaseWithoutOrderNumbersStartsNormally) {
    db.exec("drop table datum");
    db.exec(
        "create table datum (id integer primary key autoincrement, [group] text, "
        "theme text, isformat integer, content blob)");
    for (const char* t : {"乙", "甲", "丙"})
        db.exec("insert into datum ([group], theme, isformat, content) values ('g', :t, 0, 'x')",
                {{"t", QString::fromUtf8(t)}});
    open();
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.texts().join("|").toStdString();
    EXPECT_FALSE(w->quitRequested);
    EXPECT_EQ(seqNos(), L({"1", "2", "3"}));
    EXPECT_EQ(items(), L({"乙", "甲", "丙"}));
    EXPECT_EQ(panel(4), "3 条记录");
}

TEST_F(MissingDbTest, MissingDatabaseShowsTheMessageOnceAndEndsCleanly) {
    create();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, kConnectFailed);
    EXPECT_EQ(prompt.messages[0].caption, "提示");
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Error);
    EXPECT_TRUE(w->quitRequested);
    EXPECT_FALSE(w->session().loginNeeded);
    EXPECT_EQ(w->ListBox1->count(), 0);
    w.reset();
    EXPECT_FALSE(QFileInfo::exists(db.dbPath()));
    EXPECT_FALSE(QFileInfo::exists(iniPath()));
}

TEST_F(StartupTest, SettingsFileValuesAreApplied) {
    db.addArticles("datum", "g", "t", 3);
    setIni("TextSet", "TextSet", "150%");
    setIni("ColorSet", "ColorSet", "0x00FF00");  // hexadecimal is read as such
    setIni("ThemeSet", "TextSet", "1");
    setIni("ThemeIcoSet", "TextSet", "0");
    setIni("ThemeColorSet", "ThemeColorSet", "255");         // red
    setIni("ThemeColorSet", "ThemeColorSet2", "-16777211");  // system window colour
    setIni("WindowSize", "WindowWidth", "900");
    setIni("WindowSize", "WindowHeight", "700");
    setIni("cxTabControl1TabsName", "cxTabControl1TabsName0", "资料");
    setIni("cxTabControl1TabsName", "cxTabControl1TabsName3", "书摘");
    open();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(w->CBXscale->currentText(), "150%");
    EXPECT_DOUBLE_EQ(w->RichEdit1->zoomFactor(), 1.5);
    EXPECT_EQ(w->viewerBackgroundCode(), 0x00FF00);
    EXPECT_EQ(w->session().titleDisplayMode, 1);
    EXPECT_EQ(w->CBXheighview->currentText(), "普通显示");
    EXPECT_EQ(w->session().numberDisplayMode, 0);
    EXPECT_EQ(w->CBXNo->currentText(), "标题号");
    EXPECT_EQ(items(), L({"1. t1", "2. t2", "3. t3"}));
    EXPECT_EQ(w->session().workbookColors[0], 255);
    EXPECT_EQ(w->session().workbookColors[1], 0xFFF0FF);
    EXPECT_EQ(w->session().workbookColors[2], platform::kSystemWindowColor);
    EXPECT_EQ(w->ListBox1->listColor(), QColor(255, 0, 0));
    EXPECT_EQ(w->size(), QSize(900, 700));
    EXPECT_EQ(w->tabCaptions(), L({"资料", "工作簿1", "工作簿2", "书摘"}));
    EXPECT_EQ(w->moveItems[0]->text(), "资料");
    EXPECT_EQ(w->moveItems[3]->text(), "书摘");
    EXPECT_EQ(w->selectedTab(), 0);
    EXPECT_EQ(w->currentTable(), "datum");
    EXPECT_EQ(w->RichEdit1, QApplication::focusWidget());
}

TEST_F(StartupTest, BadSettingsValuesFallBackToDefaults) {
    setIni("TextSet", "TextSet", "75%");  // no such entry: stays 100%
    setIni("ThemeSet", "TextSet", "高亮");
    setIni("ThemeIcoSet", "TextSet", "7");
    setIni("ColorSet", "ColorSet", "red");
    setIni("ThemeColorSet", "ThemeColorSet1", "0xZZ");
    setIni("WindowSize", "WindowWidth", "-5");
    setIni("WindowSize", "WindowHeight", "abc");
    open();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_FALSE(w->quitRequested);
    EXPECT_EQ(w->CBXscale->currentText(), "100%");
    EXPECT_DOUBLE_EQ(w->RichEdit1->zoomFactor(), 1.0);
    EXPECT_EQ(w->session().titleDisplayMode, 0);
    EXPECT_EQ(w->session().numberDisplayMode, 2);
    EXPECT_EQ(w->viewerBackgroundCode(), platform::kSystemWindowColor);
    EXPECT_EQ(w->session().workbookColors[1], 0xFFF0FF);
    EXPECT_EQ(w->size(), QSize(800, 616));
    // The steps after the zoom still ran.
    EXPECT_EQ(splash->position(), 100);
    EXPECT_EQ(w->RichEdit1, QApplication::focusWidget());
}

TEST_F(StartupTest, CloseWritesEveryKeyInGbkAndKeepsTheWorkbookNames) {
    setIni("cxTabControl1TabsName", "cxTabControl1TabsName1", "读书笔记");
    open();
    w->CBXscale->setCurrentIndex(w->CBXscale->findText("120%"));
    w->CBXscaleChange();
    w->CBXNo->setCurrentIndex(1);
    w->CBXNoChange();
    w->CBXheighview->setCurrentIndex(1);
    w->CBXheighviewChange();
    w->setViewerBackgroundCode(0x123456);
    w->session().workbookColors[3] = platform::sysColorCode(15);
    w->resize(850, 640);
    w->close();

    EXPECT_EQ(ini("TextSet", "TextSet"), "120%");
    EXPECT_EQ(ini("ColorSet", "ColorSet"), QString::number(0x123456));
    EXPECT_EQ(ini("ThemeSet", "TextSet"), "1");
    EXPECT_EQ(ini("ThemeIcoSet", "TextSet"), "1");
    EXPECT_EQ(ini("ThemeColorSet", "ThemeColorSet"), "16777204");
    EXPECT_EQ(ini("ThemeColorSet", "ThemeColorSet1"), "16773375");
    EXPECT_EQ(ini("ThemeColorSet", "ThemeColorSet2"), "14680063");
    EXPECT_EQ(ini("ThemeColorSet", "ThemeColorSet3"), "-16777201");
    EXPECT_EQ(ini("WindowSize", "WindowWidth"), "850");
    EXPECT_EQ(ini("WindowSize", "WindowHeight"), "640");
    EXPECT_EQ(ini("cxTabControl1TabsName", "cxTabControl1TabsName1"), "读书笔记");

    // The file is GBK text: the name's bytes are GBK, not UTF-8.
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains(platform::toGbk("读书笔记")));
    EXPECT_FALSE(bytes.contains(QString("读书笔记").toUtf8()));
    EXPECT_TRUE(bytes.contains("[WindowSize]"));
}

TEST_F(StartupTest, StoredPasswordAsksForLoginAfterHidingTheSplash) {
    open();  // creates UsersData with the row "Admin"
    w.reset();
    db.exec("update UsersData set Passwords='秘密' where userID='Admin'");

    struct Case {
        const char* typed;
        bool accepted;
    };
    for (const Case& c : {Case{"秘密", true}, Case{nullptr, false}}) {
        bool splashHidden = false;
        bool dialogSeen = false;
        create();
        EXPECT_TRUE(w->session().loginNeeded);
        EXPECT_EQ(w->session().currentPassword, "秘密");
        splash->show();
        // Answers the login dialog as soon as it is up.
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* dlg = qobject_cast<TLoginForm*>(QApplication::activeModalWidget());
            if (!dlg) return;
            answer.stop();
            dialogSeen = true;
            splashHidden = !splash->isVisible();
            if (c.typed) {
                dlg->Edtpass->setText(QString::fromUtf8(c.typed));
                dlg->BtnOkClick();
            } else {
                dlg->BtnCancelClick();
            }
        });
        answer.start();
        w->show();
        EXPECT_TRUE(dialogSeen);
        EXPECT_TRUE(splashHidden);
        EXPECT_EQ(w->quitRequested, !c.accepted) << (c.typed ? c.typed : "cancel");
        EXPECT_EQ(w->session().loginNeeded, !c.accepted);
        // The rest of the first showing ran before the login.
        EXPECT_EQ(splash->position(), 100);
        w.reset();
    }
}
