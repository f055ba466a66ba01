#pragma once
// Copies of the library from the windows' side: the copy written before a
// command that cannot be undone and once a day at the first start (with a
// progress dialog, so the window keeps painting), and the dialog
// "恢复备份" that lists the copies and restores one.

#include <QDialog>
#include <QString>

#include "base/Result.h"

class QPushButton;
class QTableWidget;
class TMainForm;

namespace backupui {

// Settings file: how many copies are kept.
inline const char* const kSection = "Backup";
inline const char* const kKeepKey = "KeepCopies";

// The number of copies kept (settings file, default 10).
int keepCount(TMainForm* main);

// Writes a copy of the library, showing a progress dialog over parent while
// it runs. A failure says why (its cause is logged).
base::Result<void> writeBackupWithProgress(TMainForm* main, QWidget* parent);

// Call before a command that cannot be undone: writes a copy. When that
// fails the user is asked whether to go on without one; returns whether the
// command may run.
bool backupBeforeDestructiveCommand(TMainForm* main, QWidget* parent);

// Writes the day's copy when the backup folder has none of today.
void dailyBackup(TMainForm* main);

// Opens the restore dialog (menu "恢复备份(&R)…").
void showRestoreDialog(TMainForm* main);

}  // namespace backupui

// The list of copies with the restore command.
class TBackupForm : public QDialog {
    Q_OBJECT
  public:
    explicit TBackupForm(TMainForm* main, QWidget* parent = nullptr);

    void fillList();
    // Restores the selected copy; true when the library was replaced.
    bool BtnRestoreClick();

    QTableWidget* List = nullptr;  // one row per copy, newest first
    QPushButton* BtnRestore = nullptr;
    QPushButton* BtnClose = nullptr;

  private:
    TMainForm* main_;
    QStringList paths_;
};
