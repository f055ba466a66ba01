// The login dialog on its own, and the login at start-up of the main window.

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include "mainwindow/FlashUnit.h"
#include "settings/LoginUnit.h"
#include "tests/settings/SettingsFixture.h"

using settingstest::pressKey;
using settingstest::pump;
using settingstest::typeText;
using settingstest::whenModal;
using testsupport::RecordedMessage;

namespace {

const QString kWrong = QStringLiteral("密码错误，请重试！");
const QString kEmpty = QStringLiteral("密码不能为空！");

class LoginDialog : public ::testing::Test {
  protected:
    LoginDialog() : dlg(QStringLiteral("Secret 密码")) {
        dlg.show();
        pump();
    }
    void type(const QString& text) {
        dlg.Edtpass->clear();
        typeText(dlg.Edtpass, text);
    }
    void expectOnly(const QString& text) {
        ASSERT_EQ(prompt.messages.size(), 1) << prompt.texts().join('|').toStdString();
        EXPECT_EQ(prompt.messages[0].text, text);
        EXPECT_EQ(prompt.messages[0].caption, QStringLiteral("提示"));
        EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Error);
        prompt.clear();
    }
    testsupport::ScriptedPrompt prompt;
    TLoginForm dlg;
};

}  // namespace

TEST_F(LoginDialog, LooksAsDescribed) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("    登陆窗口"));
    EXPECT_EQ(dlg.Edtpass->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.Edtpass->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                              dlg.Edtpass),
              '*');
    EXPECT_EQ(dlg.BtnOk->text(), QStringLiteral("确认"));
    EXPECT_EQ(dlg.BtnCancel->text(), QStringLiteral("取消"));
    EXPECT_FALSE(dlg.BtnOk->isDefault() || dlg.BtnOk->autoDefault());
    EXPECT_FALSE(dlg.BtnCancel->isDefault() || dlg.BtnCancel->autoDefault());
}

TEST_F(LoginDialog, WrongPasswordThenRightOne) {
    type(QStringLiteral("secret 密码"));  // letter case counts
    dlg.BtnOk->click();
    expectOnly(kWrong);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.Edtpass->selectedText(), QStringLiteral("secret 密码"));  // ready to retype
    for (int i = 0; i < 5; ++i) {                                           // no limit on retries
        dlg.BtnOk->click();
        expectOnly(kWrong);
    }
    type(QStringLiteral("Secret 密码"));
    dlg.BtnOk->click();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(LoginDialog, TextIsComparedExactlyAsTyped) {
    for (const QString& typed : {QStringLiteral("Secret 密码 "), QStringLiteral(" Secret 密码"),
                                 QStringLiteral("Secret密码")}) {
        type(typed);
        dlg.BtnOk->click();
        expectOnly(kWrong);
        EXPECT_TRUE(dlg.isVisible());
    }
}

TEST_F(LoginDialog, EnterInTheField) {
    const struct {
        const char* typed;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"", "密码不能为空！"},
        {"nope", "密码错误，请重试！"},
        {"Secret 密码", nullptr},
    };
    for (const auto& c : cases) {
        type(QString::fromUtf8(c.typed));
        pressKey(dlg.Edtpass, Qt::Key_Return);
        if (c.message) {
            expectOnly(QString::fromUtf8(c.message));
            EXPECT_TRUE(dlg.isVisible()) << c.typed;
        } else {
            EXPECT_TRUE(prompt.messages.isEmpty());
            EXPECT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_FALSE(dlg.isVisible());
        }
    }
}

TEST_F(LoginDialog, ConfirmWithAnEmptyFieldIsAWrongPassword) {
    dlg.BtnOk->click();
    expectOnly(kWrong);
}

TEST_F(LoginDialog, EscDoesNothingCancelAndCloseBoxReject) {
    pressKey(&dlg, Qt::Key_Escape);
    pressKey(dlg.Edtpass, Qt::Key_Escape);
    pump();
    EXPECT_TRUE(dlg.isVisible());
    dlg.BtnCancel->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());

    TLoginForm other(QStringLiteral("x"));
    other.show();
    pump();
    other.close();  // the frame's close box
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

// ------------------------------------------------------------ at start-up

using LoginAtStart = settingstest::MainFixture;

TEST_F(LoginAtStart, NoPasswordNoLogin) {
    TMainForm& m = open();
    EXPECT_FALSE(m.session().loginNeeded);
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(m.quitRequested);
}

TEST_F(LoginAtStart, SplashGoesAwayLoginAsksUntilRight) {
    storePassword(QStringLiteral("  pw1  "));  // stored blanks are not part of it
    TFlashForm splash;
    splash.show();
    w = std::make_unique<TMainForm>(&splash);
    w->settingsFile = iniPath();
    ASSERT_TRUE(w->session().loginNeeded);
    EXPECT_EQ(w->session().currentPassword, QStringLiteral("pw1"));
    bool splashVisible = true;
    bool mainVisible = true;
    whenModal([&](QWidget* m) {
        auto* login = qobject_cast<TLoginForm*>(m);
        ASSERT_NE(login, nullptr);
        splashVisible = splash.isVisible();
        // Qt marks the widget visible before its show handler runs; what
        // matters is whether its window is on the screen yet.
        mainVisible = w->windowHandle() && w->windowHandle()->isVisible();
        typeText(login->Edtpass, QStringLiteral("pw"));
        login->BtnOk->click();
        login->Edtpass->clear();
        typeText(login->Edtpass, QStringLiteral("pw1"));
        login->BtnOk->click();
    });
    w->show();
    pump();
    EXPECT_FALSE(splashVisible);
    EXPECT_FALSE(mainVisible);  // the login comes before the window appears
    EXPECT_EQ(prompt.texts(), QStringList{kWrong});
    EXPECT_FALSE(w->session().loginNeeded);
    EXPECT_FALSE(w->quitRequested);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(LoginAtStart, CancelOrCloseBoxEndsTheProgramAndWritesNothing) {
    storePassword(QStringLiteral("pw"));
    for (bool closeBox : {false, true}) {
        create();
        whenModal([closeBox](QWidget* m) {
            auto* login = qobject_cast<TLoginForm*>(m);
            ASSERT_NE(login, nullptr);
            if (closeBox)
                login->close();
            else
                login->BtnCancel->click();
        });
        w->show();
        pump();
        EXPECT_TRUE(w->quitRequested) << closeBox;
        EXPECT_TRUE(w->session().loginNeeded);
        w.reset();  // the program ends without closing its window
        EXPECT_FALSE(QFileInfo::exists(iniPath()));
        EXPECT_EQ(db.scalar(QStringLiteral("select Passwords from UsersData")).toString(),
                  QStringLiteral("pw"));
    }
}
