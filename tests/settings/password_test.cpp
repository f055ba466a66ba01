// The password tab of the settings dialog ("确认更改") and its effect on the
// next start.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "settings/OptionUnit.h"
#include "tests/settings/SettingsFixture.h"

using settingstest::pump;

namespace {

class PasswordTab : public settingstest::MainFixture {
  protected:
    QString stored() {
        return db.scalar(QStringLiteral("select Passwords from UsersData")).toString();
    }
    // One press of "确认更改" in a freshly opened dialog; returns the messages.
    QStringList change(const QString& oldPw, const QString& newPw, const QString& confirm) {
        prompt.clear();
        TOptionForm dlg(w->session(), *w, w.get());
        dlg.show();
        pump();
        dlg.PageControl1->setCurrentWidget(dlg.TabSheet1);
        dlg.EdtOldPass->setText(oldPw);
        dlg.EdtNewPass->setText(newPw);
        dlg.EdtRNewPass->setText(confirm);
        dlg.Button1->click();
        EXPECT_FALSE(dlg.isVisible()) << "the dialog closes after every press";
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        lastFieldsEmpty = dlg.EdtOldPass->text().isEmpty() && dlg.EdtNewPass->text().isEmpty() &&
                          dlg.EdtRNewPass->text().isEmpty();
        return prompt.texts();
    }
    bool lastFieldsEmpty = false;
};

const char* const kSet = "密码修改成功！下次登陆将提示输入密码。";
const char* const kCleared = "密码已经被取消，下次将直接登陆。";

}  // namespace

TEST_F(PasswordTab, NoteAndFields) {
    open();
    TOptionForm dlg(w->session(), *w, w.get());
    EXPECT_EQ(dlg.PageControl1->tabText(0), QStringLiteral("密码设置"));
    for (QLineEdit* e : {dlg.EdtOldPass, dlg.EdtNewPass, dlg.EdtRNewPass}) {
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        EXPECT_EQ(e->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, e), '*');
    }
    EXPECT_TRUE(dlg.Memo1->isReadOnly());
    EXPECT_EQ(dlg.Memo1->toPlainText().split('\n'),
              QStringList({"    当密码为空时，程序", "不显示登陆界面。", "    在你第一次修改密码",
                           "时，旧密码为空。", "    密码不要超过20个字", "符。",
                           "    当你不需要登陆界面", "时，请把新密码设置为", "空。"}));
}

TEST_F(PasswordTab, FirstPasswordOnAFreshDatabase) {
    open();
    EXPECT_EQ(change("", "abc", "abc"), QStringList{kSet});
    EXPECT_EQ(prompt.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Information);
    EXPECT_TRUE(lastFieldsEmpty);
    EXPECT_EQ(stored(), "abc");
    EXPECT_EQ(w->session().currentPassword, "abc");
    EXPECT_FALSE(w->session().loginNeeded) << "the running program is not locked";

    // The next start asks for it.
    w.reset();
    create();
    EXPECT_TRUE(w->session().loginNeeded);
    EXPECT_EQ(w->session().currentPassword, "abc");
}

TEST_F(PasswordTab, WithAPasswordSet) {
    const struct {
        const char *oldPw, *newPw, *confirm;
        const char* message;  // nullptr: none
        const char* storedAfter;
    } cases[] = {
        {"", "x", "x", "请输入原设置的密码！", "pw"},
        {"   ", "x", "x", "请输入原设置的密码！", "pw"},
        {"bad", "x", "x", "密码不正确！", "pw"},
        {"PW", "x", "x", "密码不正确！", "pw"},
        {"pw", "a", "b", "确认密码不一致！", "pw"},
        {"", "", "", nullptr, "pw"},  // nothing typed: nothing happens
        {" pw ", "  new one ", "new one", kSet, "new one"},
        {"pw", "", "", kCleared, ""},
        {"pw", "   ", " ", kCleared, ""},
        {"pw", "say \"hi\"", "say \"hi\"", kSet, "say \"hi\""},
    };
    for (const auto& c : cases) {
        storePassword(QStringLiteral("pw"));
        create();
        w->session().loginNeeded = false;  // this run starts without asking
        w->show();
        pump();
        const QStringList msgs = change(c.oldPw, c.newPw, c.confirm);
        EXPECT_EQ(msgs, c.message ? QStringList{c.message} : QStringList{})
            << c.oldPw << "|" << c.newPw;
        if (!prompt.messages.isEmpty() && c.message != kSet && c.message != kCleared) {
            EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Error);
        }
        EXPECT_EQ(stored(), c.storedAfter) << c.oldPw << "|" << c.newPw;
        EXPECT_EQ(w->session().currentPassword, c.storedAfter);
        w.reset();
    }
}

TEST_F(PasswordTab, OldPasswordMustBeEmptyWhenNoneIsSet) {
    open();
    EXPECT_EQ(change("x", "a", "a"), QStringList{"密码不正确！"});
    EXPECT_EQ(change("  ", "a", "a"), QStringList{kSet});
    EXPECT_EQ(stored(), "a");
}

TEST_F(PasswordTab, TwoChangesInOneRunAndClearingMeansNoLoginNextTime) {
    open();
    EXPECT_EQ(change("", "one", "one"), QStringList{kSet});
    EXPECT_EQ(change("", "two", "two"), QStringList{"请输入原设置的密码！"});
    EXPECT_EQ(change("one", "two", "two"), QStringList{kSet});
    EXPECT_EQ(stored(), "two");
    EXPECT_EQ(change("two", "", ""), QStringList{kCleared});
    w.reset();
    open();
    EXPECT_FALSE(w->session().loginNeeded);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PasswordTab, TooLongPasswordIsRefusedAndNothingChanges) {
    open();
    change("", "ok", "ok");
    const QString longPw(51, u'长');
    const QStringList msgs = change("ok", longPw, longPw);
    ASSERT_EQ(msgs.size(), 1);
    EXPECT_EQ(msgs[0], QStringLiteral("密码不能超过50个字符！"));
    EXPECT_EQ(stored(), "ok");
    EXPECT_EQ(w->session().currentPassword, "ok");
    const QString fifty(50, u'长');
    EXPECT_EQ(change("ok", fifty, fifty), QStringList{kSet});
    EXPECT_EQ(stored(), fifty);
}
