#pragma once
// The search dialog "搜索主题": title or content search of the main workbook.
// The hits replace the title list's items (the main record set is reopened
// with the search query). Created for each use, shown modally.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;

class TFindForm : public QDialog {
    Q_OBJECT
  public:
    explicit TFindForm(TMainForm* main, QWidget* parent = nullptr);
    ~TFindForm() override;

    void FormShow();          // focus to the keyword field
    void Button2Click();      // "搜": runs the search
    void ComboBox3CloseUp();  // focus back to the keyword field

    QLabel* Label1 = nullptr;        // "关键字："
    QLineEdit* Edit2 = nullptr;      // keyword
    QComboBox* ComboBox3 = nullptr;  // "文章题目" / "文章内容"
    QPushButton* Button2 = nullptr;  // "搜"
    QLabel* Label2 = nullptr;        // note

  protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    TMainForm* main_;
    bool shownOnce_ = false;
};

// The line of the title list that an empty search leaves.
extern const char* const kNoHitLine;
