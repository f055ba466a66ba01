#pragma once
// The main window: workbook tabs, category filter, title list, article viewer,
// menus, tool bars, status bar and tray icon. It owns the database session and
// the run-time state the dialogs and the editor read.
//
// The definition is split by concern:
//   MainUnit.cpp            creation, first showing, settings file, closing
//   MainUnit_Layout.cpp     widgets, menus, tool bars, status bar
//   MainUnit_Tabs.cpp       workbook switch, category list, status counts
//   MainUnit_Titles.cpp     title list drawing, sort header, dragging
//   MainUnit_Viewer.cpp     showing articles, zoom, background, copy, find
//   MainUnit_Commands.cpp   article commands, search/maintenance entries
//   MainUnit_Files.cpp      import, export, print
//   MainUnit_Tray.cpp       tray icon, minimise, about/help/update links
//   MainUnit_Options.cpp    settings dialog and login hooks

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

#include "platform/core/AppSettings.h"
#include "platform/core/ColorCode.h"
#include "session/MainView.h"
#include "session/Session.h"
#include "store/ArticleStore.h"
#include "store/ErrorText.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QSystemTrayIcon;
class QTabBar;
class QToolBar;
class QHeaderView;
class QFindDialogLike;

namespace richtext {
class RichEditCtrl;
}

class TAddForm;
class TFlashForm;
class TitleList;
class SortHeader;
class ViewerFindDialog;

class TMainForm : public QMainWindow, public session::MainView {
    Q_OBJECT
  public:
    // splash may be null (tests). The constructor runs FormCreate.
    explicit TMainForm(TFlashForm* splash = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;  // FormDestroy

    static TMainForm* instance();  // the one main window, or null

    // ---- shared run-time state (the editor and the dialogs are handed it) ----
    session::Session& session() { return session_; }
    store::ArticleStore& db() { return session_.store(); }
    QString currentTable() const { return session_.currentTable(); }
    // Set when start-up failed or the login was cancelled: the program ends.
    bool quitRequested = false;

    // ---- controls other windows use ----
    QTabBar* cxTabControl1 = nullptr;              // workbook tabs
    QComboBox* CBXgroup = nullptr;                 // category list ("全部" first)
    TitleList* ListBox1 = nullptr;                 // title list (QListWidget subclass)
    richtext::RichEditCtrl* RichEdit1 = nullptr;   // article viewer
    richtext::RichEditCtrl* copyBuffer = nullptr;  // hidden copy buffer
    QComboBox* CBXscale = nullptr;                 // zoom list
    QComboBox* CBXNo = nullptr;                    // number display mode
    QComboBox* CBXheighview = nullptr;             // title display mode
    QComboBox* cxColorComboBox1 = nullptr;         // viewer background (colour code in item data)
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 5> statusPanels{};
    std::array<QAction*, 4> moveItems{};  // popup "转移文章至" entries
    QLineEdit* titleEditor = nullptr;     // in-place title editor
    int titleEditorIndex = -1;
    TAddForm* AddForm = nullptr;  // the article editor, created hidden
    QSystemTrayIcon* TrayIcon1 = nullptr;
    // Menus and actions by their names (mmOpen, N12, BtnAdd ...), for tests and
    // for the menu drawing.
    QAction* action(const QString& objectName) const;

    // ---- routines other windows call ----
    // Reopens the main record set; on failure shows "数据库连接失败，请重新下载安装该软件！"
    // and asks the application to end. Returns false on failure.
    bool OpenDb(const QString& sql, bool useParam = false, const QString& group = {}) override;
    void RefreshComboBox() override;
    void CBXgroupChange() override;
    void Refreshlistbox1() override;
    void UpdateStatusCounts();
    // After a committed change whose refresh failed: reopens the current
    // workbook's list (and rebuilds the category list, "全部" selected, when
    // withCategories) without the ending connection message; when even that
    // fails, empties the title list and shows the general error report with
    // error. Returns whether the list was reopened.
    bool reopenListAfterChange(const store::ErrorText& error, bool withCategories);
    void cxTabControl1Change();
    void ListBox1Click();  // shows the selected article
    void ShowArticle();
    void CBXscaleChange();
    void SetMargin(richtext::RichEditCtrl* ctrl) override;
    // Table and list colour of a workbook position; false outside 0..3.
    bool GetWorkbook(int position, QString* table, platform::ColorCode* color) const;
    void setTitleListColor(platform::ColorCode code) override;
    QStringList tabCaptions() const override;
    int selectedTab() const override;
    int selectedIndex() const override;  // title list, -1 when none
    QString settingsPath() const override;
    QComboBox* categoryList() override { return CBXgroup; }
    QByteArray viewerContent() const override;
    void setWorkbookCaption(int position, const QString& caption) override;
    // Asks the application to end once the running handler has finished.
    void requestQuit();
    // A second start asked for this window: show it normally, in front.
    void restoreWindow();

    // ---- handlers (names as in the menus and tool bars) ----
    // Commands (MainUnit_Commands.cpp)
    void BtnAddClick();
    void BtnModifyClick();
    void BtnDelClick();
    void N8Click();                    // change category and title
    void ListBox1DblClick();           // rename in place
    void N20Click();                   // copy title
    void moveArticleTo(int position);  // N22Click, N55Click, N23Click, N31Click
    void BtnSearchClick();             // search dialog
    void mmMaintainClick();            // maintenance dialog
    void mmAddDBClick();               // AddDB.exe -s
    void titleEditorCommit();
    // Files (MainUnit_Files.cpp)
    void mmImportClick();
    void mmExportClick();
    void mmPrintClick();
    void mmPrintSetupClick();
    // Settings and login (MainUnit_Options.cpp)
    void mmOptionClick();
    bool runLogin();  // true when the login succeeded (or none is needed)
    // Tray, about, help (MainUnit_Tray.cpp)
    void setupTray();
    void TrayIcon1Click();
    void pmcloseClick();
    void mmCloseClick();
    void MMaboutClick();
    void MMhelpClick();
    void mmUpdateClick();
    void mmHomePageClick();
    void mmMailClick();
    void setupMenuDrawing();  // owner-drawn look of the main menu

    // ---- this window's own handlers (also driven by tests) ----
    void CBXNoChange();         // number display mode chosen
    void CBXheighviewChange();  // title display mode chosen
    void N12Click();            // line spacing 大
    void N13Click();            // line spacing 中
    void N14Click();            // line spacing 小
    void cxHeader1SectionClick(int section);
    void N3Click();  // sort ascending
    void N4Click();  // sort descending
    void N5Click();  // custom order
    void ListBox1DragDrop(int s, int t);
    // Title-list popup requested at pos (list viewport coordinates).
    void ListBox1Popup(const QPoint& pos, bool fromKeyboard);
    void updatePopupStates();  // enabled states of the popup entries
    void mmZoomIClick();
    void mmZoomRClick();
    void cxColorComboBox1PropertiesChange();
    void RichEdit1URLClick(const QString& url, Qt::MouseButton button);
    void N1Click();  // viewer copy
    void BtnFindTextClick();
    void FindDialog1Find();
    ViewerFindDialog* findDialog() const;
    // Colour code of the background chooser.
    platform::ColorCode viewerBackgroundCode() const;
    void setViewerBackgroundCode(platform::ColorCode code);

    SortHeader* cxHeader1 = nullptr;
    QMenu* ListPopup = nullptr;    // popup of the title list
    QMenu* ViewerPopup = nullptr;  // popup of the viewer
    QFont* viewerFont = nullptr;   // the viewer's font (plain-text bodies)
    TFlashForm* splash() const { return splash_; }
    // Set by the program entry: closing the window or a failed start-up then
    // ends the application's event loop (tests leave it off).
    bool endsApplication = false;
    // Path of the settings file (the program's path with ".ini"); tests
    // point it elsewhere before the window is shown.
    QString settingsFile;

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

  public:
    void FormShow();   // first showing
    void FormClose();  // writes the settings

  private:
    void FormCreate();
    void buildLayout();
    void buildMenus();
    void buildToolBars();
    void buildPopups();
    void wireSignals();
    void stepSplash();
    void lookUpPassword();
    void applyZoomText(const QString& text);
    QStringList readTitles();

    session::Session session_;
    TFlashForm* splash_ = nullptr;
    bool shownOnce_ = false;
    QPointer<ViewerFindDialog> findDialog_;
    QRect dragRect_;
    QFont viewerFontValue_;
};
