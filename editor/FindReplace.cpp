#include "editor/FindReplace.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <exception>

#include "editor/PaneEdit.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"

// ---- dialogs ------------------------------------------------------------------

namespace {

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    b->setMinimumWidth(96);
    return b;
}

// Buttons that search stay disabled while there is nothing to search for.
void enableWhileText(QLineEdit* edit, std::initializer_list<QPushButton*> buttons) {
    auto update = [edit, buttons = std::vector<QPushButton*>(buttons)] {
        for (QPushButton* b : buttons) b->setEnabled(!edit->text().isEmpty());
    };
    QObject::connect(edit, &QLineEdit::textChanged, edit, update);
    update();
}

}  // namespace

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("查找"));
    auto* label = new QLabel(QStringLiteral("查找内容(&N):"), this);
    FindText = new QLineEdit(this);
    label->setBuddy(FindText);
    WholeWord = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    MatchCase = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    Direction = new QGroupBox(QStringLiteral("方向"), this);
    Up = new QRadioButton(QStringLiteral("向上(&U)"), Direction);
    Down = new QRadioButton(QStringLiteral("向下(&D)"), Direction);
    Down->setChecked(true);
    auto* dirLayout = new QHBoxLayout(Direction);
    dirLayout->addWidget(Up);
    dirLayout->addWidget(Down);
    // A first-generation control only searches downward.
    Direction->setVisible(richtext::RichEditCtrl::kVersion >= 2);
    FindNextBtn = button(QStringLiteral("查找下一个(&F)"), this);
    FindNextBtn->setDefault(true);
    CancelBtn = button(QStringLiteral("取消"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FindText, 0, 1, 1, 2);
    grid->addWidget(FindNextBtn, 0, 3);
    auto* checks = new QVBoxLayout;
    checks->addWidget(WholeWord);
    checks->addWidget(MatchCase);
    grid->addLayout(checks, 1, 0, 1, 2);
    grid->addWidget(Direction, 1, 2);
    grid->addWidget(CancelBtn, 1, 3, Qt::AlignTop);
    enableWhileText(FindText, {FindNextBtn});
    connect(FindNextBtn, &QPushButton::clicked, this, &TFindDialog::find);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

richtext::FindOptions TFindDialog::options() const {
    richtext::FindOptions o;
    o.wholeWord = WholeWord->isChecked();
    o.matchCase = MatchCase->isChecked();
    o.backward = richtext::RichEditCtrl::kVersion >= 2 && Up->isChecked();
    return o;
}

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("替换"));
    auto* findLabel = new QLabel(QStringLiteral("查找内容(&N):"), this);
    FindText = new QLineEdit(this);
    findLabel->setBuddy(FindText);
    auto* replaceLabel = new QLabel(QStringLiteral("替换为(&P):"), this);
    ReplaceText = new QLineEdit(this);
    replaceLabel->setBuddy(ReplaceText);
    WholeWord = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    MatchCase = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    FindNextBtn = button(QStringLiteral("查找下一个(&F)"), this);
    FindNextBtn->setDefault(true);
    ReplaceBtn = button(QStringLiteral("替换(&R)"), this);
    ReplaceAllBtn = button(QStringLiteral("全部替换(&A)"), this);
    CancelBtn = button(QStringLiteral("取消"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(FindText, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(ReplaceText, 1, 1);
    auto* checks = new QVBoxLayout;
    checks->addStretch();
    checks->addWidget(WholeWord);
    checks->addWidget(MatchCase);
    grid->addLayout(checks, 2, 0, 2, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {FindNextBtn, ReplaceBtn, ReplaceAllBtn, CancelBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);
    enableWhileText(FindText, {FindNextBtn, ReplaceBtn, ReplaceAllBtn});
    connect(FindNextBtn, &QPushButton::clicked, this, &TReplaceDialog::find);
    connect(ReplaceBtn, &QPushButton::clicked, this, &TReplaceDialog::replace);
    connect(ReplaceAllBtn, &QPushButton::clicked, this, &TReplaceDialog::replaceAll);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

richtext::FindOptions TReplaceDialog::options() const {
    richtext::FindOptions o;
    o.wholeWord = WholeWord->isChecked();
    o.matchCase = MatchCase->isChecked();
    return o;
}

// ---- commands -------------------------------------------------------------------

EditorFindReplace::EditorFindReplace(QWidget* owner, richtext::RichEditCtrl* pane)
    : owner_(owner), pane_(pane) {
    beep = [] { QApplication::beep(); };
}

EditorFindReplace::~EditorFindReplace() {
    delete findDlg_.data();
    delete replaceDlg_.data();
}

TFindDialog* EditorFindReplace::findDialog() {
    if (!findDlg_) {
        findDlg_ = new TFindDialog(owner_);
        connect(findDlg_, &TFindDialog::find, this, [this] { FindDialogFind(); });
    }
    return findDlg_;
}

TReplaceDialog* EditorFindReplace::replaceDialog() {
    if (!replaceDlg_) {
        replaceDlg_ = new TReplaceDialog(owner_);
        connect(replaceDlg_, &TReplaceDialog::find, this, &EditorFindReplace::ReplaceDialog1Find);
        connect(replaceDlg_, &TReplaceDialog::replace, this,
                [this] { ReplaceDialog1Replace(false); });
        connect(replaceDlg_, &TReplaceDialog::replaceAll, this,
                [this] { ReplaceDialog1Replace(true); });
    }
    return replaceDlg_;
}

void EditorFindReplace::EditorTextNotFound(const QString& text) {
    platform::prompt().messageBox(owner_, QStringLiteral("文字 \"%1\" 没有发现！").arg(text),
                                  QStringLiteral("提示"), platform::Buttons::Ok,
                                  platform::Icon::Information);
}

void EditorFindReplace::EditFindClick() {
    TFindDialog* dlg = findDialog();
    if (pane_ && pane_->selLength() > 0) dlg->FindText->setText(pane_->selText());
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
    dlg->FindText->setFocus();
    dlg->FindText->selectAll();
}

// Searches downward from the end of the selection to the end of the text, or
// upward from the start of the selection back to the beginning. A match is
// selected and scrolled into view; otherwise the not-found message.
bool EditorFindReplace::search(const QString& text, const richtext::FindOptions& opt,
                               bool moveDialog) {
    if (!pane_ || text.isEmpty()) return false;
    const int selStart = pane_->selStart();
    const int selEnd = selStart + pane_->selLength();
    const int pos = opt.backward ? pane_->findText(text, 0, selStart, opt)
                                 : pane_->findText(text, selEnd, -1, opt);
    if (pos < 0) {
        EditorTextNotFound(text);
        return false;
    }
    pane_->setSel(pos, int(text.size()));
    pane_->scrollCaret();
    if (moveDialog) moveDialogAside();
    return true;
}

bool EditorFindReplace::FindDialogFind() {
    TFindDialog* dlg = findDialog();
    const QString text = dlg->FindText->text();
    if (text.isEmpty()) return false;
    lastText_ = text;
    lastOptions_ = dlg->options();
    return search(lastText_, lastOptions_, true);
}

void EditorFindReplace::EditFindNextItemClick() {
    if (lastText_.isEmpty() || !search(lastText_, lastOptions_, false)) {
        if (beep) beep();
    }
}

// Moves the find dialog off the match when it covers it: above the match
// when there is room, otherwise below it.
void EditorFindReplace::moveDialogAside() {
    if (!findDlg_ || !findDlg_->isVisible() || !pane_) return;
    QRect match = pane_->cursorRect();
    match.moveTopLeft(pane_->viewport()->mapToGlobal(match.topLeft()));
    const QRect frame = findDlg_->frameGeometry();
    if (!frame.intersects(match)) return;
    QRect avail = QGuiApplication::primaryScreen()
                      ? QGuiApplication::primaryScreen()->availableGeometry()
                      : QRect(0, 0, 1 << 15, 1 << 15);
    int top = match.top() - frame.height() - 8;
    if (top < avail.top()) top = match.bottom() + 8;
    findDlg_->move(frame.left(), top);
}

void EditorFindReplace::EditReplaceClick() {
    TReplaceDialog* dlg = replaceDialog();
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
    dlg->FindText->setFocus();
}

void EditorFindReplace::ReplaceDialog1Find() {
    TReplaceDialog* dlg = replaceDialog();
    const QString text = dlg->FindText->text();
    if (!pane_ || text.isEmpty()) return;
    const int from = pane_->selStart() + pane_->selLength();
    const int pos = pane_->findText(text, from, -1, dlg->options());
    if (pos >= 0) {
        pane_->setFocus();
        pane_->setSel(pos, int(text.size()));
        pane_->scrollCaret();
        return;
    }
    pane_->setSel(int(pane_->plainText().size()), 0);
    pane_->scrollCaret();
    EditorTextNotFound(text);
}

void EditorFindReplace::ReplaceDialog1Replace(bool all) {
    TReplaceDialog* dlg = replaceDialog();
    const QString text = dlg->FindText->text();
    const QString with = dlg->ReplaceText->text();
    if (!pane_ || text.isEmpty()) return;
    if (!all) {
        // Only a selection that is exactly the search text is replaced.
        if (pane_->selText() == text) editorpane::replaceSelection(pane_, with);
        return;
    }
    const richtext::FindOptions opt = dlg->options();
    int count = 0;
    try {
        int from = pane_->selStart() + pane_->selLength();
        for (;;) {
            const int pos = pane_->findText(text, from, -1, opt);
            if (pos < 0) break;
            pane_->setSel(pos, int(text.size()));
            // With match case off a match may differ in case: it is selected
            // but only the exact text is replaced. The walk goes on after
            // the selection, so inserted text is not searched again.
            if (pane_->selText() == text && editorpane::replaceSelection(pane_, with)) {
                ++count;
                from = pos + pane_->selLength();
            } else {
                from = pos + int(text.size());
            }
        }
    } catch (const std::exception& e) {
        // The count so far is reported below.
        platform::logCause(QStringLiteral("replace all stopped"), QString::fromUtf8(e.what()));
    }
    platform::prompt().messageBox(owner_,
                                  QStringLiteral("替换完成 ") + QString::number(count) +
                                      QStringLiteral(" 处“") + text + QStringLiteral("”字符"),
                                  QStringLiteral("提示"), platform::Buttons::Ok,
                                  platform::Icon::Information);
}
