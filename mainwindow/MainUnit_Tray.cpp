// Tray icon, minimise to tray, owner-drawn menu look, about/help/update links.
#include "mainwindow/MainUnit.h"

void TMainForm::setupTray() {}
void TMainForm::TrayIcon1Click() {}
void TMainForm::pmcloseClick() { close(); }
void TMainForm::mmCloseClick() { close(); }
void TMainForm::MMaboutClick() {}
void TMainForm::MMhelpClick() {}
void TMainForm::mmUpdateClick() {}
void TMainForm::mmHomePageClick() {}
void TMainForm::mmMailClick() {}
void TMainForm::setupMenuDrawing() {}
