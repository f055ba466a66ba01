#pragma once
// The viewer's modeless find dialog: search text, whole word, match case,
// direction (down by default) and a find-next button.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ViewerFindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ViewerFindDialog(QWidget* parent = nullptr);

    QString findText() const;
    void setFindText(const QString& t);
    bool matchCase() const;
    bool wholeWord() const;
    bool down() const;
    void setDown(bool down);
    void setMatchCase(bool on);
    void setWholeWord(bool on);

    QLineEdit* edit() const { return edit_; }
    QPushButton* findButton() const { return findBtn_; }

  signals:
    void findNext();
    void dialogClosed();

  protected:
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    QLineEdit* edit_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findBtn_;
    QPushButton* cancelBtn_;
};
