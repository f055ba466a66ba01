#pragma once
// The article editor window: writes new articles and changes the shown one.
//
// The definition is split by concern:
//   Addunit.cpp         window, layout, showing, saving into the database,
//                       the save-changes question, status bar
//   Addunit_Files.cpp   new, open, dropped files, save, save as, print,
//                       export of a picture
//   Addunit_Import.cpp  word-processor import and paste of web content

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QEventLoop;
class QImage;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QToolBar;
class EditorCommands;

namespace richtext {
class RichEditCtrl;
}

namespace session {
class MainView;
class Session;
}  // namespace session

class TAddForm : public QMainWindow {
    Q_OBJECT
  public:
    // session: the open library; view: the main window routines the editor calls.
    TAddForm(session::Session& session, session::MainView& view, QWidget* parent = nullptr);
    ~TAddForm() override;

    // Shows the editor modally for the main window's editor mode ("add" or
    // "modify") and returns when it is closed.
    void showModal();
    // Import: shows the editor without blocking in "add" mode, loads the file
    // (format by extension), sets the title to the file name, focuses the pane.
    void showForImport(const QString& path);
    // Shutdown hook: tells an idle word-processor server we started to quit.
    static void shutdownImportServer();

    // What a save command did.
    enum class SaveResult {
        Saved,    // written
        Refused,  // validation message, cancelled confirmation or dialog
        Failed    // the write failed; the error was shown, nothing changed
    };

    // ---- controls ----
    QMenu* FileMenu = nullptr;                 // "文件(&F)"
    QToolBar* ToolBar1 = nullptr;              // file/edit bar
    QToolBar* ToolBar2 = nullptr;              // format bar
    QComboBox* CBXgroup = nullptr;             // category
    QLineEdit* EdtTheme = nullptr;             // title
    QCheckBox* ChkIsformat = nullptr;          // "是否保存文章格式"
    richtext::RichEditCtrl* Editor = nullptr;  // document pane
    QPushButton* BtnAdd = nullptr;             // "将文章存入数据库"
    QPushButton* BtnModify = nullptr;          // "修改数据库中文章"
    QPlainTextEdit* NoteMemo = nullptr;        // the maroon note
    std::array<QLabel*, 6> statusPanels{};

    // File menu entries and the file buttons of the file/edit bar.
    QAction* FileNewItem = nullptr;
    QAction* FileOpenItem = nullptr;
    QAction* FileSaveItem = nullptr;
    QAction* FileSaveAsItem = nullptr;
    QAction* FileSaveDb = nullptr;
    QAction* FileOopenWord = nullptr;
    QAction* FilePrintItem = nullptr;
    QAction* FileExitItem = nullptr;
    QAction* NewBtn = nullptr;
    QAction* OpenBtn = nullptr;
    QAction* SaveBtn = nullptr;
    QAction* SaveDbBtn = nullptr;
    QAction* PrintBtn = nullptr;

    EditorCommands* commands() const { return commands_.get(); }
    // An action of this window by object name (menus, tool bars), or null.
    QAction* action(const QString& objectName) const;

    // ---- state ----
    QString documentName() const { return documentName_; }

    // ---- operations ----
    void FormShow();
    SaveResult BtnAddClick();
    SaveResult BtnModifyClick();
    // false when the asking operation is to be abandoned.
    bool QuerySaveChanges();
    void UpdateCategoryLists();
    void SetDocumentName(const QString& name);
    void MarkUnmodified();
    // Modified indicator (status panel 1).
    void updateModifiedIndicator();

    // Files (Addunit_Files.cpp)
    bool FileNew();
    void FileOpen();
    bool OpenDocumentFile(const QString& name);
    SaveResult FileSave();
    SaveResult FileSaveAs();
    void FilePrint();
    void printTo(QPrinter* printer);
    void FileExit();
    // Handles a drop of files: only the first one is opened.
    void openDroppedFiles(const QStringList& paths);

    // The page rectangle 20 mm inside each paper edge, in printer pixels.
    static QRect printPageRect(int dpiX, int dpiY, int pageWidth, int pageHeight);
    // The extension of a path as the save commands see it: from the last "."
    // to the end, provided no directory separator follows; else empty.
    static QString fileExtension(const QString& path);
    // The file-name part of a path (after the last separator).
    static QString fileNamePart(const QString& path);
    // The Save As target for a chosen name: unchanged when its extension is
    // exactly ".rtf", otherwise the name + ".rtf".
    static QString saveAsTarget(const QString& chosen);

  public slots:
    // Export of the selected embedded picture to a bitmap file (pane context
    // menu "导出图片").
    void OutBmpItmClick();
    // Word-processor import (import dialog, then a worker) and paste of the
    // clipboard's web content (a worker at once).
    void FileOopenWordClick();
    void EditPasteHtmlClick();

  public:
    // The worker's sequence: drives the word processor and hands each pane
    // change to the window's thread in order. import: a file (fileName);
    // otherwise the web content html is pasted at the caret.
    static void ImportDocument(QPointer<TAddForm> form, bool import, const QString& fileName,
                               const QString& html);
    // "〖砚溪舟云笺集〗系统正在处理数据……", the pane's text while importing.
    static const QString& busyText();
    // The import dialog's filter (Qt form).
    static const QString& importFilter();

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildLayout();
    void buildFileMenu();
    void buildStatusBar();
    void attachFieldMenus();
    bool validate(bool adding);
    QByteArray bodyForStore() const;
    void selectCategoryInMain(const QString& category);
    bool writeRtfFile(const QString& path);
    // Files dragged onto the window or the pane; true when e was a file drop.
    bool dropFilter(QEvent* e);
    QImage selectedPicture() const;
    void withProtectedEdits(const std::function<void()>& f);
    void dropViewerLineEnd();
    bool isAddMode() const;
    bool isModifyMode() const;

    session::Session& session_;
    session::MainView& view_;
    std::unique_ptr<EditorCommands> commands_;
    QString documentName_ = QStringLiteral("Untitled");
    QEventLoop* modalLoop_ = nullptr;
    bool closing_ = false;
};
