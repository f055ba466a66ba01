// The settings dialog and the start-up login.
#include "mainwindow/FlashUnit.h"
#include "mainwindow/MainUnit.h"
#include "settings/LoginUnit.h"
#include "settings/OptionUnit.h"

void TMainForm::mmOptionClick() {
    TOptionForm dlg(session_, *this, this);
    dlg.exec();
}

bool TMainForm::runLogin() {
    if (!session_.loginNeeded) return true;
    // The splash must not cover the login dialog.
    if (splash_) splash_->hide();
    TLoginForm dlg(session_.currentPassword, this);
    if (dlg.exec() != QDialog::Accepted) return false;
    session_.loginNeeded = false;
    return true;
}
