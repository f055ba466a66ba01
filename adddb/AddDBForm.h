#pragma once
// AddDB: appends the articles of a workbook of another library (a file in
// the Access/Jet format or a database of this program) to a workbook of the
// target database. Started by the main program with "-s": the target is the
// database of the working directory; without it the window asks for the
// target file.

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace store {
class Connection;
}

class TAddDBForm : public QWidget {
    Q_OBJECT
  public:
    // targetPath: the target database, or empty to let the user choose it.
    explicit TAddDBForm(const QString& targetPath, QWidget* parent = nullptr);
    ~TAddDBForm() override;

    QLineEdit* EdtSource = nullptr;
    QPushButton* BtnSource = nullptr;
    QComboBox* CBXsource = nullptr;  // source workbook
    QLineEdit* EdtTarget = nullptr;
    QPushButton* BtnTarget = nullptr;
    QComboBox* CBXtarget = nullptr;  // target workbook
    QCheckBox* ChkSkip = nullptr;    // skip titles already in the target
    QProgressBar* PBar = nullptr;
    QPushButton* BtnAppend = nullptr;
    QPushButton* BtnClose = nullptr;
    QLabel* LblState = nullptr;

    // Opens a source file (a Jet file is converted into a temporary copy
    // first, in a child process). Returns false after showing why.
    bool loadSource(const QString& path);
    void BtnSourceClick();
    void BtnTargetClick();
    void BtnAppendClick();

    // Called after every appended row (tests use it to break in).
    std::function<void(int done, int total)> onRow;

  private:
    void fillSourceWorkbooks();
    QString workbookName(int position) const;

    std::unique_ptr<store::Connection> source_;
    std::unique_ptr<QTemporaryDir> converted_;
    bool busy_ = false;
};
