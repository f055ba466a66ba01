// The settings dialog's colour and names tabs, against a running main window.

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "mainwindow/TitleList.h"
#include "platform/core/TextCodec.h"
#include "settings/OptionUnit.h"
#include "tests/settings/SettingsFixture.h"

using platform::ColorCode;
using settingstest::pump;
using settingstest::typeText;

namespace {

class OptionDialog : public settingstest::MainFixture {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
        open();
        dlg = std::make_unique<TOptionForm>(w->session(), *w, w.get());
        dlg->show();
        pump();
        prompt.clear();
    }
    void TearDown() override {
        dlg.reset();
        MainFixture::TearDown();
    }
    // Picks an entry of colour list n (1..4) as the user does.
    void pick(int n, int index) {
        TColorBox* box = dlg->colorBoxes[n - 1];
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    int indexOf(int n, ColorCode code) { return dlg->colorBoxes[n - 1]->indexOfColor(code); }
    QColor listColor() const { return w->ListBox1->listColor(); }
    QByteArray iniBytes() {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<TOptionForm> dlg;
};

constexpr ColorCode kRed = 0x0000FF;
constexpr ColorCode kTeal = 0x808000;

}  // namespace

TEST_F(OptionDialog, OpensOnTheNamesTabWithTheCurrentCaptions) {
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("    程序设置"));
    EXPECT_EQ(dlg->size(), QSize(411, 235));
    ASSERT_EQ(dlg->PageControl1->count(), 3);
    EXPECT_EQ(dlg->PageControl1->tabText(0), QStringLiteral("密码设置"));
    EXPECT_EQ(dlg->PageControl1->tabText(1), QStringLiteral("工作簿标题背景设置"));
    EXPECT_EQ(dlg->PageControl1->tabText(2), QStringLiteral("工作簿名称设置"));
    EXPECT_EQ(dlg->PageControl1->currentWidget(), dlg->TabSheet3);

    w->cxTabControl1->setTabText(1, QStringLiteral("资料"));
    TOptionForm again(w->session(), *w, w.get());
    again.show();
    pump();
    QStringList shown;
    for (QLineEdit* e : again.nameEdits) shown << e->text();
    EXPECT_EQ(shown, QStringList({"主工作簿", "资料", "工作簿2", "工作簿3"}));
}

TEST_F(OptionDialog, ColourListsShowTheWorkbookColours) {
    w->session().workbookColors = {0xFFFFF4, kRed, platform::kSystemWindowColor, kTeal};
    TOptionForm d(w->session(), *w, w.get());
    d.show();
    pump();
    // A colour the lists do not name is shown in the first entry.
    EXPECT_EQ(d.colorBoxes[0]->currentIndex(), 0);
    EXPECT_EQ(d.colorBoxes[0]->selectedColor(), 0xFFFFF4);
    EXPECT_EQ(d.colorBoxes[1]->currentText(), QStringLiteral("红色"));
    EXPECT_EQ(d.colorBoxes[2]->selectedColor(), platform::kSystemWindowColor);
    EXPECT_GT(d.colorBoxes[2]->currentIndex(), 20);  // among the system colours
    EXPECT_EQ(d.colorBoxes[3]->selectedColor(), kTeal);
    // Filling the lists changed nothing.
    EXPECT_EQ(listColor(), platform::colorFromCode(0xFFFFF4));
}

TEST_F(OptionDialog, TheListsOfferTheStandardExtendedAndSystemColours) {
    TColorBox* box = dlg->colorBoxes[0];
    const ColorCode expected[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                  0x800080, 0x808000, 0x808080, 0xC0C0C0, 0x0000FF,
                                  0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00,
                                  0xFFFFFF, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(box->itemData(i + 1).toInt(), expected[i]) << box->itemText(i + 1).toStdString();
    for (int n : {platform::COLOR_WINDOW, platform::COLOR_BTNFACE, platform::COLOR_MENUBAR})
        EXPECT_GT(box->indexOfColor(platform::sysColorCode(n)), 20) << n;
}

TEST_F(OptionDialog, ColourOfTheSelectedWorkbookShowsAtOnce) {
    pick(1, indexOf(1, kRed));
    EXPECT_EQ(w->session().workbookColors[0], kRed);
    EXPECT_EQ(listColor(), platform::colorFromCode(kRed));
    EXPECT_EQ(dlg->titleListColor(), kRed);
    EXPECT_FALSE(QFile::exists(iniPath())) << "colours are saved when the window closes";
}

TEST_F(OptionDialog, ColourOfAnotherWorkbookShowsAfterSwitchingToIt) {
    const QColor before = listColor();
    pick(3, indexOf(3, kTeal));
    EXPECT_EQ(w->session().workbookColors[2], kTeal);
    EXPECT_EQ(listColor(), before);
    w->cxTabControl1->setCurrentIndex(2);
    pump();
    EXPECT_EQ(listColor(), platform::colorFromCode(kTeal));
    w->cxTabControl1->setCurrentIndex(0);
    pump();
    EXPECT_EQ(listColor(), before);
}

TEST_F(OptionDialog, FirstEntryOpensTheColourChooser) {
    prompt.colorAnswers.enqueue(QColor(1, 2, 3));
    pick(1, 0);
    EXPECT_EQ(w->session().workbookColors[0], 0x030201);
    EXPECT_EQ(listColor(), QColor(1, 2, 3));

    // Cancelled: the list keeps what it showed and nothing changes.
    pick(2, indexOf(2, kRed));
    pick(2, 0);
    EXPECT_EQ(w->session().workbookColors[1], kRed);
    EXPECT_EQ(dlg->colorBoxes[1]->currentText(), QStringLiteral("红色"));
}

TEST_F(OptionDialog, ColoursReachTheSettingsFileWhenTheWindowCloses) {
    pick(4, indexOf(4, kTeal));
    dlg->close();
    w->close();
    platform::ProfileFile ini(iniPath());
    EXPECT_EQ(ini.readInteger("ThemeColorSet", "ThemeColorSet3", 0), kTeal);
    EXPECT_EQ(ini.readInteger("ThemeColorSet", "ThemeColorSet", 0), 0xFFFFF4);
}

TEST_F(OptionDialog, SubmittedNamesGoToTheTabsAndTheFileAtOnce) {
    const QStringList names{"资料", "工作簿1", "", "Notes"};
    for (int k = 0; k < 4; ++k) dlg->nameEdits[k]->setText(names[k]);
    dlg->Button2->click();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(w->tabCaptions(), names);
    EXPECT_EQ(w->currentTable(), QStringLiteral("datum")) << "only the names change";

    // GBK on disk, before the window is ever closed.
    const QByteArray bytes = iniBytes();
    EXPECT_TRUE(bytes.contains(QByteArray("[cxTabControl1TabsName]")));
    EXPECT_TRUE(bytes.contains(QByteArray("cxTabControl1TabsName0=") + platform::toGbk("资料")));
    EXPECT_TRUE(bytes.contains("cxTabControl1TabsName2=\r\n") ||
                bytes.contains("cxTabControl1TabsName2=\n"));

    // A program ended without closing its window: the next start has the names.
    auto second = std::make_unique<TMainForm>();
    second->settingsFile = iniPath();
    second->show();
    pump();
    EXPECT_EQ(second->tabCaptions(), names);
}

TEST_F(OptionDialog, NamesThatCannotBeWrittenAreReported) {
    // The settings path lies below a plain file, so it can never be written.
    QFile blocker(db.dir() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w->settingsFile = db.dir() + "/blocker/yunjan.ini";
    dlg->nameEdits[0]->setText("资料");
    dlg->Button2->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("工作簿名称未能写入设置文件！"));
    EXPECT_EQ(w->cxTabControl1->tabText(0), QStringLiteral("资料"));
}

TEST_F(OptionDialog, NameFieldsHoldEightGbkBytes) {
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"一二三四五", "一二三四"}, {"abcdefghij", "abcdefgh"},   {"ab一二三c", "ab一二三"},
        {"a一二三四", "a一二三"},   {"x\xF0\x9F\x98\x80y", "xy"},  // no place for a character GBK
                                                                   // lacks
    };
    QLineEdit* e = dlg->nameEdits[0];
    for (const auto& c : cases) {
        e->clear();
        typeText(e, QString::fromUtf8(c.typed));
        EXPECT_EQ(e->text(), QString::fromUtf8(c.kept)) << c.typed;
    }
}

TEST_F(OptionDialog, RedNotesAreShown) {
    QStringList red;
    for (QLabel* l : dlg->findChildren<QLabel*>())
        if (l->palette().color(QPalette::WindowText) == QColor(Qt::red)) red << l->text();
    red.sort();
    QStringList expected{"注意：只有在文章题目栏『普通显示』时，背景颜色设置才生效",
                         "注意：请将名称设置在4个汉字内"};
    expected.sort();
    EXPECT_EQ(red, expected);
}
