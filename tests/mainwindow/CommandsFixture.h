#pragma once
// A real main window (offscreen) with its editor on a temporary database,
// a scripted prompt, and helpers that act as the user does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>
#include <functional>
#include <memory>

#include "editor/Addunit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "platform/core/ProfileFile.h"
#include "richtext/RichEditCtrl.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/Helpers.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDb.h"
#include "widgets/ViewerFindDialog.h"

namespace cmdtest {

// Synthetic input, delivered straight to the widget.
inline void mouse(QWidget* target, QEvent::Type type, const QPoint& pos) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}
inline void mouseClick(QWidget* target, const QPoint& pos) {
    mouse(target, QEvent::MouseButtonPress, pos);
    mouse(target, QEvent::MouseButtonRelease, pos);
}
inline void mouseDClick(QWidget* target, const QPoint& pos) {
    mouseClick(target, pos);
    mouse(target, QEvent::MouseButtonDblClick, pos);
    mouse(target, QEvent::MouseButtonRelease, pos);
}
inline void keyClick(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}
inline void keyClicks(QWidget* target, const QString& text) {
    for (QChar c : text) keyClick(target, 0, QString(c));
}

using testsupport::L;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
    }
    void TearDown() override {
        editor.reset();
        w.reset();
    }

    QString iniPath() const { return db.dir() + QStringLiteral("/yunjan.ini"); }
    void setIni(const QString& section, const QString& key, const QString& value) {
        platform::ProfileFile(iniPath()).writeString(section, key, value);
    }

    // Creates and shows the window (after the rows of the test were added).
    TMainForm& open(int numberMode = 0) {
        setIni(QStringLiteral("ThemeIcoSet"), QStringLiteral("TextSet"),
               QString::number(numberMode));
        w = std::make_unique<TMainForm>();
        w->settingsFile = iniPath();
        editor = std::make_unique<TAddForm>(w->session(), *w);
        w->AddForm = editor.get();
        w->show();
        QApplication::setActiveWindow(w.get());
        QApplication::processEvents();
        prompt.clear();
        return *w;
    }

    QStringList items() const {
        QStringList out;
        for (int i = 0; i < w->ListBox1->count(); ++i) out << w->ListBox1->item(i)->text();
        return out;
    }
    QRect itemRect(int i) const { return w->ListBox1->visualItemRect(w->ListBox1->item(i)); }
    // A click on title i, as the user makes it (focus to the list, the title
    // selected and shown).
    void click(int i) {
        QApplication::processEvents();  // the list lays out its items late
        w->ListBox1->setFocus(Qt::MouseFocusReason);
        mouseClick(w->ListBox1->viewport(), itemRect(i).center());
    }
    QStringList stored(const QString& table = QStringLiteral("datum")) {
        return testsupport::titles(db.conn(), table);
    }
    QStringList fingerprint() { return testsupport::libraryFingerprint(db.conn()); }

    // Runs f on the modal dialog that the next call opens, then closes it if
    // it is still open.
    void onModal(std::function<void(QWidget*)> f) {
        QTimer::singleShot(0, [f] {
            QWidget* m = QApplication::activeModalWidget();
            ASSERT_NE(m, nullptr);
            f(m);
            if (QApplication::activeModalWidget() == m) m->close();
        });
    }

    testsupport::TempDb db;
    testsupport::ScriptedPrompt prompt;
    std::unique_ptr<TMainForm> w;
    std::unique_ptr<TAddForm> editor;
};

}  // namespace cmdtest
