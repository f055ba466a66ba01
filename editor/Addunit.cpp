#include "editor/Addunit.h"

#include "mainwindow/MainUnit.h"

TAddForm::TAddForm(TMainForm* main, QWidget* parent) : QMainWindow(parent), main_(main) {}
TAddForm::~TAddForm() = default;
void TAddForm::showModal() {}
void TAddForm::showForImport(const QString&) {}
void TAddForm::shutdownImportServer() {}
