// Pictures of the colour menus, the paragraph dialog and the replace dialog
// for looking at them. Written only when YUNJAN_SCREENSHOT_DIR names a folder.
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

#include "editor/ParaFmt.h"
#include "tests/editor/EditorCommandsFixture.h"

namespace {

class EditorScreenshots : public EditorCommandsTest {
  protected:
    void SetUp() override {
        dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
        if (dir.isEmpty()) GTEST_SKIP() << "YUNJAN_SCREENSHOT_DIR not set";
        QDir().mkpath(dir);
        EditorCommandsTest::SetUp();
    }
    void save(QWidget* w, const char* name) {
        QApplication::processEvents();
        const QString path = QDir(dir).filePath(QString::fromLatin1(name));
        EXPECT_TRUE(w->grab().save(path)) << path.toStdString();
    }
    QString dir;
};

}  // namespace

TEST_F(EditorScreenshots, EditorBarsColourMenusAndDialogs) {
    window->show();
    setText(QStringLiteral("云笺录：红色的字，黄色的底。\nBold text and a second paragraph."));
    pane->setSel(4, 3);
    commands->TextColorClick(9);
    commands->BackColorClick(11);
    pane->setSel(16, 4);
    act("FormatBold")->trigger();
    pane->setSel(5, 0);
    save(window.get(), "editor_window.png");

    for (auto [menu, name] : {std::pair{commands->textColorMenu(), "text_colour_menu.png"},
                              std::pair{commands->backColorMenu(), "background_menu.png"}}) {
        menu->popup(window->mapToGlobal(QPoint(300, 60)));
        QApplication::processEvents();
        menu->setActiveAction(menu->actions().at(3));
        save(menu, name);
        menu->hide();
    }

    for (auto [name, file] :
         {std::pair{"EditMenu", "edit_menu.png"}, std::pair{"FormatMenu", "format_menu.png"}}) {
        QMenu* m = window->menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
        ASSERT_NE(m, nullptr);
        m->popup(window->mapToGlobal(QPoint(60, 20)));
        save(m, file);
        m->hide();
    }
    emit commands->paneMenu()->aboutToShow();
    commands->paneMenu()->popup(window->mapToGlobal(QPoint(200, 200)));
    save(commands->paneMenu(), "pane_menu.png");
    commands->paneMenu()->hide();

    TParaFormatDlg para(pane, window.get());
    para.loadFrom(pane->paraAttributes());
    para.show();
    save(&para, "paragraph_dialog.png");
    para.hide();

    TReplaceDialog* rep = commands->findReplace()->replaceDialog();
    rep->FindText->setText(QStringLiteral("云笺"));
    rep->ReplaceText->setText(QStringLiteral("书签"));
    rep->show();
    save(rep, "replace_dialog.png");
    TFindDialog* find = commands->findReplace()->findDialog();
    find->FindText->setText(QStringLiteral("云笺"));
    find->show();
    save(find, "find_dialog.png");
}
