// The end of a run by SIGTERM (the desktop logging out, `kill`): no
// questions, the settings file written, unsaved editor text kept in a
// recovery file that the next start offers.

#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include "mainwindow/SessionEnd.h"
#include "platform/core/ProfileFile.h"
#include "tests/editor/EditorFixture.h"

using platform::Answer;

namespace {

bool waitFor(const std::function<bool()>& cond, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

class SessionEndTest : public editortest::EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        main->settingsFile = iniPath();
    }
    QString iniPath() const { return db.dir() + QStringLiteral("/yunjan.ini"); }
    QString ini(const char* section, const char* key) const {
        return platform::ProfileFile(iniPath()).readString(
            QString::fromLatin1(section), QString::fromLatin1(key), QStringLiteral("<missing>"));
    }
    QString recoveryPath() const { return db.dir() + QStringLiteral("/data/recovery.rtf"); }
    // Sends SIGTERM to this process and lets the event loop see it.
    void terminate() {
        sessionend::Guard guard(main.get(), ed.get());
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_TRUE(waitFor([this] { return !main->isVisible(); }));
    }
    // Windows of a new run on the same folder.
    void restart() {
        ed.reset();
        main.reset();
        main = std::make_unique<TMainForm>();
        main->settingsFile = iniPath();
        ed = std::make_unique<TAddForm>(main->session(), *main);
        main->AddForm = ed.get();
        prompt.clear();
    }
};

TEST_F(SessionEndTest, SigtermWithTheMainWindowOpenWritesTheSettingsFile) {
    main->show();
    main->resize(912, 701);
    QApplication::processEvents();
    ASSERT_EQ(ini("WindowSize", "WindowWidth"), "<missing>");
    terminate();
    EXPECT_EQ(ini("WindowSize", "WindowWidth"), "912");
    EXPECT_EQ(ini("WindowSize", "WindowHeight"), "701");
    EXPECT_EQ(ini("TextSet", "TextSet"), "100%");
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(recoveryPath()));  // nothing was unsaved

    restart();
    sessionend::offerRecovery(main.get(), ed.get());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

class RecoveryTest : public SessionEndTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(RecoveryTest, UnsavedEditorTextIsOfferedAtTheNextStart) {
    main->show();
    showEditor("add");
    typeArticle(QStringLiteral("读书"), QStringLiteral("未存"), QStringLiteral("还没有保存的正文"));
    const int rows = rowCount();
    terminate();
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages[0].text.toStdString();
    EXPECT_FALSE(ed->isVisible());
    ASSERT_TRUE(QFile::exists(recoveryPath()));
    EXPECT_EQ(rowCount(), rows);

    restart();
    prompt.answers.enqueue(GetParam());
    sessionend::offerRecovery(main.get(), ed.get());
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].caption, "确认");
    EXPECT_EQ(prompt.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_FALSE(QFile::exists(recoveryPath()));
    EXPECT_EQ(rowCount(), rows);
    if (GetParam() == Answer::Yes) {
        ASSERT_TRUE(ed->isVisible());
        EXPECT_EQ(session::editorModeName(main->session().editorMode), "add");
        EXPECT_TRUE(ed->BtnAdd->isEnabled());
        EXPECT_FALSE(ed->BtnModify->isEnabled());
        EXPECT_TRUE(ed->Editor->plainText().contains(QStringLiteral("还没有保存的正文")));
        EXPECT_TRUE(ed->Editor->modified());  // closing asks before it goes
    } else {
        EXPECT_FALSE(ed->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, RecoveryTest, ::testing::Values(Answer::Yes, Answer::No),
                         [](const auto& info) {
                             return std::string(info.param == Answer::Yes ? "Yes" : "No");
                         });

}  // namespace
