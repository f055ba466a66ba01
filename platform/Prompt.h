#pragma once
// Every message box and common dialog the program shows goes through one
// Prompt. The real one uses QMessageBox, QFileDialog, QColorDialog,
// QFontDialog and QPrintDialog; tests install a scripted one (tests/support)
// that records every message and answers from a queue.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QWidget;
class QPrinter;

namespace platform {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// The application title: caption of plain messages.
inline const char* const kAppTitle = "砚溪舟-云笺录";

struct FileDialogRequest {
    QString caption;
    QString directory;
    QString fileName;           // proposed name (save)
    QString filter;             // Qt filter text, ";;"-separated
    QString defaultSuffix;      // save dialogs
    bool showReadOnly = false;  // open dialogs: offer "open read-only"
};

struct FileDialogResult {
    bool accepted = false;
    QString path;
    QStringList paths;      // multi-select open
    int filterIndex = 0;    // 0-based index of the chosen filter
    bool readOnly = false;  // the read-only box was ticked
};

class Prompt {
  public:
    virtual ~Prompt() = default;

    // A message box with the caller's text, caption, icon and buttons.
    virtual Answer messageBox(QWidget* owner, const QString& text, const QString& caption,
                              Buttons buttons, Icon icon) = 0;
    // A plain message: text and OK, captioned with the application title.
    virtual void showMessage(QWidget* owner, const QString& text) = 0;
    // An information dialog with the information icon.
    virtual void information(QWidget* owner, const QString& text) = 0;
    // The general error report for an error no handler caught: the text, and
    // the technical cause (if any) as detail the user may open.
    virtual void errorReport(QWidget* owner, const QString& text, const QString& detail) = 0;
    void errorReport(QWidget* owner, const QString& text) { errorReport(owner, text, QString()); }

    virtual FileDialogResult openFile(QWidget* owner, const FileDialogRequest& req) = 0;
    virtual FileDialogResult saveFile(QWidget* owner, const FileDialogRequest& req) = 0;
    virtual bool chooseColor(QWidget* owner, const QColor& initial, QColor* chosen) = 0;
    virtual bool chooseFont(QWidget* owner, const QFont& initial, QFont* chosen) = 0;
    virtual bool printDialog(QWidget* owner, QPrinter* printer) = 0;
    virtual bool printerSetup(QWidget* owner, QPrinter* printer) = 0;
};

// The prompt in use (the real one unless a test installed another).
Prompt& prompt();
// Installs p (not owned); nullptr restores the real prompt.
void setPrompt(Prompt* p);

}  // namespace platform
