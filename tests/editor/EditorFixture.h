#pragma once
// A main window on a temporary database with its article editor, and a way
// to run a script while the editor is shown modally.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include "editor/Addunit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "richtext/RichEditCtrl.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDb.h"
#include "widgets/ViewerFindDialog.h"

namespace editortest {

class EditorFixture : public ::testing::Test {
  protected:
    testsupport::TempDb db;  // first: the working directory for the windows
    testsupport::ScriptedPrompt prompt;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TAddForm> ed;

    // Articles present before the windows open.
    virtual void seed() {}

    void SetUp() override {
        seed();
        main = std::make_unique<TMainForm>();
        ed = std::make_unique<TAddForm>(main->session(), *main);
        main->AddForm = ed.get();
        prompt.clear();
    }

    void TearDown() override {
        if (ed) {
            ed->Editor->setModified(false);
            ed->hide();
        }
        if (main) main->AddForm = nullptr;
        ed.reset();
        main.reset();
    }

    // Runs open() (which shows the editor modally and returns when it is
    // closed) with script running inside the modal showing. Whatever the
    // script leaves open is hidden without questions afterwards.
    void whileModal(const std::function<void()>& open, const std::function<void()>& script) {
        bool ran = false;
        QTimer::singleShot(0, ed.get(), [&] {
            ran = true;
            script();
            if (ed->isVisible()) {
                ed->Editor->setModified(false);
                ed->hide();
            }
        });
        open();
        EXPECT_TRUE(ran) << "the editor was not shown modally";
    }

    // The editor shown without blocking in the given mode.
    void showEditor(const QString& mode = QStringLiteral("add")) {
        main->session().editorMode = mode == QLatin1String("modify") ? session::EditorMode::Modify
                                                                     : session::EditorMode::Add;
        ed->show();
    }

    // Selects title row i in the main window and shows that article.
    void selectTitle(int i) {
        main->ListBox1->selectQuietly(i);
        main->ListBox1Click();
    }

    void typeArticle(const QString& category, const QString& title, const QString& body) {
        ed->CBXgroup->setEditText(category);
        ed->EdtTheme->setText(title);
        ed->Editor->setFocus();
        ed->Editor->insertPlainText(body);
    }

    int rowCount(const QString& table = QStringLiteral("datum")) {
        return db.scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }
    QVariant field(const QString& theme, const QString& name) {
        return db.scalar(
            QStringLiteral("select ") + name + QStringLiteral(" from datum where theme = :t"),
            {{QStringLiteral("t"), theme}});
    }
    QStringList titlesInList() const {
        QStringList t;
        for (int i = 0; i < main->ListBox1->count(); ++i) t << main->ListBox1->item(i)->text();
        return t;
    }
};

}  // namespace editortest
