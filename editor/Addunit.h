#pragma once
// The article editor window: writes new articles and changes the shown one.

#include <QMainWindow>

class TMainForm;

class TAddForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TAddForm(TMainForm* main, QWidget* parent = nullptr);
    ~TAddForm() override;

    // Shows the editor modally for the main window's editor mode ("add" or
    // "modify") and returns when it is closed.
    void showModal();
    // Import: shows the editor without blocking in "add" mode, loads the file
    // (format by extension), sets the title to the file name, focuses the pane.
    void showForImport(const QString& path);
    // Shutdown hook: tells an idle word-processor server we started to quit.
    static void shutdownImportServer();

private:
    TMainForm* main_;
};
