#include "settings/LoginUnit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Prompt.h"
#include "platform/core/ColorCode.h"
#include "settings/SettingsCommon.h"

TLoginForm::TLoginForm(const QString& password, QWidget* owner)
    : QDialog(owner), password_(password) {
    setObjectName(QStringLiteral("LoginForm"));
    setWindowTitle(QStringLiteral("    登陆窗口"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(259, 113);
    QPalette pal = palette();
    pal.setColor(QPalette::Window,
                 platform::colorFromCode(platform::sysColorCode(platform::COLOR_MENUBAR)));
    setPalette(pal);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("请输入密码："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(24, 24, 80, 21);

    Edtpass = new QLineEdit(this);
    Edtpass->setObjectName(QStringLiteral("Edtpass"));
    settings::makePasswordField(Edtpass);
    Edtpass->setGeometry(104, 22, 129, 23);
    Edtpass->installEventFilter(this);
    Label1->setBuddy(Edtpass);

    BtnOk = new QPushButton(QStringLiteral("确认"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(48, 66, 75, 25);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setGeometry(144, 66, 75, 25);
    // Neither button is the default: Enter belongs to the password field.
    for (QPushButton* b : {BtnOk, BtnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(BtnOk, &QPushButton::clicked, this, &TLoginForm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TLoginForm::BtnCancelClick);

    Edtpass->setFocus();
}

void TLoginForm::BtnOkClick() {
    // Exactly as typed: no trimming, letter case counts.
    if (Edtpass->text() != password_) {
        platform::prompt().messageBox(this, QStringLiteral("密码错误，请重试！"),
                                      QStringLiteral("提示"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        Edtpass->setFocus();
        Edtpass->selectAll();
        return;
    }
    accept();
}

void TLoginForm::BtnCancelClick() {
    reject();
}

void TLoginForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    settings::centreOn(this, parentWidget());
    Edtpass->setFocus();
}

void TLoginForm::EdtpassKeyPress() {
    if (Edtpass->text().isEmpty()) {
        platform::prompt().messageBox(this, QStringLiteral("密码不能为空！"),
                                      QStringLiteral("提示"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        return;
    }
    BtnOkClick();
}

bool TLoginForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edtpass && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            EdtpassKeyPress();
            return true;  // swallowed
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLoginForm::keyPressEvent(QKeyEvent* e) {
    // Esc does nothing here; only "取消" and the close box cancel.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
