// The category dialog "文档类别、题目修改".
#include "mainwindow/editclassUnit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

#include "mainwindow/MainUnit.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "store/Articles.h"
#include "store/ErrorText.h"
#include "widgets/ViewerFindDialog.h"

using platform::Buttons;
using platform::Icon;

Teditclassform::Teditclassform(TMainForm* main, int row, QWidget* parent)
    : QDialog(parent), main_(main), row_(row) {
    setObjectName(QStringLiteral("editclassform"));
    setWindowTitle(QStringLiteral("文档类别、题目修改"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("文档分类："), this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(220);
    Label2 = new QLabel(QStringLiteral("文档题目："), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(220);
    subbtn = new QPushButton(QStringLiteral("确认更改"), this);
    subbtn->setObjectName(QStringLiteral("subbtn"));
    closebtn = new QPushButton(QStringLiteral("关    闭"), this);
    closebtn->setObjectName(QStringLiteral("closebtn"));
    // Enter in the fields must not press a button by itself.
    subbtn->setAutoDefault(false);
    closebtn->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(subbtn);
    buttons->addWidget(closebtn);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    connect(subbtn, &QPushButton::clicked, this, &Teditclassform::subbtnClick);
    connect(closebtn, &QPushButton::clicked, this, &QDialog::reject);
}

Teditclassform::~Teditclassform() = default;

void Teditclassform::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
        if (main_) {
            // Centred on the main window.
            const QRect m = main_->frameGeometry();
            move(m.center() - QPoint(width() / 2, height() / 2));
        }
    }
}

void Teditclassform::FormShow() {
    ComboBox1->clear();
    if (main_->CBXgroup) {
        for (int k = 0; k < main_->CBXgroup->count(); ++k)
            ComboBox1->addItem(main_->CBXgroup->itemText(k));
    }
    ComboBox1->setCurrentText(main_->session().shown.group);
    Edit1->setText(main_->session().shown.title);
}

void Teditclassform::subbtnClick() {
    const QString title = Edit1->text();
    QString group = ComboBox1->currentText();
    if (title.isEmpty() || group.isEmpty()) {
        platform::prompt().messageBox(this, QStringLiteral("题目或者分类不能为空！"),
                                      QStringLiteral("提示"), Buttons::Ok, Icon::Error);
        return;
    }
    group = store::storedCategory(group);
    ComboBox1->setCurrentText(group);
    try {
        store::changeCategoryAndTitle(main_->db(), row_, group, title);
    } catch (const store::StoreError& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }

    // The new category joins the main window's list (exact find, letter case
    // ignored) and becomes the filter.
    QComboBox* cbx = main_->CBXgroup;
    {
        const QSignalBlocker block(cbx);
        int k = cbx->findText(group, Qt::MatchFixedString);
        if (k < 0) {
            cbx->addItem(group);
            k = cbx->count() - 1;
        }
        cbx->setCurrentIndex(k);
    }
    main_->CBXgroupChange();

    platform::prompt().messageBox(this, QStringLiteral("文章修改完成！"), QStringLiteral("提示"),
                                  Buttons::Ok, Icon::Information);
    accept();
}
