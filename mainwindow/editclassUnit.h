#pragma once
// The category dialog: changes the category and the title of the selected
// article. Created for each use, shown modally, destroyed when closed.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;

class Teditclassform : public QDialog {
    Q_OBJECT
  public:
    // row: the article's position in the main record set (the selected title).
    Teditclassform(TMainForm* main, int row, QWidget* parent = nullptr);
    ~Teditclassform() override;

    // Fills the fields from the shown article and the main category list
    // (runs on the first showing; tests may call it directly).
    void FormShow();
    // "确认更改": validates, writes, updates the main window, closes.
    void subbtnClick();

    QLabel* Label1 = nullptr;         // "文档分类："
    QComboBox* ComboBox1 = nullptr;   // category, editable
    QLabel* Label2 = nullptr;         // "文档题目："
    QLineEdit* Edit1 = nullptr;       // title
    QPushButton* subbtn = nullptr;    // "确认更改"
    QPushButton* closebtn = nullptr;  // "关    闭"

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    TMainForm* main_;
    int row_;
    bool shownOnce_ = false;
};
