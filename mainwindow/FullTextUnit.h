#pragma once
// The full-text search window: a non-modal window of the main window that
// searches titles and bodies of every workbook (or the current one) as the
// user types, lists workbook, category, title and a snippet with the hit
// marked, and jumps to an article on double-click or Enter. A missing index
// is built first, in steps with a progress bar; closing the window or
// "暂停" stops the build, which goes on where it stopped next time.

#include <QPointer>
#include <QWidget>

#include "store/FullText.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TMainForm;

class TFullTextForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFullTextForm(TMainForm* main);

    // The main window's full-text window (created on first use), shown and
    // raised with the focus in its field.
    static TFullTextForm* showFor(TMainForm* main);

    QLineEdit* EdtQuery = nullptr;
    QComboBox* CBXscope = nullptr;  // 0 all workbooks, 1 the current one
    QTreeWidget* ResultList = nullptr;
    QLabel* LblStatus = nullptr;
    QProgressBar* BuildBar = nullptr;
    QPushButton* BtnBuild = nullptr;  // "暂停" / "继续"

    // Runs the search of the field now (the typing pause ends it too).
    void runSearch();
    // Jumps to the result in row `row` of the list.
    void openResult(int row);
    bool building() const { return building_; }

    // The main window's side of a jump: workbook, category "全部", the title
    // selected and shown, the first hit selected in the viewer. Returns
    // false when the article is no longer there.
    static bool jumpTo(TMainForm* main, int workbook, qint64 id, const store::FullTextQuery& q);

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void buildStep();
    void startBuild();
    void pauseBuild();
    void updateBuildUi(const store::FullTextProgress& p);

    QPointer<TMainForm> main_;
    QTimer* typing_ = nullptr;
    QTimer* stepper_ = nullptr;
    bool building_ = false;
    QList<store::FullTextHit> hits_;
    store::FullTextQuery query_;
};
