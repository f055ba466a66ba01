#pragma once
// The run-time state one open library shares between the main window, the
// editor and the dialogs: the database session with its record sets and
// current workbook, the article on show, the editor's mode, the order and
// display modes, the workbook colours, the login. (The workbook names are the
// main window's tab captions, reached through MainView.) The main window owns
// the one Session; the others are handed it. No widgets.

#include <QString>
#include <array>
#include <memory>

#include "platform/core/AppSettings.h"
#include "platform/core/ColorCode.h"
#include "store/ArticleStore.h"

namespace session {

// What the editor was opened for. The words "add" and "modify" are the
// mode's names at the boundary (tests, logs); inside it is this enum.
enum class EditorMode { Add, Modify };
QString editorModeName(EditorMode mode);

// The article the viewer shows, as recorded when it was shown.
struct ShownArticle {
    bool isFormat = false;
    QString title;
    QString group;
};

class Session {
  public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    store::ArticleStore& store() { return *store_; }
    const store::ArticleStore& store() const { return *store_; }
    QString currentTable() const { return store_->currentTable(); }

    // Table and colour of a workbook position; false outside 0..3.
    bool workbook(int position, QString* table, platform::ColorCode* color) const;

    store::SortMode sortMode = store::SortMode::Custom;
    bool dragEnabled = true;
    // 0 "标题号", 1 "标题符", 2 "标题图标"
    int numberDisplayMode = platform::AppSettings::kDefaultNumberDisplayMode;
    // 0 "高亮显示", 1 "普通显示"
    int titleDisplayMode = platform::AppSettings::kDefaultTitleDisplayMode;
    std::array<platform::ColorCode, 4> workbookColors =
        platform::AppSettings::kDefaultWorkbookColors;

    QString currentPassword;
    bool loginNeeded = false;
    QString userName = QStringLiteral("admin");

    ShownArticle shown;
    EditorMode editorMode = EditorMode::Add;

  private:
    std::unique_ptr<store::ArticleStore> store_;
};

}  // namespace session
