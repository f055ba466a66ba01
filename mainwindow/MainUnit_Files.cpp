// Import, export and print of articles.
#include "mainwindow/MainUnit.h"

void TMainForm::mmImportClick() {}
void TMainForm::mmExportClick() {}
void TMainForm::mmPrintClick() {}
void TMainForm::mmPrintSetupClick() {}
