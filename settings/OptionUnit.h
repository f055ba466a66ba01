#pragma once
// The settings dialog: start-up password, title-list colour of each workbook
// and the names of the four workbooks. Colour changes apply to the running
// main window at once (saved when it closes); names are written to the
// settings file when "提交设置" is pressed.

#include <QComboBox>
#include <QDialog>
#include <array>

#include "platform/core/ColorCode.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace session {
class MainView;
class Session;
}  // namespace session

// A drop-down of named colour swatches: a first entry that opens the colour
// chooser (and shows any colour the list does not name), the 16 standard
// colours, four extended ones and the system colours.
class TColorBox : public QComboBox {
    Q_OBJECT
  public:
    explicit TColorBox(QWidget* parent = nullptr);

    platform::ColorCode selectedColor() const;
    // Selects code without emitting colorPicked.
    void setSelectedColor(platform::ColorCode code);
    // Index of the entry naming code, or 0 (the chooser entry) when none does.
    int indexOfColor(platform::ColorCode code) const;

  signals:
    // The user picked a colour (from the list or the chooser).
    void colorPicked(platform::ColorCode code);

  private:
    void onActivated(int index);
    void setCustomColor(platform::ColorCode code);

    platform::ColorCode custom_ = 0;
    int lastIndex_ = 0;
};

class TOptionForm : public QDialog {
    Q_OBJECT
  public:
    // session: the open library; view: the main window (also the parent).
    TOptionForm(session::Session& session, session::MainView& view, QWidget* parent);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;  // "密码设置"
    QWidget* TabSheet2 = nullptr;  // "工作簿标题背景设置"
    QWidget* TabSheet3 = nullptr;  // "工作簿名称设置"

    // Password tab.
    QLineEdit* EdtOldPass = nullptr;
    QLineEdit* EdtNewPass = nullptr;
    QLineEdit* EdtRNewPass = nullptr;
    QPushButton* Button1 = nullptr;  // "确认更改"
    QPlainTextEdit* Memo1 = nullptr;

    // Colour tab.
    std::array<TColorBox*, 4> colorBoxes{};  // ColorBox1..ColorBox4

    // Names tab.
    std::array<QLineEdit*, 4> nameEdits{};  // Edit1..Edit4
    QPushButton* Button2 = nullptr;         // "提交设置"

    // The colour the dialog last gave the title list.
    platform::ColorCode titleListColor() const { return ownColor_; }

    void FormShow();
    void ColorBoxChange(int n);  // ColorBox1Change .. ColorBox4Change (n = 1..4)
    void Button1Click();         // "确认更改"
    void Button2Click();         // "提交设置"

    // Longest name in GBK bytes.
    static constexpr int kNameBytes = 8;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void buildPasswordTab();
    void buildColorTab();
    void buildNamesTab();

    session::Session& session_;
    session::MainView& view_;
    platform::ColorCode ownColor_ = 0;
};
