// The settings dialog and the start-up login.
#include "mainwindow/FlashUnit.h"
#include "mainwindow/MainUnit.h"
#include "settings/LoginUnit.h"
#include "settings/OptionUnit.h"

void TMainForm::mmOptionClick() {
    TOptionForm dlg(this);
    dlg.exec();
}

bool TMainForm::runLogin() {
    if (!loginNeeded) return true;
    // The splash must not cover the login dialog.
    if (splash_) splash_->hide();
    TLoginForm dlg(currentPassword, this);
    if (dlg.exec() != QDialog::Accepted) return false;
    loginNeeded = false;
    return true;
}
