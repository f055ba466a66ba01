#pragma once
// The paragraph dialog of the editor: indents, alignment, spacing before and
// after, and line spacing of the selected paragraphs, in whole points.

#include <QDialog>

#include "richtext/RichEditCtrl.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TParaFormatDlg : public QDialog {
    Q_OBJECT
  public:
    // pane: the editor's pane, which Apply writes to.
    TParaFormatDlg(richtext::RichEditCtrl* pane, QWidget* parent = nullptr);

    QGroupBox* IndentBox = nullptr;          // "缩进"
    QSpinBox* LeftIndent = nullptr;          // "左："
    QSpinBox* RightIndent = nullptr;         // "右："
    QLabel* FirstIndentLabel = nullptr;      // "首行：" (hidden)
    QSpinBox* FirstIndent = nullptr;         // offset of the following lines (hidden)
    QGroupBox* Alignment = nullptr;          // "对齐方式"
    QButtonGroup* AlignmentItems = nullptr;  // ids 0 left, 1 right, 2 centre
    QGroupBox* SpacingBox = nullptr;         // "间距"
    QSpinBox* SpaceBefore = nullptr;         // "段前："
    QSpinBox* SpaceAfter = nullptr;          // "段后："
    QSpinBox* LineSpacing = nullptr;         // "行距："
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* ApplyBtn = nullptr;

    // Fills the boxes from paragraph attributes. "行距：" shows points: a
    // proportional spacing as its height at the paragraph's font size.
    void loadFrom(const richtext::ParaAttributes& p);
    // The attributes the boxes hold, and the mask of those the dialog writes.
    // The line spacing goes back as loaded (rule and value) until the user
    // changes "行距：".
    richtext::ParaAttributes values() const;
    static int appliedMask();
    int mask() const;
    // Applies the boxes to the pane's selected paragraphs; the dialog stays open.
    void ApplyBtnClick();

  private:
    bool lineSpacingChanged() const;
    // Points one line of the selected paragraph takes at single spacing.
    double singleLinePoints() const;

    richtext::RichEditCtrl* pane_;
    richtext::ParaAttributes loaded_;
    int shownLineSpacing_ = 0;
};

// Shows the paragraph dialog for the pane's selection; applies it on OK.
// Returns true when the user pressed OK.
bool EditParagraphFormat(richtext::RichEditCtrl* pane, QWidget* parent);
