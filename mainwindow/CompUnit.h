#pragma once
// The maintenance dialog: compaction and clearing of the current workbook,
// transfer between workbooks, category rename and merge. Created for each use
// from the Tools menu, shown modally, destroyed when closed.
//
// The definition is split by page:
//   CompUnit.cpp            construction, FormShow, compaction and clearing
//   CompUnit_Transfer.cpp   transfer page
//   CompUnit_Categories.cpp category rename and merge page

#include <QDialog>
#include <QString>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class TMainForm;

namespace store {
class RecordSet;
}

class TCompForm : public QDialog {
    Q_OBJECT
  public:
    explicit TCompForm(TMainForm* main, QWidget* parent = nullptr);
    ~TCompForm() override;

    // Fills every list (runs on the first showing; tests may call it directly).
    void FormShow();

    // Page one "数据库压缩 清空"
    void Button1Click();  // "压缩数据库"
    void Button2Click();  // "清空当前工作簿"
    // Compacts the database file; true when the file was really replaced.
    bool CompactDB(const QString& dbFile, const QString& password);

    // Page two "数据转移"
    void Button3Click();  // "转移数据"

    // Page three "更改文档分类"
    void ComboBox1Change();  // refills both category lists
    void btn1Click();        // "更改"

    // ---- controls (tests drive them) ----
    QTabWidget* PageControl1 = nullptr;
    // page one
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label1 = nullptr;  // "【 " + workbook + " 】"
    // page two
    QComboBox* cbxTarget = nullptr;     // "目标工作簿"
    QComboBox* cbxCondition = nullptr;  // "追加条件"
    QComboBox* cbxMode = nullptr;       // "追加模式"
    QPushButton* Button3 = nullptr;     // "转移数据"
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label5 = nullptr;  // red note
    // page three
    QComboBox* ComboBox1 = nullptr;  // "所在工作簿"
    QComboBox* ComboBox2 = nullptr;  // "旧分类名称"
    QComboBox* ComboBox3 = nullptr;  // "新分类名称" (editable)
    QPushButton* btn1 = nullptr;     // "更改"

    // True while a transfer runs (a second click is ignored).
    bool transferRunning() const { return transferRunning_; }

  public slots:
    // Closing is refused while a transfer runs.
    void reject() override;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void buildPageCompact();
    void buildPageTransfer();
    void buildPageCategories();
    void stepProgress();
    void restoreMainRecordSet();

    TMainForm* main_ = nullptr;
    std::unique_ptr<store::RecordSet> sourceQuery_;  // ADOQuery1 of the dialog
    std::unique_ptr<store::RecordSet> targetQuery_;  // ADOQuery2 of the dialog
    bool shownOnce_ = false;
    bool transferRunning_ = false;
};
