#pragma once
// The real main window on a temporary program folder, with a scripted prompt
// and a settings file inside the folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>
#include <functional>
#include <memory>

#include "mainwindow/FlashUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/TextCodec.h"
#include "richtext/RichEditCtrl.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/Helpers.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDb.h"

namespace mwtest {

using testsupport::L;

// Mouse input as the platform delivers it (pos in the widget's coordinates).
inline void mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, const QPoint& pos,
                  Qt::MouseButtons held = Qt::NoButton) {
    const QPointF local(pos);
    const QPointF global(target->mapToGlobal(pos));
    QMouseEvent e(type, local, global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}
inline void press(QWidget* t, Qt::MouseButton b, const QPoint& p) {
    mouse(t, QEvent::MouseButtonPress, b, p, b);
}
inline void release(QWidget* t, Qt::MouseButton b, const QPoint& p) {
    mouse(t, QEvent::MouseButtonRelease, b, p);
}
inline void clickAt(QWidget* t, Qt::MouseButton b, const QPoint& p) {
    press(t, b, p);
    release(t, b, p);
}
inline void key(QWidget* t, Qt::Key k) {
    QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(t, &down);
    QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier);
    QApplication::sendEvent(t, &up);
}
// Processes events until cond holds or the time is up; returns cond().
inline bool waitFor(const std::function<bool()>& cond, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

template <testsupport::TempDb::Kind K>
class MainFixtureT : public ::testing::Test {
  protected:
    ~MainFixtureT() override {
        w.reset();
        splash.reset();
    }

    QString iniPath() const { return db.dir() + QStringLiteral("/yunjan.ini"); }
    void setIni(const char* section, const char* key, const QString& value) {
        platform::ProfileFile(iniPath()).writeString(QString::fromLatin1(section),
                                                     QString::fromLatin1(key), value);
    }
    QString ini(const char* section, const char* key) const {
        return platform::ProfileFile(iniPath()).readString(
            QString::fromLatin1(section), QString::fromLatin1(key), QStringLiteral("<missing>"));
    }

    // Creates the window (creation runs here) without showing it.
    TMainForm& create() {
        splash = std::make_unique<TFlashForm>();
        w = std::make_unique<TMainForm>(splash.get());
        w->settingsFile = iniPath();
        return *w;
    }
    // Creates and shows the window (first showing reads the settings file).
    TMainForm& open() {
        create();
        w->show();
        QApplication::setActiveWindow(w.get());
        EXPECT_TRUE(waitFor([this] { return w->isVisible(); }));
        QApplication::processEvents();
        return *w;
    }

    QStringList items() const {
        QStringList out;
        for (int i = 0; i < w->ListBox1->count(); ++i) out << w->ListBox1->item(i)->text();
        return out;
    }
    QStringList categories() const {
        QStringList out;
        for (int i = 0; i < w->CBXgroup->count(); ++i) out << w->CBXgroup->itemText(i);
        return out;
    }
    QString panel(int k) const { return w->statusPanels[k]->text(); }
    QRect itemRect(int i) const { return w->ListBox1->visualItemRect(w->ListBox1->item(i)); }
    // Selects title i as the user does (a press on it).
    void click(int i) { clickAt(w->ListBox1->viewport(), Qt::LeftButton, itemRect(i).center()); }
    // Chooses a category entry as the user does.
    void chooseCategory(const QString& text) {
        const int k = w->CBXgroup->findText(text);
        ASSERT_GE(k, 0) << text.toStdString();
        w->CBXgroup->setCurrentIndex(k);
        emit w->CBXgroup->activated(k);
    }
    QStringList seqNos(const QString& table = QStringLiteral("datum")) {
        return testsupport::seqNos(db.conn(), table);
    }

    testsupport::TempDb db{K};
    testsupport::ScriptedPrompt prompt;
    std::unique_ptr<TFlashForm> splash;
    std::unique_ptr<TMainForm> w;
};

using EmptyDbTest = MainFixtureT<testsupport::TempDb::Kind::Empty>;
using InstalledDbTest = MainFixtureT<testsupport::TempDb::Kind::Installation>;
using NoFileTest = MainFixtureT<testsupport::TempDb::Kind::NoFile>;

}  // namespace mwtest
