#include "widgets/ViewerFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ViewerFindDialog::ViewerFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("查找"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("查找内容(&N):"), this);
    edit_ = new QLineEdit(this);
    label->setBuddy(edit_);
    wholeWord_ = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    matchCase_ = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    auto* dir = new QGroupBox(QStringLiteral("方向"), this);
    up_ = new QRadioButton(QStringLiteral("向上(&U)"), dir);
    down_ = new QRadioButton(QStringLiteral("向下(&D)"), dir);
    down_->setChecked(true);
    auto* dl = new QHBoxLayout(dir);
    dl->addWidget(up_);
    dl->addWidget(down_);
    findBtn_ = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    findBtn_->setDefault(true);
    findBtn_->setEnabled(false);
    cancelBtn_ = new QPushButton(QStringLiteral("取消"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(edit_, 0, 1, 1, 2);
    auto* checks = new QVBoxLayout;
    checks->addWidget(wholeWord_);
    checks->addWidget(matchCase_);
    grid->addLayout(checks, 1, 0, 1, 2);
    grid->addWidget(dir, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findBtn_);
    buttons->addWidget(cancelBtn_);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);

    connect(edit_, &QLineEdit::textChanged, this,
            [this](const QString& t) { findBtn_->setEnabled(!t.isEmpty()); });
    connect(findBtn_, &QPushButton::clicked, this, [this] {
        if (!edit_->text().isEmpty()) emit findNext();
    });
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::close);
}

QString ViewerFindDialog::findText() const {
    return edit_->text();
}
void ViewerFindDialog::setFindText(const QString& t) {
    edit_->setText(t);
}
bool ViewerFindDialog::matchCase() const {
    return matchCase_->isChecked();
}
bool ViewerFindDialog::wholeWord() const {
    return wholeWord_->isChecked();
}
bool ViewerFindDialog::down() const {
    return down_->isChecked();
}
void ViewerFindDialog::setDown(bool d) {
    (d ? down_ : up_)->setChecked(true);
}
void ViewerFindDialog::setMatchCase(bool on) {
    matchCase_->setChecked(on);
}
void ViewerFindDialog::setWholeWord(bool on) {
    wholeWord_->setChecked(on);
}

void ViewerFindDialog::closeEvent(QCloseEvent* e) {
    QDialog::closeEvent(e);
}

void ViewerFindDialog::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    emit dialogClosed();
}
