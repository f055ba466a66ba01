// Tray icon and minimising, the main menu's owner-drawn look, the about box
// with its links, and the shell requests of the About and Help menus.

#include <QEnterEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>

#include "mainwindow/DrawXpMenu.h"
#include "mainwindow/TrayFilter.h"
#include "platform/Shell.h"
#include "settings/AboutUnit.h"
#include "tests/settings/SettingsFixture.h"

using settingstest::pump;
using settingstest::whenModal;

namespace {

// Records every shell request instead of starting anything.
struct ShellRecorder {
    ShellRecorder() {
        platform::setShellHook([this](const platform::ShellRequest& r) {
            requests << r;
            return true;
        });
    }
    ~ShellRecorder() { platform::setShellHook({}); }
    QList<platform::ShellRequest> requests;
};

class TrayAndMenus : public settingstest::MainFixture {
  protected:
    void SetUp() override {
        MinimiseToTrayFilter::setTrayAvailableOverride(1);
        open();
    }
    void TearDown() override {
        MinimiseToTrayFilter::setTrayAvailableOverride(-1);
        MainFixture::TearDown();
    }
    void minimise() {
        w->setWindowState(w->windowState() | Qt::WindowMinimized);
        pump(20);
    }
    bool isXp(QMenu* m) const { return m && qobject_cast<XpMenuStyle*>(m->style()); }
};

}  // namespace

TEST_F(TrayAndMenus, TrayIconWithTooltipAndCloseEntry) {
    ASSERT_NE(w->TrayIcon1, nullptr);
    EXPECT_EQ(w->TrayIcon1->toolTip(), QStringLiteral("云笺集 V2.6"));
    EXPECT_FALSE(w->TrayIcon1->icon().isNull());
    ASSERT_NE(w->TrayIcon1->contextMenu(), nullptr);
    QStringList entries;
    for (QAction* a : w->TrayIcon1->contextMenu()->actions()) entries << a->text();
    EXPECT_EQ(entries, QStringList{"关闭"});
}

TEST_F(TrayAndMenus, MinimiseHidesAndIconClicksToggle) {
    minimise();
    EXPECT_TRUE(w->isHidden());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);

    emit w->TrayIcon1->activated(QSystemTrayIcon::Trigger);
    pump();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isMinimized());

    emit w->TrayIcon1->activated(QSystemTrayIcon::Context);  // the menu, no toggle
    pump();
    EXPECT_TRUE(w->isVisible());

    emit w->TrayIcon1->activated(QSystemTrayIcon::Trigger);
    pump();
    EXPECT_TRUE(w->isHidden());
    w->TrayIcon1Click();
    EXPECT_TRUE(w->isVisible());
}

TEST_F(TrayAndMenus, OtherWindowCommandsBehaveAsUsual) {
    w->setWindowState(Qt::WindowMaximized);
    pump(20);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    w->setWindowState(Qt::WindowNoState);
    pump(20);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(TrayAndMenus, WithoutATrayMinimiseMinimises) {
    MinimiseToTrayFilter::setTrayAvailableOverride(0);
    minimise();
    EXPECT_FALSE(w->isHidden());
    EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
}

TEST_F(TrayAndMenus, CloseFromTheTrayWhileHiddenAndExitWriteTheSettings) {
    for (const char* name : {"pmclose", "mmClose"}) {
        SCOPED_TRACE(name);
        QFile::remove(iniPath());
        if (!w) open();
        minimise();
        ASSERT_TRUE(w->isHidden());
        ASSERT_NE(w->action(name), nullptr);
        w->action(name)->trigger();
        pump();
        platform::ProfileFile ini(iniPath());
        EXPECT_EQ(ini.readInteger("WindowSize", "WindowWidth", -1), w->width());
        w.reset();
    }
}

TEST_F(TrayAndMenus, MainMenuDropDownsAreOwnerDrawnExceptTwoSubmenus) {
    QStringList drawn;
    for (QAction* a : w->menuBar()->actions()) {
        QMenu* m = a->menu();
        ASSERT_NE(m, nullptr);
        EXPECT_TRUE(isXp(m)) << a->text().toStdString();
        drawn << QString(a->text()).remove('&');
    }
    EXPECT_GE(drawn.size(), 6);
    for (const char* name : {"N11", "N24"}) {  // "标题行距" and "工作簿"
        QAction* a = w->action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_NE(a->menu(), nullptr) << name;
        EXPECT_FALSE(isXp(a->menu())) << name;
    }
    // The sort submenu of the View menu keeps the drawn look.
    bool sortFound = false;
    for (QMenu* m : w->findChildren<QMenu*>())
        if (m->title().startsWith(QStringLiteral("排序")) && m != w->ListPopup) {
            bool inMainMenu = false;
            for (QAction* a : w->menuBar()->actions())
                if (a->menu() && a->menu()->actions().contains(m->menuAction())) inMainMenu = true;
            if (!inMainMenu) continue;
            sortFound = true;
            EXPECT_TRUE(isXp(m));
        }
    EXPECT_TRUE(sortFound);
    EXPECT_FALSE(isXp(w->ListPopup));
    EXPECT_FALSE(isXp(w->ViewerPopup));
    EXPECT_FALSE(isXp(w->TrayIcon1->contextMenu()));
}

TEST_F(TrayAndMenus, AboutAndHelpEntriesGoToTheShell) {
    const struct {
        const char* action;
        QString target;
        QStringList args;
    } cases[] = {
        {"MMhelp", "help.chm", {}},
        {"mmUpdate", "update.exe", {"-s"}},
        {"mmHomePage", QString::fromUtf8(about::kHomePage), {}},
        {"mmMail", "mailto:" + QString::fromUtf8(about::kMailAddress), {}},
    };
    for (const auto& c : cases) {
        ShellRecorder shell;
        ASSERT_NE(w->action(c.action), nullptr) << c.action;
        w->action(c.action)->trigger();
        ASSERT_EQ(shell.requests.size(), 1) << c.action;
        EXPECT_EQ(shell.requests[0].target, c.target);
        EXPECT_EQ(shell.requests[0].args, c.args);
        EXPECT_TRUE(shell.requests[0].workDir.isEmpty()) << "the working folder";
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(TrayAndMenus, AboutEntryShowsTheAboutBox) {
    QString caption;
    whenModal([&](QWidget* m) {
        auto* box = qobject_cast<TAboutForm*>(m);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        box->OKButton->click();
    });
    w->action("MMabout")->trigger();
    EXPECT_EQ(caption, QStringLiteral("About"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// ------------------------------------------------------------ about box

TEST(AboutBox, LayoutAndPictures) {
    TAboutForm box;
    box.show();
    pump();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.size(), QSize(434, 336));
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.OKButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(box.Banner->pixmap().size(), QSize(288, 33));
    EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());
    EXPECT_TRUE(box.Memo1->isReadOnly());
    EXPECT_LT(box.ProgramIcon->geometry().right(), box.Banner->geometry().left());
    EXPECT_LT(box.Banner->geometry().bottom(), box.Memo1->geometry().top());
    EXPECT_LT(box.Memo1->geometry().bottom(), box.ContactLine->geometry().top());
    EXPECT_LT(box.ContactLine->geometry().bottom(), box.BlogLink->geometry().top());
    box.OKButton->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(AboutBox, LinksUnderlineAndTurnBlueOnlyUnderThePointer) {
    TAboutForm box;
    box.show();
    pump();
    const QColor blue(0, 0, 255);
    const QColor black(Qt::black);
    const struct {
        TLinkLabel* link;
        QString target;
    } links[] = {
        {box.BlogLink, QString::fromUtf8(about::kBlog)},
        {box.MailLink, "mailto:" + QString::fromUtf8(about::kMailAddress)},
        {box.HomeLink, QString::fromUtf8(about::kHomePage)},
    };
    for (const auto& l : links) {
        SCOPED_TRACE(l.target.toStdString());
        const auto color = [&] { return l.link->palette().color(QPalette::WindowText); };
        EXPECT_FALSE(l.link->font().underline());
        EXPECT_EQ(color(), black);
        const QPointF inside(3, 3);
        QEnterEvent enter(inside, l.link->mapTo(&box, inside), l.link->mapToGlobal(inside));
        QApplication::sendEvent(l.link, &enter);
        EXPECT_TRUE(l.link->font().underline());
        EXPECT_EQ(color(), blue);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(l.link, &leave);
        EXPECT_FALSE(l.link->font().underline());
        EXPECT_EQ(color(), black);

        ShellRecorder shell;
        const QPointF c = QRectF(l.link->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, c, l.link->mapToGlobal(c), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(l.link, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, c, l.link->mapToGlobal(c), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(l.link, &release);
        ASSERT_EQ(shell.requests.size(), 1);
        EXPECT_EQ(shell.requests[0].target, l.target);
        EXPECT_TRUE(shell.requests[0].args.isEmpty());
    }
    EXPECT_TRUE(box.isVisible());
}
