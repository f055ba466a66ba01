#pragma once
// The start-up login: asks for the stored password before the main window
// appears. Wrong passwords may be retried without limit; "取消" or the close
// box ends the dialog with Rejected.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TLoginForm : public QDialog {
    Q_OBJECT
  public:
    // password: the current password the typed text must equal exactly.
    explicit TLoginForm(const QString& password, QWidget* owner = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edtpass = nullptr;
    QPushButton* BtnOk = nullptr;      // "确认"
    QPushButton* BtnCancel = nullptr;  // "取消"

    void BtnOkClick();
    void BtnCancelClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    // Enter in the password field.
    void EdtpassKeyPress();

    QString password_;
};
