// Article commands: add, modify, delete, rename, category, copy title, move;
// the search and maintenance entries.
#include "mainwindow/MainUnit.h"

void TMainForm::BtnAddClick() {}
void TMainForm::BtnModifyClick() {}
void TMainForm::BtnDelClick() {}
void TMainForm::N8Click() {}
void TMainForm::ListBox1DblClick() {}
void TMainForm::N20Click() {}
void TMainForm::moveArticleTo(int) {}
void TMainForm::BtnSearchClick() {}
void TMainForm::mmMaintainClick() {}
void TMainForm::mmAddDBClick() {}
void TMainForm::titleEditorCommit() {}
