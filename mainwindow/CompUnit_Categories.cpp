// The maintenance dialog's page "更改文档分类": renaming a category of one
// workbook, which merges it into another category of the same name.

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "mainwindow/BackupUnit.h"
#include "mainwindow/CompUnit.h"
#include "mainwindow/MainUnit.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "store/Categories.h"
#include "store/ErrorText.h"

void TCompForm::buildPageCategories() {
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    auto* box = new QGroupBox(QStringLiteral("文档分类合并、名称更改"));
    auto* form = new QFormLayout(box);
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = new QComboBox;
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox3 = new QComboBox;
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->setEditable(true);
    ComboBox3->setInsertPolicy(QComboBox::NoInsert);
    btn1 = new QPushButton(QStringLiteral("更改"));
    btn1->setObjectName(QStringLiteral("btn1"));
    form->addRow(QStringLiteral("所在工作簿"), ComboBox1);
    form->addRow(QStringLiteral("旧分类名称"), ComboBox2);
    form->addRow(QStringLiteral("新分类名称"), ComboBox3);
    form->addRow(btn1);
    pageLayout->addWidget(box);

    auto* notes = new QGroupBox(QStringLiteral("说明"));
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(new QLabel(QStringLiteral("分类改名后，其下的文档自动转入新分类。")));
    notesLayout->addWidget(
        new QLabel(QStringLiteral("如新名称与其他分类名相同，自动转入同名分类。")));
    pageLayout->addWidget(notes);
    pageLayout->addStretch();

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(btn1, &QPushButton::clicked, this, [this] { btn1Click(); });
    PageControl1->addTab(page, QStringLiteral("更改文档分类"));
}

void TCompForm::ComboBox1Change() {
    QStringList categories;
    try {
        categories =
            store::readCategories(*sourceQuery_, store::workbookTable(ComboBox1->currentIndex()));
    } catch (const store::StoreError& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }
    ComboBox2->clear();
    ComboBox2->addItems(categories);
    ComboBox3->clear();
    ComboBox3->addItems(categories);
    ComboBox3->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
}

void TCompForm::btn1Click() {
    const QString newName = ComboBox3->currentText();
    const QString oldName = ComboBox2->currentText();
    // The old name is an entry of the list; the empty entry is the category of
    // the articles that have none.
    if (newName.isEmpty() || ComboBox2->currentIndex() < 0) {
        platform::prompt().showMessage(this, QStringLiteral("分类名称不能为空！"));
        return;
    }
    // A merge into an existing category cannot be undone.
    if (newName != oldName && ComboBox2->findText(newName, Qt::MatchFixedString) >= 0 &&
        !backupui::backupBeforeDestructiveCommand(main_, this))
        return;
    try {
        store::renameCategory(main_->db().connection(),
                              store::workbookTable(ComboBox1->currentIndex()), oldName, newName);
    } catch (const store::StoreError& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }
    platform::prompt().showMessage(this, QStringLiteral("更改完成！"));
}
