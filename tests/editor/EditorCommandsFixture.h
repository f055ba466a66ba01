#pragma once
// A small editor window for the command tests: a main window with a menu
// bar, the two tool bars, the title field, the category box, the rich-text
// flag, the pane and a status bar with the six panels, and the commands
// installed on it. Messages go to a scripted prompt.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>
#include <memory>

#include "editor/EditorCommands.h"
#include "editor/FindReplace.h"
#include "richtext/RichEditCtrl.h"
#include "tests/support/ScriptedPrompt.h"

class EditorCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<QMainWindow>();
        window->resize(800, 600);
        auto* central = new QWidget(window.get());
        auto* layout = new QVBoxLayout(central);
        title = new QLineEdit(central);
        title->setObjectName(QStringLiteral("EdtTheme"));
        category = new QComboBox(central);
        category->setEditable(true);
        category->setObjectName(QStringLiteral("CBXgroup"));
        formatCheck = new QCheckBox(QStringLiteral("是否保存文章格式"), central);
        formatCheck->setObjectName(QStringLiteral("ChkIsformat"));
        pane = new richtext::RichEditCtrl(central);
        pane->setObjectName(QStringLiteral("Editor"));
        for (QWidget* w : std::initializer_list<QWidget*>{title, category, formatCheck, pane})
            layout->addWidget(w);
        window->setCentralWidget(central);
        for (int i = 0; i < 6; ++i) {
            auto* label = new QLabel(window->statusBar());
            label->setObjectName(QStringLiteral("panel%1").arg(i));
            window->statusBar()->addPermanentWidget(label);
        }
        auto* fileMenu = window->menuBar()->addMenu(QStringLiteral("文件(&F)"));
        fileMenu->setObjectName(QStringLiteral("FileMenu"));
        fileBar = window->addToolBar(QStringLiteral("file"));
        formatBar = window->addToolBar(QStringLiteral("format"));
        commands = new EditorCommands(window.get(), pane, window->statusBar());
        commands->setFields(title, category);
        commands->setFormatCheckBox(formatCheck);
        commands->install(window->menuBar(), fileBar, formatBar);
        beeps = 0;
        commands->findReplace()->beep = [this] { ++beeps; };
    }

    void TearDown() override {
        window.reset();
        QApplication::clipboard()->clear();
    }

    QAction* act(const char* name) const {
        QAction* a = commands->action(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QString panel(int i) const {
        auto* l = window->statusBar()->findChild<QLabel*>(QStringLiteral("panel%1").arg(i));
        return l ? l->text() : QStringLiteral("<none>");
    }
    // Plain text into the pane, unmodified, caret at the start.
    void setText(const QString& text) {
        commands->setAllowProtectedChange(true);
        pane->clearAll();
        pane->replaceSel(text);
        commands->setAllowProtectedChange(false);
        pane->document()->clearUndoRedoStacks();
        pane->setModified(false);
        pane->setSel(0, 0);
        commands->RichEditChange();
    }
    // Key presses as the keyboard sends them.
    static void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier,
                    const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QApplication::sendEvent(w, &release);
    }
    static void type(QWidget* w, const QString& text) {
        for (QChar c : text) key(w, c.isLetterOrNumber() ? c.toUpper().unicode() : 0, {}, c);
    }
    // Attributes of the character at pos.
    richtext::CharAttributes charAt(int pos) {
        const int s = pane->selStart(), l = pane->selLength();
        pane->setSel(pos, 1);
        const richtext::CharAttributes a = pane->selAttributes();
        pane->setSel(s, l);
        return a;
    }

    testsupport::ScriptedPrompt prompt;
    std::unique_ptr<QMainWindow> window;
    QLineEdit* title = nullptr;
    QComboBox* category = nullptr;
    QCheckBox* formatCheck = nullptr;
    richtext::RichEditCtrl* pane = nullptr;
    QToolBar* fileBar = nullptr;
    QToolBar* formatBar = nullptr;
    EditorCommands* commands = nullptr;
    int beeps = 0;
};
