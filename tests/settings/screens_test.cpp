// Pictures of the settings dialog's three tabs, the login dialog, the about
// box with a hovered link and an open main-menu drop-down with a highlighted
// item, written when YUNJAN_SCREENSHOT_DIR names a folder (for looking at
// them; nothing is compared).

#include <QEnterEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "settings/AboutUnit.h"
#include "settings/LoginUnit.h"
#include "settings/OptionUnit.h"
#include "tests/settings/SettingsFixture.h"

using settingstest::pump;

namespace {

class SettingsScreens : public settingstest::MainFixture {};

TEST_F(SettingsScreens, DialogsMenuAndAboutBox) {
    const QString dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "YUNJAN_SCREENSHOT_DIR not set";
    open();
    w->resize(900, 600);
    pump(50);

    {
        TOptionForm dlg(w->session(), *w, w.get());
        dlg.show();
        pump(50);
        for (int k = 0; k < dlg.PageControl1->count(); ++k) {
            dlg.PageControl1->setCurrentIndex(k);
            pump(20);
            dlg.grab().save(dir + QStringLiteral("/options_tab%1.png").arg(k));
        }
    }
    {
        TLoginForm login(QStringLiteral("secret"));
        login.show();
        pump(50);
        login.grab().save(dir + "/login.png");
    }
    {
        TAboutForm box;
        box.show();
        pump(50);
        const QPointF inside(3, 3);
        QEnterEvent enter(inside, box.HomeLink->mapTo(&box, inside),
                          box.HomeLink->mapToGlobal(inside));
        QApplication::sendEvent(box.HomeLink, &enter);
        pump(20);
        box.grab().save(dir + "/about_hovered_link.png");
    }
    QMenu* file = w->menuBar()->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    file->popup(w->mapToGlobal(QPoint(0, w->menuBar()->height())));
    pump(50);
    for (QAction* a : file->actions())
        if (!a->isSeparator() && a->isEnabled()) {
            file->setActiveAction(a);
            break;
        }
    pump(20);
    file->grab().save(dir + "/file_menu_highlighted.png");
    file->hide();
}

}  // namespace
