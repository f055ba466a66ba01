// The settings dialog and the start-up login.
#include "mainwindow/MainUnit.h"

void TMainForm::mmOptionClick() {}
bool TMainForm::runLogin() { return true; }
