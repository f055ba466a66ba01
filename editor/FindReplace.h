#pragma once
// Find and replace in the editor's pane: the find dialog (direction, match
// case, whole word), find next, and the replace dialog with find next,
// replace and replace all. Positions and lengths count characters.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "richtext/RichEditCtrl.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The find dialog: search text, whole word, match case and direction.
class TFindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TFindDialog(QWidget* parent);

    QLineEdit* FindText = nullptr;
    QCheckBox* WholeWord = nullptr;
    QCheckBox* MatchCase = nullptr;
    QGroupBox* Direction = nullptr;
    QRadioButton* Up = nullptr;
    QRadioButton* Down = nullptr;
    QPushButton* FindNextBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    richtext::FindOptions options() const;

  signals:
    void find();
};

// The replace dialog: search and replacement text, whole word and match case.
class TReplaceDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TReplaceDialog(QWidget* parent);

    QLineEdit* FindText = nullptr;
    QLineEdit* ReplaceText = nullptr;
    QCheckBox* WholeWord = nullptr;
    QCheckBox* MatchCase = nullptr;
    QPushButton* FindNextBtn = nullptr;
    QPushButton* ReplaceBtn = nullptr;
    QPushButton* ReplaceAllBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    richtext::FindOptions options() const;

  signals:
    void find();
    void replace();
    void replaceAll();
};

class EditorFindReplace : public QObject {
    Q_OBJECT
  public:
    EditorFindReplace(QWidget* owner, richtext::RichEditCtrl* pane);
    ~EditorFindReplace() override;

    // The computer's beep (replaceable, e.g. by tests).
    std::function<void()> beep;

    // Opens the find dialog, seeded with the pane's selected text.
    void EditFindClick();
    // One search as the find dialog's button runs it; true when found.
    bool FindDialogFind();
    // Repeats the find dialog's last search; beeps without one or when it
    // finds nothing.
    void EditFindNextItemClick();
    // Opens the replace dialog.
    void EditReplaceClick();
    // The replace dialog's find next.
    void ReplaceDialog1Find();
    // The replace dialog's replace (all = false) and replace all.
    void ReplaceDialog1Replace(bool all);
    // The not-found message.
    void EditorTextNotFound(const QString& text);

    TFindDialog* findDialog();
    TReplaceDialog* replaceDialog();

  private:
    bool search(const QString& text, const richtext::FindOptions& opt, bool moveDialog);
    void moveDialogAside();

    QWidget* owner_;
    richtext::RichEditCtrl* pane_;
    QPointer<TFindDialog> findDlg_;
    QPointer<TReplaceDialog> replaceDlg_;
    // The last search of the find dialog (find next repeats it).
    QString lastText_;
    richtext::FindOptions lastOptions_;
};
