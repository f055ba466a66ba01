#pragma once
// A real main window (offscreen) on a temporary database with a scripted
// prompt, and small helpers that act as the user does: typing, pressing keys,
// answering the next modal dialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTabBar>
#include <QTimer>
#include <functional>
#include <memory>

#include "mainwindow/MainUnit.h"
#include "platform/core/ProfileFile.h"
#include "store/Users.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDb.h"

namespace settingstest {

inline void pump(int ms = 0) {
    QElapsedTimer t;
    t.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < ms);
}

inline void pressKey(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

// Types text one character at a time, as key presses.
inline void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const int key = c.unicode() < 0x80 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        pressKey(w, key, QString(c));
    }
}

// Runs fn on the next modal dialog once it is shown (gives up after ~5 s).
inline void whenModal(std::function<void(QWidget*)> fn) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, fn, ticks] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && m->isVisible()) {
            timer->stop();
            timer->deleteLater();
            fn(m);
        } else if (++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start();
}

class MainFixture : public ::testing::Test {
  protected:
    void TearDown() override { w.reset(); }

    QString iniPath() const { return db.dir() + QStringLiteral("/yunjan.ini"); }

    // Sets the stored password as a previous run would have left it.
    void storePassword(const QString& pw) {
        store::ArticleStore s;  // the start-up check creates UsersData
        s.connection().setConnectionString(QString::fromUtf8(store::kConnectionString));
        s.CheckDatabase();
        s.connection().close();
        db.exec(QStringLiteral("update UsersData set Passwords=:p"), {{QStringLiteral("p"), pw}});
    }

    // Creates the main window (the database check runs in its creation).
    TMainForm& create() {
        w = std::make_unique<TMainForm>();
        w->settingsFile = iniPath();
        return *w;
    }
    // Creates and shows the main window; any login is answered by the caller.
    TMainForm& open() {
        create();
        w->show();
        pump();
        return *w;
    }

    testsupport::TempDb db;
    testsupport::ScriptedPrompt prompt;
    std::unique_ptr<TMainForm> w;
};

}  // namespace settingstest
