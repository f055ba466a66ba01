#pragma once
// The end of a run that nobody asked for from the menu: SIGTERM, SIGHUP or
// the session manager's quit. The program ends as from "退出(&X)", without
// questions: text the editor has not saved goes to a recovery file beside the
// library, the settings file is written, the windows close and the program
// leaves its event loop (the import server is told to quit and the database
// closed as the main window goes). The next start offers the recovery file.

#include <QObject>
#include <QString>

class TAddForm;
class TMainForm;

namespace sessionend {

// "recovery.rtf" in the library's folder.
QString recoveryFilePath(TMainForm* main);

// Writes the editor's text as RTF to the recovery file when the editor is
// shown with unsaved changes; true when a file was written.
bool writeRecovery(TMainForm* main, TAddForm* editor);

// Saves what would be lost (recovery file, settings file) and closes the
// windows without questions; the event loop then ends when the main window
// ends the application.
void endSession(TMainForm* main, TAddForm* editor);

// At start: when a recovery file exists, asks (caption "确认") whether to
// open it; Yes shows the editor in add mode with that text, No deletes it.
void offerRecovery(TMainForm* main, TAddForm* editor);

// Connects the termination signals and the session manager's quit request
// to endSession for the program's windows.
class Guard : public QObject {
    Q_OBJECT
  public:
    Guard(TMainForm* main, TAddForm* editor, QObject* parent = nullptr);

  private:
    TMainForm* main_;
    TAddForm* editor_;
};

}  // namespace sessionend
